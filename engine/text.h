#pragma once
// Text helpers for single-byte strings. Case folding touches ASCII letters
// only, so bytes of other code pages (and UTF-8) pass through untouched.

#include <string>
#include <string_view>

namespace plovik {

constexpr bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr char ToUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ToUpper(std::string_view text);
// Replaces `target` with `text` upper-cased, reusing its storage.
void AssignUpper(std::string& target, std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);

} // namespace plovik
