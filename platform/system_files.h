#pragma once
// The files of the system at hand; one implementation per platform
// (posix/, win32/). Paths are UTF-8.

#include "platform.h"

#include <string>

namespace plovik {

enum class FileAccess {
    ReadAndHandOver, // writers kept out; HandOverAndClose moves the file
    ReadOnly,        // for tools that must never change the file
};

OpenResult OpenSystemLogFile(const std::string& path, FileAccess access);

// The outbox's operations. Each change is flushed to the disk before the
// call returns, so that what it records survives a power cut.
bool MakeSystemFolder(const std::string& folder, std::string& reason);
FolderListing ListSystemFolder(const std::string& folder);
bool RenameSystemFile(const std::string& from, const std::string& to, std::string& reason);
bool RemoveSystemFile(const std::string& path, std::string& reason);
MoveStatus MoveSystemFileAside(const std::string& from, const std::string& to,
                               std::string& reason);

} // namespace plovik
