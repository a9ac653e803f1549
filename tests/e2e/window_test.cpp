// What the user sees of the bridge: lights, caption, menu, about box, exit.

#include "bridge_fixture.h"
#include "bridge_names.h"
#include "unique_handle.h"
#include "user_sid.h"
#include "wide.h"

#include <cstdio>
#include <string>
#include <vector>

namespace e2e {
namespace {

std::string MenuText(HMENU menu, UINT item, UINT flags)
{
    char text[128] = "";
    const int length = ::GetMenuStringA(menu, item, text, sizeof text, flags);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

HWND OpenPopupMenu()
{
    const HWND popup = ::FindWindowA("#32768", nullptr);
    return popup && ::IsWindowVisible(popup) ? popup : nullptr;
}

struct DialogSearch {
    DWORD id;
    std::vector<HWND> found;
};

// A plain function: 32-bit Windows wants a stdcall callback.
BOOL CALLBACK AddDialogOf(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search.id && ::IsWindowVisible(window) && ClassOf(window) == "#32770")
        search.found.push_back(window);
    return TRUE;
}

// The dialogs and boxes a process has up, whatever their captions.
std::vector<HWND> DialogsOf(HANDLE process)
{
    DialogSearch search{::GetProcessId(process), {}};
    ::EnumWindows(AddDialogOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

using Window = BridgeTest;

TEST_F(Window, EachLightFollowsItsOwnProgramWithinASecond)
{
    StartBridge();
    EXPECT_TRUE(WaitFor([] { return Light(kLogLight) == kGrey && Light(kProgLight) == kGrey; }))
        << std::hex << Light(kLogLight) << " " << Light(kProgLight);

    StartLogvex();
    EXPECT_TRUE(WaitFor([] { return Light(kLogLight) == kGreen; }, 1500));
    EXPECT_EQ(Light(kProgLight), kGrey);

    StartWsjtx();
    EXPECT_TRUE(WaitFor([] { return Light(kProgLight) == kGreen; }, 1500));
    EXPECT_EQ(Light(kLogLight), kGreen);

    logvex.reset();
    EXPECT_TRUE(WaitFor([] { return Light(kLogLight) == kGrey; }, 1500));
    EXPECT_EQ(Light(kProgLight), kGreen);

    wsjtx.reset();
    EXPECT_TRUE(WaitFor([] { return Light(kProgLight) == kGrey; }, 1500));
    EXPECT_EQ(Light(kLogLight), kGrey);
}

TEST_F(Window, WsjtxLightKnowsQtClassNamesOfEveryVersionAndNeedsTheTitle)
{
    struct Case {
        const char* windowClass;
        const char* title;
        bool green;
    };
    const Case cases[] = {
        {"Qt5QWindowIcon", "WSJT-X   v2.6.1   by K1JT et al.", true}, // older builds
        {"Qt5QWindowIcon", "VLC media player", false}, // any program on an older Qt 5
        {"Qt5152QWindowIcon", "WSJT-X   v2.6.1   by K1JT et al.", true},          // Qt 5.15.2
        {"Qt5152QWindowIcon", "JTDX  by HF community  v2.2.159", true},           // WSJT-X's fork
        {"Qt5152QWindowIcon", "WSJT-X - IC7300   v2.6.1   by K1JT et al.", true}, // a second rig
        {"Qt5152QWindowIcon", "Qt Designer", false},
    };
    StartBridge();
    for (const Case& c : cases) {
        StartWsjtx(c.windowClass, c.title);
        if (c.green)
            EXPECT_TRUE(WaitFor([] { return Light(kProgLight) == kGreen; }, 1500))
                << c.windowClass << " \"" << c.title << "\"";
        else
            EXPECT_TRUE(HoldsFor([] { return Light(kProgLight) == kGrey; }, 1500))
                << c.windowClass << " \"" << c.title << "\"";
        wsjtx.reset();
        EXPECT_TRUE(WaitFor([] { return Light(kProgLight) == kGrey; }, 1500)) << c.windowClass;
    }
}

TEST_F(Window, CaptionAndMenuTexts)
{
    StartBridge();
    EXPECT_EQ(WindowText(FindBridge()), "Plovik Bridge ver " PLOVIK_VERSION_SHORT);
    EXPECT_EQ(WindowText(FindBridge()), BridgeTitle());
    EXPECT_NE(::GetMenu(FindBridge()), nullptr) << "the frame has a menu bar";
    // Another process's menu cannot be read under Wine: read the program's own.
    const plovik::win32::UniqueModule program(::LoadLibraryExW(
        plovik::win32::Widen(BridgeProgram()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program);
    const plovik::win32::UniqueMenu menu(
        ::LoadMenuA(program.get(), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(::GetMenuItemCount(menu.get()), 2);
    EXPECT_EQ(MenuText(menu.get(), 0, MF_BYPOSITION), "&File");
    EXPECT_EQ(MenuText(menu.get(), 1, MF_BYPOSITION), "&Help");
    EXPECT_EQ(MenuText(menu.get(), kIdAppExit, MF_BYCOMMAND), "E&xit");
    EXPECT_EQ(MenuText(menu.get(), kIdAppAbout, MF_BYCOMMAND), "&About " + BridgeTitle());
}

// The file's properties in Explorer: the project's one version, and the licence.
TEST_F(Window, VersionResourceCarriesTheProjectVersionAndTheLicence)
{
    const std::wstring exe = plovik::win32::Widen(BridgeProgram());
    std::vector<char> info(::GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(
        ::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    const auto value = [&info](const char* name) {
        char* text = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
            return std::string("(none)");
        return std::string(text);
    };
    const struct {
        const char* name;
        const char* expected;
    } strings[] = {
        {"FileVersion", PLOVIK_VERSION ".0"},
        {"ProductVersion", PLOVIK_VERSION ".0"},
        {"LegalCopyright", "Copyright (C) 2026 Plovik. MIT License"},
        {"OriginalFilename", "plovik_bridge.exe"},
    };
    for (const auto& s : strings)
        EXPECT_EQ(value(s.name), s.expected) << s.name;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%u.%u.%u", unsigned{HIWORD(fixed->dwFileVersionMS)},
                  unsigned{LOWORD(fixed->dwFileVersionMS)},
                  unsigned{HIWORD(fixed->dwFileVersionLS)});
    EXPECT_STREQ(numbers, PLOVIK_VERSION);
}

TEST_F(Window, HelpAboutShowsTheAboutBoxUntilOk)
{
    StartBridge();
    const std::string about = "About " + BridgeTitle();
    // Alt+H, then A, as the user would.
    ::PostMessageA(FindBridge(), WM_SYSCOMMAND, SC_KEYMENU, 'h');
    ASSERT_TRUE(WaitFor([] { return OpenPopupMenu() != nullptr; })) << "no Help menu";
    ::PostMessageA(FindBridge(), WM_CHAR, 'a', 0);
    ASSERT_TRUE(WaitFor([&] { return Dialogs(about).size() == 1; })) << "no about box";
    const HWND box = Dialogs(about)[0];
    EXPECT_NE(StaticTexts(box).find("Plovik Bridge Ver " PLOVIK_VERSION_SHORT "\n"),
              std::string::npos)
        << StaticTexts(box);
    EXPECT_EQ(WindowText(::GetDlgItem(box, IDOK)), "OK");
    ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Dialogs(about).empty(); }));
    EXPECT_TRUE(bridge->Running());

    // The command itself, as the menu sends it.
    ::PostMessageA(FindBridge(), WM_COMMAND, kIdAppAbout, 0);
    ASSERT_TRUE(WaitFor([&] { return Dialogs(about).size() == 1; }));
    ::PostMessageA(Dialogs(about)[0], WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return Dialogs(about).empty(); }));
}

TEST_F(Window, FileExitEndsTheProgramWithoutAPrompt)
{
    StartBridge();
    ::PostMessageA(FindBridge(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    ASSERT_TRUE(WaitFor([] { return OpenPopupMenu() != nullptr; })) << "no File menu";
    ::PostMessageA(FindBridge(), WM_CHAR, 'x', 0);
    EXPECT_EQ(bridge->WaitExit(5000), 0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(FindBridge(), nullptr);
}

TEST_F(Window, ExitCommandEndsTheProgram)
{
    StartBridge();
    ::PostMessageA(FindBridge(), WM_COMMAND, kIdAppExit, 0);
    EXPECT_EQ(bridge->WaitExit(5000), 0);
    EXPECT_EQ(FindBridge(), nullptr);
}

// Under the settings key the bridge keeps the list of files File Open
// opened: it reads the list at its start and writes back, at its close,
// the four it keeps.
TEST_F(Window, RecentFileListIsKeptUnderTheSettingsKey)
{
    const std::string key =
        "Software\\Local AppWizard-Generated Applications\\" + BridgeTitle() + "\\Recent File List";
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    const auto put = [&key](const char* name, const std::string& value) {
        return ::RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, value.c_str(),
                                 static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    };
    const auto get = [&key](const char* name) {
        char value[MAX_PATH] = "";
        DWORD size = sizeof value;
        return ::RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value,
                              &size) == ERROR_SUCCESS
                   ? std::string(value)
                   : std::string("(none)");
    };
    ASSERT_TRUE(put("File1", "C:\\logs\\one.adi"));
    ASSERT_TRUE(put("File2", "C:\\logs\\two.adi"));
    ASSERT_TRUE(put("File5", "C:\\logs\\five.adi"));
    StartBridge();
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(10000), 0);
    EXPECT_EQ(get("File1"), "C:\\logs\\one.adi");
    EXPECT_EQ(get("File2"), "C:\\logs\\two.adi");
    EXPECT_EQ(get("File3"), "(none)");
    EXPECT_EQ(get("File5"), "(none)") << "the list keeps four files";
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

TEST_F(Window, SecondCopyExitsAndTheFirstStays)
{
    StartLogvex();
    StartBridge();
    const HWND first = FindBridge();
    ASSERT_TRUE(::SetForegroundWindow(FindLogvex()));
    ASSERT_TRUE(WaitFor([] { return ::GetForegroundWindow() == FindLogvex(); }));
    Process second(Quote(BridgeProgram()));
    EXPECT_EQ(second.WaitExit(8000), 0);
    EXPECT_TRUE(bridge->Running());
    EXPECT_EQ(FindBridge(), first);
    EXPECT_TRUE(WaitFor([first] { return ::GetForegroundWindow() == first; }))
        << "the first bridge is brought to the front";
    // Still one bridge: a contact arrives once.
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
}

// The bridges' main windows on this desktop.
std::size_t BridgeCount()
{
    std::size_t count = 0;
    for (HWND w = nullptr; (w = ::FindWindowExA(nullptr, w, plovik::kFrameClassName, nullptr));)
        ++count;
    return count;
}

// Objects of any kind under the name an earlier version's mutex had, and two
// copies started at the same moment: one bridge runs, whatever else holds
// names, and every other copy ends.
TEST_F(Window, TwoStartsLeaveOneBridgeWhateverHoldsTheOldName)
{
    const std::wstring oldName = L"Global\\PlovikBridge.SingleInstance." +
                                 plovik::win32::Widen(plovik::win32::CurrentUserSid());
    const plovik::win32::UniqueKernelHandle squatter(
        ::CreateEventW(nullptr, TRUE, FALSE, oldName.c_str()));
    ASSERT_TRUE(squatter);
    for (int round = 0; round < 2; ++round) {
        Process first(Quote(BridgeProgram()));
        Process second(Quote(BridgeProgram()));
        ASSERT_TRUE(WaitFor([] { return BridgeCount() == 1; }, 10000)) << round;
        ASSERT_TRUE(WaitFor([&] { return first.Running() != second.Running(); }, 10000))
            << round << ": both copies run";
        EXPECT_TRUE(HoldsFor([] { return BridgeCount() == 1; }, 1500)) << round;
        Process& ended = first.Running() ? second : first;
        EXPECT_EQ(ended.WaitExit(0), 0) << round;
    }
}

// A first copy with no window here (another session, another desktop) holds
// the lock: the second says so and ends.
TEST_F(Window, SecondCopyWhoseFirstIsElsewhereSaysSoAndEnds)
{
    const plovik::win32::UniqueFile held(
        ::CreateFileW(plovik::win32::Widen(files.appData + "\\" + plovik::kSingleStartLock).c_str(),
                      GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held) << ::GetLastError();
    Process second(Quote(BridgeProgram()));
    ASSERT_TRUE(WaitFor([] { return !Boxes().empty(); }, 10000)) << "no box";
    const std::string text = StaticTexts(Boxes()[0]);
    EXPECT_NE(text.find("already runs for you in another session"), std::string::npos) << text;
    EXPECT_EQ(BridgeCount(), 0u);
    EXPECT_TRUE(DismissBox(Boxes()[0]));
    EXPECT_EQ(second.WaitExit(5000), 0);
    EXPECT_EQ(BridgeCount(), 0u);
}

// An internal failure (an uncaught throw, the library's own throws) ends
// the process at once with the fail-fast status, through no box whose loop
// would go on running the tick.
TEST_F(Window, InternalFailureEndsAtOnceWithoutABox)
{
    constexpr DWORD kFailFast = 0xC0000602; // STATUS_FAIL_FAST_EXCEPTION
    for (const char* how : {"terminate", "throw"}) {
        Process probe(Quote(PeerProgram("fail-fast-probe.exe")) + " --how " + how);
        EXPECT_EQ(static_cast<DWORD>(probe.WaitExit(5000)), kFailFast) << how;
    }
}

TEST_F(Window, NewDocumentStartsOverAndTheBridgeKeepsWorking)
{
    StartLogvex();
    StartBridge();
    // Wine counts no GDI objects (GetGuiResources gives 0): the pictures
    // kept are seen by their handles instead.
    const LRESULT badge = ::SendMessageA(BridgeControl(kBadge), STM_GETIMAGE, IMAGE_BITMAP, 0);
    ASSERT_NE(badge, 0);
    // New while WSJT-X is still writing a contact: it is fresh, not history.
    const std::unique_ptr<Process> writer =
        LogInBackground({WsjtxSamples().k1abc}, "--hold-ms 2000");
    ASSERT_TRUE(WaitFor([&] { return FileExists(files.log); }));
    for (int i = 0; i < 5; ++i) {
        DWORD_PTR result = 0;
        ASSERT_NE(::SendMessageTimeoutA(FindBridge(), WM_COMMAND, kIdFileNew, 0, SMTO_NORMAL, 5000,
                                        &result),
                  0);
    }
    EXPECT_EQ(WindowText(FindBridge()), BridgeTitle());
    EXPECT_EQ(::SendMessageA(BridgeControl(kBadge), STM_GETIMAGE, IMAGE_BITMAP, 0), badge)
        << "the pictures already loaded are kept";
    EXPECT_TRUE(WaitFor([] { return Light(kLogLight) == kGreen; }, 1500));
    EXPECT_EQ(writer->WaitExit(10000), 0);
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.backup));
}

// The document holds nothing: Save writes nothing, wherever it came from,
// and asks nothing. The file opened may be one the user cares about.
TEST_F(Window, SaveLeavesTheOpenedFileAsItWasAndAsksNothing)
{
    const std::string path = m_scratch + "\\wsjtx_log_bak.adi";
    WriteFileBytes(path, WsjtxSamples().oneContact);
    StartBridge(Quote(path));
    DWORD_PTR result = 0;
    ASSERT_NE(
        ::SendMessageTimeoutA(FindBridge(), WM_COMMAND, kIdFileSave, 0, SMTO_NORMAL, 5000, &result),
        0)
        << "Save did not return";
    EXPECT_TRUE(ReadFileBytes(path) == WsjtxSamples().oneContact) << "the opened file was changed";
    EXPECT_TRUE(DialogsOf(bridge->Handle()).empty()) << "a dialog or box came up";

    // An untitled document has nothing to save either: no Save As dialog.
    ASSERT_NE(
        ::SendMessageTimeoutA(FindBridge(), WM_COMMAND, kIdFileNew, 0, SMTO_NORMAL, 5000, &result),
        0);
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_COMMAND, kIdFileSave, 0));
    EXPECT_TRUE(HoldsFor([&] { return DialogsOf(bridge->Handle()).empty(); }, 1000))
        << "a dialog or box came up";
    EXPECT_TRUE(ReadFileBytes(path) == WsjtxSamples().oneContact);
}

} // namespace
} // namespace e2e
