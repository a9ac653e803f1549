// Fuzz target: file bytes -> ReadLogFile -> BuildLoggerMessage, per contact.

#include "fake_platform.h"
#include "invariants.h"
#include "log_reader.h"
#include "logger_message.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using plovik::fuzz::Require;

namespace {

// Whether any line has content, by a plain split of its own: a line ends
// at '\n', and a '\r' just before the '\n' is not part of it.
bool HasLineWithContent(const std::string& content)
{
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            return true; // a last line without terminator, not empty
        const std::size_t length = end - start;
        if (length > 1 || (length == 1 && content[start] != '\r'))
            return true;
        start = end + 1;
    }
    return false;
}

std::size_t CountHashes(const std::string& text)
{
    std::size_t n = 0;
    for (char c : text)
        n += c == '#';
    return n;
}

// The properties of one contact's record and of its two messages.
void CheckMessages(plovik::QsoRecord& record, plovik::testing::FakePlatform& platform)
{
    plovik::fuzz::CheckRecordShape(record);

    std::uint8_t noFreq = 0;
    platform.check = 0;
    const std::string withFreq = plovik::BuildLoggerMessage(record, noFreq, platform);
    platform.check = 1;
    const std::string without = plovik::BuildLoggerMessage(record, noFreq, platform);
    Require(noFreq == 1, "ticked box sets the flag");

    Require(!withFreq.empty() && withFreq.back() == '#', "message ends in #");
    Require(withFreq.size() == without.size() + record.m_strFreq.size(),
            "ticked box drops exactly the frequency");
    const std::string fields = record.m_strCall + record.m_strRstRcvd + record.m_strRstSent +
                               record.m_strFreq + record.m_strName + record.m_strMode +
                               record.m_strGrid + record.m_strComment + record.m_strTxPwr;
    if (fields.find('#') == std::string::npos) {
        Require(CountHashes(withFreq) == 15 && CountHashes(without) == 15, "fifteen positions");
        // Position 4 is empty with the box ticked.
        std::size_t at = 0;
        for (int i = 0; i < 3; ++i)
            at = without.find('#', at) + 1;
        Require(without[at] == '#', "position 4 empty when ticked");
    }
}

// Every end-of-record tag text begins with "eor>" in some letter case.
std::size_t CountEndOfRecordTexts(const std::string& content)
{
    std::string lower = content;
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    std::size_t n = 0;
    for (std::size_t at = lower.find("eor>"); at != std::string::npos;
         at = lower.find("eor>", at + 1))
        ++n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    const std::string path = "wsjtx_log.adi";

    plovik::testing::FakePlatform platform;
    platform.chunkSize = 1 + size % 13; // lines cut across reads at varying places
    platform.files[path].content = content;
    plovik::QsoRecord record;
    std::vector<plovik::QsoRecord> contacts;
    const plovik::ReadResult read =
        plovik::ReadLogFile(record, path, platform, platform,
                            [&](plovik::QsoRecord& contact) { contacts.push_back(contact); });

    Require(platform.openFiles == 0, "the file is closed afterwards");
    Require((read.outcome == plovik::ReadOutcome::Empty) == !HasLineWithContent(content),
            "empty exactly when no line has content");
    if (read.outcome == plovik::ReadOutcome::Empty) {
        Require(contacts.empty(), "no contact from an empty file");
        Require(platform.Exists(path), "an empty file is kept");
        Require(platform.boxes.empty(), "the reader shows no box: its caller does");
        return 0;
    }
    Require(read.outcome == plovik::ReadOutcome::Read, "a file in memory is read");
    Require(platform.Exists(path) && platform.files[path].content == content,
            "reading leaves the file as it was");
    Require(platform.boxes.empty(), "no box for a file with content");
    Require(!contacts.empty(), "a file with content gives at least one contact");
    Require(contacts.size() <= 1 + CountEndOfRecordTexts(content),
            "no more contacts than end-of-record tags, plus one");
    for (plovik::QsoRecord& contact : contacts)
        CheckMessages(contact, platform);
    return 0;
}
