#include "reports.h"

#include "lateness.h"

#include <algorithm>

namespace plovik {

std::string TakeFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot read the WSJT-X log file\n" + path + "\n\n" + reason +
           "\n\nIt stays where it is and is tried again.";
}

std::string OutboxFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot use the folder where contacts wait for Logvex\n" + path + "\n\n" + reason;
}

std::string LegacyFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot take over the contacts kept for Logvex by an earlier version\n" + path + "\n\n" +
           reason + "\n\nThe file is left as it is.";
}

std::string BadFileText(const std::string& path, const std::string& reason)
{
    return "A file of contacts waiting for Logvex cannot be used\n" + path + "\n\n" + reason +
           "\n\nIts contacts are not sent now; the others go on. It is tried again when "
           "the bridge starts next.";
}

std::string NotRecordedText(const std::string& path, const std::string& reason)
{
    return "Logvex got a contact, but this could not be recorded\n" + path + "\n\n" + reason +
           "\n\nThe file is left alone until the bridge starts next, so the contact is "
           "not sent twice now.";
}

std::string MoveAsideFailureText(const std::string& log, const std::string& backup,
                                 const std::string& reason)
{
    return "Cannot rename " + log + " to " + backup + "\n\n" + reason +
           "\n\nThe log holds contacts from before the bridge started, so it is not sent. "
           "New contacts are sent once it has been moved or removed.";
}

std::string LateBoxText(const std::vector<LateContact>& late)
{
    UtcSeconds least = late.front().lateBy, most = least;
    std::vector<std::string> paths;
    for (const LateContact& contact : late) {
        least = std::min(least, contact.lateBy);
        most = std::max(most, contact.lateBy);
        if (std::find(paths.begin(), paths.end(), contact.recordPath) == paths.end())
            paths.push_back(contact.recordPath);
    }
    const bool one = late.size() == 1;
    std::string text = "Logvex took " + std::to_string(late.size()) +
                       (one ? " contact late, " : " contacts late, ") + DurationText(least);
    if (DurationText(most) != DurationText(least))
        text += " to " + DurationText(most);
    text += one ? " after it ended:\n\n" : " after they ended:\n\n";
    for (std::size_t i = 0; i < late.size() && i < kLateListed; ++i) {
        text += late[i].call + "  " + late[i].band + "  " + late[i].mode + "  " + late[i].loggedAt +
                " UTC\n";
    }
    if (late.size() > kLateListed)
        text += "and " + std::to_string(late.size() - kLateListed) + " more\n";
    text += one ? "\nA Logvex that gave it the time it arrived holds a wrong time for it, "
                  "and QSL services will not match it."
                : "\nA Logvex that gave them the time they arrived holds a wrong time for "
                  "them, and QSL services will not match them.";
    text += " The date and time each was made, and when Logvex took it, are kept in\n";
    for (const std::string& path : paths)
        text += path + "\n";
    text.pop_back();
    return text;
}

bool Reports::ShowWhenFree(const std::string& text)
{
    if (!m_lastWhenFree.empty() && m_window.BoxPending(m_lastWhenFree))
        return false;
    m_lastWhenFree = text;
    m_window.ShowMessageBox(text);
    return true;
}

void Reports::Report(Topic topic, const std::string& text)
{
    // The same failure every second must not stack up boxes.
    std::string& last = Last(topic);
    if (text == last)
        return;
    last = text;
    m_window.ShowMessageBox(text);
}

} // namespace plovik
