// Fuzz target: SetField with arbitrary names and values, in sequence, with
// the end-of-record rules in between.

#include "invariants.h"
#include "qso_record.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Known names are chosen often, so values reach every conversion.
constexpr std::string_view kNames[] = {
    "CALL",     "BAND",     "MODE",       "SUBMODE", "TIME_ON", "TIME_OFF",
    "QSO_DATE", "QSLRDATE", "QSL_RCVD",   "STATE",   "FREQ",    "RST_RCVD",
    "RST_SENT", "IOTA",     "GRIDSQUARE", "COMMENT", "NAME",    "STATION_CALLSIGN",
    "TX_PWR",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    plovik::QsoRecord record;
    // Each step: one selector byte, then a value up to the next NUL byte.
    while (!input.empty()) {
        const unsigned char selector = static_cast<unsigned char>(input.front());
        input.remove_prefix(1);
        const std::size_t end = input.find('\0');
        const std::string_view value = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);

        constexpr std::size_t kCount = sizeof kNames / sizeof kNames[0];
        if (selector < 2 * kCount)
            record.SetField(kNames[selector % kCount], value);
        else if (selector < 250)
            record.SetField(value.substr(0, value.size() / 2), value.substr(value.size() / 2));
        else
            record.FinishRecord();
        plovik::fuzz::CheckRecordShape(record);
    }
    return 0;
}
