#pragma once
// The record of what Logvex has taken: every contact delivered is appended,
// as WSJT-X wrote it, to an ADIF file in its folder, which any logging
// program, TQSL or adif2msg reads. The bridge keeps a 64-bit hash of each
// recorded contact, so a contact identical to one Logvex already has (a
// restored or copied-back log) is not sent again.

#include "files.h"
#include "qso_record.h"
#include "reports.h"
#include "window_side.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plovik {

// The program id of the record's header, without a blank: it also names
// the record's own fields (APP_PlovikBridge_...).
#define PLOVIK_PROGRAM_ID "PlovikBridge"
inline constexpr const char* kSentRecordHeader =
    "Contacts Logvex has taken, written by Plovik Bridge\n<adif_ver:5>3.1.1 "
    "<programid:12>" PLOVIK_PROGRAM_ID " <eoh>\n";
// When Logvex took the contact, UTC, with ADIF's Date and Time indicators.
inline constexpr const char* kTakenDateField = "APP_" PLOVIK_PROGRAM_ID "_TAKEN_DATE";
inline constexpr const char* kTakenTimeField = "APP_" PLOVIK_PROGRAM_ID "_TAKEN_TIME";
#undef PLOVIK_PROGRAM_ID

// What makes two contacts the same: call, reports, frequency, name, mode,
// grid, comment, power, date, start time, and the end (date and time) where
// written: a session's start times can be stale, its end times are not.
// Nothing for a contact without call sign, date or start time, which is
// never taken for another. When Logvex took it takes no part.
std::optional<std::uint64_t> ContactKey(const QsoRecord& contact);

// A contact's record line: its tags as the file has them, with when Logvex
// took it before the end-of-record tag (added if the file had none, so the
// next contact appended stays a contact of its own).
std::string RecordLine(const std::string& tags, UtcSeconds taken);

class SentRecord {
public:
    // `path`: the record file. `alsoTaken`: files of contacts Logvex had
    // before the bridge (the log moved aside at the first start).
    SentRecord(Files& files, MessageDrain& window, Reports& reports, std::string path,
               std::vector<std::string> alsoTaken);

    // Whether an identical contact is recorded. The files are read at the
    // first call.
    bool Has(const QsoRecord& contact);

    // Appends the contact's tags, with `taken`, when Logvex took it, and
    // remembers it. A failed append shows one box naming the file; the
    // record is a convenience, the outbox the truth.
    void Add(const QsoRecord& contact, const std::string& tags, UtcSeconds taken);
    const std::string& Path() const { return m_path; }

    std::size_t Size() const { return m_keys.size(); }

private:
    void Load();
    void Remember(std::uint64_t key);

    Files& m_files;
    MessageDrain& m_window;
    Reports& m_reports;
    std::string m_path;
    std::vector<std::string> m_alsoTaken;
    bool m_bLoaded = false;
    bool m_bFailureShown = false;
    std::vector<std::uint64_t> m_keys; // sorted
};

} // namespace plovik
