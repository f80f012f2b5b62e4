#include "platform/Codepage.h"

namespace platform
{

namespace
{

// Code points of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr uint16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80)
    {
        out.push_back(char(cp));
    }
    else if (cp < 0x800)
    {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
    else
    {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

} // namespace

uint32_t Cp1252ToCodePoint(uint8_t byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80] : byte;
}

bool CodePointToCp1252(uint32_t codePoint, uint8_t& byte)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
    {
        byte = uint8_t(codePoint);
        return true;
    }
    for (int i = 0; i < 32; ++i)
    {
        if (kHighControls[i] == codePoint)
        {
            byte = uint8_t(0x80 + i);
            return true;
        }
    }
    return false;
}

std::string Cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, Cp1252ToCodePoint(uint8_t(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        uint8_t lead = uint8_t(text[i]);
        int extra = lead < 0x80             ? 0
                    : (lead & 0xE0) == 0xC0 ? 1
                    : (lead & 0xF0) == 0xE0 ? 2
                    : (lead & 0xF8) == 0xF0 ? 3
                                            : -1;
        uint32_t cp = extra == 0   ? lead
                      : extra == 1 ? (lead & 0x1F)
                      : extra == 2 ? (lead & 0x0F)
                                   : (lead & 0x07);
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k)
        {
            if (i + k >= text.size() || (uint8_t(text[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (uint8_t(text[i + k]) & 0x3F);
        }
        uint8_t byte = '?';
        if (!ok)
        {
            out.push_back('?');
            ++i;
            continue;
        }
        if (!CodePointToCp1252(cp, byte)) byte = '?';
        out.push_back(char(byte));
        i += size_t(extra) + 1;
    }
    return out;
}

} // namespace platform
