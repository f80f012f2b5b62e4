#pragma once

#include "platform/system/Clock.h"
#include "tools/playbot/Player.h"

#include <functional>
#include <string>
#include <vector>

// Trials: one level from a fresh board, or a whole game from level 1, played turn by turn as the
// board screen plays them: the move, then the player's pace of game time in updates of 10 ms
// (the clock, maturing and real-time growth of black holes), the level's end, and the scramble of
// a stuck sliding board.
namespace PlayBot
{

// The clock of real-time black-hole growth while trials run: each thread keeps the game time of
// the trial it plays, so that trials on several threads repeat exactly. Installed for its life.
class TrialClock : public platform::Clock
{
public:
    TrialClock();
    ~TrialClock() override;
    TrialClock(const TrialClock&) = delete;
    TrialClock& operator=(const TrialClock&) = delete;

    uint32_t Ticks() override;
    uint64_t Counter() override;
    uint64_t CounterFrequency() override { return 1000; }
    uint64_t Cycles() override { return Counter(); }
    void Sleep(uint32_t ms) override { Advance(ms); }

    // The calling thread's game time.
    static void Start();
    static void Advance(uint32_t ms);

private:
    platform::Clock* mPrevious;
};

enum class End
{
    Won,       // the level (or, for a game, the game) is won
    OutOfTime, // the time ran out
    Lost,      // a rule of the mode lost the game
    Stuck,     // a stuck sliding board that cannot be scrambled
    MoveCap,   // the move limit was reached first
};

const char* EndName(End end);

struct LevelTrial
{
    int level = 0;
    End end = End::MoveCap;
    int moves = 0;
    double seconds = 0;      // game time played
    bool startStuck = false; // the first board was stuck
    bool becameStuck = false;
    int scrambles = 0;
    int score = 0; // at the end
};

struct GameTrial
{
    End end = End::MoveCap;
    int moves = 0;
    double seconds = 0;
    int score = 0;
    std::vector<LevelTrial> levels; // every level played, the last one where the game ended
};

// Game seconds a player of the style spends on a move in the rules' mode: a second and a half,
// and for the careful, the casual and the planning player a second in Speedblitz, the game of
// quick moves. The greedy player takes a second and a half in every mode.
double ModePace(const Kavo::GameRulesConfig& rules, Style style);

// A seeded copy of the rules: the game's generator starts from seed.
Kavo::GameRulesConfig SeededRules(const Kavo::GameRulesConfig& rules, uint32_t seed);

// Whether level's first board, from the rules' generator seeded with seed (the board PlayLevel
// starts from), has no move: a sliding board on which the engine's stuck test finds no group left
// to make (that test looks only at boards with a blank square), or any board on which no click of
// either button moves a piece.
bool StartsStuck(const Kavo::GameRulesConfig& rules, int level, uint32_t seed);

// Plays level from a fresh board, up to moveCap moves and scrambles.
LevelTrial PlayLevel(const Kavo::GameRulesConfig& rules, int level, uint32_t seed,
                     const PlayerOptions& options, int moveCap);
// Plays a whole game from level 1, up to moveCap moves on each level.
GameTrial PlayGame(const Kavo::GameRulesConfig& rules, uint32_t seed, const PlayerOptions& options,
                   int moveCap);

// Runs job(0) to job(count - 1) on threads threads (at least one).
void RunJobs(int count, int threads, const std::function<void(int)>& job);

// The first level no game of these rules plays (the lower of the level requirements that end
// it), or 41 when none does.
int EndLevel(const Kavo::GameRulesConfig& rules);

bool LoadRules(const std::string& path, Kavo::GameRulesConfig& rules);

} // namespace PlayBot
