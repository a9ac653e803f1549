// Every WSJT-X and JTDX on the machine, and what the bridge did: each
// instance's folder is watched, one made while the bridge runs too; the
// record of what Logvex took keeps a copied-back log from sending its
// contacts again, and when Logvex took each; contacts that reached Logvex
// late are named in one box; the status line says it all in words.

#include "bridge_fixture.h"

#include "outbox_names.h"

#include <algorithm>
#include <map>

namespace e2e {
namespace {

std::string CallOf(const Received& message)
{
    return message.bytes.substr(0, message.bytes.find('#'));
}

std::string StatusLine()
{
    return WindowText(BridgeControl(IDC_STATUS));
}

// "062055" -> "06:20", as the status line and the boxes show a time.
std::string HoursMinutes(const std::string& time)
{
    return time.substr(0, 2) + ":" + time.substr(2, 2);
}

using Instances = BridgeTest;

TEST_F(Instances, EveryInstanceGetsEachContactToLogvexOnceInOrder)
{
    const std::map<char, std::string> logs = {
        {'K', files.log},
        {'R', InstanceFolder("WSJT-X - IC7300") + "\\wsjtx_log.adi"},
        {'J', InstanceFolder("JTDX") + "\\wsjtx_log.adi"},
    };
    StartLogvex();
    StartBridge();
    std::map<char, std::vector<std::string>> logged;
    for (int i = 0; i < 3; ++i)
        for (const auto& [program, log] : logs) {
            logged[program].push_back(std::string(1, program) + "1AA" + std::to_string(i));
            LogTo(log, {RecordOf(logged[program].back())});
        }
    // A second rig started while the bridge runs: its new folder is
    // watched, and its first contact is new, not old history.
    const std::string late = InstanceFolder("WSJT-X - FT991");
    LogTo(late + "\\wsjtx_log.adi", {RecordOf("L1AA0")});
    logged['L'] = {"L1AA0"};

    ASSERT_TRUE(GotExactly(10)) << Got().size();
    std::map<char, std::vector<std::string>> received;
    for (const Received& message : Got())
        received[CallOf(message)[0]].push_back(CallOf(message));
    EXPECT_EQ(received, logged);
    EXPECT_EQ(Got()[0].bytes, Adif2msg(WsjtxSamples().header + RecordOf("J1AA0") + "\r\n"));
    EXPECT_FALSE(FileExists(late + "\\wsjtx_log_bak.adi"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Instances, ACopiedBackLogSendsNothingLogvexHadAndTheStatusLineSaysSo)
{
    StartBridge();
    const std::vector<std::string> records = {WsjtxSamples().k1abc, WsjtxSamples().g4xyz,
                                              RecordOf("W1XYZ")};
    for (const std::string& record : records)
        Log({record});
    // Logvex closed: the waiting count, in words.
    EXPECT_TRUE(WaitFor([] {
        return StatusLine().find("Logvex: not running") != std::string::npos &&
               StatusLine().find("Waiting: 3") != std::string::npos;
    })) << StatusLine();
    StartLogvex();
    ASSERT_TRUE(GotExactly(3));
    EXPECT_TRUE(WaitFor([] {
        return StatusLine().find("Waiting: 0") != std::string::npos &&
               StatusLine().find("Sent: 3  Skipped: 0") != std::string::npos &&
               StatusLine().find("Last: W1XYZ " + HoursMinutes(WsjtxSamples().time) + " UTC") !=
                   std::string::npos;
    })) << StatusLine();

    // The operator copies the log back into WSJT-X's file, for its
    // "worked before" colours.
    std::string copy = WsjtxSamples().header;
    for (const std::string& record : records)
        copy += record + "\r\n";
    PlaceFile(files.log, copy);
    EXPECT_TRUE(WaitFor([] { return StatusLine().find("Skipped: 3") != std::string::npos; }))
        << StatusLine();
    EXPECT_TRUE(GotExactly(3)) << "a contact Logvex had came again";
    EXPECT_TRUE(FilesIn(files.outbox).empty());
    EXPECT_EQ(RecordsIn(files.sent), 3u);
    // Each append went to the end: the header first, then the contacts in
    // the order Logvex took them.
    const std::string record = ReadFileBytes(files.sent);
    EXPECT_EQ(record.rfind("Contacts Logvex has taken", 0), 0u);
    std::size_t at = 0;
    for (const Received& message : Got()) {
        at = record.find("<call:" + std::to_string(CallOf(message).size()) + ">" + CallOf(message),
                         at);
        ASSERT_NE(at, std::string::npos) << CallOf(message) << " not after the one before";
    }
}

// Logged while Logvex was closed, two contacts reach it two hours after
// they ended: they go as any other, and one box names them with their own
// times, which the record keeps beside when Logvex took each.
TEST_F(Instances, ContactsLoggedWhileLogvexWasClosedArriveLateAndTheUserIsTold)
{
    StartBridge();
    const AdifMoment ended = UtcAgo(2 * 60 * 60);
    const std::vector<std::string> records = {Dated(RecordOf("K2OLD"), ended),
                                              Dated(RecordOf("G2OLD"), ended),
                                              Dated(RecordOf("W1NOW"), UtcAgo(0))};
    for (const std::string& record : records)
        Log({record});
    ASSERT_TRUE(WaitFor([] { return StatusLine().find("Waiting: 3") != std::string::npos; }))
        << StatusLine();
    const AdifMoment before = UtcAgo(0);
    StartLogvex();
    ASSERT_TRUE(GotExactly(3));
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(Got()[i].bytes, Adif2msg(WsjtxSamples().header + records[i] + "\r\n")) << i;
    EXPECT_TRUE(WaitFor([] { return StatusLine().find("Late: 2") != std::string::npos; }))
        << StatusLine();

    ASSERT_TRUE(WaitFor([] { return !Boxes().empty(); })) << "no box for the late contacts";
    const std::string box = StaticTexts(Boxes().front());
    const std::string at = ended.date.substr(0, 4) + "-" + ended.date.substr(4, 2) + "-" +
                           ended.date.substr(6, 2) + " " + HoursMinutes(ended.time) + " UTC";
    for (const char* call : {"K2OLD", "G2OLD"})
        EXPECT_NE(box.find(std::string(call) + "  20m  FT8  " + at), std::string::npos)
            << call << " in " << box;
    EXPECT_EQ(box.find("W1NOW"), std::string::npos) << box;
    EXPECT_NE(box.find(files.sent), std::string::npos) << box;
    Sleep(1500);
    EXPECT_EQ(Boxes().size(), 1u) << "one box for the run, not one per contact";
    EXPECT_TRUE(DismissBox(Boxes().front()));

    // Each record keeps when Logvex took it, once.
    const AdifMoment after = UtcAgo(0);
    const std::string sent = ReadFileBytes(files.sent);
    std::size_t recorded = 0;
    for (std::size_t line = sent.find("<call:"); line != std::string::npos;
         line = sent.find("<call:", line + 1), ++recorded) {
        const std::string record = sent.substr(line, sent.find('\n', line) - line);
        const std::string date = "<APP_PlovikBridge_TAKEN_DATE:8:D>";
        const std::string time = "<APP_PlovikBridge_TAKEN_TIME:6:T>";
        const std::size_t d = record.find(date), t = record.find(time);
        ASSERT_NE(d, std::string::npos) << record;
        ASSERT_NE(t, std::string::npos) << record;
        EXPECT_EQ(record.find(date, d + 1), std::string::npos) << record;
        const std::string taken =
            record.substr(d + date.size(), 8) + record.substr(t + time.size(), 6);
        EXPECT_GE(taken, before.date + before.time) << record;
        EXPECT_LE(taken, after.date + after.time) << record;
    }
    EXPECT_EQ(recorded, 3u);
}

} // namespace
} // namespace e2e
