#include "instance_folders.h"

#include <algorithm>

namespace plovik {

bool IsInstanceFolderName(std::string_view name)
{
    for (std::string_view program : {std::string_view("WSJT-X"), std::string_view("JTDX")}) {
        if (name == program)
            return true;
        // "<program> - <name>", with a name that is not empty.
        const std::string_view rest = name.substr(std::min(name.size(), program.size()));
        if (name.compare(0, program.size(), program) == 0 && rest.size() > 3 &&
            rest.compare(0, 3, " - ") == 0)
            return true;
    }
    return false;
}

FolderPaths InstanceFolderPaths(const std::string& folder, char separator)
{
    return FolderPaths::For(folder + separator + kLogFileName,
                            folder + separator + kBackupFileName);
}

} // namespace plovik
