#pragma once

#include <string>
#include <string_view>

// Case folding of the letters A-Z and a-z only: every other byte, also 0x80-0xFF, stays as it
// is, whatever the C locale. Names of files, settings, libraries and messages are compared this
// way. Header-only, so that any folder can use it.
namespace platform
{

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

inline char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

inline std::string AsciiLowerCopy(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

} // namespace platform
