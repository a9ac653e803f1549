// Where the bridge looks for the log: the old per-user folder where it
// exists, else the local application-data folder (WSJT-X's on current
// Windows and under Wine, which has no old folder of its own).

#include "bridge_fixture.h"
#include "instance_guard.h"
#include "log_paths.h"
#include "outbox_names.h"
#include "wide.h"

#include <lmcons.h>
#include <shlobj.h>

#include <sstream>

namespace e2e {
namespace {

using plovik::win32::Narrow;
using plovik::win32::Widen;

std::string UserName()
{
    char user[UNLEN + 1];
    DWORD size = sizeof user;
    return ::GetUserNameA(user, &size) ? std::string(user) : std::string();
}

std::string LocalAppData()
{
    wchar_t wide[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, wide);
    return Narrow(wide);
}

std::string FolderOf(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

// Points the user's local application-data folder elsewhere for as long as
// it lives.
//
// How Wine (dlls/shell32/shellpath.c) resolves it: SHGetFolderPathW reads
// "Local AppData" from HKCU's ...\Explorer\User Shell Folders (REG_SZ or
// REG_EXPAND_SZ, expanded only when it begins with '%'), else HKLM's, else
// takes %USERPROFILE%\AppData\Local; it copies what it found to
// ...\Explorer\Shell Folders (written, never read), and fails with "file
// not found" while the folder does not exist. SHGetFolderPathA is the wide
// call converted to the ANSI code page, letters outside it becoming '?'.
class LocalAppDataOverride {
public:
    explicit LocalAppDataOverride(const std::string& folder) : m_old(Read())
    {
        m_set = !m_old.empty() && Write(Widen(folder));
    }
    ~LocalAppDataOverride()
    {
        if (m_set && Write(m_old))
            LocalAppData(); // Shell Folders as it was, too
    }
    LocalAppDataOverride(const LocalAppDataOverride&) = delete;
    LocalAppDataOverride& operator=(const LocalAppDataOverride&) = delete;

    bool Set() const { return m_set; }

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const wchar_t* kValue = L"Local AppData";

    static std::wstring Read()
    {
        wchar_t value[MAX_PATH] = L"";
        DWORD size = sizeof value;
        return ::RegGetValueW(HKEY_CURRENT_USER, kKey, kValue,
                              RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                              &size) == ERROR_SUCCESS
                   ? value
                   : L"";
    }
    static bool Write(const std::wstring& value)
    {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_EXPAND_SZ, value.c_str(),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }

    const std::wstring m_old;
    bool m_set = false;
};

std::string LocalAppDataAnsi()
{
    char ansi[MAX_PATH] = "";
    ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, ansi);
    return ansi;
}

void FreeFromProcessHeap(char* text)
{
    ::HeapFree(::GetProcessHeap(), 0, text);
}
// A text Wine allocated for us on the process heap.
using HeapText =
    plovik::win32::UniqueHandle<plovik::win32::HandleTraits<char*, FreeFromProcessHeap>>;

// Removes a folder and what it holds from the Linux side, behind Wine's
// back, so that it is really gone. Wine's own delete of a folder under watch
// keeps it whole (listed, usable, not even marked for deletion) until the
// watch is closed, and wakes no one.
bool RemoveFromLinux(const std::string& folder)
{
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const HeapText unixName(unixFileName ? unixFileName(Widen(folder).c_str()) : nullptr);
    if (!unixName)
        return false;
    Process rm("Z:\\bin\\rm -rf " + Quote(unixName.get()));
    return WaitFor([&] { return !FileExists(folder); });
}

class Paths : public BridgeTest {
protected:
    // Each test remakes the prefix's own layout: the old folders, another
    // profile, the user's shell folders in the registry, a folder removed
    // from Linux. On a real Windows that is the user's own profile.
    void SetUp() override
    {
        if (!::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
            GTEST_SKIP() << "remakes a Wine prefix's profile layout; not on a real Windows";
        m_setUp = true;
        BridgeTest::SetUp();
    }

    void TearDown() override
    {
        if (!m_setUp)
            return;
        BridgeTest::TearDown();
        const std::string wsjtx = "\\AppData\\Local\\WSJT-X";
        if (!m_profile.empty())
            for (const std::string& tail :
                 {wsjtx + "\\" + plovik::kOutboxFolderName, wsjtx, std::string("\\AppData\\Local"),
                  std::string("\\AppData"), std::string()})
                ::RemoveDirectoryW(Widen(m_profile + tail).c_str());
        // Its log, backup, record and our mark: all this test's, as the
        // prefix has no such folders otherwise.
        RemoveFilesIn(m_oldFolder);
        RemoveFilesIn(m_oldOutbox);
        ::RemoveDirectoryA(m_oldOutbox.c_str());
        for (std::string folder = m_oldFolder; folder.size() > m_oldRoot.size();
             folder = folder.substr(0, folder.find_last_of('\\')))
            ::RemoveDirectoryA(folder.c_str());
        ::RemoveDirectoryA(m_oldRoot.c_str());
    }

    // Logs one contact: how long after WSJT-X closed the file Logvex got it,
    // in milliseconds, or -1 when it did not.
    long long LogAndTime(const std::string& record)
    {
        const std::string times = m_scratch + "\\times.txt";
        RemoveFile(times);
        const std::size_t before = Got().size();
        const std::unique_ptr<Process> writer =
            LogInBackground({record}, "--times " + Quote(times));
        if (writer->WaitExit(10000) != 0 || !WaitFor([&] { return Got().size() > before; }, 3000))
            return -1;
        unsigned long long closed = 0;
        std::istringstream(ReadFileBytes(times)) >> closed;
        return (static_cast<long long>(Got()[before].time) - static_cast<long long>(closed)) /
               10000;
    }

    bool m_setUp = false;
    std::string m_profile; // a profile folder this test made
    // The files of the old per-user layout, as the bridge names them where
    // that layout exists.
    const plovik::LogPaths m_old = plovik::ChooseLogPaths(
        UserName(), [](const std::string&) { return true; }, LocalAppData());
    const std::string m_oldFolder = FolderOf(m_old.m_strLogPath);
    const std::string m_oldOutbox = m_oldFolder + "\\" + plovik::kOutboxFolderName;
    const std::string m_oldRoot = FolderOf(plovik::kDocumentsAndSettings);
};

TEST_F(Paths, WithoutTheOldFolderTheLogIsInLocalApplicationData)
{
    ASSERT_FALSE(UserName().empty());
    ASSERT_EQ(::GetFileAttributesA(m_oldRoot.c_str()), INVALID_FILE_ATTRIBUTES)
        << "this prefix has the old folders; the case is not reachable here";
    EXPECT_EQ(files.log, LocalAppData() + "\\WSJT-X\\wsjtx_log.adi");
    StartLogvex();
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
}

TEST_F(Paths, TheOldPerUserFolderIsPreferredWhereItExists)
{
    for (std::size_t at = m_oldRoot.size(); at != std::string::npos;
         at = m_oldFolder.find('\\', at + 1))
        ::CreateDirectoryA(m_oldFolder.substr(0, at).c_str(), nullptr);
    ASSERT_TRUE(::CreateDirectoryA(m_oldFolder.c_str(), nullptr)) << m_oldFolder;
    const std::string& oldLog = m_old.m_strLogPath;
    PlaceFile(oldLog, WsjtxSamples().oneContact);
    StartLogvex();
    StartBridge();
    // Moved aside at start, in the old folder.
    EXPECT_FALSE(FileExists(oldLog));
    EXPECT_EQ(ReadFileBytes(m_old.m_strBakPath), WsjtxSamples().oneContact);

    // A log in the old folder is the bridge's; so is one in the new, as
    // every WSJT-X folder in the local application data is.
    PlaceFile(oldLog, WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n");
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
    EXPECT_FALSE(FileExists(oldLog));
    PlaceFile(files.log, WsjtxSamples().oneContact);
    ASSERT_TRUE(GotExactly(2));
    EXPECT_EQ(Got()[1].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.log));
}

TEST_F(Paths, WsjtxFolderDeletedAndMadeAgainIsWatchedAgain)
{
    StartLogvex();
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1; }));
    ASSERT_TRUE(RemoveFromLinux(files.folder));
    // Wine tells the bridge nothing of it: it must see for itself that the
    // folder has gone, or go on watching the old one and miss the new.
    // The bridge looks for the folder at least once a tick, and watches it
    // again by the tick after it is back.
    ::Sleep(1500);
    ASSERT_TRUE(MakeInstanceFolder(files.folder));
    ::Sleep(1500);
    // Through the folder watch a contact comes within milliseconds; through
    // the one-second tick alone, anywhere within that second: four within a
    // quarter of it each, once in 250 runs.
    // Each a contact of its own: one Logvex had would not be sent again.
    std::string record;
    for (int i = 0; i < 4; ++i) {
        record = RecordOf("G4XY" + std::to_string(i));
        const long long ms = LogAndTime(record);
        ASSERT_GE(ms, 0) << "contact " << i << " did not come";
        EXPECT_LT(ms, 250) << "contact " << i << " came " << ms << " ms after it was logged";
    }
    EXPECT_EQ(Got().size(), 5u);
    EXPECT_EQ(Got().back().bytes, Adif2msg(WsjtxSamples().header + record + "\r\n"));
}

TEST_F(Paths, ProfileFolderNamedOutsideTheAnsiCodePage)
{
    // A Russian user's profile on Windows set up for Western Europe.
    m_profile = u8"C:\\users\\Пользователь";
    const std::string appData = m_profile + "\\AppData\\Local";
    for (const std::string& folder : {m_profile, m_profile + "\\AppData", appData})
        MakeFolder(folder);
    const LocalAppDataOverride override(appData);
    ASSERT_TRUE(override.Set());
    ASSERT_EQ(LocalAppData(), appData);
    ASSERT_NE(LocalAppDataAnsi(), appData) << "the ANSI code page holds the name";
    files = Watched();
    ASSERT_EQ(files.folder, appData + "\\WSJT-X");
    ASSERT_TRUE(MakeFolder(files.folder));

    StartLogvex();
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.log));
}

} // namespace
} // namespace e2e
