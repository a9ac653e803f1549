// The stand-ins themselves: WSJT-X's writing and Logvex's record must be
// exact, or the other tests prove nothing.

#include "bridge_fixture.h"

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
    EXPECT_EQ(
        ReadFileBytes(files.log),
        WithCrlf(ReadFileBytes(SourcePath("tests/data/wsjtx/wsjtx-2.6.1-linux-two-contacts.adi"))));
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

} // namespace
} // namespace e2e
