#pragma once

#include <string>
#include <string_view>
#include <vector>

// Small text and number helpers shared by the game's screens, the board, the rules reader
// and the player records. Text is narrow 8-bit; nothing here depends on the C locale.
namespace Kavo
{

class Color;

// The characters TrimWhitespace removes: blank, tab, line feed, carriage return.
inline constexpr std::string_view WhitespaceChars = " \t\n\r";

// Every letter a-z upper-cased; other bytes unchanged.
std::string UpperCaseCopy(const std::string& text);
// Without leading and trailing WhitespaceChars; a text of nothing else gives "".
std::string TrimWhitespace(const std::string& text);
// Every occurrence of pattern replaced, left to right, without rescanning what was put in.
// An empty pattern matches nothing.
std::string StringReplaceAll(const std::string& text, const std::string& pattern,
                             const std::string& replacement);
// A text that starts with "$#" and six hexadecimal digits (red, green, blue) carries a colour
// tag: colour becomes that colour at alpha 255, and the text after the tag is returned; a "!"
// right after the tag sets flag, and a ":" after that is skipped. Any other text is returned
// unchanged and colour and flag are not touched.
std::string ParseColorTaggedText(const std::string& text, Color& colour, bool& flag);
// 1234567 -> "1,234,567"; a negative number keeps its sign in front.
std::string NumberWithThousandsCommas(int value);
// The value as a text stream writes it by default (a double with 6 significant digits),
// padded on the left with blanks to width characters; a longer text is not cut.
std::string ToPaddedText(const std::string& value, int width);
std::string ToPaddedText(double value, int width);
std::string ToPaddedText(int value, int width);
// The pieces between separators; runs of separators and separators at either end make no
// empty pieces.
std::vector<std::string> SplitIntoWords(const std::string& text, char separator);
// Leading white space, an optional sign and decimal digits up to the first other character;
// 0 when no digit leads. Values beyond the int range are clamped to it.
int StringToIntBase10(const std::string& text);
// Leading white space and a decimal (or "0x" hexadecimal) floating-point number, as "%f"
// reads it; 0.0 when nothing converts. "nan" gives 0.0 and infinities or numbers beyond the
// float range the largest float of their sign, so the rules never hold a value that is not
// a number.
float StringToFloatText(const std::string& text);
// a + t (b - a), with t clamped to 0..1 (a t that is not a number counts as 0).
double Lerp(double a, double b, double t);
// v clamped into the closed range between a and b, whichever of them is smaller.
int ClampToRange(int a, int b, int v);

} // namespace Kavo
