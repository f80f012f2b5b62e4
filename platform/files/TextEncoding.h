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

// The Windows-1252 byte of a code point; false when it has none.
bool UnicodeToCp1252(char32_t codePoint, unsigned char& byte);
// UTF-8 to Windows-1252; characters without a Windows-1252 form, and malformed bytes, become '?'.
std::string Utf8ToCp1252(std::string_view text);

} // namespace platform
