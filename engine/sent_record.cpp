#include "sent_record.h"

#include "lateness.h"
#include "log_reader.h"
#include "text.h"

#include <algorithm>
#include <utility>

namespace plovik {

namespace {

// FNV-1a, 64 bits: a million contacts collide with odds of about 1 in 30
// million, and a collision only keeps back one contact that Logvex lacks.
class Hash {
public:
    void Add(const std::string& text)
    {
        for (unsigned char c : text)
            Byte(c);
        Byte(0x1f); // fields never run into each other
    }
    std::uint64_t Value() const { return m_value; }

private:
    void Byte(unsigned char c)
    {
        m_value ^= c;
        m_value *= 0x100000001b3ULL;
    }
    std::uint64_t m_value = 0xcbf29ce484222325ULL;
};

} // namespace

std::optional<std::uint64_t> ContactKey(const QsoRecord& c)
{
    if (c.m_strCall.empty() || c.m_strQsoDate.empty() || c.m_strTimeOn.empty())
        return std::nullopt;
    Hash hash;
    for (const std::string* field :
         {&c.m_strCall, &c.m_strRstRcvd, &c.m_strRstSent, &c.m_strFreq, &c.m_strName, &c.m_strMode,
          &c.m_strComment, &c.m_strTxPwr, &c.m_strQsoDate, &c.m_strTimeOn, &c.m_strQsoDateOff,
          &c.m_strTimeOff,
          // Upper-cased by the reader, as the message sends it: its case
          // makes no other contact.
          &c.m_strGrid})
        hash.Add(*field);
    return hash.Value();
}

std::string RecordLine(const std::string& tags, UtcSeconds taken)
{
    constexpr std::string_view kEor = "<eor>";
    const std::size_t body = tags.size() - std::min(tags.size(), kEor.size());
    const bool closed = EqualsNoCase(std::string_view(tags).substr(body), kEor);
    std::string line = closed ? tags.substr(0, body) : tags;
    if (!line.empty() && !IsSpace(line.back()))
        line += ' ';
    line.append(1, '<').append(kTakenDateField).append(":8:D>").append(AdifDate(taken));
    line.append(" <")
        .append(kTakenTimeField)
        .append(":6:T>")
        .append(AdifTime(taken))
        .append(1, ' ');
    line.append(closed ? tags.substr(body) : std::string(kEor)).append(1, '\n');
    return line;
}

SentRecord::SentRecord(Files& files, MessageDrain& window, Reports& reports, std::string path,
                       std::vector<std::string> alsoTaken)
    : m_files(files), m_window(window), m_reports(reports), m_path(std::move(path)),
      m_alsoTaken(std::move(alsoTaken))
{
}

bool SentRecord::Has(const QsoRecord& contact)
{
    Load();
    const std::optional<std::uint64_t> key = ContactKey(contact);
    return key && std::binary_search(m_keys.begin(), m_keys.end(), *key);
}

void SentRecord::Add(const QsoRecord& contact, const std::string& tags, UtcSeconds taken)
{
    Load();
    const FileResult appended = m_files.Append(m_path, kSentRecordHeader, RecordLine(tags, taken));
    if (!appended) {
        // One box a run: the same failure would otherwise come with each contact.
        if (!std::exchange(m_bFailureShown, true))
            m_reports.Show(RecordAppendFailureText(m_path, appended.reason));
    }
    if (const std::optional<std::uint64_t> key = ContactKey(contact))
        Remember(*key);
}

void SentRecord::Load()
{
    if (std::exchange(m_bLoaded, true))
        return;
    std::vector<std::string> paths = m_alsoTaken;
    paths.insert(paths.begin(), m_path);
    for (const std::string& path : paths) {
        OpenResult opened = m_files.OpenForReading(path);
        if (opened.status == OpenStatus::Absent)
            continue;
        std::string reason = opened.reason;
        if (opened.status == OpenStatus::Opened) {
            QsoRecord working;
            QsoRecord contact;
            ContactStream stream(working, *opened.file, m_window);
            ContactStream::Status status;
            while ((status = stream.Next(contact)) == ContactStream::Status::Contact)
                if (const std::optional<std::uint64_t> key = ContactKey(contact))
                    m_keys.push_back(*key);
            if (status != ContactStream::Status::Failed)
                continue;
            reason = stream.Reason();
        }
        m_reports.Show(RecordReadFailureText(path, reason));
    }
    std::sort(m_keys.begin(), m_keys.end());
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
}

void SentRecord::Remember(std::uint64_t key)
{
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    if (at == m_keys.end() || *at != key)
        m_keys.insert(at, key);
}

} // namespace plovik
