#include "qso_record.h"

namespace plovik {

void QsoRecord::ResetRecord()
{
    // Cleared in place: the strings keep their storage for the next contact.
    for (const RecordField& field : kRecordFields)
        if (field.text)
            (this->*field.text).clear();
    m_bQslRcvd = 0;
}

void QsoRecord::FinishRecord()
{
    if (m_strMode == kUnknownCode) {
        m_strMode.clear();
        return;
    }
    if (m_strBand == kUnknownCode) {
        m_strBand.clear();
        return;
    }
    if (m_strMode == kSsbUnresolvedCode)
        FixSsbMode();
    CheckRecord();
}

void QsoRecord::FixSsbMode()
{
    // Lower sideband below 10 MHz: 40 m, 80 m and 160 m.
    if (m_strBand == "8" || m_strBand == "9" || m_strBand == "10")
        m_strMode = "1";
    else
        m_strMode = "0";
}

int QsoRecord::CheckRecord()
{
    if (m_strCall.size() < 2)
        return 0;
    if (m_strBand.empty()) {
        m_strBand = "noBand";
        return 0;
    }
    if (m_strMode.empty()) {
        m_strMode = "noMode";
        return 0;
    }
    return 1;
}

} // namespace plovik
