#include "status_text.h"

namespace plovik {

namespace {

// "062055" -> "06:20"; anything else as it is.
std::string Clock(const std::string& time)
{
    if (time.size() != 6)
        return time;
    return time.substr(0, 2) + ":" + time.substr(2, 2);
}

// A wait in its one largest unit, so that the line keeps its width all
// evening: "4 min", "2 h", "3 d".
std::string WaitText(long long seconds)
{
    const long long minutes = seconds / 60, hours = minutes / 60, days = hours / 24;
    if (days > 0)
        return std::to_string(days) + " d";
    if (hours > 0)
        return std::to_string(hours) + " h";
    return std::to_string(minutes) + " min";
}

} // namespace

std::string StatusText(const StatusFacts& facts)
{
    std::string text = facts.logvexRunning ? "Logvex: running" : "Logvex: not running";
    text += "\r\nWaiting: " + std::to_string(facts.waiting);
    if (facts.waiting > 0 && facts.oldestWait >= 60)
        text.append(", the oldest ").append(WaitText(facts.oldestWait));
    text += "\r\nSent: " + std::to_string(facts.delivered) +
            "  Skipped: " + std::to_string(facts.skipped);
    if (facts.late > 0)
        text.append("  Late: ").append(std::to_string(facts.late));
    if (!facts.inHandsCall.empty()) {
        text.append("\r\nIn Logvex: ").append(facts.inHandsCall).append("\r\nof ");
        text.append(facts.inHandsAt).append(" UTC");
    } else if (!facts.lastCall.empty()) {
        text += "\r\nLast: " + facts.lastCall;
        if (!facts.lastTimeOn.empty())
            text += " " + Clock(facts.lastTimeOn) + " UTC";
        if (!facts.lastLateBy.empty())
            text.append("\r\n").append(facts.lastLateBy).append(" late");
    }
    return text;
}

} // namespace plovik
