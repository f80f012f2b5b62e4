#pragma once

#include "tools/playbot/Stats.h"

#include <string>
#include <vector>

// The difficulty report: every level of the five modes played by the careful and the greedy
// player over many seeds, and every challenge by the careful and the casual one, as tables, a
// plot of each mode's curve for each player, and the bounds that the levels are held to.
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
LevelsPlayed PlayLevels(const Kavo::GameRulesConfig& rules, const std::vector<int>& levels, int seeds,
                        int threads, const PlayerOptions& player, int moves);

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

// How many of count fresh first boards of level (LevelSeed(level, 0) to LevelSeed(level,
// count - 1), so that the trials' boards are among them) start with no move (StartsStuck).
int FreshBoardsStuck(const Kavo::GameRulesConfig& rules, int level, int count);

// The bounds the levels of every mode are held to, for each player.
struct Bounds
{
    double minWinRate = 0.6; // of a level's trials, within the move limit
    int freshBoards = 100;   // first boards of each level tried: none may start with no move
    double maxPlanetStep =
        2.0;             // of two neighbouring planets, the larger median moves to win over the smaller
    int minGameWins = 1; // whole games of each mode won
};

// What one player's trials of a mode came to.
struct PlayerResult
{
    PlayerOptions player;
    std::vector<LevelStats> levels, planets;
    std::vector<GameTrial> games;
};

// Where one player's levels of a mode break the bounds, one line each: a level won in fewer than
// minWinRate of its trials; a planet whose median moves to win is more than maxPlanetStep times a
// neighbour's (a cliff up from the planet before, or a drop down from it); a last planet that is
// not won or not the hardest (another planet's median moves to win above its own). With strict
// (the careful player, who plays as the levels are meant to be played) also a level with a trial
// that ended stuck or lost, and too few whole games won (GamesMissed).
std::vector<std::string> PlayerBreaches(const std::string& mode, const PlayerResult& result,
                                        const Bounds& bounds, bool strict);

// The line for a player who won fewer than minGameWins of its whole games of a mode, with the
// product of its levels' win rates when it played them; empty when it won enough or played none.
// A bound for the careful player, an aim for the others: a whole game is won only when every level
// of the mode is won in turn.
std::string GamesMissed(const std::string& mode, const PlayerResult& result, const Bounds& bounds);

struct ReportOptions
{
    int seeds = 20;
    int moves = 600;      // a level trial may make
    int gameMoves = 1500; // a whole game may make on one level, as a player who keeps trying
    int games = 5;
    int threads = 1;
    // The players of the levels and whole games, each with its own tables and plots; the first
    // careful one also plays the challenges.
    std::vector<PlayerOptions> players = {PlayerOptions{Style::Careful}, PlayerOptions{Style::Greedy}};
    Bounds bounds;
};

// Plays the five modes' rules files and the challenges of the three grids in the properties
// folder and writes difficulty.md and a plot per mode and player (difficulty-<mode>-<player>.svg)
// into folder. False when a file does not load or cannot be written; the bounds only show in the
// report.
bool WriteReport(const std::string& properties, const std::string& folder, const ReportOptions& options);

} // namespace PlayBot
