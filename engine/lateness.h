#pragma once
// Whether Logvex took a contact late. The message carries no date and no
// time, so a Logvex that stamps a contact with its arrival holds a wrong
// time for one that waited: QSL services then never match it. The bridge
// alone knows both times, and decides here, once.

#include "clock.h"
#include "qso_record.h"

#include <optional>
#include <string>
#include <string_view>

namespace plovik {

// Taken more than this long after the contact ended, a contact is late.
inline constexpr UtcSeconds kLateAfterSeconds = 10 * 60;

// An ADIF date (YYYYMMDD) and time (HHMMSS) as a moment; nothing unless
// both are whole and valid.
std::optional<UtcSeconds> AdifMoment(std::string_view date, std::string_view time);

// When the contact ended: QSO_DATE_OFF and TIME_OFF; without the first,
// QSO_DATE and TIME_OFF, the next day when TIME_OFF is before TIME_ON;
// without TIME_OFF, QSO_DATE and TIME_ON. Nothing without a date or a time.
// The end, not the start: JTDX was seen writing a session's first start
// time into every contact, while its end times were right.
std::optional<UtcSeconds> ContactEnd(const QsoRecord& contact);

// How long after its end Logvex took the contact at `taken`, when that is
// late; 0 when it is not (on time, no time to judge by, or still ahead of
// the clock).
UtcSeconds Lateness(const QsoRecord& contact, UtcSeconds taken);

// `moment` as ADIF writes it: "20261208" and "102233".
std::string AdifDate(UtcSeconds moment);
std::string AdifTime(UtcSeconds moment);

// A lateness for people: "2 h 5 min", "45 min", "3 d 4 h".
std::string DurationText(UtcSeconds seconds);

// A contact's own date and start time for people: "2026-12-08 06:20"; what
// it lacks is left out.
std::string LoggedAtText(const QsoRecord& contact);

} // namespace plovik
