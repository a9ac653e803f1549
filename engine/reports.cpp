#include "reports.h"

#include "lateness.h"

#include <algorithm>
#include <utility>

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

std::string RecordReadFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot read the record of contacts Logvex has taken\n" + path + "\n\n" + reason +
           "\n\nContacts are sent all the same, even one Logvex may have already.";
}

std::string RecordAppendFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot add to the record of contacts Logvex has taken\n" + path + "\n\n" + reason +
           "\n\nLogvex has the contact; it is missing from the record.";
}

std::string SenderFailureText(const std::string& reason)
{
    return "Cannot send contacts to Logvex: the bridge could not start its sending.\n\n" +
           (reason.empty() ? std::string("The sending has stopped.") : reason) +
           "\n\nThe contacts wait, and none is lost. Start the bridge again.";
}

std::string OpenFailureText(const std::string& path, const std::string& reason)
{
    return "Cannot open " + path + "\n\n" + reason;
}

std::string RunningElsewhereText()
{
    return "The bridge already runs for you in another session (Remote Desktop, say) or on "
           "another desktop, where this copy cannot bring it forward.\n\nOne bridge serves "
           "all your WSJT-X and JTDX logs, so this copy ends. Use that one, or close it first.";
}

std::string SingleStartFailureText(const std::string& path, const std::string& reason)
{
    return "The bridge cannot tell whether another copy of it runs, so it does not start: "
           "two would send every contact twice.\n\nCannot open " +
           path + "\n\n" + reason;
}

std::string EmptyFileText()
{
    return "The source file is empty";
}

std::string RefusedText()
{
    return "Logvex runs with higher rights than the bridge (as administrator), so Windows does "
           "not let the bridge hand it contacts.\n\nThe contacts wait, and none is lost. Run "
           "Logvex and the bridge at the same level: both as administrator, or neither.";
}

std::string MoveAsideFailureText(const std::string& log, const std::string& backup,
                                 const std::string& reason)
{
    return "Cannot rename " + log + " to " + backup + "\n\n" + reason +
           "\n\nThe log holds contacts from before the bridge started, so it is not sent. "
           "New contacts are sent once it has been moved or removed.";
}

void LateRun::Add(LateContact contact, UtcSeconds lateBy, const std::string& recordPath)
{
    least = count == 0 ? lateBy : std::min(least, lateBy);
    most = count == 0 ? lateBy : std::max(most, lateBy);
    ++count;
    if (listed.size() < kLateListed)
        listed.push_back(std::move(contact));
    if (std::find(recordPaths.begin(), recordPaths.end(), recordPath) == recordPaths.end())
        recordPaths.push_back(recordPath);
}

std::string LateBoxText(const LateRun& late)
{
    const bool one = late.count == 1;
    std::string text = "Logvex took ";
    text.append(std::to_string(late.count))
        .append(one ? " contact late, " : " contacts late, ")
        .append(DurationText(late.least));
    if (DurationText(late.most) != DurationText(late.least))
        text.append(" to ").append(DurationText(late.most));
    text.append(one ? " after it ended" : " after they ended")
        .append(" (UTC date and start time as logged):\n\n");
    for (const LateContact& contact : late.listed)
        for (const std::string* part :
             {&contact.call, &contact.band, &contact.mode, &contact.loggedAt})
            text.append(*part).append(part == &contact.loggedAt ? " UTC\n" : "  ");
    if (late.count > late.listed.size())
        text.append("and ")
            .append(std::to_string(late.count - late.listed.size()))
            .append(" more\n");
    text.append(one ? "\nIf Logvex gave it the time it arrived, it holds a wrong time for it, and "
                      "QSL services (LoTW, eQSL) will not match it. Its own times, and when "
                      "Logvex took it, are kept in"
                    : "\nIf Logvex gave them the time they arrived, it holds a wrong time for "
                      "them, and QSL services (LoTW, eQSL) will not match them. Their own times, "
                      "and when Logvex took each, are kept in");
    for (const std::string& path : late.recordPaths)
        text.append(1, '\n').append(path);
    return text;
}

bool Reports::ShowWhenFree(const std::string& text)
{
    if (!m_lastWhenFree.empty() && m_boxes.BoxPending(m_lastWhenFree))
        return false;
    m_lastWhenFree = text;
    m_boxes.ShowMessageBox(text);
    return true;
}

void Reports::Report(Topic topic, const std::string& text)
{
    // The same failure every second must not stack up boxes.
    std::string& last = Last(topic);
    if (text == last)
        return;
    last = text;
    m_boxes.ShowMessageBox(text);
}

} // namespace plovik
