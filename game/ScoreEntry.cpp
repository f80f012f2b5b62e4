#include "game/ScoreEntry.h"

#include "base/StringUtils.h"

#include <algorithm>
#include <climits>

namespace Kavo
{

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void SkipBlanks(const std::string& text, size_t& at)
{
    while (at < text.size() && IsBlank(text[at]))
        ++at;
}

// A decimal number after optional blanks and sign; false (at unchanged) when no digit comes.
// Numbers beyond the int range are clamped to it.
bool ScanInt(const std::string& text, size_t& at, int32_t& value)
{
    size_t pos = at;
    SkipBlanks(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
    int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        magnitude = std::min<int64_t>(magnitude * 10 + (text[pos] - '0'), int64_t(INT_MAX) + 1);
    int64_t signedValue = negative ? -magnitude : magnitude;
    value = int32_t(std::clamp<int64_t>(signedValue, INT_MIN, INT_MAX));
    at = pos;
    return true;
}

} // namespace

void ScoreEntry::Clear()
{
    name.clear();
    score = 0;
    level = 0;
}

std::string ScoreEntry::ToText() const
{
    return StrFormat("%d %d \"%s\"", score, level, name.c_str());
}

ScoreEntry ScoreEntry::FromText(const std::string& text)
{
    ScoreEntry entry;
    size_t at = 0;
    if (!ScanInt(text, at, entry.score) || !ScanInt(text, at, entry.level)) return entry;
    SkipBlanks(text, at);
    if (at >= text.size() || text[at] != '"') return entry;
    ++at;
    size_t end = at;
    while (end < text.size() && text[end] != '"' && end - at < kMaxNameLength)
        ++end;
    entry.name = text.substr(at, end - at);
    return entry;
}

bool operator<(const ScoreEntry& a, const ScoreEntry& b)
{
    if (a.score != b.score) return a.score < b.score;
    if (a.level != b.level) return a.level < b.level;
    // std::string compares its characters as unsigned bytes.
    return a.name < b.name;
}

} // namespace Kavo
