#pragma once
// The names a running bridge is found by: a second copy looks for the first
// one by them, and the end-to-end tests look for the bridge the same way.

namespace plovik {

// The class of the bridge's main window.
inline constexpr const char* kFrameClassName = "PlovikBridgeFrame";

// The file the running bridge holds open, unshared, in the user's local
// application data, so that a second copy steps aside.
inline constexpr const char* kSingleStartLock = "plovik_bridge.lock";

} // namespace plovik
