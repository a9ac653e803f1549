// The status line: the bridge's state in words, for colour-blind users and
// screen readers.

#include "status_text.h"

#include <gtest/gtest.h>

namespace plovik {
namespace {

TEST(StatusText, SaysWhatTheLightsAndTheSendingSay)
{
    struct Case {
        bool logvexRunning;
        Progress progress;
        const char* text;
    };
    const Case cases[] = {
        {false,
         {0, 0, 0, 0, "", "", "", "", "", 0},
         "Logvex: not running\r\nWaiting: 0\r\nSent: 0  Skipped: 0"},
        {false,
         {3, 12, 1, 0, "K1ABC", "062055", "", "", "", 0},
         "Logvex: not running\r\nWaiting: 3\r\nSent: 12  Skipped: 1\r\nLast: K1ABC 06:20 UTC"},
        {true,
         {0, 1, 0, 0, "VK2/W1ABCD", "2359", "", "", "", 0},
         "Logvex: running\r\nWaiting: 0\r\nSent: 1  Skipped: 0\r\nLast: VK2/W1ABCD 2359 UTC"},
        // A message kept by an earlier version has no time of its own.
        {true,
         {0, 1, 0, 0, "OLD01", "", "", "", "", 0},
         "Logvex: running\r\nWaiting: 0\r\nSent: 1  Skipped: 0\r\nLast: OLD01"},
        // Once one was late, the count stays; the last says how late it was.
        {true,
         {0, 12, 1, 3, "K1ABC", "062055", "2 h 5 min", "", "", 0},
         "Logvex: running\r\nWaiting: 0\r\nSent: 12  Skipped: 1  Late: 3\r\n"
         "Last: K1ABC 06:20 UTC\r\n2 h 5 min late"},
        {true,
         {0, 13, 1, 3, "G4XYZ", "062115", "", "", "", 0},
         "Logvex: running\r\nWaiting: 0\r\nSent: 13  Skipped: 1  Late: 3\r\n"
         "Last: G4XYZ 06:21 UTC"},
        // A late one in Logvex's hands: its own date and time, to give it there.
        {true,
         {2, 13, 1, 3, "G4XYZ", "062115", "", "W1AW", "2026-12-07 23:59", 0},
         "Logvex: running\r\nWaiting: 2\r\nSent: 13  Skipped: 1  Late: 3\r\n"
         "In Logvex: W1AW\r\nof 2026-12-07 23:59 UTC"},
        // Once the oldest has waited a minute, how long, in its largest unit.
        {false,
         {3, 0, 0, 0, "", "", "", "", "", 59},
         "Logvex: not running\r\nWaiting: 3\r\nSent: 0  Skipped: 0"},
        {false,
         {3, 0, 0, 0, "", "", "", "", "", 4 * 60 + 59},
         "Logvex: not running\r\nWaiting: 3, the oldest 4 min\r\nSent: 0  Skipped: 0"},
        {true,
         {999, 0, 0, 0, "", "", "", "", "", 2 * 3600 + 59 * 60},
         "Logvex: running\r\nWaiting: 999, the oldest 2 h\r\nSent: 0  Skipped: 0"},
        {false,
         {1, 0, 0, 0, "", "", "", "", "", 3 * 86400 + 5 * 3600},
         "Logvex: not running\r\nWaiting: 1, the oldest 3 d\r\nSent: 0  Skipped: 0"},
        {false,
         {0, 0, 0, 0, "", "", "", "", "", 600}, // the last count's wait, all sent
         "Logvex: not running\r\nWaiting: 0\r\nSent: 0  Skipped: 0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StatusText(c.progress, c.logvexRunning), c.text);
}

} // namespace
} // namespace plovik
