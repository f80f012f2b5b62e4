#pragma once

#include <string>
#include <string_view>

// The program keeps its text as narrow 8-bit Windows-1252; these convert it at the edge,
// where the operating system's libraries expect Unicode.
namespace platform
{

// The Unicode code point of a Windows-1252 byte. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value.
char32_t Cp1252ToUnicode(unsigned char c);

// Each byte converted as above and written as UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

} // namespace platform
