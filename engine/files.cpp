#include "files.h"

#include "text.h"

#include <cstdlib>
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

namespace {

// The value length a tag declares (`inside` is what follows its '<'):
// "call:5" and "call:5:S" give 5; no length gives 0.
std::size_t DeclaredLength(std::string_view inside)
{
    const std::size_t colon = inside.find(':');
    return colon == std::string_view::npos
               ? 0
               : std::strtoul(std::string(inside.substr(colon + 1)).c_str(), nullptr, 10);
}

// What closes a tag cut before its '>' (`inside` is what follows its '<'), so
// that every reader takes it for a whole one; `ended` when it becomes the
// end of the record itself.
std::string CloseCutTag(std::string_view inside, bool& ended)
{
    constexpr std::string_view kEor = "eor";
    if (inside.size() < kEor.size() && EqualsNoCase(inside, kEor.substr(0, inside.size()))) {
        ended = true;
        return std::string(kEor.substr(inside.size())) + ">";
    }
    const std::size_t colon = inside.find(':');
    if (colon == std::string_view::npos)
        return ":0>"; // cut in its name: an empty field
    const std::string_view rest = inside.substr(colon + 1);
    const std::size_t typeColon = rest.find(':');
    if (rest.substr(0, typeColon).empty())
        return "0>"; // cut before its length
    const std::string blanks(DeclaredLength(inside), ' ');
    // Cut between the length and its type letter: a string.
    const bool typeCut = typeColon != std::string_view::npos && typeColon + 1 == rest.size();
    return (typeCut ? "S>" : ">") + blanks;
}

} // namespace

std::string TornTailClosing(std::string_view fileEnd)
{
    if (fileEnd.empty() || fileEnd.back() == '\n')
        return std::string();
    const std::string_view line = fileEnd.substr(fileEnd.rfind('\n') + 1);
    const std::string_view trimmed = TrimRight(line);
    const std::string_view last =
        trimmed.substr(trimmed.size() - std::min<std::size_t>(5, trimmed.size()));
    bool ended = EqualsNoCase(last, "<eor>") || EqualsNoCase(last, "<eoh>");
    // Walked tag by tag, by their lengths, as a reader does: a '<' inside a
    // value starts no tag.
    std::string closing;
    bool tagged = false;
    for (std::size_t at = line.find('<'); at != std::string_view::npos;) {
        tagged = true;
        const std::size_t end = line.find('>', at);
        if (end == std::string_view::npos) {
            closing = CloseCutTag(line.substr(at + 1), ended);
            break;
        }
        const std::size_t length = DeclaredLength(line.substr(at + 1, end - at - 1));
        const std::size_t have = line.size() - (end + 1);
        if (have < length) {
            closing.assign(length - have, ' '); // cut in its value
            break;
        }
        at = line.find('<', end + 1 + length);
    }
    // An unfinished record is ended here, so that none of its fields runs
    // into the contact appended after it (which is always appended whole).
    if (tagged && !ended)
        closing += " <eor>";
    return closing + "\n";
}

} // namespace plovik
