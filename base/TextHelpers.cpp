#include "base/TextHelpers.h"

#include "base/CheckedConversions.h"
#include "base/Color.h"
#include "base/StringUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace Kavo
{

namespace
{

std::string PadLeft(std::string text, int width)
{
    if (width > 0 && text.size() < size_t(width)) text.insert(0, size_t(width) - text.size(), ' ');
    return text;
}

template <typename T>
std::string StreamText(const T& value)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    return stream.str();
}

// Where a number's digits start: after leading white space and an optional sign, which sets
// negative.
size_t SkipSpaceAndSign(const std::string& text, bool& negative)
{
    size_t i = 0;
    while (i < text.size() && IsSpaceByte(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    return i;
}

} // namespace

std::string UpperCaseCopy(const std::string& text)
{
    return StringToUpper(text);
}

std::string TrimWhitespace(const std::string& text)
{
    size_t first = text.find_first_not_of(WhitespaceChars);
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(WhitespaceChars);
    return text.substr(first, last - first + 1);
}

std::string StringReplaceAll(const std::string& text, const std::string& pattern,
                             const std::string& replacement)
{
    if (pattern.empty()) return text;
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        if (text.compare(i, pattern.size(), pattern) == 0)
        {
            out += replacement;
            i += pattern.size();
        }
        else
        {
            out += text[i++];
        }
    }
    return out;
}

std::string ParseColorTaggedText(const std::string& text, Color& colour, bool& flag)
{
    if (text.size() < 8 || text[0] != '$' || text[1] != '#') return text;
    int channels[3];
    for (int i = 0; i < 3; ++i)
    {
        int high = HexDigitValue(text[2 + 2 * i]);
        int low = HexDigitValue(text[3 + 2 * i]);
        if (high < 0 || low < 0) return text;
        channels[i] = high * 16 + low;
    }
    colour = Color(channels[0], channels[1], channels[2], 255);
    size_t rest = 8;
    if (rest < text.size() && text[rest] == '!')
    {
        flag = true;
        ++rest;
    }
    if (rest < text.size() && text[rest] == ':') ++rest;
    return text.substr(rest);
}

std::string NumberWithThousandsCommas(int value)
{
    if (value >= 0) return CommaSeparate(value);
    std::string digits = std::to_string(-int64_t(value));
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i)
    {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return "-" + out;
}

std::string ToPaddedText(const std::string& value, int width)
{
    return PadLeft(value, width);
}

std::string ToPaddedText(double value, int width)
{
    return PadLeft(StreamText(value), width);
}

std::string ToPaddedText(int value, int width)
{
    return PadLeft(StreamText(value), width);
}

std::vector<std::string> SplitIntoWords(const std::string& text, char separator)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size())
    {
        if (text[i] == separator)
        {
            ++i;
            continue;
        }
        size_t end = text.find(separator, i);
        if (end == std::string::npos) end = text.size();
        words.push_back(text.substr(i, end - i));
        i = end;
    }
    return words;
}

int StringToIntBase10(const std::string& text)
{
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    int64_t value = 0;
    const int64_t limit = int64_t(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    if (negative) value = -value;
    return ClampToInt(value);
}

float StringToFloatText(const std::string& text)
{
    bool negative = false;
    size_t i = SkipSpaceAndSign(text, negative);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return 0.0f; // a second sign

    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    std::chars_format format = std::chars_format::general;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X') &&
        HexDigitValue(first[2]) >= 0)
    {
        first += 2;
        format = std::chars_format::hex;
    }
    float value = 0.0f;
    auto [end, error] = std::from_chars(first, last, value, format);
    if (end == first) return 0.0f;
    if (error == std::errc::result_out_of_range)
    {
        // Too large or too small for a float: the sign of the exponent tells which.
        std::string_view number(first, size_t(end - first));
        size_t exponent = number.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
        bool tiny = exponent != std::string_view::npos
                        ? exponent + 1 < number.size() && number[exponent + 1] == '-'
                        : number.substr(0, number.find('.')).find_first_not_of('0') == std::string_view::npos;
        value = tiny ? 0.0f : std::numeric_limits<float>::max();
    }
    if (std::isnan(value)) return 0.0f;
    if (std::isinf(value)) value = std::numeric_limits<float>::max();
    return negative ? -value : value;
}

double Lerp(double a, double b, double t)
{
    if (std::isnan(t)) t = 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return a + t * (b - a);
}

int ClampToRange(int a, int b, int v)
{
    return std::clamp(v, std::min(a, b), std::max(a, b));
}

} // namespace Kavo
