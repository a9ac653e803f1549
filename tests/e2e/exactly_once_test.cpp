// Every contact WSJT-X logs reaches Logvex exactly once, also when Logvex is
// away or comes and goes while WSJT-X keeps logging.

#include "bridge_fixture.h"

namespace e2e {
namespace {

using ExactlyOnce = BridgeTest;

std::vector<std::string> Texts(const std::vector<Received>& got)
{
    std::vector<std::string> texts;
    for (const Received& r : got)
        texts.push_back(r.bytes);
    return texts;
}

// WSJT-X appends to the file the bridge keeps while Logvex is away: each
// contact must still arrive as its own message, not one merged from them.
TEST_F(ExactlyOnce, SeveralContactsLoggedWithoutLogvexAllArrive)
{
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ::Sleep(1500);
    Log({WsjtxSamples().g4xyz});
    ::Sleep(1500);
    EXPECT_TRUE(FileExists(files.log));
    const std::string g4xyz = Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n");
    StartLogvex();
    EXPECT_TRUE(GotExactly(2, 8000)) << Got().size() << " received";
    EXPECT_EQ(Texts(Got()), (std::vector<std::string>{kTextK1abc, g4xyz}));
}

// Contacts at WSJT-X's pace while Logvex closes after the second one and is
// started again: each arrives once, in order, byte for byte.
TEST_F(ExactlyOnce, ContactsAtWsjtxPaceWhileLogvexComesAndGoes)
{
    StartLogvex("--close-after 2");
    StartBridge();
    const std::string& k1abc = WsjtxSamples().k1abc;
    ASSERT_EQ(k1abc.rfind("<call:5>K1ABC ", 0), 0u);
    std::vector<std::string> records, expected;
    for (const char* call : {"W1AA1", "W1AA2", "W1AA3", "W1AA4", "W1AA5"}) {
        records.push_back(std::string("<call:5>") + call + k1abc.substr(13));
        expected.push_back(call + std::string(kTextK1abc).substr(5));
    }
    std::unique_ptr<Process> writer =
        LogInBackground(records, "--gap-min-ms 1100 --gap-max-ms 1600 --seed 7");
    ASSERT_TRUE(WaitFor([] { return FindLogvex() == nullptr; }, 10000)) << "Logvex did not close";
    StartLogvex();
    EXPECT_EQ(writer->WaitExit(15000), 0);
    EXPECT_TRUE(GotExactly(expected.size(), 8000)) << Got().size() << " received";
    EXPECT_EQ(Texts(Got()), expected);
}

// Logvex goes while the bridge reads the file, so the contact is taken
// from it but not delivered; then the user closes the bridge. The contact
// is kept, and goes out once, after the next start.
TEST_F(ExactlyOnce, ContactHeldWhenTheBridgeClosesArrivesAfterItsNextStart)
{
    StartLogvex("--close-when-read " + Quote(files.log));
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([] { return FindLogvex() == nullptr; })) << "Logvex did not close";
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "the bridge read the file";
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(10000), 0);
    EXPECT_TRUE(Got().empty());
    EXPECT_EQ(ReadFileBytes(files.unsent), std::string(kTextK1abc) + "\n");

    StartLogvex();
    StartBridge();
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.unsent)) << "taken back, so never sent again";

    // And not again after one more restart.
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(10000), 0);
    EXPECT_FALSE(FileExists(files.unsent));
    StartBridge();
    EXPECT_TRUE(GotExactly(1));
}

} // namespace
} // namespace e2e
