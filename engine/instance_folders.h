#pragma once
// Where WSJT-X and JTDX keep their logs. Each runs under an application
// name that names its data folder: "WSJT-X", "WSJT-X - NAME" when started
// with --rig-name=NAME (or in its test mode), "JTDX", "JTDX - NAME". Every
// such folder holds its own wsjtx_log.adi, in the same format.

#include "outbox_names.h"

#include <string>
#include <string_view>
#include <vector>

namespace plovik {

inline constexpr const char* kLogFileName = "wsjtx_log.adi";
inline constexpr const char* kBackupFileName = "wsjtx_log_bak.adi";

// Whether a folder of that name (directly in the local application-data
// folder) is a WSJT-X or JTDX instance's. Compared exactly, as the programs
// write them.
bool IsInstanceFolderName(std::string_view name);
// What every such name begins with, for a listing the system filters.
inline const std::vector<std::string> kInstanceFolderPrefixes = {"WSJT-X", "JTDX"};

// The files the bridge uses in such a folder.
FolderPaths InstanceFolderPaths(const std::string& folder, char separator);

} // namespace plovik
