// The status line: the bridge's state in words, for colour-blind users and
// screen readers.

#include "status_text.h"

#include <gtest/gtest.h>

namespace plovik {
namespace {

TEST(StatusText, SaysWhatTheLightsAndTheSendingSay)
{
    struct Case {
        StatusFacts facts;
        const char* text;
    };
    const Case cases[] = {
        {{false, 0, 0, 0, "", ""}, "Logvex: not running\r\nWaiting: 0\r\nSent: 0  Skipped: 0"},
        {{false, 3, 12, 1, "K1ABC", "062055"},
         "Logvex: not running\r\nWaiting: 3\r\nSent: 12  Skipped: 1\r\nLast: K1ABC 06:20 UTC"},
        {{true, 0, 1, 0, "VK2/W1ABCD", "2359"},
         "Logvex: running\r\nWaiting: 0\r\nSent: 1  Skipped: 0\r\nLast: VK2/W1ABCD 2359 UTC"},
        // A message kept by an earlier version has no time of its own.
        {{true, 0, 1, 0, "OLD01", ""},
         "Logvex: running\r\nWaiting: 0\r\nSent: 1  Skipped: 0\r\nLast: OLD01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StatusText(c.facts), c.text);
}

} // namespace
} // namespace plovik
