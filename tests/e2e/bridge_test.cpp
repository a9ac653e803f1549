// The bridge as its users meet it: WSJT-X logs a contact, Logvex gets it,
// exactly once and byte for byte, whatever the two programs do meanwhile.

#include "harness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {
namespace {

constexpr const char* kTitle = "Plovik Bridge ver 1.02";
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr int kLogLight = 1000, kProgLight = 1001, kNoFreq = 1002;

const std::string kRecordK1abc =
    "<call:5>K1ABC <gridsquare:4>FN42 <mode:3>FT8 <rst_sent:3>-15 <rst_rcvd:3>-12 "
    "<qso_date:8>20261207 <time_on:6>062055 <qso_date_off:8>20261207 <time_off:6>062055 "
    "<band:3>20m <freq:9>14.075500 <station_callsign:6>N0CALL <my_gridsquare:4>JO62 "
    "<tx_pwr:3>100 <comment:11>tnx fer QSO <name:3>Bob <eor>";
const std::string kRecordG4xyz =
    "<call:5>G4XYZ <gridsquare:4>IO91 <mode:4>MFSK <submode:3>FT4 <rst_sent:3>-10 "
    "<rst_rcvd:3>+02 <qso_date:8>20261207 <time_on:6>062151 <qso_date_off:8>20261207 "
    "<time_off:6>062151 <band:3>40m <freq:8>7.049000 <station_callsign:6>N0CALL "
    "<my_gridsquare:4>JO62 <tx_pwr:2>50 <comment:12>FT4 test QSO <name:3>Jim <eor>";
const std::string kTextK1abc =
    "K1ABC#-12#-15#14075.00#Bob#FT8#FN42##RSTS -15  RSTR -12   tnx fer QSO####RSTS -15#RSTR -12#100#";
const std::string kTextK1abcNoFreq =
    "K1ABC#-12#-15##Bob#FT8#FN42##RSTS -15  RSTR -12   tnx fer QSO####RSTS -15#RSTR -12#100#";
const std::string kTextG4xyz =
    "G4XYZ#+02#-10#7049.00#Jim#FT4#IO91##RSTS -10  RSTR +02   FT4 test QSO####RSTS -10#RSTR +02#50#";

class Bridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        files = Watched();
        ::CreateDirectoryA(files.folder.c_str(), nullptr);
        RemoveFile(files.log);
        RemoveFile(files.backup);
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        received = BuildPath("tests/e2e/received-" + name + ".txt");
        records = BuildPath("tests/e2e/records-" + name + ".txt");
        RemoveFile(received);
        ASSERT_TRUE(WaitFor([] { return !FindBridge() && !::FindWindowA("Logvex", nullptr); }))
            << "a bridge or Logvex of an earlier test is still running";
    }
    void TearDown() override
    {
        for (HWND box : Dialogs(kTitle))
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        bridge.reset();
        logvex.reset();
        wsjtx.reset();
        RemoveFile(files.log);
        RemoveFile(files.backup);
    }

    void StartBridge()
    {
        bridge = std::make_unique<Process>(Quote(BuildPath("shell/plovik_bridge.exe")));
        ASSERT_TRUE(bridge->Started()) << "cannot start " << BuildPath("shell/plovik_bridge.exe");
        ASSERT_TRUE(WaitFor([] { return BridgeControl(kLogLight) != nullptr; })) << "no bridge window";
        ::Sleep(300); // its initial update has run once the form shows
    }
    void StartLogvex(const std::string& options = "")
    {
        logvex = std::make_unique<Process>(Quote(BuildPath("tools/peers/logvex-peer.exe")) +
                                           " --out " + Quote(received) + " " + options);
        ASSERT_TRUE(logvex->Started());
        ASSERT_TRUE(WaitFor([] { return ::FindWindowA("Logvex", nullptr) != nullptr; }));
    }
    // WSJT-X logs these contacts, one line each, as it does.
    std::unique_ptr<Process> Log(const std::string& lines, const std::string& options = "")
    {
        WriteFile(records, lines);
        return std::make_unique<Process>(Quote(BuildPath("tools/peers/wsjtx-peer.exe")) +
                                         " --log " + Quote(files.log) + " --append " +
                                         Quote(records) + " " + options);
    }
    void LogAndWait(const std::string& lines)
    {
        ASSERT_EQ(Log(lines)->WaitExit(10000), 0);
    }
    std::vector<Received> Got() const { return ReadReceived(received); }
    bool GotCount(std::size_t n) const
    {
        return WaitFor([&] { return Got().size() >= n; }, 6000) && Got().size() == n;
    }

    WatchedFiles files;
    std::string received;
    std::string records;
    std::unique_ptr<Process> bridge, logvex, wsjtx;
};

TEST_F(Bridge, ContactArrivesAsTheExactTextOnce)
{
    StartLogvex();
    StartBridge();
    LogAndWait(kRecordK1abc + "\n");
    ASSERT_TRUE(GotCount(1));
    const Received r = Got()[0];
    EXPECT_EQ(r.kind, 10001u);
    EXPECT_EQ(r.text, kTextK1abc);
    EXPECT_EQ(r.cbData, kTextK1abc.size());
    EXPECT_TRUE(WaitFor([&] { return !FileExists(files.log); }));
    ::Sleep(2500); // a few more ticks: nothing is sent twice
    EXPECT_EQ(Got().size(), 1u);
}

TEST_F(Bridge, CheckBoxLeavesTheFrequencyOut)
{
    StartLogvex();
    StartBridge();
    const HWND box = BridgeControl(kNoFreq);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ::SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    LogAndWait(kRecordK1abc + "\n");
    ASSERT_TRUE(GotCount(1));
    EXPECT_EQ(Got()[0].text, kTextK1abcNoFreq);

    ::SendMessageA(box, BM_CLICK, 0, 0);
    LogAndWait(kRecordK1abc + "\n");
    ASSERT_TRUE(GotCount(2));
    EXPECT_EQ(Got()[1].text, kTextK1abc);
}

TEST_F(Bridge, StartupMovesAnOldLogAsideOnlyWithoutBackup)
{
    const std::string oldLog = std::string(kHeader) + kRecordK1abc + "\r\n";
    const std::string oldBackup = std::string(kHeader) + kRecordG4xyz + "\r\n";
    struct Case {
        const char* what;
        bool log, backup;
    };
    for (const Case c : {Case{"log only", true, false}, Case{"both", true, true},
                         Case{"backup only", false, true}, Case{"neither", false, false}}) {
        SCOPED_TRACE(c.what);
        RemoveFile(received);
        if (c.log)
            WriteFile(files.log, oldLog);
        if (c.backup)
            WriteFile(files.backup, oldBackup);
        StartLogvex();
        StartBridge();
        ::Sleep(2500);
        const std::vector<Received> got = Got();
        if (c.log && !c.backup) {
            EXPECT_FALSE(FileExists(files.log));
            EXPECT_EQ(ReadFile(files.backup), oldLog);
            EXPECT_TRUE(got.empty());
        } else if (c.log) {
            ASSERT_EQ(got.size(), 1u); // the first tick reads and sends it
            EXPECT_EQ(got[0].text, kTextK1abc);
            EXPECT_FALSE(FileExists(files.log));
            EXPECT_EQ(ReadFile(files.backup), oldBackup);
        } else {
            EXPECT_TRUE(got.empty());
            EXPECT_FALSE(FileExists(files.log));
            EXPECT_EQ(FileExists(files.backup), c.backup);
            if (c.backup) {
                EXPECT_EQ(ReadFile(files.backup), oldBackup);
            }
        }
        bridge.reset();
        logvex.reset();
        RemoveFile(files.log);
        RemoveFile(files.backup);
        ASSERT_TRUE(WaitFor([] { return !FindBridge() && !::FindWindowA("Logvex", nullptr); }));
    }
}

TEST_F(Bridge, LightsFollowTheirOwnWindowClass)
{
    StartBridge();
    const HWND log = BridgeControl(kLogLight);
    const HWND prog = BridgeControl(kProgLight);
    EXPECT_TRUE(WaitFor([&] { return CentreColour(log) == kGrey && CentreColour(prog) == kGrey; }));

    // Within a tick and a repaint of the window's appearance.
    StartLogvex();
    EXPECT_TRUE(WaitFor([&] { return CentreColour(log) == kGreen; }, 1500));
    EXPECT_EQ(CentreColour(prog), kGrey);

    wsjtx = std::make_unique<Process>(Quote(BuildPath("tools/peers/wsjtx-peer.exe")) + " --window-only");
    ASSERT_TRUE(WaitFor([] { return ::FindWindowA("Qt5QWindowIcon", nullptr) != nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return CentreColour(prog) == kGreen; }, 1500));

    logvex.reset();
    EXPECT_TRUE(WaitFor([&] { return CentreColour(log) == kGrey; }, 1500));
    EXPECT_EQ(CentreColour(prog), kGreen);

    wsjtx.reset();
    EXPECT_TRUE(WaitFor([&] { return CentreColour(prog) == kGrey; }, 1500));
    EXPECT_EQ(CentreColour(log), kGrey);
}

TEST_F(Bridge, EmptyFileRaisesOneBoxAtATimeAndIsKept)
{
    StartLogvex();
    StartBridge();
    WriteFile(files.log, "");
    ASSERT_TRUE(WaitFor([] { return !Dialogs(kTitle).empty(); }, 3000));
    EXPECT_NE(DialogText(Dialogs(kTitle)[0]).find("The source file is empty"), std::string::npos);
    // Ticks keep coming while the box is up: still one box.
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(Dialogs(kTitle).size(), 1u);
        ::Sleep(200);
    }
    EXPECT_TRUE(FileExists(files.log));
    EXPECT_TRUE(Got().empty());

    // WSJT-X fills the file while the box is up; the user dismisses it.
    WriteFile(files.log, std::string(kHeader) + kRecordG4xyz + "\r\n");
    ::SendMessageA(::GetDlgItem(Dialogs(kTitle)[0], IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(GotCount(1));
    EXPECT_EQ(Got()[0].text, kTextG4xyz);
    EXPECT_TRUE(Dialogs(kTitle).empty());
}

TEST_F(Bridge, CaptionMenusAboutBoxAndExit)
{
    StartBridge();
    const HWND frame = FindBridge();
    EXPECT_EQ(WindowText(frame), kTitle);
    EXPECT_NE(::GetMenu(frame), nullptr);
    // The frame's menu comes from resource 128; its texts are read from the
    // program file, since Wine keeps a menu's items inside its own process.
    const std::vector<std::string> expected = {"&File=popup", "E&xit=57665", "&Help=popup",
                                               "&About Plovik Bridge ver 1.02=57664"};
    EXPECT_EQ(MenuTexts(BuildPath("shell/plovik_bridge.exe"), 128), expected);

    ::PostMessageA(frame, WM_COMMAND, 57664, 0);
    const std::string about = "About Plovik Bridge ver 1.02";
    ASSERT_TRUE(WaitFor([&] { return !Dialogs(about).empty(); }));
    EXPECT_NE(DialogText(Dialogs(about)[0]).find("Plovik Bridge Ver 1.02"), std::string::npos);
    ::SendMessageA(::GetDlgItem(Dialogs(about)[0], IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Dialogs(about).empty(); }));

    ::PostMessageA(frame, WM_COMMAND, 57665, 0); // File, Exit
    EXPECT_EQ(bridge->WaitExit(5000), 0);
    EXPECT_TRUE(Dialogs(kTitle).empty()); // no prompt
}

TEST_F(Bridge, WithoutLogvexTheContactWaitsInItsFile)
{
    StartBridge();
    LogAndWait(kRecordK1abc + "\n");
    ::Sleep(2500);
    EXPECT_TRUE(FileExists(files.log));
    StartLogvex();
    ASSERT_TRUE(GotCount(1));
    EXPECT_EQ(Got()[0].text, kTextK1abc);
    EXPECT_TRUE(WaitFor([&] { return !FileExists(files.log); }));
}

TEST_F(Bridge, FileHeldForWritingIsWaitedForInSilence)
{
    StartLogvex();
    StartBridge();
    std::unique_ptr<Process> writer = Log(kRecordG4xyz + "\n", "--hold-ms 3000");
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(Dialogs(kTitle).empty());
        ::Sleep(200);
    }
    EXPECT_TRUE(Got().empty());
    EXPECT_EQ(writer->WaitExit(10000), 0);
    ASSERT_TRUE(GotCount(1));
    EXPECT_EQ(Got()[0].text, kTextG4xyz);
    EXPECT_TRUE(Dialogs(kTitle).empty());
}

TEST_F(Bridge, LogvexClosingAndComingBackLosesNothing)
{
    StartLogvex("--close-after 1");
    StartBridge();
    LogAndWait(kRecordK1abc + "\n");
    ASSERT_TRUE(GotCount(1));
    ASSERT_TRUE(WaitFor([] { return ::FindWindowA("Logvex", nullptr) == nullptr; }));
    LogAndWait(kRecordG4xyz + "\n");
    ::Sleep(1500);
    EXPECT_TRUE(FileExists(files.log));
    StartLogvex();
    ASSERT_TRUE(GotCount(2));
    EXPECT_EQ(Got()[0].text, kTextK1abc);
    EXPECT_EQ(Got()[1].text, kTextG4xyz);
}

TEST_F(Bridge, HungLogvexDoesNotFreezeTheBridgeNorLoseTheContact)
{
    StartLogvex("--hang-at 0 --hang-seconds 9");
    StartBridge();
    LogAndWait(kRecordK1abc + "\n");
    const HWND frame = FindBridge();
    // The bridge keeps answering while Logvex does not.
    for (int i = 0; i < 6; ++i) {
        DWORD_PTR result = 0;
        EXPECT_NE(::SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 7000, &result), 0);
        ::Sleep(500);
    }
    ASSERT_TRUE(WaitFor([&] { return Got().size() >= 1; }, 15000));
    ::Sleep(2500);
    ASSERT_EQ(Got().size(), 1u);
    EXPECT_EQ(Got()[0].text, kTextK1abc);
}

TEST_F(Bridge, UndeletableFileReportedOnceAndSentWhenFree)
{
    StartLogvex();
    WriteFile(files.log, std::string(kHeader) + kRecordK1abc + "\r\n");
    // Another program reads the file without letting it be deleted.
    KernelHandle holder(::CreateFileA(files.log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.Valid());
    WriteFile(files.backup, "keep the log in place at start-up\r\n");
    StartBridge();
    ASSERT_TRUE(WaitFor([] { return !Dialogs(kTitle).empty(); }, 4000));
    const std::string text = DialogText(Dialogs(kTitle)[0]);
    EXPECT_NE(text.find(files.log), std::string::npos) << text;
    ::SendMessageA(::GetDlgItem(Dialogs(kTitle)[0], IDOK), BM_CLICK, 0, 0);
    ::Sleep(2500); // the same failure every second: no new box
    EXPECT_TRUE(Dialogs(kTitle).empty());
    EXPECT_TRUE(Got().empty());
    holder.Reset();
    ASSERT_TRUE(GotCount(1));
    EXPECT_EQ(Got()[0].text, kTextK1abc);
    EXPECT_FALSE(FileExists(files.log));
}

TEST_F(Bridge, SecondCopyExitsAndTheFirstStays)
{
    StartBridge();
    const HWND first = FindBridge();
    Process second(Quote(BuildPath("shell/plovik_bridge.exe")));
    EXPECT_EQ(second.WaitExit(8000), 0);
    EXPECT_TRUE(bridge->Running());
    EXPECT_EQ(FindBridge(), first);
}

} // namespace
} // namespace e2e
