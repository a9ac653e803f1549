#pragma once
// Reading the WSJT-X log file into the QSO record.

#include "files.h"
#include "line_reader.h"
#include "qso_record.h"
#include "window_side.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace plovik {

enum class ReadOutcome {
    Read,        // every contact of the file was handed over
    Empty,       // no line with content: the caller tells the user (EmptyFileText)
    InUse,       // another program holds the file for writing
    Vanished,    // the file is not there (any more)
    Failed,      // other open or read failure (reason)
    Interrupted, // the program began shutting down
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::Failed;
    std::string reason; // the system's text, for every outcome but the first two
};

// Cuts one tag text into name and value and hands it to the record.
// Returns 1 for the end-of-record tag (the record is not touched), else 0.
int ParseTag(QsoRecord& record, std::string_view tagText);

// Takes each contact of the file as it is completed. WSJT-X appends to the
// file while it waits to be read, so a file can hold several contacts, and
// each must reach Logvex as itself: the record is cleared before the first
// tag of each next contact.
using ContactSink = std::function<void(QsoRecord& contact)>;

// Reads the file at `path` contact by contact through `record`, handing
// each to `onContact`: at its end-of-record tag, and whatever follows the
// last one. A file without any end-of-record tag is one contact. The file
// is left as it is. Contacts handed over count only for Read: on any other
// outcome the file must be read again whole. Memory use is bounded by the
// longest line, not by the size of the file.
ReadResult ReadLogFile(QsoRecord& record, const std::string& path, Files& files,
                       MessageDrain& window, const ContactSink& onContact);

// The same for a file already open.
ReadResult ReadContacts(QsoRecord& record, LogFile& file, MessageDrain& window,
                        const ContactSink& onContact);

// The contacts of an open file, one at a time, read only as far as each
// needs: a file of N contacts costs N, however they are asked for. The
// contacts are cut out of `record`, as ReadContacts does; each is handed
// over as a copy, so the caller may keep it while the next is read.
class ContactStream {
public:
    // With `direct`, each contact goes to it as it is cut, and Next only
    // says how the file ended (ReadContacts).
    ContactStream(QsoRecord& record, LogFile& file, MessageDrain& window,
                  const ContactSink* direct = nullptr);
    ~ContactStream();
    ContactStream(const ContactStream&) = delete;
    ContactStream& operator=(const ContactStream&) = delete;

    enum class Status {
        Contact,     // `contact` holds the next one
        End,         // no contact follows
        Empty,       // the file has no line with content
        Failed,      // a read failed (Reason)
        Interrupted, // the program began shutting down
    };
    // Once it has answered anything but Contact, it answers the same again.
    // `tags`, if given, receives the contact's tags as the file has them,
    // from its first to its end-of-record tag ("<call:5>K1ABC ... <eor>").
    Status Next(QsoRecord& contact, std::string* tags = nullptr);
    const std::string& Reason() const { return m_reason; }

private:
    struct Parts; // the line reader, the drain pacer and the contact cutter
    enum class State { Start, Body, Done };

    // Reads the next line; false when a drain due there dispatched the end
    // of the program.
    bool ReadLine();
    // Reads on until a line has been cut, or the file ends.
    void Advance();
    void Finish(Status status);

    QsoRecord& m_record;
    LogFile& m_file;
    MessageDrain& m_window;
    struct Cut {
        QsoRecord record;
        std::string tags;
    };
    std::deque<Cut> m_cut; // cut, not yet handed over (a line can hold several)
    std::unique_ptr<Parts> m_parts;
    std::string_view m_line;
    LineReader::Status m_status = LineReader::Status::Line;
    State m_state = State::Start;
    bool m_bReading = false; // no '*' has ended the useful part yet
    Status m_final = Status::End;
    std::string m_reason;
};

} // namespace plovik
