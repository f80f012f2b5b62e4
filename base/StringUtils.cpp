#include "base/StringUtils.h"

#include "platform/files/AsciiCase.h"
#include "platform/system/DebugOutput.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

namespace Kavo
{

namespace
{

template <typename Text>
void DecodeEntitiesInto(const Text& text, Text& out)
{
    using Char = typename Text::value_type;
    struct Entity
    {
        std::string_view name;
        char value;
    };
    static constexpr Entity kEntities[] = {{"lt", '<'},    {"amp", '&'},  {"gt", '>'}, {"quot", '"'},
                                           {"apos", '\''}, {"nbsp", ' '}, {"cr", '\n'}};
    out.clear();
    size_t i = 0;
    for (;;)
    {
        size_t amp = text.find(Char('&'), i);
        if (amp == Text::npos)
        {
            out.append(text, i, Text::npos);
            return;
        }
        out.append(text, i, amp - i);
        size_t end = text.find(Char(';'), amp + 1);
        if (end == Text::npos)
        {
            out.append(text, amp, Text::npos);
            return;
        }
        const size_t length = end - amp - 1;
        Char replacement = Char('&');
        for (const Entity& entity : kEntities)
        {
            bool same = length == entity.name.size();
            for (size_t k = 0; same && k < length; ++k)
                same = text[amp + 1 + k] == Char(entity.name[k]);
            if (same)
            {
                replacement = Char(entity.value);
                break;
            }
        }
        out += replacement;
        i = end + 1;
    }
}

} // namespace

std::string VStrFormat(const char* format, va_list args)
{
    std::vector<char> buffer(160);
    for (;;)
    {
        va_list copy;
        va_copy(copy, args);
        int needed = std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (needed < 0) return std::string();
        if (size_t(needed) < buffer.size()) return std::string(buffer.data(), size_t(needed));
        if (buffer.size() > kStrFormatLimit) return std::string(buffer.data(), kStrFormatLimit);
        buffer.resize(std::min(buffer.size() * 2, kStrFormatLimit + 1));
    }
}

std::string StrFormat(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = VStrFormat(format, args);
    va_end(args);
    return text;
}

void OutputDebugF(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = VStrFormat(format, args);
    va_end(args);
    platform::DebugOutput(text);
}

std::string StringToUpper(const std::string& text)
{
    std::string out(text);
    for (char& c : out)
        c = platform::AsciiUpper(c);
    return out;
}

std::string StringToLower(const std::string& text)
{
    return platform::AsciiLowerCopy(text);
}

std::wstring StringToWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (char c : text)
        out += wchar_t(uint8_t(c));
    return out;
}

std::string& WideToStringInto(const std::wstring& text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    for (wchar_t c : text)
    {
        if (c < 0 || c > 0xFF)
        {
            out.clear();
            break;
        }
        out += char(uint8_t(c));
    }
    return out;
}

std::string WideToString(const std::wstring& text)
{
    std::string out;
    return WideToStringInto(text, out);
}

std::string StringCopy(const char* text)
{
    return text ? std::string(text) : std::string();
}

bool IsSpaceByte(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string StringTrim(const std::string& text)
{
    size_t first = 0;
    while (first < text.size() && IsSpaceByte(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && IsSpaceByte(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StringToInt(const std::string& text, int& value)
{
    value = 0;
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-')
    {
        negative = true;
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
    {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    uint32_t result = 0;
    for (; i < text.size(); ++i)
    {
        int digit = HexDigitValue(text[i]);
        if (digit < 0 || uint32_t(digit) >= base) return false;
        result = result * base + uint32_t(digit);
    }
    if (negative) result = 0u - result;
    value = int(result);
    return true;
}

bool StringToDouble(const std::string& text, double& value)
{
    value = 0.0;
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    size_t digits = 0;
    bool point = false;
    for (size_t k = i; k < text.size(); ++k)
    {
        if (text[k] >= '0' && text[k] <= '9')
            ++digits;
        else if (text[k] == '.' && !point)
            point = true;
        else
            return false;
    }
    if (digits == 0) return false;
    double result = 0.0;
    auto [end, error] =
        std::from_chars(text.data() + i, text.data() + text.size(), result, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size())
    {
        // "5." is accepted above but from_chars stops before the point.
        if (error != std::errc() || std::string_view(end, size_t(text.data() + text.size() - end)) != ".")
            return false;
    }
    value = (i == 1) ? -result : result;
    return true;
}

std::string CommaSeparate(int64_t value)
{
    if (value < 0) return std::string();
    std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i)
    {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

int StrCaseCompare(const std::string& text, const std::string& find)
{
    if (text.empty() || find.size() > text.size()) return -1;
    for (size_t start = 0; start + find.size() <= text.size(); ++start)
    {
        size_t k = 0;
        while (k < find.size() && platform::AsciiLower(text[start + k]) == platform::AsciiLower(find[k]))
            ++k;
        if (k == find.size()) return int(start);
    }
    return -1;
}

bool StrCaseEqualN(const char* a, const char* b, int n)
{
    for (int i = 0; i < n; ++i)
    {
        if (b[i] == '\0') return true;
        if (a[i] == '\0' || platform::AsciiLower(a[i]) != platform::AsciiLower(b[i])) return false;
    }
    return true;
}

std::string XMLDecodeString(const std::string& text)
{
    std::string out;
    DecodeEntitiesInto(text, out);
    return out;
}

std::string& XMLDecodeStringInto(const std::string& text, std::string& out)
{
    DecodeEntitiesInto(text, out);
    return out;
}

std::wstring XMLDecodeStringWide(const std::wstring& text)
{
    std::wstring out;
    DecodeEntitiesInto(text, out);
    return out;
}

} // namespace Kavo
