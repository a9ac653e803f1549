// The conversions that turn one ADIF field into the form the record keeps.

#include "qso_record.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace plovik {

namespace {

struct BandName {
    std::string_view name;
    const char* code;
};

// Tested in this order; names are compared whole, without regard to case.
constexpr std::array<BandName, 24> kBands{{
    {"160M", "10"}, {"80M", "9"},    {"40M", "8"},   {"30M", "7"},   {"20M", "6"},
    {"17M", "5"},   {"15M", "4"},    {"12M", "3"},   {"10M", "2"},   {"6M", "1"},
    {"2M", "0"},    {"1.25M", "11"}, {"70CM", "12"}, {"35CM", "13"}, {"23CM", "14"},
    {"13CM", "15"}, {"9CM", "16"},   {"6CM", "17"},  {"3CM", "18"},  {"1.25CM", "19"},
    {"6MM", "20"},  {"4MM", "21"},   {"4M", "22"},   {"60M", "23"},
}};

constexpr std::array<std::string_view, 50> kUsStates{{
    "AK", "AL", "AR", "AZ", "CA", "CO", "CT", "DE", "FL", "GA", "HI", "IA", "ID",
    "IL", "IN", "KS", "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS", "MT",
    "NC", "ND", "NE", "NH", "NJ", "NM", "NV", "NY", "OH", "OK", "OR", "PA", "RI",
    "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY",
}};

constexpr std::size_t kMaxModeLength = 15;
constexpr std::size_t kMaxComment = 50;
constexpr std::size_t kMaxStationCall = 15;
constexpr std::size_t kMaxTxPwr = 4;
constexpr std::size_t kMaxRst = 4;

using Conversion = void (*)(QsoRecord&, std::string_view);

struct FieldRule {
    std::string_view name;
    Conversion convert;
};

void SetRst(std::string& target, std::string_view value)
{
    if (value.size() <= kMaxRst)
        target.assign(value);
}

// The recognised ADIF fields, names compared exactly (upper-cased already),
// in the order of their bytes.
constexpr std::array<FieldRule, 20> kFieldRules{{
    {"BAND", [](QsoRecord& r, std::string_view v) { r.SetBand(v); }},
    {"CALL", [](QsoRecord& r, std::string_view v) { AssignUpper(r.m_strCall, v); }},
    {"COMMENT", [](QsoRecord& r, std::string_view v) { r.SetComment(v); }},
    {"FREQ", [](QsoRecord& r, std::string_view v) { r.SetFreq(v); }},
    {"GRIDSQUARE", [](QsoRecord& r, std::string_view v) { r.SetGrid(v); }},
    {"IOTA", [](QsoRecord& r, std::string_view v) { r.SetIota(v); }},
    {"MODE", [](QsoRecord& r, std::string_view v) { r.SetMode(v); }},
    {"NAME", [](QsoRecord& r, std::string_view v) { r.m_strName.assign(v); }},
    {"QSLRDATE",
     [](QsoRecord& r, std::string_view v) {
         if (!v.empty())
             r.m_bQslRcvd = 1;
         QsoRecord::SetDate(v, r.m_strQslRDate);
     }},
    {"QSL_RCVD",
     [](QsoRecord& r, std::string_view v) {
         if (EqualsNoCase(v, "Y"))
             r.m_bQslRcvd = 1;
     }},
    {"QSO_DATE", [](QsoRecord& r, std::string_view v) { QsoRecord::SetDate(v, r.m_strQsoDate); }},
    {"QSO_DATE_OFF",
     [](QsoRecord& r, std::string_view v) { QsoRecord::SetDate(v, r.m_strQsoDateOff); }},
    {"RST_RCVD", [](QsoRecord& r, std::string_view v) { SetRst(r.m_strRstRcvd, v); }},
    {"RST_SENT", [](QsoRecord& r, std::string_view v) { SetRst(r.m_strRstSent, v); }},
    {"STATE", [](QsoRecord& r, std::string_view v) { r.SetState(v); }},
    {"STATION_CALLSIGN",
     [](QsoRecord& r, std::string_view v) {
         AssignUpper(r.m_strStationCall, v.substr(0, kMaxStationCall));
     }},
    {"SUBMODE", [](QsoRecord& r, std::string_view v) { r.SetMode(v); }},
    {"TIME_OFF",
     [](QsoRecord& r, std::string_view v) { r.m_strTimeOff = QsoRecord::FormatTime(v); }},
    {"TIME_ON", [](QsoRecord& r, std::string_view v) { r.m_strTimeOn = QsoRecord::FormatTime(v); }},
    {"TX_PWR",
     [](QsoRecord& r, std::string_view v) { r.m_strTxPwr.assign(v.substr(0, kMaxTxPwr)); }},
}};

constexpr bool NamesInOrder()
{
    for (std::size_t i = 1; i < kFieldRules.size(); ++i)
        if (!(kFieldRules[i - 1].name < kFieldRules[i].name))
            return false;
    return true;
}
static_assert(NamesInOrder(), "kFieldRules must stay sorted by name, without repeats");

// Where the rules of each first letter begin (and, one letter on, end): a
// name is compared only with those sharing its first letter, as every tag of
// every line passes through here.
using LetterStarts = std::array<std::uint8_t, 257>;
constexpr LetterStarts MakeLetterStarts()
{
    LetterStarts starts{};
    std::size_t rule = 0;
    for (std::size_t letter = 0; letter < 257; ++letter) {
        while (rule < kFieldRules.size() &&
               static_cast<unsigned char>(kFieldRules[rule].name[0]) < letter)
            ++rule;
        starts[letter] = static_cast<std::uint8_t>(rule);
    }
    return starts;
}
constexpr LetterStarts kLetterStarts = MakeLetterStarts();

} // namespace

void QsoRecord::SetField(std::string_view name, std::string_view value)
{
    if (name.empty())
        return;
    const auto letter = static_cast<unsigned char>(name[0]);
    for (std::size_t rule = kLetterStarts[letter]; rule < kLetterStarts[letter + 1u]; ++rule) {
        if (kFieldRules[rule].name == name) {
            kFieldRules[rule].convert(*this, value);
            return;
        }
    }
}

std::string_view BandNameOf(std::string_view code)
{
    for (const BandName& entry : kBands)
        if (code == entry.code)
            return entry.name;
    return {};
}

void QsoRecord::SetBand(std::string_view value)
{
    const std::string_view band = TrimLeft(value);
    for (const BandName& entry : kBands) {
        if (EqualsNoCase(band, entry.name)) {
            m_strBand = entry.code;
            return;
        }
    }
    m_strBand = kUnknownCode;
}

void QsoRecord::SetMode(std::string_view value)
{
    if (value.size() > kMaxModeLength) {
        m_strMode = kUnknownCode;
        return;
    }
    AssignUpper(m_strMode, value);
    if (HasSstv(m_strMode))
        m_strMode = "SSTV";
}

bool QsoRecord::HasSstv(std::string_view text)
{
    return text.find("SSTV") != std::string_view::npos;
}

std::string QsoRecord::FormatTime(std::string_view value)
{
    if (value.size() < 4)
        return std::string();
    if (value.size() < 6)
        return std::string(value.substr(0, 4)) + "00";
    return std::string(value.substr(0, 6));
}

void QsoRecord::SetDate(std::string_view value, std::string& target)
{
    if (value.size() == 8)
        target.assign(value);
}

void QsoRecord::SetState(std::string_view value)
{
    if (value.size() != 2)
        return;
    for (std::string_view state : kUsStates) {
        if (state == value) {
            m_strState.assign(value);
            return;
        }
    }
    m_strState.clear();
}

void QsoRecord::SetGrid(std::string_view value)
{
    if (value.size() < 4)
        return;
    AssignUpper(m_strGrid, value.size() == 6 ? value : value.substr(0, 4));
}

void QsoRecord::SetIota(std::string_view value)
{
    if (value.size() != 6)
        return;
    std::string iota(value);
    iota[2] = '-';
    iota.erase(iota.find('-'), 1);
    m_strIota = ToUpper(iota);
}

void QsoRecord::SetFreq(std::string_view value)
{
    if (value.empty())
        return;
    const std::size_t dot = value.find('.');
    if (dot == std::string_view::npos) {
        m_strFreq = std::string(value) + "000.00";
        return;
    }
    // Megahertz to whole kilohertz: the first three fraction digits, cut,
    // never rounded. A shorter fraction is completed with zeros ("7.1" is
    // 7100 kHz, not 71).
    std::string_view fraction = value.substr(dot + 1);
    fraction = fraction.substr(0, fraction.find('.'));
    m_strFreq.assign(value.substr(0, dot));
    m_strFreq.append(fraction.substr(0, 3));
    m_strFreq.append(3 - std::min<std::size_t>(fraction.size(), 3), '0');
    m_strFreq.append(".00");
}

void QsoRecord::SetComment(std::string_view value)
{
    if (value.empty())
        return;
    m_strComment.assign(TrimLeft(value).substr(0, kMaxComment));
}

} // namespace plovik
