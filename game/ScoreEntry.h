#pragma once

#include <cstdint>
#include <queue>
#include <string>
#include <vector>

namespace Kavo
{

// One ranked result: a player's name, a score and the level reached. A fresh entry is clear
// (empty name, 0, 0).
//
// Order (the greater entry ranks higher in a list):
//   1. the higher score;
//   2. on equal scores, the higher level;
//   3. on equal scores and levels, the name that compares greater byte by byte (unsigned
//      bytes; a name that is a prefix of the other is the smaller).
//
// The settings store keeps an entry as a text: the score, a blank, the level, a blank and the
// name in double quotes ("1500 7 \"Ann\""). Reading takes two decimal numbers and then at most
// kMaxNameLength characters of the name up to the next double quote; whatever does not match
// leaves its field clear, and what follows is ignored.
class ScoreEntry
{
public:
    static constexpr size_t kMaxNameLength = 40;

    ScoreEntry() = default;
    ScoreEntry(const std::string& entryName, int entryScore, int entryLevel)
        : name(entryName), score(entryScore), level(entryLevel)
    {
    }

    void Clear();
    std::string ToText() const;
    // Reads the stored text; never fails (see above).
    static ScoreEntry FromText(const std::string& text);

    friend bool operator<(const ScoreEntry& a, const ScoreEntry& b);
    friend bool operator==(const ScoreEntry& a, const ScoreEntry& b) = default;

    std::string name;
    int32_t score = 0;
    int32_t level = 0;
};

// A list of entries whose top is the greatest.
using ScoreList = std::priority_queue<ScoreEntry>;

} // namespace Kavo
