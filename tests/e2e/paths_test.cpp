// Where the bridge looks for the log: the old per-user folder where it
// exists, else the local application-data folder (WSJT-X's on current
// Windows and under Wine, which has no old folder of its own).

#include "bridge_fixture.h"

#include <lmcons.h>
#include <shlobj.h>

namespace e2e {
namespace {

std::string UserName()
{
    char user[UNLEN + 1];
    DWORD size = sizeof user;
    return ::GetUserNameA(user, &size) ? std::string(user) : std::string();
}

std::string LocalAppDataWsjtx()
{
    char appData[MAX_PATH] = "";
    ::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::string(appData) + "\\WSJT-X";
}

class Paths : public BridgeTest {
protected:
    void TearDown() override
    {
        BridgeTest::TearDown();
        RemoveFile(m_oldFolder + "\\wsjtx_log.adi");
        RemoveFile(m_oldFolder + "\\wsjtx_log_bak.adi");
        RemoveFilesIn(m_oldFolder + "\\plovik_bridge_outbox");
        ::RemoveDirectoryA((m_oldFolder + "\\plovik_bridge_outbox").c_str());
        // Only what this test made; the prefix has no such folders otherwise.
        for (std::string folder = m_oldFolder; folder.size() > m_oldRoot.size();
             folder = folder.substr(0, folder.find_last_of('\\')))
            ::RemoveDirectoryA(folder.c_str());
        ::RemoveDirectoryA(m_oldRoot.c_str());
    }

    const std::string m_oldRoot = "C:\\Documents and Settings";
    const std::string m_oldFolder =
        m_oldRoot + "\\" + UserName() + "\\Local Settings\\Application Data\\WSJT-X";
};

TEST_F(Paths, WithoutTheOldFolderTheLogIsInLocalApplicationData)
{
    ASSERT_FALSE(UserName().empty());
    ASSERT_EQ(::GetFileAttributesA(m_oldRoot.c_str()), INVALID_FILE_ATTRIBUTES)
        << "this prefix has the old folders; the case is not reachable here";
    EXPECT_EQ(files.log, LocalAppDataWsjtx() + "\\wsjtx_log.adi");
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
    const std::string oldLog = m_oldFolder + "\\wsjtx_log.adi";
    PlaceFile(oldLog, WsjtxSamples().oneContact);
    StartLogvex();
    StartBridge();
    // Moved aside at start, in the old folder.
    EXPECT_FALSE(FileExists(oldLog));
    EXPECT_EQ(ReadFileBytes(m_oldFolder + "\\wsjtx_log_bak.adi"), WsjtxSamples().oneContact);

    // A log in the new folder is not the bridge's; one in the old folder is.
    PlaceFile(files.log, WsjtxSamples().oneContact);
    EXPECT_TRUE(HoldsFor([&] { return Got().empty() && FileExists(files.log); }, 1500));
    PlaceFile(oldLog, WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n");
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
    EXPECT_FALSE(FileExists(oldLog));
    EXPECT_TRUE(FileExists(files.log));
}

} // namespace
} // namespace e2e
