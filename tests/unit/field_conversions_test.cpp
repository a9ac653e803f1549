// Each ADIF field lands in the record in its converted form.

#include "qso_record.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace plovik {
namespace {

struct Case {
    const char* value;
    const char* expected;
};

std::string Band(const char* value)
{
    QsoRecord r;
    r.SetField("BAND", value);
    return r.m_strBand;
}

TEST(BandCode, EveryBandOfTheTable)
{
    const Case table[] = {
        {"160M", "10"}, {"80M", "9"},    {"40M", "8"},   {"30M", "7"},   {"20M", "6"},
        {"17M", "5"},   {"15M", "4"},    {"12M", "3"},   {"10M", "2"},   {"6M", "1"},
        {"2M", "0"},    {"1.25M", "11"}, {"70CM", "12"}, {"35CM", "13"}, {"23CM", "14"},
        {"13CM", "15"}, {"9CM", "16"},   {"6CM", "17"},  {"3CM", "18"},  {"1.25CM", "19"},
        {"6MM", "20"},  {"4MM", "21"},   {"4M", "22"},   {"60M", "23"},
    };
    for (const Case& c : table)
        EXPECT_EQ(Band(c.value), c.expected) << c.value;
}

TEST(BandCode, CaseBlindWholeNamesAfterLeadingBlanks)
{
    const Case table[] = {
        {"20m", "6"},    {" 20M", "6"}, {"\t40m", "8"}, {"1.25cm", "19"}, {"630M", "99"},
        {"2190M", "99"}, {"", "99"},    {"20", "99"},   {"20M ", "99"},   {"M", "99"},
        {"160", "99"},   {"0M", "99"},  {"4mm", "21"},  {"6mm", "20"},
    };
    for (const Case& c : table)
        EXPECT_EQ(Band(c.value), c.expected) << '"' << c.value << '"';
}

TEST(Mode, UpperCasedSstvFoldedAndTooLongCoded)
{
    const Case table[] = {
        {"ft8", "FT8"},
        {"FT8", "FT8"},
        {"MFSK", "MFSK"},
        {"sstv", "SSTV"},
        {"PD120 sstv mode", "SSTV"}, // 15 characters, contains sstv
        {"123456789012345", "123456789012345"},
        {"1234567890123456", "99"},      // 16 characters
        {"a very long sstv mode", "99"}, // too long wins over SSTV
        {"", ""},
        {"89", "89"},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strMode = "old";
        r.SetField("MODE", c.value);
        EXPECT_EQ(r.m_strMode, c.expected) << c.value;
        QsoRecord s;
        s.SetField("SUBMODE", c.value);
        EXPECT_EQ(s.m_strMode, c.expected) << "SUBMODE " << c.value;
    }
}

TEST(Mode, TheLaterOfModeAndSubmodeWins)
{
    QsoRecord r;
    r.SetField("MODE", "MFSK");
    r.SetField("SUBMODE", "FT4");
    EXPECT_EQ(r.m_strMode, "FT4");
    r.SetField("MODE", "MFSK");
    EXPECT_EQ(r.m_strMode, "MFSK");
    r.SetField("SUBMODE", "");
    EXPECT_EQ(r.m_strMode, "");
}

TEST(Sstv, ExactSubstringOnly)
{
    EXPECT_TRUE(QsoRecord::HasSstv("SSTV"));
    EXPECT_TRUE(QsoRecord::HasSstv("XSSTVX"));
    EXPECT_FALSE(QsoRecord::HasSstv("sstv"));
    EXPECT_FALSE(QsoRecord::HasSstv("SST"));
    EXPECT_FALSE(QsoRecord::HasSstv(""));
}

TEST(Time, CutOrPaddedToSixCharacters)
{
    const Case table[] = {
        {"", ""},
        {"1", ""},
        {"123", ""},
        {"1234", "123400"},
        {"12345", "123400"},
        {"123456", "123456"},
        {"1234567", "123456"},
        {"ab:cd", "ab:c00"},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strTimeOn = r.m_strTimeOff = "999999";
        r.SetField("TIME_ON", c.value);
        r.SetField("TIME_OFF", c.value);
        EXPECT_EQ(r.m_strTimeOn, c.expected) << c.value;
        EXPECT_EQ(r.m_strTimeOff, c.expected) << c.value;
    }
}

TEST(Date, OnlyEightCharactersAreStored)
{
    for (const auto& [name, member] : {std::pair{"QSO_DATE", &QsoRecord::m_strQsoDate},
                                       std::pair{"QSO_DATE_OFF", &QsoRecord::m_strQsoDateOff}}) {
        QsoRecord r;
        r.SetField(name, "20180612");
        EXPECT_EQ(r.*member, "20180612") << name;
        for (const char* bad : {"2018061", "201806120", "", " 201806"}) {
            r.SetField(name, bad);
            EXPECT_EQ(r.*member, "20180612") << name << " " << bad;
        }
        r.SetField(name, "abcdefgh"); // not validated
        EXPECT_EQ(r.*member, "abcdefgh") << name;
    }
}

TEST(QslReceived, DateSetsTheFlagEvenWhenNotStored)
{
    QsoRecord r;
    r.SetField("QSLRDATE", "");
    EXPECT_EQ(r.m_bQslRcvd, 0);
    r.SetField("QSLRDATE", "2018");
    EXPECT_EQ(r.m_bQslRcvd, 1);
    EXPECT_EQ(r.m_strQslRDate, "");
    r.SetField("QSLRDATE", "20190101");
    EXPECT_EQ(r.m_strQslRDate, "20190101");
}

TEST(QslReceived, OnlyYesSetsTheFlagAndNothingClearsIt)
{
    for (const char* yes : {"Y", "y"}) {
        QsoRecord r;
        r.SetField("QSL_RCVD", yes);
        EXPECT_EQ(r.m_bQslRcvd, 1) << yes;
    }
    for (const char* other : {"N", "YES", "", " Y", "I"}) {
        QsoRecord r;
        r.SetField("QSL_RCVD", other);
        EXPECT_EQ(r.m_bQslRcvd, 0) << other;
    }
    QsoRecord r;
    r.SetField("QSL_RCVD", "Y");
    r.SetField("QSL_RCVD", "N");
    EXPECT_EQ(r.m_bQslRcvd, 1);
}

TEST(State, FiftyStatesExactTwoLettersElseEmptyOrUnchanged)
{
    const char* states[] = {"AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DE", "FL", "GA",
                            "HI", "IA", "ID", "IL", "IN", "KS", "KY", "LA", "MA", "MD",
                            "ME", "MI", "MN", "MO", "MS", "MT", "NC", "ND", "NE", "NH",
                            "NJ", "NM", "NV", "NY", "OH", "OK", "OR", "PA", "RI", "SC",
                            "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY"};
    for (const char* state : states) {
        QsoRecord r;
        r.SetField("STATE", state);
        EXPECT_EQ(r.m_strState, state);
    }
    const Case table[] = {
        {"ny", ""}, {"DC", ""}, {"XX", ""}, {"NYC", "old"}, {"N", "old"}, {"", "old"},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strState = "old";
        r.SetField("STATE", c.value);
        EXPECT_EQ(r.m_strState, c.expected) << c.value;
    }
}

TEST(Frequency, MegahertzToWholeKilohertz)
{
    const Case table[] = {
        {"14.074153", "14074.00"},
        {"7", "7000.00"},
        {"144.174", "144174.00"},
        {"7.0749", "7074.00"},
        {"0.475", "0475.00"},
        {"50.313.5", "50313.00"},
        {"14.075500", "14075.00"},
        // Short fractions are completed with zeros to whole kilohertz.
        {"7.1", "7100.00"},
        {"14.", "14000.00"},
        {"14.07", "14070.00"},
        {"3.5.", "3500.00"},
        {".5", "500.00"},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.SetField("FREQ", c.value);
        EXPECT_EQ(r.m_strFreq, c.expected) << c.value;
    }
    QsoRecord r;
    r.m_strFreq = "old";
    r.SetField("FREQ", "");
    EXPECT_EQ(r.m_strFreq, "old");
}

TEST(Reports, FourCharactersAtMost)
{
    const Case table[] = {{"-10", "-10"}, {"5999", "5999"}, {"59900", "old"}, {"", ""}};
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strRstRcvd = r.m_strRstSent = "old";
        r.SetField("RST_RCVD", c.value);
        r.SetField("RST_SENT", c.value);
        EXPECT_EQ(r.m_strRstRcvd, c.expected) << c.value;
        EXPECT_EQ(r.m_strRstSent, c.expected) << c.value;
    }
}

TEST(Iota, ThirdCharacterDropped)
{
    const Case table[] = {
        {"EU-005", "EU005"}, {"na-001", "NA001"}, {"OC1234", "OC234"},
        {"EU-05", "old"},    {"EU-0055", "old"},  {"E-U005", "E-005"},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strIota = "old";
        r.SetField("IOTA", c.value);
        EXPECT_EQ(r.m_strIota, c.expected) << c.value;
    }
}

TEST(Grid, SixKeptWholeOthersCutToFour)
{
    const Case table[] = {
        {"fn42", "FN42"}, {"fn42ab", "FN42AB"}, {"FN42ab12", "FN42"}, {"FN4", "old"},
        {"", "old"},      {"FN42a", "FN42"},    {"fn42abc", "FN42"},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strGrid = "old";
        r.SetField("GRIDSQUARE", c.value);
        EXPECT_EQ(r.m_strGrid, c.expected) << c.value;
    }
}

TEST(Comment, LeftTrimmedAndCutToFifty)
{
    const std::string fifty(50, 'c');
    QsoRecord r;
    r.SetField("COMMENT", "  \t tnx fer QSO");
    EXPECT_EQ(r.m_strComment, "tnx fer QSO");
    r.SetField("COMMENT", fifty);
    EXPECT_EQ(r.m_strComment, fifty);
    r.SetField("COMMENT", fifty + "d");
    EXPECT_EQ(r.m_strComment, fifty);
    r.SetField("COMMENT", "   " + fifty + "d");
    EXPECT_EQ(r.m_strComment, fifty);
    r.SetField("COMMENT", "");
    EXPECT_EQ(r.m_strComment, fifty);
}

TEST(TextFields, CallNameStationCallAndPower)
{
    QsoRecord r;
    r.SetField("CALL", " k1abc/p");
    EXPECT_EQ(r.m_strCall, " K1ABC/P"); // leading blank kept
    r.SetField("NAME", "Bob van der Berg");
    EXPECT_EQ(r.m_strName, "Bob van der Berg");
    r.SetField("STATION_CALLSIGN", "n0call/abcdefghijklmn");
    EXPECT_EQ(r.m_strStationCall, "N0CALL/ABCDEFGH");
    r.SetField("TX_PWR", "1500.5");
    EXPECT_EQ(r.m_strTxPwr, "1500");
    r.SetField("TX_PWR", "5w");
    EXPECT_EQ(r.m_strTxPwr, "5w");
    const std::string longCall(10000, 'a');
    r.SetField("CALL", longCall);
    EXPECT_EQ(r.m_strCall, std::string(10000, 'A'));
    for (const char* name : {"CALL", "NAME", "STATION_CALLSIGN", "TX_PWR"})
        r.SetField(name, "");
    EXPECT_EQ(r.m_strCall + r.m_strName + r.m_strStationCall + r.m_strTxPwr, "");
}

TEST(TextFields, CaseFoldingLeavesNonAsciiBytesAlone)
{
    QsoRecord r;
    r.SetField("CALL", "o\xc3\xa9k\xe9");
    EXPECT_EQ(r.m_strCall, "O\xc3\xa9K\xe9");
    r.SetField("BAND", "20\xcd");
    EXPECT_EQ(r.m_strBand, "99");
}

TEST(Dispatch, UnknownAndWrongCaseNamesChangeNothing)
{
    QsoRecord filled;
    filled.SetField("CALL", "K1ABC");
    filled.SetField("MODE", "FT8");
    for (const char* name : {"MY_GRIDSQUARE", "RST_SENT_EXT", "call", "Call", "", "CALL ", "EOR>",
                             "qso_date_off", "FREQ_RX"}) {
        QsoRecord r = filled;
        r.SetField(name, "20M");
        EXPECT_EQ(r.m_strCall, "K1ABC") << name;
        EXPECT_EQ(r.m_strMode, "FT8") << name;
        EXPECT_EQ(r.m_strBand, "") << name;
        EXPECT_EQ(r.m_strGrid, "") << name;
    }
}

TEST(Reset, EveryFieldEmptyAndFlagCleared)
{
    QsoRecord r;
    for (const char* name : {"CALL", "QSO_DATE", "TIME_ON", "TIME_OFF", "FREQ", "BAND", "MODE",
                             "STATE", "RST_RCVD", "RST_SENT", "COMMENT", "GRIDSQUARE", "IOTA",
                             "NAME", "QSLRDATE", "STATION_CALLSIGN", "TX_PWR", "QSO_DATE_OFF"})
        r.SetField(name, "20M");
    r.SetField("QSL_RCVD", "Y");
    r.SetField("QSO_DATE", "20260101");
    // Some conversions refuse "20M": every member gets a value of its own too.
    for (std::string* member :
         {&r.m_strCall, &r.m_strQsoDate, &r.m_strTimeOn, &r.m_strTimeOff, &r.m_strFreq,
          &r.m_strBand, &r.m_strMode, &r.m_strState, &r.m_strRstRcvd, &r.m_strRstSent,
          &r.m_strComment, &r.m_strGrid, &r.m_strIota, &r.m_strName, &r.m_strQslRDate,
          &r.m_strStationCall, &r.m_strTxPwr, &r.m_strQsoDateOff})
        if (member->empty())
            *member = "x";
    r.ResetRecord();
    int fields = 0;
    ForEachField(r, [&](const char* member, const std::string& value) {
        ++fields;
        EXPECT_EQ(value, std::string(member) == "m_bQslRcvd" ? "0" : "") << member;
    });
    EXPECT_EQ(fields, 19);
}

} // namespace
} // namespace plovik
