// challengetrial: plays challenge rules files headless through the rules engine, as the board
// screen runs a game (moves, the clock between moves, level ends, the scramble of a stuck
// sliding board), with two players over several seeds, and prints what each scored:
// - casual: overlooks half of the clicks, takes the best group among them or else any move,
//   and spends two seconds on a move;
// - greedy: tries every click of both buttons, takes the move worth most now, and spends one
//   second on a move. With no group in reach it makes the quiet move that sets one up (when
//   there are few clicks to try, as on sliding boards). Where the first points end the game,
//   it first sets up the biggest group it can reach within one more move.
// The medal scores of a challenge are chosen from these figures: bronze near the casual
// median, gold near the greedy median, ultra near the best greedy game.
#include "base/XMLParser.h"
#include "platform/FakeClock.h"
#include "puzzle/GameBoardLogic.h"
#include "puzzle/Pieces.h"
#include "puzzle/RulesFlags.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;

constexpr int kMoveCap = 1500;

// The rules engine with the one rule of the board screen that changes play: a piece that moves
// while it matures into a black hole stops maturing.
class TrialEngine : public GameBoardLogic
{
public:
    TrialEngine() = default;
    TrialEngine(const TrialEngine&) = default;
    TrialEngine& operator=(const TrialEngine&) = default;

    void OnPieceMoved(int x, int y, int dx, int dy) override
    {
        GameBoardLogic::OnPieceMoved(x, y, dx, dy);
        BoardSquareInfo& square = Square(x, y);
        if (square.piece & PieceMaturingFlag)
        {
            square.piece &= ~PieceMaturingFlag;
            square.matureTimer = 0.0f;
        }
    }
};

struct Click
{
    int type, x, y;
};

bool IsSlide(int type)
{
    return type == mtSlide || type == mtOneSpaceSlide;
}

std::vector<Click> Clicks(const TrialEngine& e)
{
    const LevelSpecificConfig& level = e.LevelConfig();
    std::vector<int> types = {level.MainMoveType};
    if (level.AlternateMoveType > mtNone && level.AlternateMoveType != level.MainMoveType)
        types.push_back(level.AlternateMoveType);
    std::vector<Click> clicks;
    int bx, by;
    const bool blank = e.FindBlankSquare(bx, by);
    for (int type : types)
        for (int y = 0; y < e.Height(); ++y)
            for (int x = 0; x < e.Width(); ++x)
            {
                if (type == mtSlide && (!blank || (x != bx && y != by) || (x == bx && y == by))) continue;
                if (type == mtOneSpaceSlide && (!blank || std::abs(x - bx) + std::abs(y - by) != 1)) continue;
                clicks.push_back({type, x, y});
            }
    return clicks;
}

int CountPieces(const TrialEngine& e, bool (*test)(const BoardSquareInfo&))
{
    int n = 0;
    for (int y = 0; y < e.Height(); ++y)
        for (int x = 0; x < e.Width(); ++x)
            n += test(e.Square(x, y));
    return n;
}

// How good a position is for a player who wants points and the level's objective.
double Worth(const TrialEngine& e)
{
    const LevelSpecificConfig& level = e.LevelConfig();
    double worth = e.score + 3.0 * e.totalPieces;
    if (e.IsSpecialLoss()) return worth - 1e7;
    if (e.IsSpecialWin()) worth += 5000;
    if (e.IsLevelDone()) worth += 2000;
    const bool clock = (level.GeneralConfigFlags & gcfElapseRealTime) || level.fTimePenaltyPerMainMoveType > 0 ||
                       level.fTimePenaltyPerAlternateMoveType > 0;
    if (clock) worth += 20.0 * e.timeLeft;
    // Black holes and supernovas are in the way, and worth far more where they are the objective.
    const int flags = level.GeneralConfigFlags;
    const bool holesGoal = flags & (gcfBeatLevelIfNoBlackHolesPresent | gcfLoseGameIfBlackHolesPresentAtEndOfLevel);
    const bool novasGoal = flags & gcfBeatLevelIfNoSupernovasPresent;
    worth -= (holesGoal ? 400.0 : 40.0) *
             CountPieces(e, [](const BoardSquareInfo& s) { return PieceColour(s.piece) == PieceBlackHole; });
    worth -= (novasGoal ? 300.0 : 30.0) *
             CountPieces(e, [](const BoardSquareInfo& s) { return (s.piece & PieceSupernovaFlag) != 0; });
    if (level.TileConfigFlags & tcfBeatLevelIfTilesAreAllColor1)
        worth += 15.0 * CountPieces(e, [](const BoardSquareInfo& s) { return s.tile == 1; });
    if (level.TileConfigFlags & tcfBeatLevelIfTilesAreAllColor2)
        worth += 15.0 * CountPieces(e, [](const BoardSquareInfo& s) { return s.tile == 2; });
    return worth;
}

struct Outcome
{
    bool legal = false;
    bool group = false;
    int points = 0;
    double worth = 0;
};

Outcome TryClick(const TrialEngine& e, const Click& c, TrialEngine* after = nullptr)
{
    TrialEngine copy(e);
    MatchGroupList groups;
    int ox, oy;
    Outcome o;
    if (!copy.ResolveMove(c.type, c.x, c.y, ox, oy, groups)) return o;
    o.legal = true;
    o.group = !groups.empty();
    o.points = copy.score - e.score;
    o.worth = Worth(copy);
    if (after) *after = copy;
    return o;
}

class Player
{
public:
    Player(bool greedy, uint32_t seed) : mGreedy(greedy), mRandom(seed) {}
    double SecondsPerMove() const { return mGreedy ? 1.0 : 2.0; }

    // A move for the position; false when no move is possible. seeAll: the casual player
    // looks again at every click when none of those it saw could be played.
    bool Choose(const TrialEngine& e, Click& chosen, bool seeAll = false)
    {
        std::vector<Click> clicks = Clicks(e);
        if (clicks.empty()) return false;
        if (!mGreedy && !seeAll)
        {
            std::vector<Click> seen;
            for (const Click& c : clicks)
                if (mRandom.Next() % 2) seen.push_back(c);
            if (seen.empty()) seen.push_back(clicks[mRandom.Next() % clicks.size()]);
            clicks = seen;
        }
        const bool oneShot = e.LevelConfig().GeneralConfigFlags & gcfGameOverIfScoreIsNonZero;
        if (oneShot && mGreedy) return SetUp(e, clicks, chosen);

        double best = -1e18;
        bool found = false;
        std::vector<Click> quiet, losing;
        for (const Click& c : clicks)
        {
            Outcome o = TryClick(e, c);
            if (!o.legal) continue;
            if (!o.group)
            {
                (o.worth > -1e6 ? quiet : losing).push_back(c);
                continue;
            }
            if (o.worth > best)
            {
                best = o.worth;
                chosen = c;
                found = true;
            }
        }
        if (found && best > -1e6) return true;
        if (quiet.empty() && !mGreedy && !seeAll) return Choose(e, chosen, true);
        if (quiet.empty() && !found && !losing.empty()) quiet = losing;
        if (quiet.empty()) return found;
        chosen = quiet[mRandom.Next() % quiet.size()];
        if (mGreedy && clicks.size() <= kLookAheadClicks) chosen = BestSetUp(e, quiet, chosen);
        return true;
    }

private:
    static constexpr size_t kLookAheadClicks = 40;

    // The quiet move after which the best group is worth most (fallback when none leads to one).
    Click BestSetUp(const TrialEngine& e, const std::vector<Click>& quiet, Click fallback)
    {
        double best = -1e18;
        for (const Click& c : quiet)
        {
            TrialEngine after;
            if (!TryClick(e, c, &after).legal) continue;
            for (const Click& d : Clicks(after))
            {
                Outcome o = TryClick(after, d);
                double value = o.worth + (mRandom.Next() % 100) * 0.001;
                if (o.legal && o.group && value > best) best = value, fallback = c;
            }
        }
        return fallback;
    }

    // Where the first points end the game: the best group now, or a quiet move after which a
    // bigger one is there, while the moves last.
    bool SetUp(const TrialEngine& e, const std::vector<Click>& clicks, Click& chosen)
    {
        int now = 0;
        Click nowClick{};
        double bestLater = -1;
        Click laterClick{};
        for (const Click& c : clicks)
        {
            TrialEngine after;
            Outcome o = TryClick(e, c, &after);
            if (!o.legal) continue;
            if (o.group)
            {
                if (o.points > now) now = o.points, nowClick = c;
                continue;
            }
            int later = 0;
            for (const Click& d : Clicks(after))
            {
                Outcome p = TryClick(after, d);
                if (p.legal && p.group) later = std::max(later, p.points);
            }
            double value = later + (mRandom.Next() % 100) * 0.001;
            if (value > bestLater) bestLater = value, laterClick = c;
        }
        const LevelSpecificConfig& level = e.LevelConfig();
        const float penalty = std::max(level.fTimePenaltyPerMainMoveType, level.fTimePenaltyPerAlternateMoveType);
        const bool lastMoves = penalty > 0 && e.timeLeft <= 2 * penalty;
        if (now > 0 && (now >= bestLater || lastMoves))
        {
            chosen = nowClick;
            return true;
        }
        if (bestLater < 0) return false;
        chosen = laterClick;
        return true;
    }

    bool mGreedy;
    MersenneTwister mRandom;
};

// Ends the game as the board screen does on a special win or loss; true when it ended.
bool GameEnds(TrialEngine& e)
{
    if (e.IsSpecialLoss()) return true;
    if (!e.IsSpecialWin()) return false;
    if (e.IsLevelOver(true) && e.LevelCompletionBonus() != 0) e.SetScore(e.score + e.LevelCompletionBonus());
    return true;
}

struct Game
{
    int score = 0;
    int moves = 0;
    int level = 1;
};

Game Play(const GameRulesConfig& rules, uint32_t seed, Player& player, platform::FakeClock& clock)
{
    GameRulesConfig seeded = rules;
    seeded.Random().Seed(seed);
    TrialEngine e;
    e.SetRules(seeded);
    e.ResetForLevel(1, true);
    Game game;
    for (; game.moves < kMoveCap; ++game.moves)
    {
        Click c;
        if (!player.Choose(e, c)) break;
        MatchGroupList groups;
        int ox, oy;
        e.ResolveMove(c.type, c.x, c.y, ox, oy, groups);
        if (GameEnds(e)) break;
        if (e.IsLevelOver(false))
        {
            e.AdvanceToNextLevel();
            continue;
        }
        if (e.timeLeft <= 0.0f) break;
        bool over = false;
        const int flags = e.LevelConfig().GeneralConfigFlags;
        const int updates = int(player.SecondsPerMove() * 100);
        for (int u = 0; u < updates && !over; ++u)
        {
            e.TimeStep();
            if (flags & gcfGrowBlackHolesInRealtime) e.AdvanceBlackHoleTimers(0.01f);
            clock.Advance(10);
            if (flags & gcfCheckForNewBlackHolesInRealtime) e.CheckForNewBlackHoles();
            over = e.timeLeft <= 0.0f || GameEnds(e);
        }
        if (over) break;
        if (IsSlide(e.LevelConfig().MainMoveType) && e.IsStuck())
        {
            if (!e.CanScramble()) break;
            e.Scramble();
        }
    }
    game.score = e.score;
    game.level = e.level;
    return game;
}

int Median(std::vector<int> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int seeds = 8;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (arg == "-seeds" && i + 1 < argc)
            seeds = std::atoi(argv[++i]);
        else
            files.push_back(arg);
    }
    if (files.empty())
    {
        std::fprintf(stderr, "usage: challengetrial [-seeds N] <rules file> ...\n");
        return 2;
    }
    platform::FakeClock clock;
    std::printf("%-24s %8s %8s %8s %8s %8s %8s  %s\n", "file", "casmin", "casmed", "casmax", "grdmin", "grdmed",
                "grdmax", "moves(greedy median)");
    for (const std::string& file : files)
    {
        XMLParser parser;
        GameRulesConfig rules;
        if (!parser.OpenFile(file) || !rules.LoadFromFile(parser))
        {
            std::printf("%s: does not load\n", file.c_str());
            continue;
        }
        std::vector<int> casual, greedy, moves;
        for (int s = 0; s < seeds; ++s)
        {
            Player c(false, 1000 + s), g(true, 2000 + s);
            casual.push_back(Play(rules, 300 + s, c, clock).score);
            Game gg = Play(rules, 300 + s, g, clock);
            greedy.push_back(gg.score);
            moves.push_back(gg.moves);
        }
        std::string name = file.substr(file.find_last_of('/') + 1);
        std::printf("%-24s %8d %8d %8d %8d %8d %8d  %d\n", name.c_str(), *std::min_element(casual.begin(), casual.end()),
                    Median(casual), *std::max_element(casual.begin(), casual.end()),
                    *std::min_element(greedy.begin(), greedy.end()), Median(greedy),
                    *std::max_element(greedy.begin(), greedy.end()), Median(moves));
        std::fflush(stdout);
    }
    return 0;
}
