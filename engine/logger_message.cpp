#include "logger_message.h"

#include "text.h"

#include <algorithm>
#include <string_view>

namespace plovik {

namespace {

constexpr CheckState kTicked = 1;
constexpr CheckState kUnticked = 0;

} // namespace

void RefreshNoFreq(std::uint8_t& noFreq, NoFreqCheckBox& box)
{
    // Two separate reads; an indeterminate answer leaves the flag alone.
    if (box.GetNoFreqCheck() == kTicked)
        noFreq = 1;
    if (box.GetNoFreqCheck() == kUnticked)
        noFreq = 0;
}

std::string BuildLoggerMessage(QsoRecord& record, std::uint8_t& noFreq, NoFreqCheckBox& box)
{
    for (char& c : record.m_strGrid)
        c = ToUpperAscii(c);
    RefreshNoFreq(noFreq, box);

    const std::string& rstSent = record.m_strRstSent;
    const std::string& rstRcvd = record.m_strRstRcvd;
    const std::string_view freq = noFreq ? std::string_view() : record.m_strFreq;
    // Positions 1 to 15; Logvex knows each field by its place alone. Built
    // in one buffer sized up front: a long log makes one message a contact.
    const std::string_view pieces[] = {
        record.m_strCall,
        "#",
        rstRcvd,
        "#",
        rstSent,
        "#",
        freq,
        "#",
        record.m_strName,
        "#",
        record.m_strMode,
        "#",
        record.m_strGrid,
        "##",
        "RSTS ",
        rstSent,
        "  RSTR ",
        rstRcvd,
        "   ",
        record.m_strComment,
        "####",
        "RSTS ",
        rstSent,
        "#RSTR ",
        rstRcvd,
        "#",
        record.m_strTxPwr,
        "#",
    };
    std::size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    std::string message(size, '\0');
    char* out = message.data();
    for (std::string_view piece : pieces)
        out = std::copy(piece.begin(), piece.end(), out);
    return message;
}

SendStatus SendLoggerMessage(WindowRef receiver, const std::string& message, CopyDataSender& sender)
{
    return sender.SendCopyData(receiver, kLoggerMessageKind, message);
}

} // namespace plovik
