// The end-of-record rules.

#include "qso_record.h"

#include <gtest/gtest.h>

namespace plovik {
namespace {

struct Case {
    const char* what;
    const char* call;
    const char* band; // record value before the rules
    const char* mode;
    const char* bandAfter;
    const char* modeAfter;
    int complete; // what CheckRecord returns on the record before the rules
};

TEST(FinishRecord, RulesInOrder)
{
    const Case table[] = {
        {"mode too long: cleared, band 99 left", "K1ABC", "99", "99", "99", "", 0},
        {"mode too long, no call", "", "6", "99", "6", "", 0},
        {"unknown band cleared, no check", "K1ABC", "99", "", "", "", 0},
        {"unknown band cleared, mode kept", "K1ABC", "99", "FT8", "", "FT8", 0},
        {"ssb on 40 m is lower sideband", "K1ABC", "8", "89", "8", "1", 1},
        {"ssb on 80 m", "K1ABC", "9", "89", "9", "1", 1},
        {"ssb on 160 m", "K1ABC", "10", "89", "10", "1", 1},
        {"ssb on 20 m is upper sideband", "K1ABC", "6", "89", "6", "0", 1},
        {"ssb without band: upper, then noBand", "K1ABC", "", "89", "noBand", "0", 0},
        {"ssb, short call: resolved, no fill-in", "K", "", "89", "", "0", 0},
        {"one-character call: no fill-in", "K", "", "", "", "", 0},
        {"no band and no mode: only noBand", "K1ABC", "", "", "noBand", "", 0},
        {"band but no mode", "K1ABC", "6", "", "6", "noMode", 0},
        {"complete", "K1ABC", "6", "FT8", "6", "FT8", 1},
        {"two-character call is enough", "K1", "6", "FT8", "6", "FT8", 1},
        {"codes compared exactly", "K1ABC", "8 ", "89 ", "8 ", "89 ", 1},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strCall = c.call;
        r.m_strBand = c.band;
        r.m_strMode = c.mode;
        r.FinishRecord();
        EXPECT_EQ(r.m_strBand, c.bandAfter) << c.what;
        EXPECT_EQ(r.m_strMode, c.modeAfter) << c.what;
    }
}

TEST(CheckRecord, OneWhenCompleteElseZeroWithOneFillIn)
{
    const Case table[] = {
        {"complete", "K1ABC", "6", "FT8", "6", "FT8", 1},
        {"short call", "K", "6", "", "6", "", 0},
        {"no band", "K1ABC", "", "", "noBand", "", 0},
        {"no mode", "K1ABC", "6", "", "6", "noMode", 0},
        {"fill-ins count as present", "K1ABC", "noBand", "noMode", "noBand", "noMode", 1},
    };
    for (const Case& c : table) {
        QsoRecord r;
        r.m_strCall = c.call;
        r.m_strBand = c.band;
        r.m_strMode = c.mode;
        EXPECT_EQ(r.CheckRecord(), c.complete) << c.what;
        EXPECT_EQ(r.m_strBand, c.bandAfter) << c.what;
        EXPECT_EQ(r.m_strMode, c.modeAfter) << c.what;
    }
}

TEST(FinishRecord, RunsOnFieldsAsConverted)
{
    // A long mode and an unknown band: the mode is emptied, the band stays 99.
    QsoRecord r;
    r.SetField("CALL", "K1ABC");
    r.SetField("BAND", "630M");
    r.SetField("MODE", "ABCDEFGHIJKLMNOP");
    r.FinishRecord();
    EXPECT_EQ(r.m_strMode, "");
    EXPECT_EQ(r.m_strBand, "99");

    QsoRecord lsb;
    lsb.SetField("BAND", "40M");
    lsb.SetField("MODE", "89");
    lsb.FinishRecord();
    EXPECT_EQ(lsb.m_strMode, "1");

    QsoRecord usb;
    usb.SetField("BAND", "20M");
    usb.SetField("MODE", "89");
    usb.FinishRecord();
    EXPECT_EQ(usb.m_strMode, "0");
}

TEST(FinishRecord, OtherFieldsUntouched)
{
    QsoRecord r;
    r.SetField("CALL", "K1ABC");
    r.SetField("NAME", "Bob");
    r.SetField("FREQ", "14.074");
    const QsoRecord before = r;
    r.FinishRecord();
    EXPECT_EQ(r.m_strName, before.m_strName);
    EXPECT_EQ(r.m_strFreq, before.m_strFreq);
    EXPECT_EQ(r.m_strCall, before.m_strCall);
}

} // namespace
} // namespace plovik
