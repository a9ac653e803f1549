// The stand-ins themselves: WSJT-X's writing and Logvex's record must be
// exact, or the other tests prove nothing.

#include "bridge_fixture.h"

#include <sstream>

namespace e2e {
namespace {

std::string WithCrlf(const std::string& text)
{
    std::string crlf;
    for (char c : text) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r'))
            crlf += '\r';
        crlf += c;
    }
    return crlf;
}

using Peers = BridgeTest;

TEST_F(Peers, WsjtxPeerWritesTheLogAsWsjtxDoes)
{
    Log({WsjtxSamples().k1abc});
    EXPECT_EQ(ReadFileBytes(files.log), WsjtxSamples().oneContact);
    Log({WsjtxSamples().g4xyz});
    EXPECT_EQ(ReadFileBytes(files.log),
              Dated(WithCrlf(ReadFileBytes(DataFile("wsjtx/wsjtx-2.6.1-linux-two-contacts.adi"))),
                    {WsjtxSamples().date, WsjtxSamples().time}));
}

TEST_F(Peers, LogvexPeerRecordsEveryByteOfEveryMessage)
{
    StartLogvex();
    const std::string tricky("K1ABC#\n10001 3 0 0\n#\0#\r\n", 23);
    const std::string texts[] = {tricky, "", "second#"};
    ULONG_PTR kind = 10001;
    for (const std::string& text : texts) {
        COPYDATASTRUCT packet{kind++, static_cast<DWORD>(text.size()),
                              const_cast<char*>(text.data())};
        ::SendMessageA(FindLogvex(), WM_COPYDATA, 4242, reinterpret_cast<LPARAM>(&packet));
    }
    const std::vector<Received> got = Got();
    ASSERT_EQ(got.size(), 3u);
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].kind, 10001u + i);
        EXPECT_EQ(got[i].cbData, texts[i].size());
        EXPECT_EQ(got[i].bytes, texts[i]);
        EXPECT_EQ(got[i].sender, 4242u);
    }
    EXPECT_LE(got[0].time, got[1].time);
    EXPECT_LE(got[1].time, got[2].time);
}

TEST_F(Peers, WsjtxPeerHoldsTheFileAsQtDoesAndTellsWhenItLetGo)
{
    const std::string times = m_scratch + "\\times.txt";
    RemoveFile(times);
    FILETIME before;
    ::GetSystemTimePreciseAsFileTime(&before);
    const std::unique_ptr<Process> writer =
        LogInBackground({WsjtxSamples().k1abc, WsjtxSamples().g4xyz},
                        "--gap-min-ms 300 --gap-max-ms 300 --hold-ms 700 --times " + Quote(times));
    ASSERT_TRUE(WaitFor([&] { return FileExists(files.log); }));
    // While WSJT-X writes, others may read but not shut writers out.
    {
        OpenFile reader(files.log, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        EXPECT_TRUE(reader.Valid());
    }
    OpenFile bridgeLike(files.log, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(bridgeLike.Valid());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    bridgeLike.Close();
    ASSERT_EQ(writer->WaitExit(10000), 0);

    std::istringstream lines(ReadFileBytes(times));
    unsigned long long first = 0, second = 0;
    int written1 = 0, written2 = 0;
    ASSERT_TRUE(lines >> first >> written1 >> second >> written2) << ReadFileBytes(times);
    const unsigned long long start =
        (static_cast<unsigned long long>(before.dwHighDateTime) << 32) | before.dwLowDateTime;
    EXPECT_GE(first, start + 10000ULL * (300 + 700)); // gap and hold, in 100 ns
    EXPECT_GE(second, first + 10000ULL * (300 + 700));
    EXPECT_EQ(written1, 1);
    EXPECT_EQ(written2, 1);
}

// WSJT-X tries each append once: while another program holds its file with
// writers shut out, the contact is lost, and the peer tells. The next one,
// once the file is free, is logged.
TEST_F(Peers, WsjtxPeerCannotLogWhileTheFileIsHeldAndSaysSo)
{
    const std::string times = m_scratch + "\\times.txt";
    RemoveFile(times);
    Log({WsjtxSamples().k1abc});
    {
        OpenFile holder(files.log, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        ASSERT_TRUE(holder.Valid());
        const std::unique_ptr<Process> writer =
            LogInBackground({WsjtxSamples().g4xyz}, "--times " + Quote(times));
        EXPECT_EQ(writer->WaitExit(10000), 2) << "WSJT-X could not log this contact";
    }
    EXPECT_EQ(ReadFileBytes(files.log), WsjtxSamples().oneContact);
    const std::unique_ptr<Process> writer =
        LogInBackground({WsjtxSamples().g4xyz}, "--times " + Quote(times));
    EXPECT_EQ(writer->WaitExit(10000), 0);
    EXPECT_EQ(ReadFileBytes(files.log), WsjtxSamples().oneContact + WsjtxSamples().g4xyz + "\r\n");

    std::istringstream lines(ReadFileBytes(times));
    unsigned long long refusedAt = 0, writtenAt = 0;
    int refused = -1, written = -1;
    ASSERT_TRUE(lines >> refusedAt >> refused >> writtenAt >> written) << ReadFileBytes(times);
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(written, 1);
    EXPECT_LT(refusedAt, writtenAt);
}

} // namespace
} // namespace e2e
