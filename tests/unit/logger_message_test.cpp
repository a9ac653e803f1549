// The fifteen-field text and its copy-data packet.

#include "fake_platform.h"
#include "logger_message.h"
#include "send_verdict.h"

#include <gtest/gtest.h>

#include <string>

namespace plovik {
namespace {

using testing::FakePlatform;

QsoRecord ExampleRecord()
{
    QsoRecord r;
    r.m_strCall = "N0CALL";
    r.m_strRstRcvd = "-12";
    r.m_strRstSent = "-07";
    r.m_strFreq = "14074.00";
    r.m_strMode = "FT8";
    r.m_strGrid = "JO62";
    return r;
}

std::string Build(QsoRecord& record, CheckState check, std::uint8_t flag = 0)
{
    FakePlatform platform;
    platform.check = check;
    return BuildLoggerMessage(record, flag, platform);
}

TEST(LoggerMessage, WorkedExamples)
{
    QsoRecord r = ExampleRecord();
    const std::string withFreq = Build(r, 0);
    EXPECT_EQ(withFreq,
              "N0CALL#-12#-07#14074.00##FT8#JO62##RSTS -07  RSTR -12   ####RSTS -07#RSTR -12##");
    EXPECT_EQ(withFreq.size(), 79u);
    const std::string without = Build(r, 1);
    EXPECT_EQ(without, "N0CALL#-12#-07###FT8#JO62##RSTS -07  RSTR -12   ####RSTS -07#RSTR -12##");
    EXPECT_EQ(without.size(), 71u);
}

TEST(LoggerMessage, EmptyRecordGivesFortyCharacters)
{
    QsoRecord r;
    const std::string text = Build(r, 0);
    EXPECT_EQ(text, "########RSTS   RSTR    ####RSTS #RSTR ##");
    EXPECT_EQ(text.size(), 40u);
    EXPECT_EQ(Build(r, 1), text);
}

TEST(LoggerMessage, EveryPositionFromItsField)
{
    QsoRecord r;
    r.m_strCall = "C";
    r.m_strRstRcvd = "R";
    r.m_strRstSent = "S";
    r.m_strFreq = "F";
    r.m_strName = "N";
    r.m_strMode = "M";
    r.m_strGrid = "g";
    r.m_strComment = "K";
    r.m_strTxPwr = "P";
    r.m_strBand = r.m_strState = r.m_strIota = r.m_strStationCall = "X"; // never sent
    r.m_strQsoDate = r.m_strTimeOn = r.m_strTimeOff = r.m_strQslRDate = "X";
    EXPECT_EQ(Build(r, 0), "C#R#S#F#N#M#G##RSTS S  RSTR R   K####RSTS S#RSTR R#P#");
    EXPECT_EQ(r.m_strGrid, "G"); // upper-cased in the record itself
}

TEST(LoggerMessage, CheckBoxStatesSetTheFlag)
{
    struct Case {
        CheckState first, second; // the two answers of the box
        std::uint8_t before, after;
    };
    const Case table[] = {
        {1, 1, 0, 1}, {0, 0, 1, 0}, {2, 2, 0, 0}, // indeterminate leaves the flag
        {2, 2, 1, 1}, {1, 0, 0, 0},               // unticked between the two reads: the second wins
    };
    for (const Case& c : table) {
        FakePlatform platform;
        platform.checkAnswers = {c.first, c.second};
        QsoRecord r = ExampleRecord();
        std::uint8_t flag = c.before;
        const std::string text = BuildLoggerMessage(r, flag, platform);
        EXPECT_EQ(flag, c.after);
        const std::size_t fourth = text.find("14074.00");
        EXPECT_EQ(fourth != std::string::npos, c.after == 0);
    }
}

TEST(LoggerMessage, NoLengthLimitAndHashesUnescaped)
{
    QsoRecord r;
    r.m_strCall = std::string(10000, 'A');
    r.m_strName = "a#b";
    const std::string text = Build(r, 0);
    EXPECT_EQ(text.size(), 40u + 10000u + 3u);
    EXPECT_EQ(text.substr(0, 10000), r.m_strCall);
    EXPECT_NE(text.find("#a#b#"), std::string::npos);
}

TEST(SendLoggerMessage, WholeTextKindAndReceiver)
{
    FakePlatform platform;
    const std::string text(600, 'x');
    EXPECT_EQ(SendLoggerMessage(42, text, platform), SendStatus::Delivered);
    ASSERT_EQ(platform.sent.size(), 1u);
    EXPECT_EQ(platform.sent[0].receiver, 42u);
    EXPECT_EQ(platform.sent[0].kind, 10001u);
    EXPECT_EQ(platform.sent[0].data, text);

    platform.sendResults = {SendStatus::NotDelivered};
    EXPECT_EQ(SendLoggerMessage(42, text, platform), SendStatus::NotDelivered);
}

// What a returned send means. Only a send Logvex may have taken counts as
// delivered; one it surely did not get, or one whose fate the system leaves
// unexplained, is sent again. How long it took decides nothing.
TEST(SendVerdict, DeliveredOnlyWhenLogvexMayHaveTakenIt)
{
    constexpr std::uint32_t kOther = 1400; // ERROR_INVALID_WINDOW_HANDLE
    struct Case {
        const char* what;
        SendSeen seen; // hung, sent, lastError, windowThere, threadThere
        SendStatus verdict;
    };
    const Case cases[] = {
        {"handled", {false, true, 0, true, true}, SendStatus::Delivered},
        {"handled, then Logvex closed", {false, true, 0, false, false}, SendStatus::Delivered},
        {"not responding: not sent", {true, false, 0, true, true}, SendStatus::NotDelivered},
        {"not responding, whatever else",
         {true, true, kErrorTimeout, true, true},
         SendStatus::NotDelivered},
        {"a week without an answer",
         {false, false, kErrorTimeout, true, true},
         SendStatus::Delivered},
        {"a failure with no error", {false, false, 0, true, true}, SendStatus::NotDelivered},
        {"another error", {false, false, kOther, true, true}, SendStatus::NotDelivered},
        {"access denied (higher rights)",
         {false, false, kErrorAccessDenied, true, true},
         SendStatus::Refused},
        {"window gone", {false, false, 0, false, false}, SendStatus::ReceiverGone},
        {"window gone after a week",
         {false, false, kErrorTimeout, false, false},
         SendStatus::ReceiverGone},
        {"thread ended in the handler",
         {false, false, kErrorAccessDenied, true, false},
         SendStatus::ReceiverGone},
        {"thread ended, no error", {false, false, 0, true, false}, SendStatus::ReceiverGone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendVerdict(c.seen), c.verdict) << c.what;
}

} // namespace
} // namespace plovik
