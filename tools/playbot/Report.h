#pragma once

#include "tools/playbot/Stats.h"

#include <string>
#include <vector>

// The difficulty report: every level of the five modes and every challenge played by the careful
// player over many seeds, as tables, a plot of each mode's curve, and the bounds that the levels
// are held to.
namespace PlayBot
{

// The seeds of trials: level trials differ from level to level, games and challenges by number.
uint32_t LevelSeed(int level, int trial);
uint32_t GameSeed(int trial);

// Each of levels played seeds times from a fresh board (LevelSeed) on threads threads, summed up
// per level and per planet (the planets of those levels, each over its levels among them).
struct LevelsPlayed
{
    std::vector<LevelStats> levels, planets;
};
LevelsPlayed PlayLevels(const Kavo::GameRulesConfig& rules, const std::vector<int>& levels, int seeds, int threads,
                        const PlayerOptions& player, int moves);

// count whole games from level 1 (GameSeed) on threads threads.
std::vector<GameTrial> PlayGames(const Kavo::GameRulesConfig& rules, int count, int threads,
                                 const PlayerOptions& player, int moves);
int GamesWon(const std::vector<GameTrial>& games);

// A line per whole game: how it ended, the level reached, moves, game time and score.
std::string GameTable(const std::vector<GameTrial>& games);

// For a challenge's rules: the scores of the casual and the careful player over seeds games, with
// medal scores suggested from them (bronze near the casual median, gold near the careful median,
// ultra near the best careful game).
std::string MedalTable(const std::string& file, const Kavo::GameRulesConfig& rules, int seeds, int threads);

// A challenge of the challenge grids: its key, its rules file (relative to the properties folder)
// and its bronze, silver, gold and ultra scores.
struct ChallengeEntry
{
    std::string id, file;
    int medals[4] = {};
};

// The challenges of the three grid files of the properties folder, in grid order.
std::vector<ChallengeEntry> ReadChallenges(const std::string& properties);

// The bounds every level is held to.
struct Bounds
{
    double minWinRate = 0.6;      // of a level's trials, within the move limit
    double maxStartStuck = 0.05;  // of a level's first boards
    double maxPlanetRise = 2.0;   // median moves to win of a planet over its predecessor's
    int minGameWins = 1;          // whole games of a mode
};

struct ReportOptions
{
    int seeds = 20;
    int moves = 600;      // a level trial may make
    int gameMoves = 1500; // a whole game may make on one level, as a player who keeps trying
    int games = 5;
    int threads = 1;
    PlayerOptions player;
    Bounds bounds;
};

// Plays the five modes' rules files and the challenges of the three grids in the properties
// folder and writes difficulty.md and a plot per mode (difficulty-<mode>.svg) into folder.
// False when a file does not load or cannot be written; the bounds only show in the report.
bool WriteReport(const std::string& properties, const std::string& folder, const ReportOptions& options);

} // namespace PlayBot
