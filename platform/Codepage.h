#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text inside the program is Windows-1252; the outside world (SDL, the desktop) speaks UTF-8.
// These convert at the platform edge.
namespace platform
{

// The Unicode code point of a Windows-1252 byte (the five unassigned bytes map to themselves).
uint32_t Cp1252ToCodePoint(uint8_t byte);
// The Windows-1252 byte of a code point; false when it has none.
bool CodePointToCp1252(uint32_t codePoint, uint8_t& byte);

std::string Cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 form become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1252(std::string_view text);

} // namespace platform
