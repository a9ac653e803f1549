#include "instance_guard.h"

#include "harness.h"
#include "instance_folders.h"
#include "unique_handle.h"
#include "wide.h"

namespace e2e {
namespace {

using plovik::win32::Narrow;
using plovik::win32::Widen;

// In each folder the tests made. Not a name the bridge or WSJT-X uses.
constexpr const char* kMarkName = "plovik_e2e_tests_made_this.txt";

// Visits the names in a folder, "." and ".." left out, until `visit` says
// stop. False when the folder cannot be listed.
template <typename Visit> bool ForEachEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAW found{};
    const plovik::win32::UniqueFind search(::FindFirstFileW(Widen(folder + "\\*").c_str(), &found));
    if (!search)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string name = Narrow(found.cFileName);
        if (name != "." && name != ".." && !visit(name, found.dwFileAttributes))
            break;
    } while (::FindNextFileW(search.get(), &found));
    return true;
}

} // namespace

bool MakeInstanceFolder(const std::string& folder)
{
    if (!MakeFolder(folder) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    const std::string mark = folder + "\\" + kMarkName;
    if (!FileExists(mark))
        WriteFileBytes(mark, "Made by Plovik Bridge's end-to-end tests, with all it holds.\r\n");
    return FileExists(mark);
}

std::string ForeignInstanceFolder(const std::string& appData)
{
    std::string why;
    if (appData.empty())
        return "the local application data cannot be found";
    const bool listed = ForEachEntry(appData, [&](const std::string& name, DWORD attributes) {
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || !plovik::IsInstanceFolderName(name))
            return true;
        const std::string folder = appData + "\\" + name;
        if (FileExists(folder + "\\" + kMarkName))
            return true;
        if (!ForEachEntry(folder, [&](const std::string& entry, DWORD) {
                why = "\"" + folder + "\" holds \"" + entry + "\", which these tests did not make";
                return false;
            }))
            why = "\"" + folder + "\" cannot be listed";
        return why.empty();
    });
    return listed ? why : "\"" + appData + "\" cannot be listed";
}

} // namespace e2e
