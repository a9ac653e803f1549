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

// Contacts logged while Logvex is away wait in the outbox, each in the file
// WSJT-X wrote it in, and arrive in order, each as its own message.
TEST_F(ExactlyOnce, SeveralContactsLoggedWithoutLogvexAllArrive)
{
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); }));
    Log({WsjtxSamples().g4xyz});
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); }));
    EXPECT_EQ(FilesIn(files.outbox).size(), 2u);
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

// Logvex goes while the bridge takes the file, so the contact waits in the
// outbox; then the user closes the bridge. The contact goes out once, after
// the next start, and never again.
TEST_F(ExactlyOnce, ContactWaitingWhenTheBridgeClosesArrivesOnceAfterItsNextStart)
{
    StartLogvex("--close-when-read " + Quote(files.log));
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([] { return FindLogvex() == nullptr; })) << "Logvex did not close";
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "the bridge took the file";
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(10000), 0);
    EXPECT_TRUE(Got().empty());
    EXPECT_EQ(FilesIn(files.outbox).size(), 1u);
    EXPECT_FALSE(FileExists(files.unsent)) << "no longer written";

    StartLogvex();
    StartBridge();
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_TRUE(FilesIn(files.outbox).empty());

    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(10000), 0);
    StartBridge();
    EXPECT_TRUE(GotExactly(1));
}

// The user closes the bridge while Logvex asks its user about a contact:
// the bridge waits for the answer, answering meanwhile, records the
// delivery, sends nothing more and ends. The next start sends only the
// contact that was still waiting.
TEST_F(ExactlyOnce, ClosingWhileLogvexHandlesAContactWaitsForItsAnswer)
{
    StartLogvex("--prompt 8000 --prompt-at 1");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1; })) << "not sent";
    Log({WsjtxSamples().g4xyz});
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "not taken";
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    EXPECT_TRUE(HoldsFor([] { return BridgeAnswers(2000); }, 4000)) << "did not wait";
    ASSERT_EQ(bridge->WaitExit(15000), 0);
    EXPECT_EQ(Got().size(), 1u) << "a new send after the close";
    EXPECT_EQ(FilesIn(files.outbox).size(), 1u) << "the first recorded, the second waiting";

    StartBridge();
    ASSERT_TRUE(WaitFor([&] { return Got().size() >= 2; }));
    EXPECT_TRUE(HoldsFor([&] { return Got().size() == 2; }, 3000)) << Got().size() << " received";
    EXPECT_EQ(Texts(Got()),
              (std::vector<std::string>{
                  kTextK1abc, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n")}));
}

// Logvex still holds the contact half a minute after the close: the bridge
// ends all the same, and the contact stays in the outbox for the next start.
TEST_F(ExactlyOnce, ClosingWhileLogvexHoldsAContactEndsAfterHalfAMinute)
{
    StartLogvex("--prompt 60000 --prompt-at 1");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1; })) << "not sent";
    const DWORD closed = ::GetTickCount();
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    ASSERT_EQ(bridge->WaitExit(45000), 0);
    const DWORD took = ::GetTickCount() - closed;
    EXPECT_GE(took, 29000u);
    EXPECT_LT(took, 36000u);
    EXPECT_EQ(FilesIn(files.outbox).size(), 1u);
}

// What an earlier version kept at its close is taken over and goes first.
TEST_F(ExactlyOnce, ContactsKeptByAnEarlierVersionArriveFirst)
{
    WriteFileBytes(files.unsent, std::string(kTextK1abc) + "\n");
    PlaceLogKeptAtStart(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n");
    StartLogvex();
    StartBridge();
    ASSERT_TRUE(GotExactly(2));
    EXPECT_EQ(Texts(Got()),
              (std::vector<std::string>{
                  kTextK1abc, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n")}));
    EXPECT_FALSE(FileExists(files.unsent));
    EXPECT_TRUE(FilesIn(files.outbox).empty());
}

} // namespace
} // namespace e2e
