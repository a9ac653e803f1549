#pragma once
// The files of the system at hand; one implementation per platform
// (posix/, win32/). Paths are UTF-8. What each call has put on the disk
// when it returns is what its platform documents, no more: see files.h and
// each implementation.

#include "files.h"

#include <string>
#include <vector>

namespace plovik {

class SystemFiles : public Files {
public:
    OpenResult OpenForTaking(const std::string& path) override;
    OpenResult OpenForReading(const std::string& path) override;
    FileResult MakeFolder(const std::string& folder) override;
    FolderListing ListFolder(const std::string& folder) override;
    FolderListing ListFoldersNamed(const std::string& folder,
                                   const std::vector<std::string>& prefixes) override;
    MoveResult Move(const std::string& from, const std::string& to, HolderWait wait) override;
    FileResult Remove(const std::string& path) override;
    FileResult Append(const std::string& path, const std::string& header,
                      const std::string& text) override;
    UtcSeconds NowUtc() override;
};

} // namespace plovik
