#include "base/StringTable.h"

#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "platform/files/Files.h"
#include "platform/window/Window.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

namespace Kavo
{

namespace
{

// The error codes a failed format reports, as the system numbers them.
constexpr int kErrorInvalidParameter = 87;
constexpr int kErrorInsufficientBuffer = 122;

std::map<int, std::string>& Table()
{
    static std::map<int, std::string> table;
    return table;
}

void AddLine(std::string_view line)
{
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return;
    int number = StringToIntBase10(std::string(line.substr(0, equals)));
    size_t i = equals + 1;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    std::string text;
    for (; i < line.size(); ++i)
    {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == 'n')
        {
            text += '\n';
            ++i;
        }
        else
        {
            text += line[i];
        }
    }
    Table()[number] = std::move(text);
}

// One insert with its optional printf-style width and precision ("%1!-8s!") into out; returns
// the error code when the format is not one a text insert can take, or when the insert would not
// fit the result. A width that alone fills the result is refused before anything is padded.
int FormatInsert(const std::string& insert, const std::string& style, std::string& out)
{
    if (style.empty())
    {
        out = insert;
        return 0;
    }
    size_t i = 0;
    while (i < style.size() && std::string_view("-+ #0").find(style[i]) != std::string_view::npos)
        ++i;
    int64_t width = 0;
    for (; i < style.size() && style[i] >= '0' && style[i] <= '9'; ++i)
        width = std::min<int64_t>(width * 10 + (style[i] - '0'), StringTable::kMaxFormatted);
    if (i < style.size() && style[i] == '.')
    {
        ++i;
        while (i < style.size() && style[i] >= '0' && style[i] <= '9')
            ++i;
    }
    if (i + 1 != style.size() || style[i] != 's' || style.size() > 12) return kErrorInvalidParameter;
    if (width >= StringTable::kMaxFormatted) return kErrorInsufficientBuffer;
    std::string format = "%" + style;
    char buffer[StringTable::kMaxFormatted + 1];
    int length = std::snprintf(buffer, sizeof buffer, format.c_str(), insert.c_str());
    if (length < 0) return kErrorInvalidParameter;
    if (length >= StringTable::kMaxFormatted) return kErrorInsufficientBuffer;
    out.assign(buffer, size_t(length));
    return 0;
}

// Formats a text with its inserts; returns the error code on failure.
int FormatText(const std::string& text, const std::string* inserts[3], std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i)
    {
        char c = text[i];
        if (c != '%')
        {
            out += c;
            continue;
        }
        if (++i >= text.size()) break; // a lone "%" at the very end adds nothing
        c = text[i];
        if (c >= '1' && c <= '9')
        {
            int number = c - '0';
            if (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9')
                number = number * 10 + (text[++i] - '0');
            std::string style;
            if (i + 1 < text.size() && text[i + 1] == '!')
            {
                size_t close = text.find('!', i + 2);
                if (close == std::string::npos) return kErrorInvalidParameter;
                style = text.substr(i + 2, close - i - 2);
                i = close;
            }
            if (number > 3) return kErrorInvalidParameter;
            std::string insert;
            if (int error = FormatInsert(*inserts[number - 1], style, insert)) return error;
            out += insert;
        }
        else if (c == '0')
        {
            break;
        }
        else if (c == 'n')
        {
            out += '\n';
        }
        else if (c == 'r')
        {
            out += '\r';
        }
        else if (c == 't')
        {
            out += '\t';
        }
        else
        {
            out += c; // "%%", "%.", "%!", "% " and any other character stand for themselves
        }
        if (out.size() >= size_t(StringTable::kMaxFormatted)) return kErrorInsufficientBuffer;
    }
    if (out.size() >= size_t(StringTable::kMaxFormatted)) return kErrorInsufficientBuffer;
    return 0;
}

} // namespace

bool StringTable::Load()
{
    return LoadFile(kDefaultPath);
}

bool StringTable::LoadFile(const std::string& path)
{
    std::string contents;
    if (!platform::ReadFile(path, contents))
    {
        platform::MessageBox("Could not open " + path + ". No text available!", "Missing File",
                             platform::MB_OK);
        return false;
    }
    // Text mode: a carriage return before a line feed is dropped.
    contents = StringReplaceAll(contents, "\r\n", "\n");
    size_t at = 0;
    while (at < contents.size())
    {
        // One read takes at most kMaxLine characters, up to and including a line feed.
        size_t end = contents.find('\n', at);
        size_t length = end == std::string::npos ? contents.size() - at : end - at + 1;
        length = std::min(length, size_t(kMaxLine));
        std::string_view line(contents.data() + at, length);
        at += length;
        AddLine(line.substr(0, line.find('\n')));
    }
    return true;
}

std::string StringTable::GetString(int number, const std::string& insert1, const std::string& insert2,
                                   const std::string& insert3)
{
    auto found = Table().find(number);
    if (found == Table().end()) return StrFormat("<<string %d not found>>", number);
    const std::string* inserts[3] = {&insert1, &insert2, &insert3};
    std::string out;
    int error = FormatText(found->second, inserts, out);
    if (error != 0) return StrFormat("<<error formatting string %d: %d>>", number, error);
    return out;
}

} // namespace Kavo
