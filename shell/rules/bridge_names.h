#pragma once
// The names a running bridge is found by: a second copy looks for the first
// one by them, and the end-to-end tests look for the bridge the same way.

namespace plovik {

// The class of the bridge's main window.
inline constexpr const char* kFrameClassName = "PlovikBridgeFrame";
// Held by the running bridge, so that a second copy steps aside: two would
// send every contact twice.
inline constexpr const char* kSingleInstanceMutexName = "Local\\PlovikBridge.SingleInstance";

} // namespace plovik
