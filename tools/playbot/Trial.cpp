#include "tools/playbot/Trial.h"

#include "base/XMLParser.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace PlayBot
{

using namespace Kavo;

namespace
{

// Game time of the thread's trial, in microseconds. It starts far from 0, as the program's own
// clock does, so that the first growth check of a trial is due at once.
thread_local uint64_t tGameMicroseconds = 0;
constexpr uint64_t kStartMicroseconds = 3600ull * 1000 * 1000;

} // namespace

TrialClock::TrialClock() : mPrevious(platform::Clock::Install(this)) {}

TrialClock::~TrialClock()
{
    platform::Clock::Install(mPrevious);
}

uint32_t TrialClock::Ticks()
{
    return uint32_t(tGameMicroseconds / 1000);
}

uint64_t TrialClock::Counter()
{
    return tGameMicroseconds / 1000;
}

void TrialClock::Start()
{
    tGameMicroseconds = kStartMicroseconds;
}

void TrialClock::Advance(uint32_t ms)
{
    tGameMicroseconds += uint64_t(ms) * 1000;
}

const char* EndName(End end)
{
    switch (end)
    {
    case End::Won:
        return "won";
    case End::OutOfTime:
        return "out of time";
    case End::Lost:
        return "lost";
    case End::Stuck:
        return "stuck";
    case End::MoveCap:
        return "move limit";
    }
    return "?";
}

namespace
{

// One trial: the engine, the player and the game time, turn by turn.
class Table
{
public:
    Table(const GameRulesConfig& rules, uint32_t seed, const PlayerOptions& options)
        : mPlayer(options, seed ^ 0x5bd1e995u),
          mPace(options.pace > 0 ? options.pace : ModePace(rules, options.style))
    {
        TrialClock::Start();
        mEngine.SetRules(SeededRules(rules, seed));
    }

    Engine& Board() { return mEngine; }

    // Plays the current level until it ends or moveCap moves were made.
    LevelTrial PlayLevel(int moveCap)
    {
        LevelTrial t;
        t.level = mEngine.level;
        t.startStuck = Stuck();
        for (bool first = true;; first = false)
        {
            if (!first || t.startStuck)
            {
                if (Stuck())
                {
                    t.becameStuck = t.becameStuck || !first;
                    if (!mEngine.CanScramble()) return Finish(t, End::Stuck);
                    if (t.moves + t.scrambles >= moveCap) return Finish(t, End::MoveCap);
                    mEngine.Scramble();
                    t.scrambles += 1;
                    if (!PassTime(t)) return t;
                    continue;
                }
            }
            if (t.moves >= moveCap) return Finish(t, End::MoveCap);
            Click c;
            if (!mPlayer.Choose(mEngine, c)) return Finish(t, End::Stuck);
            MatchGroupList groups;
            int ox, oy;
            mEngine.ResolveMove(c.type, c.x, c.y, ox, oy, groups);
            t.moves += 1;
            if (GameEnds(t)) return t;
            if (mEngine.IsLevelOver(false)) return Finish(t, End::Won);
            if (!PassTime(t)) return t;
        }
    }

private:
    bool Stuck() const { return IsSlide(mEngine.LevelConfig().MainMoveType) && mEngine.IsStuck(); }

    LevelTrial& Finish(LevelTrial& t, End end)
    {
        t.end = end;
        t.score = mEngine.score;
        return t;
    }

    // Ends the trial as the board screen ends the game on a special win or loss; true when it ended.
    bool GameEnds(LevelTrial& t)
    {
        if (mEngine.IsSpecialLoss())
        {
            Finish(t, End::Lost);
            return true;
        }
        if (!mEngine.IsSpecialWin()) return false;
        if (mEngine.IsLevelOver(true) && mEngine.LevelCompletionBonus() != 0)
            mEngine.SetScore(mEngine.score + mEngine.LevelCompletionBonus());
        Finish(t, End::Won);
        return true;
    }

    // The player's pace of game time after a move; false when the game ended meanwhile.
    bool PassTime(LevelTrial& t)
    {
        const int flags = mEngine.LevelConfig().GeneralConfigFlags;
        const int updates = std::max(1, int(std::lround(mPace * 100)));
        for (int u = 0; u < updates; ++u)
        {
            mEngine.TimeStep();
            t.seconds += 0.01;
            if (flags & gcfGrowBlackHolesInRealtime) mEngine.AdvanceBlackHoleTimers(0.01f);
            TrialClock::Advance(10);
            if (flags & gcfCheckForNewBlackHolesInRealtime) mEngine.CheckForNewBlackHoles();
            if (mEngine.timeLeft <= 0.0f)
            {
                const int needed = mEngine.rules.nWinningScoreRequirementAfterGame;
                Finish(t, needed >= 1 && mEngine.score >= needed ? End::Won : End::OutOfTime);
                return false;
            }
            if (GameEnds(t)) return false;
        }
        return true;
    }

    Engine mEngine;
    Player mPlayer;
    double mPace;
};

} // namespace

double ModePace(const GameRulesConfig& rules, Style style)
{
    constexpr int kSpeedblitz = 3;
    return rules.GameMode == kSpeedblitz && style != Style::Greedy ? 1.0 : 1.5;
}

GameRulesConfig SeededRules(const GameRulesConfig& rules, uint32_t seed)
{
    GameRulesConfig seeded = rules;
    seeded.Random().Seed(seed);
    return seeded;
}

bool StartsStuck(const GameRulesConfig& rules, int level, uint32_t seed)
{
    Engine engine;
    engine.SetRules(SeededRules(rules, seed));
    engine.ResetForLevel(level, true);
    return (IsSlide(engine.LevelConfig().MainMoveType) && engine.IsStuck()) || !AnyClickMoves(engine);
}

LevelTrial PlayLevel(const GameRulesConfig& rules, int level, uint32_t seed, const PlayerOptions& options,
                     int moveCap)
{
    Table table(rules, seed, options);
    table.Board().ResetForLevel(level, true);
    return table.PlayLevel(moveCap);
}

GameTrial PlayGame(const GameRulesConfig& rules, uint32_t seed, const PlayerOptions& options, int moveCap)
{
    Table table(rules, seed, options);
    Engine& e = table.Board();
    e.ResetForLevel(1, true);
    GameTrial game;
    const int end = EndLevel(rules);
    for (;;)
    {
        LevelTrial t = table.PlayLevel(moveCap);
        game.levels.push_back(t);
        game.moves += t.moves;
        game.seconds += t.seconds;
        game.score = t.score;
        const bool gameOver = t.end != End::Won || e.IsSpecialWin() || e.level + 1 >= end;
        if (gameOver)
        {
            game.end = t.end;
            return game;
        }
        e.AdvanceToNextLevel();
    }
}

void RunJobs(int count, int threads, const std::function<void(int)>& job)
{
    std::atomic<int> next{0};
    auto work = [&]
    {
        for (int i = next++; i < count; i = next++)
            job(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < std::max(1, threads); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
}

int EndLevel(const GameRulesConfig& rules)
{
    int end = GameRulesConfig::kLevelRecords;
    for (int requirement : {rules.nWinningLevelRequirement, rules.nLosingLevelRequirement})
        if (requirement > 0) end = std::min(end, requirement);
    return end;
}

bool LoadRules(const std::string& path, GameRulesConfig& rules)
{
    XMLParser parser;
    return parser.OpenFile(path) && rules.LoadFromFile(parser) && !parser.HasFailed();
}

} // namespace PlayBot
