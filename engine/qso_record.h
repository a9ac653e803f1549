#pragma once
// The one contact being carried from the WSJT-X log file to Logvex.

#include <string>
#include <string_view>

namespace plovik {

// The longest ADIF field name the record knows (STATION_CALLSIGN).
inline constexpr std::size_t kLongestFieldName = 16;

struct QsoRecord {
    std::string m_strCall;
    std::string m_strQsoDate;
    std::string m_strTimeOn;
    std::string m_strTimeOff;
    std::string m_strFreq;
    std::string m_strBand;
    std::string m_strMode;
    std::string m_strState;
    std::string m_strRstRcvd;
    std::string m_strRstSent;
    std::string m_strComment;
    std::string m_strGrid;
    int m_bQslRcvd = 0;
    std::string m_strIota;
    std::string m_strName;
    std::string m_strQslRDate;
    std::string m_strStationCall;
    std::string m_strTxPwr;

    void ResetRecord();

    // Stores one ADIF field (upper-cased name) in its converted form; names
    // the record does not know are ignored.
    void SetField(std::string_view name, std::string_view value);

    void SetBand(std::string_view value);
    void SetMode(std::string_view value);
    void SetState(std::string_view value);
    void SetGrid(std::string_view value);
    void SetIota(std::string_view value);
    void SetFreq(std::string_view value);
    void SetComment(std::string_view value);
    static std::string FormatTime(std::string_view value);
    static void SetDate(std::string_view value, std::string& target);
    static bool HasSstv(std::string_view text);

    // The end-of-record rules, run at every end-of-record tag.
    void FinishRecord();
    void FixSsbMode();
    int CheckRecord();
};

// Visits every field in declaration order as (member name, value text);
// the flag is given as "0" or "1". Used to print and compare records.
template <typename Visitor> void ForEachField(const QsoRecord& r, Visitor&& visit)
{
    visit("m_strCall", r.m_strCall);
    visit("m_strQsoDate", r.m_strQsoDate);
    visit("m_strTimeOn", r.m_strTimeOn);
    visit("m_strTimeOff", r.m_strTimeOff);
    visit("m_strFreq", r.m_strFreq);
    visit("m_strBand", r.m_strBand);
    visit("m_strMode", r.m_strMode);
    visit("m_strState", r.m_strState);
    visit("m_strRstRcvd", r.m_strRstRcvd);
    visit("m_strRstSent", r.m_strRstSent);
    visit("m_strComment", r.m_strComment);
    visit("m_strGrid", r.m_strGrid);
    visit("m_bQslRcvd", std::string(r.m_bQslRcvd ? "1" : "0"));
    visit("m_strIota", r.m_strIota);
    visit("m_strName", r.m_strName);
    visit("m_strQslRDate", r.m_strQslRDate);
    visit("m_strStationCall", r.m_strStationCall);
    visit("m_strTxPwr", r.m_strTxPwr);
}

} // namespace plovik
