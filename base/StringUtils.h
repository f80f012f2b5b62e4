#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

// Text and number helpers. Text is narrow 8-bit (Windows-1252) throughout the program;
// none of these depend on the C locale.
namespace Kavo
{

// Longest text StrFormat makes; longer results are cut to this many characters.
constexpr size_t kStrFormatLimit = 1000000;

std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStrFormat(const char* format, va_list args);

// Formats and sends the text to the debugger output.
void OutputDebugF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Case conversion of the letters A-Z and a-z; every other byte (also 0x80-0xFF) is kept.
std::string StringToUpper(const std::string& text);
std::string StringToLower(const std::string& text);

// Each byte widened unchanged (0 to 255).
std::wstring StringToWide(const std::string& text);
// Each wide character 0 to 255 becomes that byte; a character above 255 fails the
// conversion and the result is empty.
std::string WideToString(const std::wstring& text);
std::string& WideToStringInto(const std::wstring& text, std::string& out);

std::string StringCopy(const char* text);

// True for the white space StringTrim removes: space, \t, \n, \v, \f, \r.
bool IsSpaceByte(char c);
// Without leading and trailing white space (space, \t, \n, \v, \f, \r).
std::string StringTrim(const std::string& text);

// The value of a hexadecimal digit (0-9, a-f, A-F); -1 for any other byte.
int HexDigitValue(char c);

// True when the whole text is a number: optional "-", then decimal digits, or "0x"/"0X" and
// hexadecimal digits. Otherwise false and 0. Values past the int range wrap around.
bool StringToInt(const std::string& text, int& value);
// True for optional "-", digits, optional "." and digits (at least one digit, no exponent).
// Otherwise false and 0.0.
bool StringToDouble(const std::string& text, double& value);

// 1234567 -> "1,234,567"; "0" for 0; empty text for a negative number.
std::string CommaSeparate(int64_t value);

// Position of the first occurrence of find in text, ignoring case; -1 when absent or
// when text is empty.
int StrCaseCompare(const std::string& text, const std::string& find);
// True when b, up to n characters, matches the start of a, ignoring case: true for n below 1
// and when b ends first; false when a ends first or a character differs.
bool StrCaseEqualN(const char* a, const char* b, int n);

// Replaces the entities &lt; &amp; &gt; &quot; &apos; &nbsp; (a space) and &cr; (a line feed).
// Another name between "&" and ";" leaves a lone "&"; a "&" with no later ";" stays as it is.
std::string XMLDecodeString(const std::string& text);
// The same into out (which must not be the text), reusing its storage.
std::string& XMLDecodeStringInto(const std::string& text, std::string& out);
std::wstring XMLDecodeStringWide(const std::wstring& text);

} // namespace Kavo
