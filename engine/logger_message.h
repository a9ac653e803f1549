#pragma once
// The '#'-separated text that carries one contact to Logvex.

#include "qso_record.h"
#include "window_side.h"

#include <cstdint>
#include <string>

namespace plovik {

// Copy-data kind of a contact message.
inline constexpr unsigned long kLoggerMessageKind = 10001;

// Sets `noFreq`, the flag that leaves the frequency out, from the check box:
// ticked sets 1, unticked 0, anything else leaves it. The check-box handler
// and each message both use it.
void RefreshNoFreq(std::uint8_t& noFreq, NoFreqCheckBox& box);

// Refreshes `noFreq` from the check box, upper-cases the record's grid
// square in place and returns the fifteen-field text, of any length.
std::string BuildLoggerMessage(QsoRecord& record, std::uint8_t& noFreq, NoFreqCheckBox& box);

// Sends the whole text (without a terminating NUL) to `receiver`.
SendStatus SendLoggerMessage(WindowRef receiver, const std::string& message,
                             CopyDataSender& sender);

} // namespace plovik
