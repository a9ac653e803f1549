#include "reports.h"

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
