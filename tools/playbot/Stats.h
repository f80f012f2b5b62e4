#pragma once

#include "tools/playbot/Trial.h"

#include <string>
#include <vector>

namespace PlayBot
{

// The value below which the given fraction of values lie (nearest rank); 0 for none.
double Percentile(std::vector<double> values, double fraction);
inline double Median(const std::vector<double>& values)
{
    return Percentile(values, 0.5);
}

// The planet of a level: the game's checkpoints close planets 1 to 11 after levels 2, 5, 8, 10,
// 13, 15, 18, 21, 24, 27 and 30; planet 12 follows.
int PlanetOf(int level);
// The first and last level of a planet; the planets after the last begin past every level.
int PlanetFirstLevel(int planet);
int PlanetLastLevel(int planet);

// What the trials of one level (or one planet) came to.
struct LevelStats
{
    int level = 0; // or the planet
    int runs = 0;
    int wins = 0;
    // Of the won trials.
    double medianMoves = 0, p90Moves = 0, medianSeconds = 0, p90Seconds = 0;
    int startStuck = 0, becameStuck = 0, scrambles = 0;
    int ends[5] = {}; // by End
    double WinRate() const { return runs ? double(wins) / runs : 0.0; }
};

LevelStats Summarise(int level, const std::vector<LevelTrial>& trials);

// How the trials that were not won ended: "2 out of time, 1 stuck"; empty when all were won.
std::string NotWon(const LevelStats& stats);

// A text table of level rows: win rate, moves and game time to win, stuck boards and how the
// trials that were not won ended.
std::string LevelTable(const std::vector<LevelStats>& rows, const char* firstColumn);

} // namespace PlayBot
