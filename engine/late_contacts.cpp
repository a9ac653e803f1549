#include "late_contacts.h"

#include "lateness.h"

namespace plovik {

UtcSeconds LateContacts::Taken(const QsoRecord& contact, UtcSeconds taken,
                               const std::string& recordPath)
{
    const UtcSeconds lateBy = Lateness(contact, taken);
    if (lateBy == 0) {
        EndRun();
        return 0;
    }
    std::string band(BandNameOf(contact.m_strBand));
    for (char& c : band)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    m_next.Add({contact.m_strCall, band, contact.m_strMode, LoggedAtText(contact)}, lateBy,
               recordPath);
    ++m_count;
    return lateBy;
}

void LateContacts::EndRun()
{
    if (m_next.count > 0 && m_reports.ShowWhenFree(LateBoxText(m_next)))
        m_next = LateRun();
}

} // namespace plovik
