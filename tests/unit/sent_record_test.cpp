// The record of what Logvex took: a contact recorded there is not sent
// again, and what makes two contacts the same.

#include "files.h"
#include "sent_record.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace plovik {
namespace {

class SentRecordTest : public TransferTest {};

// What Logvex took is recorded; an identical contact (a restored or
// copied-back log, the old history moved aside) is counted, not sent.
TEST_F(SentRecordTest, RecordedContactsAreNotSentAgain)
{
    const auto contact = [](const char* call, const char* time) {
        return std::string("<call:5>") + call + " <qso_date:8>20261207 <time_on:6>" + time +
               " <mode:3>FT8 <eor>\n";
    };
    const std::string a = contact("K1ABC", "062055"), b = contact("G4XYZ", "062115");
    const std::string keyless = "<call:5>K9KEY <mode:3>FT8 <eor>\n";
    // Each recorded with when Logvex took it.
    const auto taken = [](std::string line) {
        return line.insert(line.rfind("<eor>"), "<APP_PlovikBridge_TAKEN_DATE:8:D>20261207 "
                                                "<APP_PlovikBridge_TAKEN_TIME:6:T>062500 ");
    };
    platform.now = 1796624700; // 2026-12-07 06:25:00
    platform.files[kBackup] = FakeFile{"x<eoh>\n" + contact("W1OLD", "050000")};
    Log("x<eoh>\n" + a + b + keyless);
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K9KEY"}));
    EXPECT_EQ(platform.files.at(kPaths.sent).content,
              kSentRecordHeader + taken(a) + taken(b) + taken(keyless));

    platform.files[kPaths.sent].appendError = "Disk full";
    std::size_t sentAtBox = 0;
    platform.onBox = [&] { sentAtBox = platform.sent.size(); };
    Log("x<eoh>\n" + b + contact("W1OLD", "050000") + keyless + contact("K1ABC", "062056"));
    Tick();
    EXPECT_EQ(Calls(), (std::vector<std::string>{"K1ABC", "G4XYZ", "K9KEY", "K9KEY", "K1ABC"}));
    EXPECT_EQ(transfer.GetProgress().skipped, 2u);
    EXPECT_EQ(transfer.GetProgress().delivered, 5u);
    EXPECT_EQ(transfer.GetProgress().lastCall, "K1ABC");
    EXPECT_EQ(transfer.GetProgress().lastTimeOn, "062056");
    ASSERT_EQ(platform.boxes.size(), 1u) << "one box for the record, however many fail";
    EXPECT_NE(platform.boxes[0].find("Disk full"), std::string::npos);
    EXPECT_EQ(sentAtBox, 4u) << "shown at the first failure";
    EXPECT_TRUE(Outbox().empty());

    // A file's last contact without its end-of-record tag is recorded as a
    // contact of its own: the next one appended does not run into it.
    platform.files[kPaths.sent].appendError.clear();
    const std::string open = contact("W2OPN", "063000"), next = contact("W3NXT", "063100");
    Log("x<eoh>\n" + open.substr(0, open.rfind("<eor>")));
    Tick();
    Log("x<eoh>\n" + next);
    Tick();
    Transfer restarted{platform, platform, record, noFreq, kPaths};
    Log("x<eoh>\n" + open + next);
    restarted.RunTick([] { return kLogvex; });
    EXPECT_EQ(restarted.GetProgress().skipped, 2u);
    EXPECT_EQ(platform.sent.size(), 7u);
}

// A power cut tears the record's last line at any byte: the next contact
// appended is still read whole (its key, name and comment included), and
// nothing written before the tear changes.
TEST_F(SentRecordTest, ALineTornAnywhereNeverMergesWithTheNextContact)
{
    platform.now = 1796624700; // 2026-12-07 06:25:00
    // As the record writes it: typed fields of its own, a '<' in a value.
    const std::string torn = RecordLine("<call:5>W2OPN <name:3>Bob <qso_date:8>20261207 "
                                        "<time_on:6>063000 <comment:7>a <b> c <gridsquare:4>FN42 "
                                        "<mode:3>FT8 <eor>",
                                        1796625000);
    const std::string next =
        "x<eoh>\n<call:5>W3NXT <qso_date:8>20261207 <time_on:6>063100 <mode:3>FT8 <eor>\n";
    for (std::size_t cut = 1; cut < torn.size(); ++cut) {
        const std::string kept = kSentRecordHeader + torn.substr(0, cut);
        platform.files[kPaths.sent] = FakeFile{kept};
        for (const std::size_t skipped : {0u, 1u}) {
            Transfer run{platform, platform, record, noFreq, kPaths};
            Log(next);
            run.RunTick([] { return kLogvex; });
            EXPECT_EQ(run.GetProgress().skipped, skipped) << "cut at " << cut;
        }
        const std::string& content = platform.files.at(kPaths.sent).content;
        EXPECT_EQ(content.compare(0, kept.size(), kept), 0) << "cut at " << cut;
    }
}

// What an append writes after a torn line: the cut value or tag made whole
// for readers that go by declared lengths, then the record's end.
TEST(TornTailClosing, CompletesTheCutTagOrValueThenEndsTheRecord)
{
    const std::pair<const char*, std::string> cases[] = {
        {"", ""},
        {"<call:5>K1ABC <eor>\n", ""},
        {"<call:5>K1ABC <eor>", "\n"},
        {"not ADIF at all", "\n"},
        {"<call:5>K1", "    <eor>\n"},
        {"<call:5>K1A", "   <eor>\n"},
        {"<call:5>K1AB", "  <eor>\n"},
        {"<call:5>K1ABC <comment:7>a <b> c", " <eor>\n"},
        {"<call:5>K1ABC <mo", ":0> <eor>\n"},
        {"<call:5>K1ABC <mode:", "0> <eor>\n"},
        {"<call:5>K1ABC <mode:3", ">    <eor>\n"},
        {"<call:5>K1ABC <APP_X_DATE:8:", "S>         <eor>\n"},
        {"<call:5>K1ABC <", "eor>\n"},
        {"<call:5>K1ABC <eo", "r>\n"},
    };
    for (const auto& [end, closing] : cases)
        EXPECT_EQ(TornTailClosing(end), closing) << end;
}

// What makes two contacts the same: a restored copy is, a second QSO is not,
// even with the same stale start time; when Logvex took it plays no part.
TEST(ContactKey, SameContactOnlyWhenEveryKeptFieldIsTheSame)
{
    const std::string base = "<call:5>K1ABC <qso_date:8>20261207 <time_on:6>062055 "
                             "<qso_date_off:8>20261207 <time_off:6>062155 <gridsquare:4>FN42 ";
    struct Case {
        const char* what;
        std::string other; // the tags of the second contact
        bool same;
    };
    const Case cases[] = {
        {"a restored copy", base, true},
        {"kept with when Logvex took it",
         base + "<APP_PlovikBridge_TAKEN_DATE:8:D>20261208 <APP_PlovikBridge_TAKEN_TIME:6:T>"
                "101500 ",
         true},
        {"the grid in lower case", base + "<gridsquare:4>fn42 ", true},
        {"another call", base + "<call:5>G4XYZ ", false},
        {"another start", base + "<time_on:6>062056 ", false},
        {"the same stale start, another end", base + "<time_off:6>062415 ", false},
        {"another end date", base + "<qso_date_off:8>20261208 ", false},
    };
    const auto contact = [](const std::string& tags) {
        QsoRecord record;
        for (std::size_t at = tags.find('<'); at != std::string::npos; at = tags.find('<', at + 1))
            ParseTag(record,
                     std::string_view(tags).substr(at + 1, tags.find('<', at + 1) - at - 1));
        return record;
    };
    const std::optional<std::uint64_t> key = ContactKey(contact(base));
    ASSERT_TRUE(key);
    for (const Case& c : cases)
        EXPECT_EQ(ContactKey(contact(c.other)) == key, c.same) << c.what;
}

} // namespace
} // namespace plovik
