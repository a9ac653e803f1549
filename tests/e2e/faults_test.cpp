// When things go wrong around the bridge: no contact lost, none sent twice,
// no pile of boxes.

#include "bridge_fixture.h"
#include "outbox_names.h"
#include "reports.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace e2e {
namespace {

class Faults : public BridgeTest {
protected:
    // The log cannot be deleted: one box naming it, then neither another box
    // every second nor the contact sent.
    void ExpectOneReportAndNothingSent()
    {
        ASSERT_TRUE(WaitFor([] { return !Boxes().empty(); }, 4000)) << "no error box";
        const std::string text = StaticTexts(Boxes()[0]);
        EXPECT_NE(text.find(files.log), std::string::npos) << "the box names the file: " << text;
        ASSERT_TRUE(DismissBox(Boxes()[0]));
        EXPECT_TRUE(HoldsFor([&] { return Boxes().empty() && Got().empty(); }, 2500))
            << Boxes().size() << " boxes, " << Got().size() << " sent";
    }
    void ExpectTheSampleSentOnceAndTheLogGone()
    {
        ASSERT_TRUE(GotExactly(1));
        EXPECT_EQ(Got()[0].bytes, kTextK1abc);
        EXPECT_FALSE(FileExists(files.log));
    }
};

TEST_F(Faults, EmptyFileRaisesOneBoxAtATimeAndIsKept)
{
    StartLogvex();
    StartBridge();
    PlaceFile(files.log, "");
    ASSERT_TRUE(WaitFor([] { return !Boxes().empty(); }, 3000)) << "no box";
    EXPECT_NE(StaticTexts(Boxes()[0]).find("\n" + plovik::EmptyFileText() + "\n"),
              std::string::npos)
        << StaticTexts(Boxes()[0]);
    // The timer keeps ticking behind the box: still exactly one box.
    EXPECT_TRUE(HoldsFor([] { return Boxes().size() == 1; }, 3000)) << Boxes().size();
    EXPECT_TRUE(FileExists(files.log));
    EXPECT_TRUE(Got().empty());

    // WSJT-X fills the file while the box is up: a box holds up no transfer.
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    ASSERT_EQ(Boxes().size(), 1u);
    ::SendMessageA(::GetDlgItem(Boxes()[0], IDOK), BM_CLICK, 0, 0); // the user clicks OK
    EXPECT_TRUE(WaitFor([] { return Boxes().empty(); }));
}

TEST_F(Faults, EmptyFileBoxComesBackAfterDismissWhileTheFileStaysEmpty)
{
    StartLogvex();
    StartBridge();
    PlaceFile(files.log, "\r\n\r\n");
    ASSERT_TRUE(WaitFor([] { return Boxes().size() == 1; }, 3000));
    ASSERT_TRUE(DismissBox(Boxes()[0]));
    EXPECT_TRUE(WaitFor([] { return Boxes().size() == 1; }, 3000)) << "the next tick asks again";
    EXPECT_EQ(ReadFileBytes(files.log), "\r\n\r\n");
}

TEST_F(Faults, WithoutLogvexTheContactWaitsInTheOutboxUntilLogvexComes)
{
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); }, 2500))
        << "WSJT-X's file must not wait for Logvex";
    EXPECT_TRUE(HoldsFor([&] { return FilesIn(files.outbox).size() == 1; }, 1500));
    StartLogvex();
    ExpectTheSampleSentOnceAndTheLogGone();
    EXPECT_TRUE(WaitFor([&] { return FilesIn(files.outbox).empty(); }));
}

TEST_F(Faults, FileHeldForWritingIsWaitedForInSilence)
{
    StartLogvex();
    StartBridge();
    const std::unique_ptr<Process> writer =
        LogInBackground({WsjtxSamples().g4xyz}, "--hold-ms 3000");
    ASSERT_TRUE(WaitFor([&] { return FileExists(files.log); }));
    EXPECT_TRUE(HoldsFor([&] { return Boxes().empty() && Got().empty(); }, 2500));
    EXPECT_EQ(writer->WaitExit(10000), 0);
    ASSERT_TRUE(GotExactly(1));
    EXPECT_EQ(Got()[0].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Faults, UndeletableFileIsReportedOnceAndSentOnceFree)
{
    PlaceLogKeptAtStart(WsjtxSamples().oneContact);
    // Another program reads the file and does not let it be deleted.
    OpenFile holder(files.log, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_TRUE(holder.Valid());
    StartLogvex();
    StartBridge();
    ExpectOneReportAndNothingSent();
    holder.Close();
    ExpectTheSampleSentOnceAndTheLogGone();
}

// A read-only mark does not stop a move: the log is taken and sent, and the
// mark does not keep it in the outbox afterwards.
TEST_F(Faults, ReadOnlyLogIsTakenSentAndLeavesNothing)
{
    PlaceLogKeptAtStart(WsjtxSamples().oneContact);
    ASSERT_TRUE(::SetFileAttributesA(files.log.c_str(), FILE_ATTRIBUTE_READONLY));
    StartLogvex();
    StartBridge();
    ExpectTheSampleSentOnceAndTheLogGone();
    EXPECT_TRUE(WaitFor([&] { return FilesIn(files.outbox).empty(); }));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Faults, ReaderThatLetsGoWithinASecondIsWaitedForInSilence)
{
    PlaceLogKeptAtStart(WsjtxSamples().oneContact);
    {
        // A scanner or indexer that reads the file and does not let it be moved.
        OpenFile holder(files.log, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        ASSERT_TRUE(holder.Valid());
        StartLogvex();
        StartBridge();
        EXPECT_TRUE(HoldsFor([] { return Boxes().empty(); }, 700));
        EXPECT_TRUE(Got().empty()) << "sent while the file could not be taken";
    }
    ExpectTheSampleSentOnceAndTheLogGone();
    EXPECT_TRUE(HoldsFor([] { return Boxes().empty(); }, 1500)) << "a pointless box";
}

// A scanner that opens an outbox file for a moment, without sharing its
// deletion, while the bridge records a delivery in it (a rename, then the
// removal): the bridge waits for it, and each contact goes once, in order.
TEST_F(Faults, OutboxFileHeldForAMomentWhileItsDeliveryIsRecordedCostsNoBox)
{
    StartBridge();
    const std::string g4xyz = Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n");
    const struct {
        std::string log;
        std::vector<std::string> expected;
    } cases[] = {
        {WsjtxSamples().header + WsjtxSamples().k1abc + "\r\n" + WsjtxSamples().g4xyz + "\r\n",
         {kTextK1abc, g4xyz}}, // held while the first is recorded by a rename
        {WsjtxSamples().header + RecordOf("W2ABC") + "\r\n", // held while it is removed
         {Adif2msg(WsjtxSamples().header + RecordOf("W2ABC") + "\r\n")}},
    };
    std::vector<std::string> sent;
    for (const auto& c : cases) {
        PlaceFile(files.log, c.log);
        ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "not taken";
        const std::vector<std::string> waiting = FilesIn(files.outbox);
        ASSERT_EQ(waiting.size(), 1u);
        {
            OpenFile holder(files.outbox + "\\" + waiting[0], GENERIC_READ, FILE_SHARE_READ,
                            OPEN_EXISTING);
            ASSERT_TRUE(holder.Valid());
            StartLogvex();
            ASSERT_TRUE(WaitFor([&] { return Got().size() == sent.size() + 1; }));
            ::Sleep(300);
        }
        sent.insert(sent.end(), c.expected.begin(), c.expected.end());
        ASSERT_TRUE(GotExactly(sent.size()));
        for (std::size_t i = 0; i < sent.size(); ++i)
            EXPECT_EQ(Got()[i].bytes, sent[i]) << i;
        EXPECT_TRUE(WaitFor([&] { return FilesIn(files.outbox).empty(); }));
        EXPECT_TRUE(Boxes().empty()) << StaticTexts(Boxes()[0]);
        logvex.reset();
    }
}

TEST_F(Faults, LogvexClosingAndComingBackLosesNothing)
{
    StartLogvex("--close-after 1");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([] { return FindLogvex() == nullptr; })) << "Logvex did not close";
    Log({WsjtxSamples().g4xyz});
    EXPECT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "taken without Logvex";
    StartLogvex();
    ASSERT_TRUE(GotExactly(2));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_EQ(Got()[1].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
}

TEST_F(Faults, LogvexGoneBetweenTheProbeAndTheSendGetsTheContactWhenBack)
{
    // This Logvex closes while the bridge reads the file: after the tick's
    // probe found it, before the send reaches it.
    StartLogvex("--close-when-read " + Quote(files.log));
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([] { return FindLogvex() == nullptr; })) << "Logvex did not close";
    EXPECT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "the bridge read the file";
    EXPECT_TRUE(Got().empty());
    StartLogvex();
    ASSERT_TRUE(GotExactly(1)) << Got().size();
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
}

TEST_F(Faults, HungLogvexFreezesNeitherTheBridgeNorLosesTheContact)
{
    StartLogvex("--hang-at 0 --hang-seconds 9");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    // While Logvex does not answer, the bridge does.
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 6000) {
        DWORD_PTR result = 0;
        ASSERT_NE(::SendMessageTimeoutA(FindBridge(), WM_NULL, 0, 0, SMTO_NORMAL, 7000, &result), 0)
            << "the bridge hangs with Logvex";
        ::Sleep(250);
    }
    ASSERT_TRUE(WaitFor([&] { return !Got().empty(); }, 15000)) << "never sent";
    ASSERT_TRUE(GotExactly(1)) << "sent twice";
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_FALSE(FileExists(files.log));
}

// A Logvex that asks its user something inside its handler takes as long as
// the user does: the contact arrives once, and meanwhile the bridge's window
// goes on handling what is posted to it, not only what is sent to it.
TEST_F(Faults, VerySlowLogvexGetsTheContactOnceAndTheBridgeAnswersMeanwhile)
{
    StartLogvex("--slow 15000");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "not taken";
    ::Sleep(1000); // the send is under way
    const HWND box = BridgeControl(kNoFreq);
    for (int i = 0; i < 4; ++i) {
        const LRESULT before = ::SendMessageA(box, BM_GETCHECK, 0, 0);
        const DWORD start = ::GetTickCount();
        ASSERT_TRUE(::PostMessageA(box, BM_CLICK, 0, 0));
        EXPECT_TRUE(WaitFor([&] { return ::SendMessageA(box, BM_GETCHECK, 0, 0) != before; }, 2000))
            << "a posted click was not handled while Logvex was busy";
        EXPECT_LT(::GetTickCount() - start, 100u) << "click " << i;
        ::Sleep(1500);
    }
    EXPECT_TRUE(Got().empty()) << "Logvex is still in its handler";
    ASSERT_TRUE(WaitFor([&] { return !Got().empty(); }, 20000)) << "never sent";
    EXPECT_TRUE(HoldsFor([&] { return Got().size() == 1; }, 4000)) << Got().size() << " times";
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
}

// Logvex asks its user about a contact inside its handler, and the user
// takes minutes: the bridge waits for as long as Logvex lives, answering,
// with the Logvex light green and the next contact waiting in the outbox,
// and never sends the first one a second time into the open prompt.
TEST_F(Faults, LogvexPromptingForMinutesGetsEachContactOnce)
{
    StartLogvex("--prompt 130000 --prompt-at 1");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1; })) << "not sent";
    const DWORD prompted = ::GetTickCount();
    Log({WsjtxSamples().g4xyz});
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << "not taken";
    EXPECT_EQ(FilesIn(files.outbox).size(), 2u) << "both wait until Logvex has answered";
    // Past 120 s and 150 s, where sends used to be given up.
    while (::GetTickCount() - prompted < 125000) {
        ASSERT_TRUE(BridgeAnswers()) << "the bridge hangs with Logvex";
        ASSERT_EQ(Light(kLogLight), kGreen);
        ASSERT_EQ(Got().size(), 1u) << "sent while Logvex still prompts";
        ::Sleep(2000);
    }
    ASSERT_TRUE(GotExactly(2, 20000)) << Got().size() << " received";
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_EQ(Got()[1].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
    EXPECT_TRUE(WaitFor([&] { return FilesIn(files.outbox).empty(); }));
}

// Logvex is ended from Task Manager while it prompts inside our message:
// the contact never reached its log, so it goes to the next Logvex, and
// nothing tells of higher rights.
TEST_F(Faults, LogvexEndedWhilePromptingGetsTheContactWhenBack)
{
    StartLogvex("--prompt 60000");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1; })) << "not sent";
    ASSERT_TRUE(logvex->Kill());
    EXPECT_EQ(FilesIn(files.outbox).size(), 1u);
    StartLogvex();
    ASSERT_TRUE(GotExactly(2)) << Got().size() << " received";
    EXPECT_EQ(Got()[1].bytes, kTextK1abc);
    EXPECT_TRUE(Boxes().empty()) << StaticTexts(Boxes()[0]);
    EXPECT_TRUE(WaitFor([&] { return FilesIn(files.outbox).empty(); }));
}

TEST_F(Faults, SlowLogvexGetsTheContactOnce)
{
    // Logvex takes longer over the message than the bridge waits for it.
    StartLogvex("--slow 6500");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return !Got().empty(); }, 12000)) << "never sent";
    EXPECT_TRUE(HoldsFor([&] { return Got().size() == 1; }, 9000)) << Got().size() << " times";
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
}

// Logvex stops answering just before a send, for longer than Windows takes
// to count it as not responding: the contact waits, reaches it once after
// it answers again, and is recorded once.
TEST_F(Faults, ContactLoggedWhileLogvexHangsArrivesOnceItRecovers)
{
    StartLogvex("--hang-at 1 --hang-seconds 12");
    StartBridge();
    Log({WsjtxSamples().k1abc});
    ASSERT_TRUE(WaitFor([&] { return Got().size() == 1; }));
    Log({WsjtxSamples().g4xyz}); // Logvex stops answering now
    ASSERT_TRUE(WaitFor([&] { return Got().size() >= 2; }, 20000)) << "never sent";
    ASSERT_TRUE(GotExactly(2)) << "sent twice";
    EXPECT_TRUE(WaitFor([&] { return RecordsIn(files.sent) == 2u; })) << RecordsIn(files.sent);
    EXPECT_TRUE(HoldsFor([&] { return RecordsIn(files.sent) == 2u; }, 2000));
    EXPECT_EQ(Got()[0].bytes, kTextK1abc);
    EXPECT_EQ(Got()[1].bytes, Adif2msg(WsjtxSamples().header + WsjtxSamples().g4xyz + "\r\n"));
}

// Something takes WSJT-X's file away again within milliseconds, often
// between the bridge's look for it and its open. Each time, either the
// bridge had the file (the delete fails: it holds it or has removed it) and
// sends it once, or it never got it and sends nothing: never a box.
TEST_F(Faults, FileVanishingBeforeTheBridgeOpensItIsSentOnlyIfTaken)
{
    StartLogvex();
    StartBridge();
    std::vector<std::string> taken; // the calls the bridge got hold of
    for (int i = 0; i < 60; ++i) {
        const std::string call = "T" + std::to_string(1000 + i);
        PlaceFile(files.log, WsjtxSamples().header + "<call:5>" + call + " <mode:3>FT8 <eor>\r\n");
        ::Sleep(i % 7); // the delete comes 0 to 6 ms after the file
        if (!::DeleteFileA(files.log.c_str()))
            taken.push_back(call);
        ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); })) << call;
    }
    ASSERT_TRUE(GotExactly(taken.size())) << Got().size() << " sent, " << taken.size() << " taken";
    const std::vector<Received> got = Got();
    for (std::size_t i = 0; i < taken.size(); ++i)
        EXPECT_EQ(got[i].bytes, taken[i] + "#####FT8###RSTS   RSTR    ####RSTS #RSTR ##");
    if (!Boxes().empty()) {
        ::Sleep(500);
        ADD_FAILURE() << "a box: " << StaticTexts(Boxes()[0]);
    }
    std::printf("%zu of 60 files taken by the bridge\n", taken.size());
}

// The user closes the bridge while it is still reading a long file of
// contacts (60 MB takes a second or more under Wine): it stops at its next
// drain, exits cleanly, and what was not yet delivered stays in the outbox,
// whole, with the count of those delivered in its name.
TEST_F(Faults, ClosingWhileALongLogIsReadExitsCleanlyAndKeepsTheRest)
{
    // Contacts of their own: one Logvex had would be skipped, not sent.
    std::string log = WsjtxSamples().header;
    const std::string rest = WsjtxSamples().k1abc.substr(std::string("<call:5>K1ABC").size());
    log.reserve(60000000 + 400);
    for (int n = 100000; log.size() < 60000000; ++n)
        log += "<call:7>K" + std::to_string(n) + rest + "\r\n";
    StartLogvex();
    StartBridge();
    PlaceFile(files.log, log);
    ASSERT_TRUE(WaitFor([&] { return !FileExists(files.log); }, 5000)) << "not taken";
    ASSERT_TRUE(::PostMessageA(FindBridge(), WM_CLOSE, 0, 0));
    const long exitCode = bridge->WaitExit(15000);
    EXPECT_TRUE(Dialogs("Program Error").empty()) << "the bridge crashed";
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(exitCode, 0) << "-1: still running 15 s after the close";
    EXPECT_EQ(FindBridge(), nullptr);
    const std::vector<std::string> waiting = FilesIn(files.outbox);
    ASSERT_EQ(waiting.size(), 1u);
    const std::optional<plovik::OutboxEntry> entry = plovik::ParseOutboxName(waiting[0]);
    ASSERT_TRUE(entry) << "not an outbox file: " << waiting[0];
    const std::size_t delivered = entry->delivered;
    EXPECT_EQ(delivered, Got().size()) << waiting[0];
    EXPECT_TRUE(ReadFileBytes(files.outbox + "\\" + waiting[0]) == log) << "not kept whole";
    std::printf("closed after %zu contacts were delivered\n", delivered);
}

} // namespace
} // namespace e2e
