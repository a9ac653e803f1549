#pragma once
// Opening the log file on the system at hand; one implementation per
// platform (posix/, win32/).

#include "platform.h"

#include <string>

namespace plovik {

enum class FileAccess {
    ReadAndDelete, // writers kept out; DeleteAndClose deletes the file
    ReadOnly,      // for tools that must never change the file: no delete
};

OpenResult OpenSystemLogFile(const std::string& path, FileAccess access);

} // namespace plovik
