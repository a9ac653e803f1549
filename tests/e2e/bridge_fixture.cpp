#include "bridge_fixture.h"

#include "instance_guard.h"
#include "outbox_names.h"
#include "wide.h"

#include <cstdio>
#include <utility>

namespace e2e {
namespace {

std::string Quoted(const std::vector<std::string>& records)
{
    std::string options;
    for (const std::string& record : records)
        options += " --record " + Quote(record);
    return options;
}

std::string LineOf(const std::string& text, std::size_t index)
{
    std::size_t at = 0;
    for (std::size_t i = 0; i < index && at != std::string::npos; ++i)
        at = text.find('\n', at) + 1;
    std::string line = text.substr(at, text.find('\n', at) - at);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

const char* const kTextK1abc = "K1ABC#-12#-15#14075.00#Bob#FT8#FN42##RSTS -15  RSTR -12   "
                               "tnx fer QSO####RSTS -15#RSTR -12#100#";
const char* const kTextK1abcNoFreq = "K1ABC#-12#-15##Bob#FT8#FN42##RSTS -15  RSTR -12   "
                                     "tnx fer QSO####RSTS -15#RSTR -12#100#";

const std::string& BridgeTitle()
{
    static const std::string title = [] {
        const plovik::win32::UniqueModule program(::LoadLibraryExW(
            plovik::win32::Widen(BridgeProgram()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        char text[256];
        const int length =
            program ? ::LoadStringA(program.get(), IDS_APP_TITLE, text, sizeof text) : 0;
        return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    }();
    return title;
}

AdifMoment UtcAgo(long long secondsAgo)
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(secondsAgo) * 10000000ULL;
    now.dwLowDateTime = ticks.LowPart;
    now.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME at{};
    ::FileTimeToSystemTime(&now, &at);
    char date[16], time[16];
    std::snprintf(date, sizeof date, "%04u%02u%02u", at.wYear, at.wMonth, at.wDay);
    std::snprintf(time, sizeof time, "%02u%02u%02u", at.wHour, at.wMinute, at.wSecond);
    return {date, time};
}

std::string Dated(std::string text, const AdifMoment& at)
{
    for (const auto& [tag, value] :
         {std::pair{"<qso_date:8>", &at.date}, std::pair{"<qso_date_off:8>", &at.date},
          std::pair{"<time_on:6>", &at.time}, std::pair{"<time_off:6>", &at.time}}) {
        const std::string name = tag;
        for (std::size_t found = text.find(name); found != std::string::npos;
             found = text.find(name, found + 1))
            text.replace(found + name.size(), value->size(), *value);
    }
    return text;
}

const Samples& WsjtxSamples()
{
    static const Samples samples = [] {
        Samples s;
        const AdifMoment now = UtcAgo(0);
        s.date = now.date;
        s.time = now.time;
        s.oneContact =
            Dated(ReadFileBytes(DataFile("wsjtx/wsjtx-2.6.1-one-contact-crlf.adi")), now);
        const std::string two =
            Dated(ReadFileBytes(DataFile("wsjtx/wsjtx-2.6.1-linux-two-contacts.adi")), now);
        s.header = s.oneContact.substr(0, s.oneContact.find("<eoh>\r\n") + 7);
        s.k1abc = LineOf(s.oneContact, 6);
        s.g4xyz = LineOf(two, 7);
        return s;
    }();
    return samples;
}

std::size_t RecordsIn(const std::string& path)
{
    const std::string text = ReadFileBytes(path);
    std::size_t records = 0;
    for (std::size_t at = text.find("<call:"); at != std::string::npos;
         at = text.find("<call:", at + 1))
        ++records;
    return records;
}

HWND FindBridge()
{
    return ::FindWindowA(plovik::kFrameClassName, nullptr);
}

HWND FindLogvex()
{
    return ::FindWindowA("Logvex", nullptr);
}

HWND BridgeControl(int id)
{
    const HWND form = ::FindWindowExA(FindBridge(), nullptr, "#32770", nullptr);
    return form ? ::GetDlgItem(form, id) : nullptr;
}

COLORREF Light(int id)
{
    // The window text, which a light keeps as its accessible name.
    const std::string name = WindowText(BridgeControl(id));
    const auto endsWith = [&](const std::string& end) {
        return name.size() > end.size() &&
               name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    return endsWith(": running") ? kGreen : endsWith(": not running") ? kGrey : CLR_INVALID;
}

bool BringBridgeToFront()
{
    const HWND bridge = FindBridge();
    if (!bridge)
        return false;
    // Windows lets the process that had the last input event set the
    // foreground window: a key of no effect makes it this one.
    INPUT keys[2]{};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_SHIFT;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof keys[0]);
    ::SetForegroundWindow(bridge);
    ::BringWindowToTop(bridge);
    return WaitFor([bridge] { return ::GetForegroundWindow() == bridge; });
}

bool BridgeAnswers(DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    const HWND bridge = FindBridge();
    return bridge &&
           ::SendMessageTimeoutA(bridge, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

void BridgeTest::SetUp()
{
    ASSERT_EQ(WsjtxSamples().k1abc.substr(0, 12), "<call:5>K1AB") << "sample logs not found";
    ASSERT_EQ(WsjtxSamples().g4xyz.substr(0, 12), "<call:5>G4XY");
    ASSERT_FALSE(BridgeTitle().empty()) << "the program's title cannot be read";
    files = Watched();
    MakeInstanceFolder(files.folder);
    RemoveFile(files.log);
    RemoveFile(files.backup);
    RemoveFile(files.unsent);
    // Each test starts as the bridge's first start in the folder, to which
    // Logvex has had nothing.
    RemoveFolder(files.outbox);
    RemoveFile(files.sent);
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    // Suite and test: two suites may hold tests of the same name.
    const std::string name = std::string(test.test_suite_name()) + "." + test.name();
    m_scratch = ScratchFolder() + "\\" + name;
    MakeFolder(m_scratch);
    m_received = m_scratch + "\\received.txt";
    RemoveFile(m_received);
    ASSERT_TRUE(WaitFor([] {
        return !FindBridge() && !FindLogvex() && !::FindWindowA("Qt5QWindowIcon", nullptr);
    })) << "a bridge, Logvex or WSJT-X of an earlier test is still running";
}

void BridgeTest::TearDown()
{
    for (HWND box : Boxes())
        DismissBox(box);
    bridge.reset();
    logvex.reset();
    wsjtx.reset();
    RemoveFile(files.log);
    RemoveFile(files.backup);
    RemoveFile(files.unsent);
    RemoveFile(files.sent);
    RemoveFilesIn(files.outbox);
    for (const std::string& folder : m_instanceFolders) {
        RemoveFolder(folder + "\\" + plovik::kOutboxFolderName);
        RemoveFolder(folder);
    }
}

std::string BridgeTest::InstanceFolder(const std::string& name)
{
    const std::string folder = files.appData + "\\" + name;
    RemoveFolder(folder + "\\" + plovik::kOutboxFolderName);
    RemoveFolder(folder);
    EXPECT_TRUE(MakeInstanceFolder(folder)) << folder;
    m_instanceFolders.push_back(folder);
    return folder;
}

std::string RecordOf(const std::string& call)
{
    std::string record = WsjtxSamples().k1abc;
    const std::string from = "<call:5>K1ABC";
    EXPECT_EQ(record.compare(0, from.size(), from), 0);
    EXPECT_EQ(call.size(), 5u);
    return record.replace(0, from.size(), "<call:5>" + call);
}

void BridgeTest::PlaceLogKeptAtStart(const std::string& content)
{
    // Old history: a contact of its own, or Logvex would be taken to have
    // the log's already.
    PlaceFile(files.backup, WsjtxSamples().header + RecordOf("W9OLD") + "\r\n");
    PlaceFile(files.log, content);
}

void BridgeTest::StartBridge(const std::string& arguments, const std::string& program)
{
    bridge = std::make_unique<Process>(Quote(program) + (arguments.empty() ? "" : " " + arguments));
    ASSERT_TRUE(bridge->Started());
    // The initial update has run when the badge and both lights show pictures.
    ASSERT_TRUE(WaitFor([] {
        for (int id : {kBadge, kLogLight, kProgLight})
            if (!::SendMessageA(BridgeControl(id), STM_GETIMAGE, IMAGE_BITMAP, 0))
                return false;
        return ::IsWindowVisible(FindBridge()) != FALSE;
    })) << "the bridge did not come up";
}

void BridgeTest::StartLogvex(const std::string& options)
{
    logvex = std::make_unique<Process>(Quote(PeerProgram("logvex-peer.exe")) + " --out " +
                                       Quote(m_received) + " " + options);
    ASSERT_TRUE(WaitFor([] { return FindLogvex() != nullptr; })) << "no Logvex window";
}

void BridgeTest::StartWsjtx(const std::string& windowClass, const std::string& title)
{
    wsjtx = std::make_unique<Process>(Quote(PeerProgram("wsjtx-peer.exe")) + " --class " +
                                      Quote(windowClass) + " --title " + Quote(title));
    ASSERT_TRUE(WaitFor([&] { return ::FindWindowA(windowClass.c_str(), nullptr) != nullptr; }))
        << windowClass;
}

void BridgeTest::LogTo(const std::string& log, const std::vector<std::string>& records)
{
    Process writer(Quote(PeerProgram("wsjtx-peer.exe")) + " --log " + Quote(log) + Quoted(records));
    ASSERT_EQ(writer.WaitExit(10000), 0) << "WSJT-X could not log the contact";
}

std::unique_ptr<Process> BridgeTest::LogInBackground(const std::vector<std::string>& records,
                                                     const std::string& options)
{
    return std::make_unique<Process>(Quote(PeerProgram("wsjtx-peer.exe")) + " --log " +
                                     Quote(files.log) + Quoted(records) + " " + options);
}

std::string BridgeTest::Adif2msg(const std::string& fileContent, bool noFreq)
{
    const std::string input = m_scratch + "\\adif2msg-input.adi";
    const std::string output = m_scratch + "\\adif2msg-output.txt";
    WriteFileBytes(input, fileContent);
    Process tool(Quote(Adif2msgProgram()) + (noFreq ? " --no-freq " : " ") + Quote(input), output);
    EXPECT_EQ(tool.WaitExit(10000), 0) << "adif2msg failed";
    std::string text = ReadFileBytes(output);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

bool BridgeTest::GotExactly(std::size_t n, DWORD timeoutMs) const
{
    return WaitFor([&] { return Got().size() >= n; }, timeoutMs) &&
           HoldsFor([&] { return Got().size() == n; }, 1500);
}

bool BridgeTest::DismissBox(HWND box)
{
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return WaitFor([box] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 3000);
}

} // namespace e2e
