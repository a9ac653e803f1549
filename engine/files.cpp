#include "files.h"

#include <utility>

namespace plovik {

FolderListing KeepFoldersNamed(FolderListing listing, const std::vector<std::string>& prefixes)
{
    listing.names.clear();
    std::vector<std::string> named;
    for (std::string& name : listing.folders)
        for (const std::string& prefix : prefixes)
            if (name.compare(0, prefix.size(), prefix) == 0) {
                named.push_back(std::move(name));
                break;
            }
    listing.folders = std::move(named);
    return listing;
}

} // namespace plovik
