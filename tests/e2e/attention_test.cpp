// Before a contact goes late: Logvex closed, a contact logged, the operator
// looking at WSJT-X. Two minutes on, the bridge calls: its caption is drawn
// as active though it is not (the flash), and the status line says how long
// the contact has waited. Logvex starts, takes it once, and the call ends.
// The bridge's clock runs twenty times as fast here, a setting of the test
// build's bridge that the release does not have.

#include "bridge_fixture.h"

#include <cstdlib>
#include <string>

namespace e2e {
namespace {

using Attention = BridgeTest;

std::string StatusLine()
{
    return WindowText(BridgeControl(IDC_STATUS));
}

// A point of the bridge's caption bar, right of its title.
COLORREF CaptionPixel()
{
    const HWND frame = FindBridge();
    RECT rect{};
    ::GetWindowRect(frame, &rect);
    return ScreenPixel(frame, (rect.right - rect.left) * 2 / 3,
                       ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2);
}

TEST_F(Attention, CalledBeforeAContactGoesLateUntilLogvexTakesIt)
{
    if (TestBridgeProgram().empty())
        GTEST_SKIP() << "needs the test build's bridge (--test-bridge=)";
    StartWsjtx();
    ::SetEnvironmentVariableA("PLOVIK_BRIDGE_TEST_CLOCK_SPEED", "20");
    StartBridge("", TestBridgeProgram());
    ::SetEnvironmentVariableA("PLOVIK_BRIDGE_TEST_CLOCK_SPEED", nullptr);
    // WSJT-X in front, in the screen's far corner, clear of the bridge's caption.
    const HWND front = FindWindowA("Qt5QWindowIcon", nullptr);
    RECT size{};
    ::GetWindowRect(front, &size);
    ::SetWindowPos(front, nullptr, ::GetSystemMetrics(SM_CXSCREEN) - (size.right - size.left),
                   ::GetSystemMetrics(SM_CYSCREEN) - (size.bottom - size.top), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(::SetForegroundWindow(front));
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == front; }));
    const COLORREF inactive = CaptionPixel();
    ASSERT_NE(inactive, CLR_INVALID) << "the bridge's caption cannot be seen";

    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([] { return StatusLine().find("Waiting: 1") != std::string::npos; }));
    // Two minutes of the bridge's clock are six seconds.
    ASSERT_TRUE(WaitFor([&] { return CaptionPixel() != inactive; }, 20000)) << "no call";
    EXPECT_NE(StatusLine().find("Waiting: 1, the oldest 2 min"), std::string::npos) << StatusLine();
    EXPECT_EQ(::GetForegroundWindow(), front) << "the call took the focus";

    StartLogvex();
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_TRUE(WaitFor([&] { return CaptionPixel() == inactive; })) << "the flashing went on";
    EXPECT_TRUE(WaitFor([] { return StatusLine().find("Waiting: 0") != std::string::npos; }))
        << StatusLine();
}

} // namespace
} // namespace e2e
