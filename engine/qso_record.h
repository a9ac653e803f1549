#pragma once
// The one contact being carried from the WSJT-X log file to Logvex.

#include <array>
#include <string>
#include <string_view>

namespace plovik {

// The longest ADIF field name the record knows (STATION_CALLSIGN).
inline constexpr std::size_t kLongestFieldName = 16;

// A band or mode no table knows.
inline constexpr std::string_view kUnknownCode = "99";
// Single sideband, lower or upper still to be chosen by the band.
inline constexpr std::string_view kSsbUnresolvedCode = "89";

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
    // Not sent: with TIME_OFF, when the contact ended (a session's start
    // times can be stale), and part of what makes two contacts the same.
    std::string m_strQsoDateOff;

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

// The band name ("20M") of a band code of m_strBand; empty for any other.
std::string_view BandNameOf(std::string_view code);

// Every field in declaration order, by its member name: the one list that
// clearing, printing and comparing records go by. `text` is null for the
// flag m_bQslRcvd, the one field that is not a text.
struct RecordField {
    const char* name;
    std::string QsoRecord::*text;
};
inline constexpr std::array<RecordField, 19> kRecordFields{{
    {"m_strCall", &QsoRecord::m_strCall},
    {"m_strQsoDate", &QsoRecord::m_strQsoDate},
    {"m_strTimeOn", &QsoRecord::m_strTimeOn},
    {"m_strTimeOff", &QsoRecord::m_strTimeOff},
    {"m_strFreq", &QsoRecord::m_strFreq},
    {"m_strBand", &QsoRecord::m_strBand},
    {"m_strMode", &QsoRecord::m_strMode},
    {"m_strState", &QsoRecord::m_strState},
    {"m_strRstRcvd", &QsoRecord::m_strRstRcvd},
    {"m_strRstSent", &QsoRecord::m_strRstSent},
    {"m_strComment", &QsoRecord::m_strComment},
    {"m_strGrid", &QsoRecord::m_strGrid},
    {"m_bQslRcvd", nullptr},
    {"m_strIota", &QsoRecord::m_strIota},
    {"m_strName", &QsoRecord::m_strName},
    {"m_strQslRDate", &QsoRecord::m_strQslRDate},
    {"m_strStationCall", &QsoRecord::m_strStationCall},
    {"m_strTxPwr", &QsoRecord::m_strTxPwr},
    {"m_strQsoDateOff", &QsoRecord::m_strQsoDateOff},
}};

// Visits every field in declaration order as (member name, value text);
// the flag is given as "0" or "1". Used to print and compare records.
template <typename Visitor> void ForEachField(const QsoRecord& r, Visitor&& visit)
{
    for (const RecordField& field : kRecordFields) {
        if (field.text)
            visit(field.name, r.*field.text);
        else
            visit(field.name, std::string(r.m_bQslRcvd ? "1" : "0"));
    }
}

} // namespace plovik
