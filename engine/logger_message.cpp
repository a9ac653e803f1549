#include "logger_message.h"

#include "text.h"

namespace plovik {

namespace {

constexpr CheckState kTicked = 1;
constexpr CheckState kUnticked = 0;

void RefreshNoFreq(std::uint8_t& m_nNoFreq, Platform& platform)
{
    // Two separate reads, as the check-box handler does; an indeterminate
    // answer leaves the flag alone.
    if (platform.GetNoFreqCheck() == kTicked)
        m_nNoFreq = 1;
    if (platform.GetNoFreqCheck() == kUnticked)
        m_nNoFreq = 0;
}

} // namespace

std::string BuildLoggerMessage(QsoRecord& record, std::uint8_t& m_nNoFreq, Platform& platform)
{
    record.m_strGrid = ToUpper(record.m_strGrid);
    RefreshNoFreq(m_nNoFreq, platform);

    const std::string rstSent = "RSTS " + record.m_strRstSent;
    const std::string rstRcvd = "RSTR " + record.m_strRstRcvd;
    const std::string combined = rstSent + "  " + rstRcvd + "   " + record.m_strComment;
    const std::string empty;

    // Positions 1 to 15; Logvex knows each field by its place alone.
    const std::string* const fields[] = {
        &record.m_strCall,
        &record.m_strRstRcvd,
        &record.m_strRstSent,
        m_nNoFreq ? &empty : &record.m_strFreq,
        &record.m_strName,
        &record.m_strMode,
        &record.m_strGrid,
        &empty,
        &combined,
        &empty,
        &empty,
        &empty,
        &rstSent,
        &rstRcvd,
        &record.m_strTxPwr,
    };
    std::string message;
    for (const std::string* field : fields) {
        message += *field;
        message += '#';
    }
    return message;
}

SendStatus SendLoggerMessage(WindowRef receiver, const std::string& message, Platform& platform)
{
    return platform.SendCopyData(receiver, kLoggerMessageKind, message);
}

} // namespace plovik
