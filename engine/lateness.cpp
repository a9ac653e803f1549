#include "lateness.h"

namespace plovik {

namespace {

constexpr UtcSeconds kDay = 24 * 60 * 60;

struct CivilDate {
    std::int64_t year;
    int month; // 1-12
    int day;   // 1-31
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and
// back (H. Hinnant's algorithms: no table, no library clock).
std::int64_t DaysFromCivil(CivilDate date)
{
    const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear =
        (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate CivilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// The number written by `count` digits at `at`; false if any is no digit.
bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// Appends `value` (not negative) with at least `width` digits.
void AppendNumber(std::string& text, std::int64_t value, int width)
{
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 20);
    for (; width > count; --width)
        text += '0';
    while (count > 0)
        text += digits[--count];
}

} // namespace

std::optional<UtcSeconds> AdifMoment(std::string_view date, std::string_view time)
{
    int year = 0, month = 0, day = 0, hours = 0, minutes = 0, seconds = 0;
    if (date.size() != 8 || time.size() != 6 || !ReadDigits(date, 0, 4, year) ||
        !ReadDigits(date, 4, 2, month) || !ReadDigits(date, 6, 2, day) ||
        !ReadDigits(time, 0, 2, hours) || !ReadDigits(time, 2, 2, minutes) ||
        !ReadDigits(time, 4, 2, seconds))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || hours > 23 || minutes > 59 || seconds > 59)
        return std::nullopt;
    const std::int64_t days = DaysFromCivil({year, month, day});
    const CivilDate back = CivilFromDays(days);
    if (back.month != month || back.day != day) // 31 April, 29 February of 2026
        return std::nullopt;
    return days * kDay + hours * 3600 + minutes * 60 + seconds;
}

std::optional<UtcSeconds> ContactEnd(const QsoRecord& c)
{
    if (const std::optional<UtcSeconds> end = AdifMoment(c.m_strQsoDateOff, c.m_strTimeOff))
        return end;
    const std::optional<UtcSeconds> start = AdifMoment(c.m_strQsoDate, c.m_strTimeOn);
    if (std::optional<UtcSeconds> end = AdifMoment(c.m_strQsoDate, c.m_strTimeOff)) {
        // Ended before it began: past midnight.
        if (start && *end < *start)
            *end += kDay;
        return end;
    }
    return start;
}

UtcSeconds Lateness(const QsoRecord& contact, UtcSeconds taken)
{
    const std::optional<UtcSeconds> end = ContactEnd(contact);
    if (!end)
        return 0;
    const UtcSeconds after = taken - *end;
    return after > kLateAfterSeconds ? after : 0;
}

std::string AdifDate(UtcSeconds moment)
{
    const std::int64_t days = moment >= 0 ? moment / kDay : (moment - kDay + 1) / kDay;
    const CivilDate date = CivilFromDays(days);
    std::string text;
    AppendNumber(text, date.year, 4);
    AppendNumber(text, date.month, 2);
    AppendNumber(text, date.day, 2);
    return text;
}

std::string AdifTime(UtcSeconds moment)
{
    const UtcSeconds ofDay = ((moment % kDay) + kDay) % kDay;
    std::string text;
    AppendNumber(text, ofDay / 3600, 2);
    AppendNumber(text, ofDay / 60 % 60, 2);
    AppendNumber(text, ofDay % 60, 2);
    return text;
}

std::string DurationText(UtcSeconds seconds)
{
    const UtcSeconds minutes = seconds / 60, hours = minutes / 60, days = hours / 24;
    // The two largest units, the second left out when it is nothing.
    const UtcSeconds counts[] = {days, hours % 24, minutes % 60};
    const char* const units[] = {" d", " h", " min"};
    int first = days > 0 ? 0 : hours > 0 ? 1 : 2;
    std::string text;
    for (int unit = first; unit < 3 && unit < first + 2; ++unit) {
        if (unit > first && counts[unit] == 0)
            break;
        if (unit > first)
            text += ' ';
        AppendNumber(text, counts[unit], 1);
        text += units[unit];
    }
    return text;
}

std::string LoggedAtText(const QsoRecord& contact)
{
    const std::string& date = contact.m_strQsoDate;
    const std::string& time = contact.m_strTimeOn;
    std::string text;
    if (date.size() == 8)
        text.append(date, 0, 4).append(1, '-').append(date, 4, 2).append(1, '-').append(date, 6, 2);
    if (time.size() == 6) {
        if (!text.empty())
            text += ' ';
        text.append(time, 0, 2).append(1, ':').append(time, 2, 2);
    }
    return text;
}

} // namespace plovik
