// Reading a log file into the record: cutting, header, end of record,
// line ends, empty files and every failure the file can give.

#include "fake_platform.h"
#include "log_reader.h"
#include "reports.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plovik {
namespace {

using testing::FakeFile;
using testing::FakePlatform;

const std::string kPath = "wsjtx_log.adi";
const std::string kHeader = "ADIF Export\r\n<adif_ver:5>3.1.1\r\n<programid:6>WSJT-X\r\n<eoh>\r\n";

// Each contact as the reader handed it over.
struct Contacts {
    std::vector<QsoRecord> list;
    ContactSink Sink()
    {
        return [this](QsoRecord& contact) { list.push_back(contact); };
    }
};

ReadResult Read(FakePlatform& platform, QsoRecord& record, const std::string& content,
                Contacts* contacts = nullptr)
{
    Contacts ignored;
    platform.files[kPath].content = content;
    return ReadLogFile(record, kPath, platform, platform, (contacts ? contacts : &ignored)->Sink());
}

QsoRecord ReadRecord(const std::string& content, ReadOutcome expected = ReadOutcome::Read)
{
    FakePlatform platform;
    QsoRecord record;
    EXPECT_EQ(Read(platform, record, content).outcome, expected);
    return record;
}

TEST(ParseTag, CuttingOfTheWorkedExample)
{
    // <call:6>N0CALL <gridsquare:4>JO62 <mode:3>FT8 <eor>
    QsoRecord r;
    EXPECT_EQ(ParseTag(r, "call:6>N0CALL "), 0);
    EXPECT_EQ(r.m_strCall, "N0CALL");
    EXPECT_EQ(ParseTag(r, "gridsquare:4>JO62 "), 0);
    EXPECT_EQ(r.m_strGrid, "JO62");
    EXPECT_EQ(ParseTag(r, "mode:3>FT8 "), 0);
    EXPECT_EQ(r.m_strMode, "FT8");
    EXPECT_EQ(ParseTag(r, "eor>"), 1);
}

TEST(ParseTag, NameBeforeColonValueAfterFirstCloseLengthIgnored)
{
    struct Case {
        const char* tag;
        int result;
        const char* name; // the field that must receive the value
        const char* value;
    };
    const Case table[] = {
        {"qso_date:8:d>20180612", 0, "QSO_DATE", "20180612"},
        {"call:3>N0CALL", 0, "CALL", "N0CALL"},
        {"comment:9>tnx ", 0, "COMMENT", "tnx"},
        {"name:4>Jo ", 0, "NAME", "Jo"},
        {"name:4>  Jo\t", 0, "NAME", "  Jo"},
        {"name:0>", 0, "NAME", ""},
        {"name", 0, "NAME", ""},
        {"NAME:3>a>b", 0, "NAME", "a>b"},
        {"EOR>", 1, "", ""},
        {"Eor>", 1, "", ""},
        {"eor> ", 1, "", ""},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strName = r.m_strCall = r.m_strComment = r.m_strQsoDate = "untouched";
        EXPECT_EQ(ParseTag(r, c.tag), c.result) << c.tag;
        const std::string name = c.name;
        if (name == "NAME") {
            EXPECT_EQ(r.m_strName, c.value) << c.tag;
        }
        if (name == "CALL") {
            EXPECT_EQ(r.m_strCall, c.value) << c.tag;
        }
        if (name == "COMMENT") {
            EXPECT_EQ(r.m_strComment, c.value) << c.tag;
        }
        if (name == "QSO_DATE") {
            EXPECT_EQ(r.m_strQsoDate, c.value) << c.tag;
        }
        if (c.result == 1) {
            EXPECT_EQ(r.m_strName, "untouched") << c.tag;
        }
    }
}

TEST(ParseTag, NotEndOfRecord)
{
    for (const char* tag : {"EOR:0>", "eor> 73", "eorx>", "EOR", "EOH>"}) {
        QsoRecord r;
        EXPECT_EQ(ParseTag(r, tag), 0) << tag;
    }
}

TEST(ReadLogFile, SampleLineFillsTheRecordAndLeavesTheFile)
{
    FakePlatform platform;
    QsoRecord record;
    const ReadResult result = Read(platform, record,
                                   kHeader + "<call:6>N0CALL <gridsquare:4>JO62 <mode:3>FT8 "
                                             "<band:3>20m <eor>\r\n");
    EXPECT_EQ(result.outcome, ReadOutcome::Read);
    EXPECT_TRUE(platform.Exists(kPath)); // moving it on is the caller's part
    EXPECT_EQ(platform.openFiles, 0);
    EXPECT_EQ(record.m_strCall, "N0CALL");
    EXPECT_EQ(record.m_strGrid, "JO62");
    EXPECT_EQ(record.m_strMode, "FT8");
    EXPECT_EQ(record.m_strBand, "6");
}

TEST(ReadLogFile, TextThatIsNotATag)
{
    const std::string start = "h<eoh>\n";
    // The second tag of the comment becomes a name that nothing knows.
    QsoRecord comment = ReadRecord(start + "<comment:9>tnx <73> ok <name:3>Bob\n");
    EXPECT_EQ(comment.m_strComment, "tnx");
    EXPECT_EQ(comment.m_strName, "Bob");
    // Text before the first '<' is a tag text of its own: ignored.
    QsoRecord before = ReadRecord(start + "JO62 <call:2>K1 <eor>\n");
    EXPECT_EQ(before.m_strCall, "K1");
    EXPECT_EQ(before.m_strBand, "noBand");
    // "<eor> 73" is no end of record: no fill-in happens.
    QsoRecord notEnd = ReadRecord(start + "<call:5>K1ABC <eor> 73\n");
    EXPECT_EQ(notEnd.m_strBand, "");
    QsoRecord lone = ReadRecord(start + "<\n<<\n<call:2>K1\n");
    EXPECT_EQ(lone.m_strCall, "K1");
}

TEST(ReadLogFile, HeaderSkip)
{
    struct Case {
        const char* what;
        std::string content;
        const char* call; // what the record holds afterwards
    };
    const Case table[] = {
        {"plain text ending in <eoh>", "WSJT-X log <eoh>\n<call:2>K1\n", "K1"},
        {"marker line is lost", "ADIF\n<EOH><call:2>K2\n<call:2>K3 <eor>\n", "K3"},
        {"marker found on the marker line only", "ADIF\n<EOH><call:2>K2\n", ""},
        {"<EH> marker", "x\n<EH>\n<call:2>K4\n", "K4"},
        {"<eh> marker", "x\ny\n<eh>\n<call:2>K5\n", "K5"},
        {"mixed case is no marker", "x\n<Eoh>\n<call:2>K6\n", ""},
        {"first line beginning with < is the header", "<call:2>K7\n<call:2>K8\n", "K8"},
        {"header-less record dropped", "<call:2>K7 <eor>\n", ""},
        {"empty lines before the header", "\n\n\nADIF <eoh>\n<call:2>K9\n", "K9"},
        {"blank line counts as content", "   \n<eoh>\n<call:3>K10\n", "K10"},
        {"a line of blanks alone", "   \n", ""},
        {"no marker at all", "ADIF Export\n<call:3>K11 <eor>\n", ""},
    };
    for (const Case& c : table) {
        FakePlatform platform;
        QsoRecord record;
        record.m_strCall = "OLD";
        EXPECT_EQ(Read(platform, record, c.content).outcome, ReadOutcome::Read) << c.what;
        EXPECT_EQ(record.m_strCall, c.call) << c.what;
    }
}

// The reader only says "empty"; its caller tells the user, in these words.
TEST(ReadLogFile, EmptyFileKeptRecordUntouchedNoBoxFileClosed)
{
    EXPECT_EQ(EmptyFileText(), "The source file is empty");
    for (const std::string content : {"", "\n", "\r\n\r\n", "\n\n\n"}) {
        FakePlatform platform;
        QsoRecord record;
        record.m_strCall = "K1ABC";
        const ReadResult result = Read(platform, record, content);
        EXPECT_EQ(result.outcome, ReadOutcome::Empty);
        EXPECT_TRUE(platform.boxes.empty());
        EXPECT_EQ(platform.openFiles, 0) << "the file must be closed once read";
        EXPECT_TRUE(platform.Exists(kPath));
        EXPECT_EQ(record.m_strCall, "K1ABC");
        EXPECT_EQ(platform.drains, 0);
    }
}

TEST(ReadLogFile, EachContactOfTheFileOnItsOwn)
{
    // WSJT-X appends while the file waits: no field may pass from one
    // contact to the next, and none may be lost.
    FakePlatform platform;
    QsoRecord record;
    record.m_strState = "NY";
    Contacts got;
    Read(platform, record,
         kHeader + "<call:5>K1ABC <name:3>Bob <band:3>20m <mode:3>FT8 <eor>\r\n"
                   "<call:5>G4XYZ <band:3>40m <mode:4>MFSK <submode:3>FT4 <eor>\r\n",
         &got);
    ASSERT_EQ(got.list.size(), 2u);
    EXPECT_EQ(got.list[0].m_strState, ""); // reset before the first data line
    EXPECT_EQ(got.list[0].m_strCall, "K1ABC");
    EXPECT_EQ(got.list[0].m_strName, "Bob");
    EXPECT_EQ(got.list[0].m_strBand, "6");
    EXPECT_EQ(got.list[1].m_strCall, "G4XYZ");
    EXPECT_EQ(got.list[1].m_strName, ""); // not Bob's
    EXPECT_EQ(got.list[1].m_strBand, "8");
    EXPECT_EQ(got.list[1].m_strMode, "FT4");
    EXPECT_EQ(record.m_strCall, "G4XYZ"); // the record keeps the last contact
}

TEST(ReadLogFile, WhatMakesAContact)
{
    struct Case {
        const char* data; // after the header
        std::vector<const char*> calls;
    };
    const Case table[] = {
        {"<call:2>K1 <eor>\n", {"K1"}},
        {"<call:2>K1\n", {"K1"}},                         // no end of record: one contact
        {"\n", {""}},                                     // header alone: one, empty
        {"<call:2>K1 <eor>\n<call:2>K2\n", {"K1", "K2"}}, // the part after the last
        {"<call:2>K1 <eor><eor>\n<eor>\n", {"K1"}},       // nothing between: no contact
        {"<call:2>K1 <eor>\n<junk:1>x <73>\n", {"K1"}},   // nothing known after it
        {"<call:2>K1 <EOR>\n<call:2>K2 <Eor>\n<call:2>K3 <eor>", {"K1", "K2", "K3"}},
        {"<call:2>K1 <eor> <call:2>K2 <eor>\n", {"K1", "K2"}}, // two on one line
        // '*' in a value is a character; before a tag or in its name, it
        // ends the useful part, its own line included.
        {"<call:2>K1 <comment:9>best * dx <eor>\n<call:2>K2 <eor>\n", {"K1", "K2"}},
        {"<call:2>K1 <eor>\n*** end ***\n<call:2>K2 <eor>\n", {"K1"}},
        {"<call:2>K1 <eor>\n<call:2>K2 <com*ment:1>x <eor>\n", {"K1"}},
        {"<call:2>K1 <eor>\n<call:2 K2*\n", {"K1"}}, // a tag with no '>' has no value
    };
    for (const Case& c : table) {
        FakePlatform platform;
        QsoRecord record;
        Contacts got;
        EXPECT_EQ(Read(platform, record, kHeader + c.data, &got).outcome, ReadOutcome::Read)
            << c.data;
        std::vector<std::string> calls;
        for (const QsoRecord& contact : got.list)
            calls.push_back(contact.m_strCall);
        EXPECT_EQ(calls, std::vector<std::string>(c.calls.begin(), c.calls.end())) << c.data;
    }
}

TEST(ReadLogFile, EndOfRecordRulesRunForEachContact)
{
    Contacts got;
    FakePlatform platform;
    QsoRecord record;
    Read(platform, record,
         kHeader + "<call:5>K1ABC <band:3>20m <eor>\r\n<call:5>G4XYZ <name:3>Jim <eor>\r\n", &got);
    ASSERT_EQ(got.list.size(), 2u);
    EXPECT_EQ(got.list[0].m_strBand, "6");
    EXPECT_EQ(got.list[0].m_strMode, "noMode");
    EXPECT_EQ(got.list[1].m_strBand, "noBand"); // its own band is missing

    QsoRecord noEor = ReadRecord(kHeader + "<call:5>K1ABC <band:4>630m\r\n");
    EXPECT_EQ(noEor.m_strBand, "99"); // no end of record: no rule ran
}

TEST(ReadLogFile, ContactsHandedOverBeforeAFailureAreVoid)
{
    // The reader reports the failure; the caller drops what it was given
    // and the kept file is read again whole.
    FakePlatform platform;
    const std::string first = kHeader + "<call:5>K1ABC <eor>\r\n";
    platform.files[kPath] = FakeFile{first + "<call:5>G4XYZ <eor>\r\n"};
    platform.files[kPath].failReadAt = first.size() + 3;
    QsoRecord record;
    Contacts got;
    EXPECT_EQ(ReadLogFile(record, kPath, platform, platform, got.Sink()).outcome,
              ReadOutcome::Failed);
    EXPECT_EQ(got.list.size(), 1u);
    EXPECT_TRUE(platform.Exists(kPath));
}

TEST(ReadLogFile, StarEndsTheUsefulPart)
{
    // Inside a value a '*' is kept; outside, its line and all after it go.
    QsoRecord r = ReadRecord(kHeader + "<call:5>K1ABC <name:3>Bob\r\n"
                                       "<comment:5>a*b c <call:5>G4XYZ\r\n"
                                       "* <name:3>Jim\r\n"
                                       "<rst_sent:3>-10\r\n");
    EXPECT_EQ(r.m_strCall, "G4XYZ");
    EXPECT_EQ(r.m_strName, "Bob");
    EXPECT_EQ(r.m_strComment, "a*b c");
    EXPECT_EQ(r.m_strRstSent, "");
}

TEST(ReadLogFile, LineEndsAndTrimming)
{
    struct Case {
        const char* what;
        std::string content;
    };
    const Case table[] = {
        {"LF", "x<eoh>\n<name:3>Bob\n"},
        {"CRLF", "x<eoh>\r\n<name:3>Bob\r\n"},
        {"no final terminator", "x<eoh>\n<name:3>Bob"},
        {"blanks around the line", "x<eoh>\n \t <name:3>Bob \t \r\n"},
        {"blank lines between", "x<eoh>\n\n   \n<name:3>Bob\n\n"},
    };
    for (const Case& c : table) {
        for (std::size_t chunk : {1u, 2u, 3u, 7u, 4096u}) {
            FakePlatform platform;
            platform.chunkSize = chunk;
            QsoRecord record;
            EXPECT_EQ(Read(platform, record, c.content).outcome, ReadOutcome::Read);
            EXPECT_EQ(record.m_strName, "Bob") << c.what << " chunk " << chunk;
        }
    }
}

TEST(ReadLogFile, LongLinesAndOddBytes)
{
    const std::string name(300, 'n');
    QsoRecord r = ReadRecord("x<eoh>\n<name:300>" + name + " <call:2>K1\n");
    EXPECT_EQ(r.m_strName, name);
    EXPECT_EQ(r.m_strCall, "K1");

    const std::string huge(1 << 20, 'z');
    QsoRecord big = ReadRecord("x<eoh>\n<name:1>" + huge + "\n");
    EXPECT_EQ(big.m_strName.size(), huge.size());

    QsoRecord bytes = ReadRecord(
        std::string("x<eoh>\n<name:3>a\0b\xff \n", sizeof "x<eoh>\n<name:3>a\0b\xff \n" - 1));
    EXPECT_EQ(bytes.m_strName, std::string("a\0b\xff", 4));
}

std::string Repeat(const std::string& piece, std::size_t times)
{
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(ReadLogFile, DrainsAtTheFirstDataLineThenEvery1024LinesOr64KiB)
{
    const std::string longLine = "<comment:1>" + std::string(40 * 1024, 'c') + "\n";
    const struct {
        const char* what;
        std::string content;
        int drains;
    } table[] = {
        {"short file", "a\nb\n<eoh>\n<call:2>K1\n\n  \n<name:3>Bob\n", 1},
        {"1024 data lines", kHeader + Repeat("<call:2>K1\n", 1024), 1},
        {"1025 data lines", kHeader + Repeat("<call:2>K1\n", 1025), 2},
        {"3073 data lines", kHeader + Repeat("\n", 3073), 4},
        {"blank lines before the first content", Repeat("\n", 3000) + "<x>\n<call:2>K1\n", 3},
        {"a header of 2100 lines", Repeat("h\n", 2100) + "<eoh>\n<call:2>K1\n", 3},
        {"data lines of 40 KiB", kHeader + Repeat(longLine, 5), 3},
    };
    for (const auto& c : table) {
        FakePlatform platform;
        QsoRecord record;
        Read(platform, record, c.content);
        EXPECT_EQ(platform.drains, c.drains) << c.what;
    }
}

TEST(ReadLogFile, ShutdownDuringTheReadKeepsTheFile)
{
    const std::string contacts = Repeat("<call:2>K1 <eor>\r\n", 3000);
    const struct {
        const char* what;
        std::string content;
    } table[] = {
        {"among the data lines", kHeader + contacts},
        {"among blank lines before any content", Repeat("\r\n", 3000) + kHeader + contacts},
        {"in a long header", Repeat("h\r\n", 3000) + kHeader + contacts},
    };
    for (const auto& c : table) {
        FakePlatform platform;
        int drains = 0;
        platform.onDrain = [&] { return ++drains < 2; };
        QsoRecord record;
        const ReadResult result = Read(platform, record, c.content);
        EXPECT_EQ(result.outcome, ReadOutcome::Interrupted) << c.what;
        EXPECT_TRUE(platform.Exists(kPath)) << c.what;
        EXPECT_EQ(platform.files[kPath].content, c.content) << c.what;
        EXPECT_EQ(platform.openFiles, 0) << c.what;
        EXPECT_TRUE(platform.boxes.empty()) << c.what;
    }
}

TEST(ReadLogFile, OpenFailures)
{
    struct Case {
        OpenStatus status;
        ReadOutcome outcome;
    };
    const Case table[] = {
        {OpenStatus::InUse, ReadOutcome::InUse},
        {OpenStatus::Failed, ReadOutcome::Failed},
    };
    for (const Case& c : table) {
        FakePlatform platform;
        platform.files[kPath] = FakeFile{kHeader, c.status, "Access is denied."};
        QsoRecord record;
        record.m_strCall = "K1ABC";
        const ReadResult result = ReadLogFile(record, kPath, platform, platform, Contacts().Sink());
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.reason, "Access is denied.");
        EXPECT_TRUE(platform.boxes.empty());
        EXPECT_TRUE(platform.Exists(kPath));
        EXPECT_EQ(record.m_strCall, "K1ABC");
    }
    FakePlatform none;
    QsoRecord record;
    EXPECT_EQ(ReadLogFile(record, kPath, none, none, Contacts().Sink()).outcome,
              ReadOutcome::Vanished);
    EXPECT_TRUE(none.boxes.empty());
}

TEST(ReadLogFile, ReadFailureAnywhereKeepsTheFileAndShowsNothing)
{
    const std::string content = kHeader + "<call:5>K1ABC <eor>\r\n";
    for (std::size_t at : {std::size_t(0), std::size_t(5), kHeader.size(), content.size() - 2}) {
        FakePlatform platform;
        platform.files[kPath].content = content;
        platform.files[kPath].failReadAt = at;
        QsoRecord record;
        const ReadResult result = ReadLogFile(record, kPath, platform, platform, Contacts().Sink());
        EXPECT_EQ(result.outcome, ReadOutcome::Failed) << at;
        EXPECT_EQ(result.reason, "Input/output error");
        EXPECT_TRUE(platform.Exists(kPath)) << at;
        EXPECT_TRUE(platform.boxes.empty()) << at;
        EXPECT_EQ(platform.openFiles, 0);
    }
}

} // namespace
} // namespace plovik
