#include "status_text.h"

namespace plovik {

namespace {

// "062055" -> "06:20"; anything else as it is.
std::string HoursMinutes(const std::string& time)
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

std::string StatusText(const Progress& progress, bool logvexRunning)
{
    std::string text = logvexRunning ? "Logvex: running" : "Logvex: not running";
    text += "\r\nWaiting: " + std::to_string(progress.waiting);
    if (progress.waiting > 0 && progress.oldestWait >= 60)
        text.append(", the oldest ").append(WaitText(progress.oldestWait));
    text += "\r\nSent: " + std::to_string(progress.delivered) +
            "  Skipped: " + std::to_string(progress.skipped);
    if (progress.late > 0)
        text.append("  Late: ").append(std::to_string(progress.late));
    if (!progress.lateInHandsCall.empty()) {
        text.append("\r\nIn Logvex: ").append(progress.lateInHandsCall).append("\r\nof ");
        text.append(progress.lateInHandsAt).append(" UTC");
    } else if (!progress.lastCall.empty()) {
        text += "\r\nLast: " + progress.lastCall;
        if (!progress.lastTimeOn.empty())
            text += " " + HoursMinutes(progress.lastTimeOn) + " UTC";
        if (!progress.lastLateBy.empty())
            text.append("\r\n").append(progress.lastLateBy).append(" late");
    }
    return text;
}

} // namespace plovik
