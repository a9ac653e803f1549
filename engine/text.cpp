#include "text.h"

namespace plovik {

std::string ToUpper(std::string_view text)
{
    std::string out;
    AssignUpper(out, text);
    return out;
}

void AssignUpper(std::string& target, std::string_view text)
{
    target.assign(text);
    for (char& c : target)
        c = ToUpperAscii(c);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ToUpperAscii(a[i]) != ToUpperAscii(b[i]))
            return false;
    return true;
}

std::string_view TrimLeft(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return text.substr(i);
}

std::string_view TrimRight(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && IsSpace(text[n - 1]))
        --n;
    return text.substr(0, n);
}

} // namespace plovik
