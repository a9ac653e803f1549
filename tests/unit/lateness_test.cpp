// Whether Logvex took a contact late: judged from the contact's own end
// against the clock when Logvex took it.

#include "lateness.h"

#include <gtest/gtest.h>

#include <string>

namespace plovik {
namespace {

TEST(Lateness, FromTheContactsEndAgainstTheClock)
{
    struct Case {
        const char* what;
        const char* dateOn;
        const char* timeOn;
        const char* dateOff;
        const char* timeOff;
        const char* clockDate; // when Logvex took it
        const char* clockTime;
        UtcSeconds lateBy; // 0: not late
        const char* text;  // how late, in words
    };
    const Case cases[] = {
        {"on time", "20261208", "061900", "20261208", "062000", "20261208", "062500", 0, ""},
        {"9:59 after the end", "20261208", "061900", "20261208", "062000", "20261208", "062959", 0,
         ""},
        {"10:00 after the end", "20261208", "061900", "20261208", "062000", "20261208", "063000", 0,
         ""},
        {"10:01 after the end", "20261208", "061900", "20261208", "062000", "20261208", "063001",
         601, "10 min"},
        {"two hours", "20261208", "041400", "20261208", "041500", "20261208", "062000", 7500,
         "2 h 5 min"},
        {"days", "20261205", "031400", "20261205", "031500", "20261208", "062000", 270300,
         "3 d 3 h"},
        {"over midnight", "20261208", "235500", "20261209", "000500", "20261209", "002000", 900,
         "15 min"},
        {"over a month's and a year's end", "20261231", "235800", "20270101", "000200", "20270101",
         "001000", 0, ""},
        {"leap day", "20280229", "235800", "20280301", "000000", "20280301", "001100", 660,
         "11 min"},
        {"end before start, no end date: the next day", "20261130", "235800", "", "000200",
         "20261201", "001000", 0, ""},
        {"end before start, no end date, late", "20261130", "235800", "", "000200", "20261201",
         "001300", 660, "11 min"},
        {"end at the start, no end date: the same day", "20261208", "061900", "", "061900",
         "20261208", "063000", 660, "11 min"},
        {"no end time: the start", "20261208", "060000", "", "", "20261208", "062000", 1200,
         "20 min"},
        {"stale start, fresh end", "20261208", "040000", "20261208", "061500", "20261208", "062000",
         0, ""},
        {"no date", "", "061900", "", "062000", "20261209", "062000", 0, ""},
        {"no time", "20261208", "", "20261208", "", "20261209", "062000", 0, ""},
        {"no such day", "20270229", "061900", "", "062000", "20270310", "062000", 0, ""},
        {"no such hour", "20261208", "240000", "", "", "20261209", "062000", 0, ""},
        {"ahead of the clock", "20261208", "061900", "20261208", "062000", "20261208", "060000", 0,
         ""},
    };
    for (const Case& c : cases) {
        QsoRecord contact;
        contact.SetField("QSO_DATE", c.dateOn);
        contact.SetField("TIME_ON", c.timeOn);
        contact.SetField("QSO_DATE_OFF", c.dateOff);
        contact.SetField("TIME_OFF", c.timeOff);
        const std::optional<UtcSeconds> clock = AdifMoment(c.clockDate, c.clockTime);
        ASSERT_TRUE(clock) << c.what;
        const UtcSeconds lateBy = Lateness(contact, *clock);
        EXPECT_EQ(lateBy, c.lateBy) << c.what;
        EXPECT_EQ(lateBy > 0 ? DurationText(lateBy) : std::string(), c.text) << c.what;
        // The clock written back as the record keeps it.
        EXPECT_EQ(AdifDate(*clock) + AdifTime(*clock), std::string(c.clockDate) + c.clockTime)
            << c.what;
    }
}

} // namespace
} // namespace plovik
