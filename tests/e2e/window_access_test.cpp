// The window at the screen's scale, for screen readers and from the
// keyboard: the pictures' sizes on the screen, the names a screen reader
// reads, the check box's caption, and the icons' images.
// e2e.Window192 runs the scale test again at 192 DPI (tests/e2e/dpi_test.sh).

#include "bridge_fixture.h"
#include "status_text.h"
#include "unique_handle.h"
#include "wide.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace e2e {
namespace {

using Window = BridgeTest;

// The screen's dots per inch for this process; made DPI aware first, so
// that Windows gives it the bridge's own coordinates, not scaled ones.
void ReleaseScreenDc(HDC dc)
{
    ::ReleaseDC(nullptr, dc);
}

void DeleteFontObject(HFONT font)
{
    ::DeleteObject(font);
}

int ScreenDpi()
{
    ::SetProcessDPIAware();
    const plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HDC, ReleaseScreenDc>> screen(
        ::GetDC(nullptr));
    return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// How far a picture's frame of colour `frame` runs from the control's top
// left, to the right and down, on the screen.
SIZE FrameOnScreen(HWND control, COLORREF frame)
{
    SIZE size{0, 0};
    while (size.cx < 400 && ScreenPixel(control, size.cx, 0) == frame)
        ++size.cx;
    while (size.cy < 400 && ScreenPixel(control, 0, size.cy) == frame)
        ++size.cy;
    return size;
}

HWND FormStatic(const char* text)
{
    return ::FindWindowExA(::GetParent(BridgeControl(kLogLight)), nullptr, "Static", text);
}

// The whole number nearest to dpi / 96 (half up), at least 1.
int PixelFactor(int dpi)
{
    return std::max(1, (dpi + 48) / 96);
}

TEST_F(Window, LightsAndBadgeAreDrawnAtTheScreensScale)
{
    const int dpi = ScreenDpi();
    if (const char* wanted = std::getenv("PLOVIK_E2E_DPI")) {
        ASSERT_EQ(dpi, std::atoi(wanted)) << "the prefix's DPI was not set";
    }
    StartBridge();
    // The one check of the drawing itself, read off the screen: in front.
    ASSERT_TRUE(BringBridgeToFront());
    // 17 px at 96 DPI, 34 at 192: in proportion, the frame whole pixels.
    const LONG side = ::MulDiv(17, dpi, 96);
    const int frame = std::max(1, ::MulDiv(1, dpi, 96));
    for (const auto& [id, label] : {std::pair{kLogLight, "Log"}, std::pair{kProgLight, "Prgm"}}) {
        const HWND light = BridgeControl(id);
        ASSERT_TRUE(WaitFor([&] { return ScreenPixel(light, side / 2, side / 2) == kGrey; }))
            << label;
        const SIZE drawn = FrameOnScreen(light, kBlack);
        EXPECT_EQ(drawn.cx, side) << label << " at " << dpi << " DPI";
        EXPECT_EQ(drawn.cy, side) << label << " at " << dpi << " DPI";
        EXPECT_EQ(ScreenPixel(light, frame - 1, side / 2), kBlack) << label;
        EXPECT_EQ(ScreenPixel(light, frame, side / 2), kGrey) << label << ": frame too thick";
        EXPECT_EQ(ScreenPixel(light, side - frame, side / 2), kBlack) << label;
        // Beside its label: at least as tall as the label's line, and the
        // two centres within a quarter of that line's height.
        RECT rect{}, text{};
        ::GetWindowRect(light, &rect);
        ::GetWindowRect(FormStatic(label), &text);
        EXPECT_GE(drawn.cy, text.bottom - text.top) << label;
        EXPECT_LE(std::abs(rect.top + drawn.cy / 2 - (text.top + text.bottom) / 2),
                  (text.bottom - text.top) / 4)
            << label;
    }
    const int factor = PixelFactor(dpi);
    const SIZE badge = FrameOnScreen(BridgeControl(kBadge), kGreen);
    EXPECT_EQ(badge.cx, 33 * factor) << "badge at " << dpi << " DPI";
    EXPECT_EQ(badge.cy, 21 * factor) << "badge at " << dpi << " DPI";

    // Each of the status line's lines fits its place on one line, with the
    // widest values a long evening gives, in the form's font at this scale.
    RECT place{};
    ::GetClientRect(BridgeControl(IDC_STATUS), &place);
    const plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HDC, ReleaseScreenDc>> dc(
        ::GetDC(nullptr));
    const plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HFONT, DeleteFontObject>> font(
        ::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
    const HGDIOBJ old = ::SelectObject(dc.get(), font.get());
    plovik::Progress widest{999,      9999,          999, 999, "VK2/W1ABCD",
                            "235959", "23 h 59 min", "",  "",  59 * 60 + 59};
    for (const bool inHands : {false, true}) {
        if (inHands) {
            widest.lateInHandsCall = "VK2/W1ABCD";
            widest.lateInHandsAt = "2026-12-08 23:59";
        }
        const std::string text = plovik::StatusText(widest, false);
        ASSERT_NE(text.find("Waiting: 999, the oldest 59 min"), std::string::npos) << text;
        ASSERT_NE(text.find("Sent: 9999  Skipped: 999  Late: 999"), std::string::npos) << text;
        ASSERT_NE(text.find(inHands ? "of 2026-12-08 23:59 UTC" : "23 h 59 min late"),
                  std::string::npos)
            << text;
        RECT needed{0, 0, 0, 0};
        ::DrawTextW(dc.get(), plovik::win32::Widen(text).c_str(), -1, &needed,
                    DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX);
        EXPECT_LE(needed.right, place.right)
            << "a line wider than the status line at " << dpi << " DPI: " << needed.right << " of "
            << place.right << " px\n"
            << text;
        EXPECT_LE(needed.bottom, place.bottom)
            << "status line too tall at " << dpi << " DPI: " << needed.bottom << " of "
            << place.bottom << " px";
    }
    ::SelectObject(dc.get(), old);
}

// COM for this thread, as a screen reader has it.
class ComApartment {
public:
    ComApartment() : m_ok(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (m_ok)
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_ok;
};

struct ReleaseAccessible {
    void operator()(IAccessible* object) const { object->Release(); }
};
using BstrOwner = std::unique_ptr<OLECHAR, decltype(&::SysFreeString)>;

// The name a screen reader reads for a control, as oleacc gives it.
std::string AccessibleName(HWND control)
{
    // __uuidof: MinGW's oleacc library gives IID_IAccessible as an import
    // thunk's address, not the interface's id.
    IAccessible* raw = nullptr;
    const HRESULT found =
        ::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                     __uuidof(IAccessible), reinterpret_cast<void**>(&raw));
    if (FAILED(found) || !raw)
        return "(no accessible object: " + std::to_string(found) + ")";
    const std::unique_ptr<IAccessible, ReleaseAccessible> object(raw);
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(self, &name);
    const BstrOwner owner(name, &::SysFreeString);
    return result == S_OK && name ? plovik::win32::Narrow(name) : "(no name)";
}

// What the windows of other processes announced, in order: a change of
// name, or a live region's change (as a screen reader hears them).
struct Announcement {
    DWORD event;
    HWND window;
    bool operator==(const Announcement& other) const
    {
        return event == other.event && window == other.window;
    }
};
std::vector<Announcement>* g_announced = nullptr;
// kLiveRegionChanged, which headers for older Windows leave out.
constexpr DWORD kLiveRegionChanged = 0x8019;

void CALLBACK OnAnnouncement(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                             DWORD, DWORD)
{
    if (g_announced && object == OBJID_CLIENT && child == CHILDID_SELF &&
        (event == EVENT_OBJECT_NAMECHANGE || event == kLiveRegionChanged))
        g_announced->push_back({event, window});
}

void Unhook(HWINEVENTHOOK hook)
{
    ::UnhookWinEvent(hook);
}
using WinEventHook =
    plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HWINEVENTHOOK, Unhook>>;

// True once `window` has announced `event`; the announcements come as
// messages to this thread.
bool Announced(HWND window, DWORD event)
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
    return std::find(g_announced->begin(), g_announced->end(), Announcement{event, window}) !=
           g_announced->end();
}

TEST_F(Window, ScreenReadersReadTheLightsStatesAndTheCheckBoxsName)
{
    const ComApartment com;
    std::vector<Announcement> announced;
    g_announced = &announced;
    // Out of context, as a screen reader listens.
    const WinEventHook hook(::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, kLiveRegionChanged, nullptr,
                                              OnAnnouncement, 0, 0,
                                              WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
    ASSERT_TRUE(hook);
    StartBridge();
    const HWND log = BridgeControl(kLogLight);
    const HWND prog = BridgeControl(kProgLight);
    const HWND status = BridgeControl(IDC_STATUS);
    EXPECT_EQ(AccessibleName(log), "Logvex: not running");
    EXPECT_EQ(AccessibleName(prog), "WSJT-X: not running");
    EXPECT_EQ(AccessibleName(BridgeControl(kNoFreq)), "Do not send freq info");
    EXPECT_EQ(WindowText(BridgeControl(IDC_NO_FREQ_LABEL)), "Do not send freq info")
        << "the caption is still a static text of its own";
    ASSERT_TRUE(WaitFor([&] { return WindowText(status).find("Logvex: not running") == 0; }))
        << WindowText(status);

    announced.clear();
    StartLogvex();
    EXPECT_TRUE(WaitFor([&] { return AccessibleName(log) == "Logvex: running"; }, 1500))
        << AccessibleName(log);
    EXPECT_TRUE(WaitFor([&] { return WindowText(status).find("Logvex: running") == 0; }, 1500))
        << WindowText(status);
    for (const DWORD event : {static_cast<DWORD>(EVENT_OBJECT_NAMECHANGE), kLiveRegionChanged})
        for (const HWND changed : {log, status})
            EXPECT_TRUE(WaitFor([&] { return Announced(changed, event); }, 1000))
                << "event " << std::hex << event << " not announced by "
                << (changed == log ? "the Logvex light" : "the status line");
    EXPECT_EQ(AccessibleName(prog), "WSJT-X: not running");
    EXPECT_EQ(AccessibleName(BridgeControl(kNoFreq)), "Do not send freq info");
    for (const DWORD event : {static_cast<DWORD>(EVENT_OBJECT_NAMECHANGE), kLiveRegionChanged})
        EXPECT_FALSE(Announced(prog, event)) << "a light that did not change was announced";
    g_announced = nullptr;
}

// Input as the user makes it: the mouse's left button at a point of the
// screen, a key.
void ClickAt(POINT at)
{
    ::SetCursorPos(at.x, at.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

void PressKey(WORD key)
{
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof(INPUT));
}

POINT CentreOf(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

LRESULT CheckOf(HWND box)
{
    return ::SendMessageA(box, BM_GETCHECK, 0, 0);
}

TEST_F(Window, ClickOnTheCheckBoxsCaptionTogglesIt)
{
    StartLogvex();
    StartBridge();
    const HWND box = BridgeControl(kNoFreq);
    const POINT caption = CentreOf(BridgeControl(IDC_NO_FREQ_LABEL));
    ASSERT_TRUE(::SetForegroundWindow(FindBridge()));
    ClickAt(caption);
    EXPECT_TRUE(WaitFor([&] { return CheckOf(box) == BST_CHECKED; }, 2000));
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abcNoFreq) << "the box's own handling ran";

    // Two quick clicks are two clicks, the second a double click.
    ClickAt(caption);
    ClickAt(caption);
    EXPECT_TRUE(HoldsFor([&] { return CheckOf(box) == BST_CHECKED; }, 500));
    ClickAt(caption);
    EXPECT_TRUE(WaitFor([&] { return CheckOf(box) == BST_UNCHECKED; }, 2000));
    Log({WsjtxSamples().g4xyz}); // another contact: an identical one is not sent again
    ASSERT_TRUE(GotExactly(2));
    EXPECT_EQ(Got()[1].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
}

// Pixels of the caption's top row that differ from the form just above it:
// the top of a focus mark; the letters keep clear of that row.
int FocusMarkPixels(HWND caption)
{
    RECT rect{};
    ::GetWindowRect(caption, &rect);
    int marked = 0;
    for (int x = 0; x < rect.right - rect.left; ++x)
        marked += ScreenPixel(caption, x, 0) != ScreenPixel(caption, x, -1);
    return marked;
}

TEST_F(Window, CheckBoxShowsItsFocusMarkOnItsCaptionFromTheKeyboard)
{
    StartLogvex();
    StartBridge();
    const HWND caption = BridgeControl(IDC_NO_FREQ_LABEL);
    ASSERT_TRUE(::SetForegroundWindow(FindBridge()));
    ASSERT_TRUE(WaitFor([] { return ::GetForegroundWindow() == FindBridge(); }));
    // Wine shows keyboard cues at all times: the mark does not wait for a
    // first key here, as it does on Windows for a window the mouse started.
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return FocusMarkPixels(caption) >= 20; }))
        << FocusMarkPixels(caption);
    PressKey(VK_SPACE); // the box has the focus: Space ticks it
    EXPECT_TRUE(WaitFor([] { return CheckOf(BridgeControl(kNoFreq)) == BST_CHECKED; }, 2000));
    // The focus goes with the bridge's window, and comes back with it.
    ASSERT_TRUE(::SetForegroundWindow(FindLogvex()));
    EXPECT_TRUE(WaitFor([&] { return FocusMarkPixels(caption) == 0; })) << FocusMarkPixels(caption);
    ASSERT_TRUE(::SetForegroundWindow(FindBridge()));
    EXPECT_TRUE(WaitFor([&] { return FocusMarkPixels(caption) >= 20; }))
        << FocusMarkPixels(caption);
}

#pragma pack(push, 2)
// An icon group's directory as the resource holds it.
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitsPerPixel;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

using UniqueIcon = plovik::win32::UniqueHandle<plovik::win32::HandleTraits<HICON, ::DestroyIcon>>;

const void* ResourceData(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size)
{
    const HRSRC found = ::FindResourceA(module, name, type);
    const HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    *size = found ? ::SizeofResource(module, found) : 0;
    return loaded ? ::LockResource(loaded) : nullptr;
}

// Windows asks for 16 to 32 px (title bar) and 32 to 64 px (Alt+Tab, the
// About box) between 100 and 200 %: each has an image of its own, in 32-bit
// colour, that loads at its size; the 16-colour 16 and 32 px images stay.
TEST_F(Window, IconsHoldAnImageForEachSizeOfTheScreensScales)
{
    const plovik::win32::UniqueModule program(::LoadLibraryExW(
        plovik::win32::Widen(BridgeProgram()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    const std::vector<std::pair<int, int>> wanted = {
        {32, 4}, {16, 4}, {16, 32}, {20, 32}, {24, 32}, {32, 32}, {40, 32}, {48, 32}, {64, 32}};
    for (const int group : {IDR_MAINFRAME, IDR_BRIDGETYPE}) {
        DWORD size = 0;
        const auto* directory = static_cast<const BYTE*>(
            ResourceData(program.get(), MAKEINTRESOURCEA(group), RT_GROUP_ICON, &size));
        ASSERT_NE(directory, nullptr) << group;
        const WORD count = *reinterpret_cast<const WORD*>(directory + 4);
        ASSERT_EQ(6 + count * sizeof(GroupIconEntry), size) << group;
        std::vector<std::pair<int, int>> found;
        for (WORD i = 0; i < count; ++i) {
            GroupIconEntry entry;
            std::memcpy(&entry, directory + 6 + i * sizeof entry, sizeof entry);
            found.emplace_back(entry.width, entry.bitsPerPixel);
            DWORD bytes = 0;
            const void* image =
                ResourceData(program.get(), MAKEINTRESOURCEA(entry.id), RT_ICON, &bytes);
            ASSERT_NE(image, nullptr) << group << " image " << entry.id;
            const UniqueIcon icon(::CreateIconFromResourceEx(
                static_cast<BYTE*>(const_cast<void*>(image)), bytes, TRUE, 0x00030000, entry.width,
                entry.height, LR_DEFAULTCOLOR));
            ICONINFO info{};
            ASSERT_TRUE(icon && ::GetIconInfo(icon.get(), &info))
                << group << ": the " << int{entry.width} << " px image does not load";
            const plovik::win32::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
            BITMAP bitmap{};
            ::GetObjectA(colour.get(), sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, entry.width) << group;
        }
        EXPECT_EQ(found, wanted) << group;
    }
}

} // namespace
} // namespace e2e
