// A contact the bridge has taken from WSJT-X's file, or that waits for
// Logvex, outlives the bridge: ended hard (Task Manager, a crash, a power
// cut) or restarted, it sends the contact once Logvex is there, once.

#include "bridge_fixture.h"

namespace e2e {
namespace {

using Durable = BridgeTest;

// Logvex does not answer, so the contact the bridge takes cannot be
// delivered; the bridge is then ended hard, during its first send or once
// it has seen Logvex hung. The user ends the hung Logvex too and starts it
// again: the contact arrives once the bridge is back.
TEST_F(Durable, ContactTakenWhileLogvexHangsOutlivesAHardEndOfTheBridge)
{
    for (const DWORD killAfterMs : {300u, 6500u}) {
        SCOPED_TRACE("the bridge ended " + std::to_string(killAfterMs) + " ms after the take");
        m_received = m_scratch + "\\received-" + std::to_string(killAfterMs) + ".txt";
        RemoveFile(m_received);
        RemoveFile(files.sent); // a Logvex that never had the contact
        ASSERT_NO_FATAL_FAILURE(StartLogvex("--hang-at 0 --hang-seconds 120"));
        ASSERT_NO_FATAL_FAILURE(StartBridge());
        ASSERT_NO_FATAL_FAILURE(Log({WsjtxSamples().k1abc}));
        ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "the bridge took no file";
        ::Sleep(killAfterMs);
        ASSERT_TRUE(bridge->Kill());
        ASSERT_TRUE(logvex->Kill());
        ASSERT_TRUE(Got().empty()) << "the hung Logvex got it";

        ASSERT_NO_FATAL_FAILURE(StartLogvex());
        ASSERT_NO_FATAL_FAILURE(StartBridge());
        EXPECT_TRUE(GotExactly(1)) << Got().size() << " received";
        if (!Got().empty()) {
            EXPECT_EQ(Got()[0].bytes, kTextK1abc);
        }
        bridge.reset();
        logvex.reset();
    }
}

// Logvex is closed, WSJT-X logs a contact, and the bridge is restarted
// (closed by the user, or ended hard) while no backup of the log exists
// yet: the start-up step must not take the waiting contact for an old log.
TEST_F(Durable, ContactLoggedWithoutLogvexOutlivesARestartOfTheBridge)
{
    for (const bool hard : {false, true}) {
        SCOPED_TRACE(hard ? "the bridge ended hard" : "the bridge closed");
        m_received = m_scratch + (hard ? "\\received-hard.txt" : "\\received-closed.txt");
        RemoveFile(m_received);
        RemoveFile(files.backup);
        RemoveFile(files.sent); // a Logvex that never had the contact
        ASSERT_NO_FATAL_FAILURE(StartBridge());
        ASSERT_NO_FATAL_FAILURE(Log({WsjtxSamples().k1abc}));
        // A tick for the bridge to take it, if it does.
        WaitFor([&] { return !FileExists(files.log); }, 2500);
        if (hard) {
            ASSERT_TRUE(bridge->Kill());
        } else {
            ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
            ASSERT_EQ(bridge->WaitExit(10000), 0);
        }

        ASSERT_NO_FATAL_FAILURE(StartBridge());
        ASSERT_NO_FATAL_FAILURE(StartLogvex());
        EXPECT_TRUE(GotExactly(1)) << Got().size() << " received";
        if (!Got().empty()) {
            EXPECT_EQ(Got()[0].bytes, kTextK1abc);
        }
        EXPECT_FALSE(FileExists(files.backup)) << "the contact was moved aside as an old log";
        bridge.reset();
        logvex.reset();
    }
}

} // namespace
} // namespace e2e
