#pragma once
// Properties that hold for every record and message, whatever the input.
// A broken property aborts, so the fuzzer reports the input.

#include "qso_record.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

namespace plovik::fuzz {

inline void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

inline bool LengthIn(const std::string& text, std::initializer_list<std::size_t> lengths)
{
    return std::find(lengths.begin(), lengths.end(), text.size()) != lengths.end();
}

inline bool HasLowerAscii(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

inline void CheckRecordShape(const QsoRecord& r)
{
    Require(LengthIn(r.m_strQsoDate, {0, 8}), "QSO date is 0 or 8 characters");
    Require(LengthIn(r.m_strQsoDateOff, {0, 8}), "QSO end date is 0 or 8 characters");
    Require(LengthIn(r.m_strQslRDate, {0, 8}), "QSL date is 0 or 8 characters");
    Require(LengthIn(r.m_strTimeOn, {0, 6}), "time on is 0 or 6 characters");
    Require(LengthIn(r.m_strTimeOff, {0, 6}), "time off is 0 or 6 characters");
    Require(LengthIn(r.m_strGrid, {0, 4, 6}), "grid is 0, 4 or 6 characters");
    Require(!HasLowerAscii(r.m_strGrid), "grid upper-cased");
    Require(LengthIn(r.m_strIota, {0, 5}), "IOTA is 0 or 5 characters");
    Require(LengthIn(r.m_strState, {0, 2}), "state is 0 or 2 characters");
    Require(r.m_strRstRcvd.size() <= 4 && r.m_strRstSent.size() <= 4, "reports at most 4");
    Require(r.m_strComment.size() <= 50, "comment at most 50");
    Require(r.m_strComment.empty() || !(r.m_strComment[0] == ' ' || r.m_strComment[0] == '\t'),
            "comment left-trimmed");
    Require(r.m_strStationCall.size() <= 15, "station call at most 15");
    Require(!HasLowerAscii(r.m_strStationCall), "station call upper-cased");
    Require(!HasLowerAscii(r.m_strCall), "call upper-cased");
    Require(r.m_strTxPwr.size() <= 4, "power at most 4");
    Require(r.m_bQslRcvd == 0 || r.m_bQslRcvd == 1, "QSL flag 0 or 1");
    Require(r.m_strMode.size() <= 15 || r.m_strMode == "99", "mode at most 15");
    Require(r.m_strFreq.empty() || (r.m_strFreq.size() >= 6 &&
                                    r.m_strFreq.compare(r.m_strFreq.size() - 3, 3, ".00") == 0),
            "frequency ends in .00");
    static const char* const kBands[] = {"",   "99", "noBand", "0",  "1",  "2",  "3",  "4",  "5",
                                         "6",  "7",  "8",      "9",  "10", "11", "12", "13", "14",
                                         "15", "16", "17",     "18", "19", "20", "21", "22", "23"};
    Require(std::any_of(std::begin(kBands), std::end(kBands),
                        [&](const char* b) { return r.m_strBand == b; }),
            "band is a code");
}

} // namespace plovik::fuzz
