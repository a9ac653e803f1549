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

OpenResult OpenSystemFile(const std::string& path, FileAccess access);

// The outbox's operations. What each has put on the disk when it returns is
// what its platform documents, no more. On Linux: every change, through an
// fsync of the file and of each folder it touches. On Windows: a rename by
// name (MoveFileExW, write-through) and a taken log's own buffered data
// (FlushFileBuffers, unless the file is read-only); the take's rename, a
// new folder and a removal are written back by Windows' cache in its own
// time. See each implementation.
bool MakeSystemFolder(const std::string& folder, std::string& reason);
FolderListing ListSystemFolder(const std::string& folder);
bool RenameSystemFile(const std::string& from, const std::string& to, std::string& reason);
bool RemoveSystemFile(const std::string& path, std::string& reason);
MoveStatus MoveSystemFile(const std::string& from, const std::string& to, std::string& reason);

} // namespace plovik
