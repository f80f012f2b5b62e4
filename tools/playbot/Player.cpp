#include "tools/playbot/Player.h"

#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace PlayBot
{

using namespace Kavo;

void Engine::OnPieceMoved(int x, int y, int dx, int dy)
{
    GameBoardLogic::OnPieceMoved(x, y, dx, dy);
    if (mNoting)
        for (const SquarePos& p : {SquarePos{x, y}, SquarePos{x + dx, y + dy}})
            if (std::find(mMoved.begin(), mMoved.end(), p) == mMoved.end()) mMoved.push_back(p);
    BoardSquareInfo& square = Square(x, y);
    if (square.piece & PieceMaturingFlag)
    {
        square.piece &= ~PieceMaturingFlag;
        square.matureTimer = 0.0f;
    }
}

void Engine::NoteMovedSquares(bool on)
{
    mNoting = on;
    mMoved.clear();
}

bool Engine::MoveMadeASeed() const
{
    const int w = Width(), h = Height();
    const int size = (LevelConfig().GeneralConfigFlags & gcfRequire3x3Square) ? 3 : 2;
    for (const SquarePos& p : mMoved)
        for (int y = std::max(0, p.y - size + 1); y <= std::min(p.y, h - size); ++y)
            for (int x = std::max(0, p.x - size + 1); x <= std::min(p.x, w - size); ++x)
            {
                int pieces[9];
                for (int i = 0; i < size * size; ++i)
                    pieces[i] = PieceColour(Square(x + i % size, y + i / size).piece);
                int colour;
                if (size == 2 ? Is2x2Match(pieces, colour) : Is3x3Match(pieces, colour)) return true;
            }
    return false;
}

bool IsSlide(int moveType)
{
    return moveType == mtSlide || moveType == mtOneSpaceSlide;
}

const char* StyleName(Style style)
{
    switch (style)
    {
    case Style::Careful:
        return "careful";
    case Style::Casual:
        return "casual";
    case Style::Greedy:
        return "greedy";
    case Style::Planner:
        return "planner";
    }
    return "?";
}

bool StyleFromName(const char* name, Style& style)
{
    for (Style s : {Style::Careful, Style::Casual, Style::Greedy, Style::Planner})
        if (std::string(name) == StyleName(s))
        {
            style = s;
            return true;
        }
    return false;
}

namespace
{

int Clamp(int v, int lo, int hi)
{
    return std::max(lo, std::min(v, hi));
}

// The square a move clamps a click on (x, y) to: clicks with the same square move the same pieces.
void CanonicalSquare(int type, int w, int h, int& x, int& y)
{
    switch (type)
    {
    case mtFourSquareRotateCW:
    case mtFourSquareRotateCCW:
        x = Clamp(x, 0, w - 2), y = Clamp(y, 0, h - 2);
        break;
    case mtNineSquareRotateCW:
    case mtNineSquareRotateCCW:
        x = Clamp(x, 1, w - 2), y = Clamp(y, 1, h - 2);
        break;
    case mtThreeSquareHorzCycleLTR:
    case mtThreeSquareHorzCycleRTL:
        x = Clamp(x, 1, w - 2);
        break;
    case mtThreeSquareVertCycleTTB:
    case mtThreeSquareVertCycleBTT:
        y = Clamp(y, 1, h - 2);
        break;
    case mtTwoSquareHorzSwapLTR:
        x = Clamp(x, 0, w - 2);
        break;
    case mtTwoSquareVertSwapTTB:
        y = Clamp(y, 0, h - 2);
        break;
    case mtEntireRowHorzCycleLTR:
    case mtEntireRowHorzCycleRTL:
        x = 0;
        break;
    case mtEntireColVertCycleTTB:
    case mtEntireColVertCycleBTT:
        y = 0;
        break;
    default:
        break;
    }
}

int CountSquares(const GameBoardLogic& e, bool (*test)(const BoardSquareInfo&))
{
    int n = 0;
    for (int y = 0; y < e.Height(); ++y)
        for (int x = 0; x < e.Width(); ++x)
            n += test(e.Square(x, y));
    return n;
}

bool IsBlackHole(const BoardSquareInfo& s)
{
    return PieceColour(s.piece) == PieceBlackHole;
}

bool IsSupernova(const BoardSquareInfo& s)
{
    return (s.piece & PieceSupernovaFlag) != 0;
}

bool IsMaturing(const BoardSquareInfo& s)
{
    return (s.piece & PieceMaturingFlag) != 0;
}

bool HasClock(const LevelSpecificConfig& level)
{
    return (level.GeneralConfigFlags & gcfElapseRealTime) || level.fTimePenaltyPerMainMoveType > 0 ||
           level.fTimePenaltyPerAlternateMoveType > 0;
}

bool HolesAreTheGoal(const LevelSpecificConfig& level)
{
    return level.GeneralConfigFlags &
           (gcfBeatLevelIfNoBlackHolesPresent | gcfLoseGameIfBlackHolesPresentAtEndOfLevel);
}

bool NovasAreTheGoal(const LevelSpecificConfig& level)
{
    return level.GeneralConfigFlags & gcfBeatLevelIfNoSupernovasPresent;
}

double HoleWeight(const LevelSpecificConfig& level)
{
    return HolesAreTheGoal(level) ? 400.0 : 40.0;
}

double NovaWeight(const LevelSpecificConfig& level)
{
    return NovasAreTheGoal(level) ? 300.0 : 30.0;
}

constexpr double kLevelDoneWorth = 1e5;
constexpr double kLossWorth = -1e9;

// What a quiet move costs the player: its score penalty, and its time penalty on a clock.
double MoveCost(const LevelSpecificConfig& level, int type)
{
    const bool main = type == level.MainMoveType;
    double cost = main ? level.fScorePenaltyPerMainMoveType : level.fScorePenaltyPerAlternateMoveType;
    if (HasClock(level))
        cost += 20.0 * (main ? level.fTimePenaltyPerMainMoveType : level.fTimePenaltyPerAlternateMoveType);
    return cost;
}

// Blocks one piece short of a group: the seed blocks (2 x 2, or 3 x 3 with the 3 x 3 rule) in
// which one colour, wild pieces counting for it, fills all squares but one (or two of nine).
double Promise(const GameBoardLogic& e)
{
    const int size = (e.LevelConfig().GeneralConfigFlags & gcfRequire3x3Square) ? 3 : 2;
    double promise = 0;
    for (int y = 0; y + size <= e.Height(); ++y)
        for (int x = 0; x + size <= e.Width(); ++x)
        {
            int counts[16] = {};
            int wilds = 0;
            bool blocked = false;
            for (int dy = 0; dy < size && !blocked; ++dy)
                for (int dx = 0; dx < size; ++dx)
                {
                    const int raw = e.Square(x + dx, y + dy).piece;
                    const int piece = PieceColour(raw);
                    if (IsImmovablePiece(raw)) blocked = true;
                    if (piece == PieceWild)
                        wilds += 1;
                    else if (IsColourPiece(piece))
                        counts[piece] += 1;
                }
            if (blocked) continue;
            const int most = *std::max_element(counts, counts + 16) + wilds;
            const int missing = size * size - most;
            if (missing == 1) promise += size == 3 ? 3.0 : 1.0;
            if (missing == 2 && size == 3) promise += 1.0;
        }
    return promise;
}

// The worth of a group found by the look-ahead, without the refill: its points and pieces, the
// black holes and supernovas it takes, the tiles it lights and whether it ends the level.
double GroupsWorth(const GameBoardLogic& e, const MatchGroupList& groups,
                   const int mask[GameBoardLogic::kSquares])
{
    const LevelSpecificConfig& level = e.LevelConfig();
    double worth = 0;
    int size = 0;
    for (const MatchGroup& g : groups)
    {
        worth += g.points + 3.0 * g.size + HoleWeight(level) * g.blackHolesSwallowed +
                 NovaWeight(level) * g.supernovas;
        size += g.size;
    }
    int exploded = 0, darkTiles = 0;
    for (int y = 0; y < e.Height(); ++y)
        for (int x = 0; x < e.Width(); ++x)
            if (mask[x + GameBoardLogic::kGridSize * y] > 0)
            {
                exploded += 1;
                darkTiles += e.Square(x, y).tile == 0;
            }
    if (level.nPieceCountNeededToAvoidBlackHoleWave > 0 &&
        exploded < level.nPieceCountNeededToAvoidBlackHoleWave)
        worth -= HoleWeight(level) * exploded + 3.0 * size;
    if ((level.TileConfigFlags & tcfBeatLevelIfTilesAreAllColor1) &&
        (level.TileConfigFlags & tcfExplodedColor0TilesBecomeColor1))
        worth += 15.0 * darkTiles;
    const bool doubled = (level.GeneralConfigFlags & gcfBeatLevelIfDoubleMoveCompleted) && groups.size() > 1;
    if (doubled || e.piecesCleared + size >= level.nPiecesInLevel) worth += kLevelDoneWorth;
    return worth;
}

// The squares of the board's area, to try moves on a scratch engine and put them back.
class Snapshot
{
public:
    void Take(const GameBoardLogic& e)
    {
        mSquares.clear();
        for (int y = 0; y < e.Height(); ++y)
            for (int x = 0; x < e.Width(); ++x)
                mSquares.push_back(e.Square(x, y));
    }
    void Put(GameBoardLogic& e) const
    {
        size_t i = 0;
        for (int y = 0; y < e.Height(); ++y)
            for (int x = 0; x < e.Width(); ++x)
                e.Square(x, y) = mSquares[i++];
    }

private:
    std::vector<BoardSquareInfo> mSquares;
};

} // namespace

std::vector<Click> Clicks(const GameBoardLogic& e)
{
    const LevelSpecificConfig& level = e.LevelConfig();
    std::vector<int> types = {level.MainMoveType};
    if (level.AlternateMoveType > mtNone && level.AlternateMoveType != level.MainMoveType)
        types.push_back(level.AlternateMoveType);
    const int w = e.Width(), h = e.Height();
    int bx, by;
    const bool blank = e.FindBlankSquare(bx, by);
    std::vector<Click> clicks;
    for (int type : types)
    {
        std::vector<bool> seen(size_t(w * h), false);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                if (type == mtSlide && (!blank || (x != bx && y != by) || (x == bx && y == by))) continue;
                if (type == mtOneSpaceSlide && (!blank || std::abs(x - bx) + std::abs(y - by) != 1)) continue;
                int cx = x, cy = y;
                CanonicalSquare(type, w, h, cx, cy);
                if (seen[size_t(cx + w * cy)]) continue;
                seen[size_t(cx + w * cy)] = true;
                clicks.push_back({type, cx, cy});
            }
    }
    return clicks;
}

bool AnyClickMoves(const Engine& e)
{
    Engine scratch(e);
    Snapshot start;
    start.Take(e);
    for (const Click& c : Clicks(e))
    {
        start.Put(scratch);
        int ox, oy;
        if (scratch.DoMove(c.type, c.x, c.y, ox, oy)) return true;
    }
    return false;
}

double Worth(const GameBoardLogic& e)
{
    if (e.IsSpecialLoss()) return kLossWorth + e.score;
    const LevelSpecificConfig& level = e.LevelConfig();
    double worth = e.score + 3.0 * e.piecesCleared;
    if (e.IsSpecialWin()) worth += 10 * kLevelDoneWorth;
    if (e.IsLevelDone()) worth += kLevelDoneWorth;
    if (HasClock(level)) worth += 20.0 * e.timeLeft;
    // Black holes and supernovas are in the way, and worth far more where they are the objective.
    worth -= HoleWeight(level) * CountSquares(e, IsBlackHole);
    worth -= 0.5 * HoleWeight(level) * CountSquares(e, IsMaturing);
    worth -= NovaWeight(level) * CountSquares(e, IsSupernova);
    if (level.TileConfigFlags & tcfBeatLevelIfTilesAreAllColor1)
        worth += 15.0 * CountSquares(e, [](const BoardSquareInfo& s) { return s.tile == 1; });
    if (level.TileConfigFlags & tcfBeatLevelIfTilesAreAllColor2)
        worth += 15.0 * CountSquares(e, [](const BoardSquareInfo& s) { return s.tile == 2; });
    return worth;
}

struct Player::Tried
{
    Click click;
    bool group = false;
    int points = 0;
    double worth = 0;
    double rank = 0;       // worth, and for a quiet move the groups it nearly makes
    bool revisits = false; // a quiet move back to a position since the last group
};

Player::Player(const PlayerOptions& options, uint32_t seed) : mOptions(options), mRandom(seed) {}

double Player::Noise()
{
    return (mRandom.Next() % 1000) * 1e-4;
}

namespace
{

uint64_t PositionKey(const GameBoardLogic& e)
{
    uint64_t key = 1469598103934665603ull;
    for (int y = 0; y < e.Height(); ++y)
        for (int x = 0; x < e.Width(); ++x)
            key = (key ^ uint64_t(uint32_t(e.Square(x, y).piece))) * 1099511628211ull;
    return key;
}

} // namespace

void Player::NotePosition(const Engine& e)
{
    if (e.level != mSeenLevel || e.piecesCleared != mSeenCleared || e.totalPieces != mSeenGroups)
    {
        mSeen.clear();
        mSeenLevel = e.level;
        mSeenCleared = e.piecesCleared;
        mSeenGroups = e.totalPieces;
    }
    const uint64_t key = PositionKey(e);
    if (!SeenPosition(e)) mSeen.push_back(key);
}

bool Player::SeenPosition(const Engine& e) const
{
    return std::find(mSeen.begin(), mSeen.end(), PositionKey(e)) != mSeen.end();
}

bool Player::Choose(const Engine& e, Click& chosen)
{
    std::vector<Click> clicks = Clicks(e);
    if (clicks.empty()) return false;
    if (mOptions.style == Style::Casual) return ChooseCasual(e, clicks, chosen);
    if (mOptions.style == Style::Greedy)
    {
        NotePosition(e);
        return ChooseGreedy(e, clicks, chosen);
    }
    if (mOptions.style == Style::Planner) return ChoosePlanner(e, clicks, chosen);
    if (e.LevelConfig().GeneralConfigFlags & gcfGameOverIfScoreIsNonZero)
        return ChooseOneShot(e, clicks, chosen);
    NotePosition(e);
    return ChooseCareful(e, clicks, chosen);
}

namespace
{

// Plays a click on a copy of the engine. The player cannot see the pieces that will fall in, so
// the copy draws them from a generator of the player's own.
bool TryClick(const Engine& e, const Click& c, uint32_t refillSeed, Engine& after, MatchGroupList& groups)
{
    after = e;
    after.rules.Random().Seed(refillSeed);
    int ox, oy;
    return after.ResolveMove(c.type, c.x, c.y, ox, oy, groups);
}

} // namespace

bool Player::ChooseCasual(const Engine& e, const std::vector<Click>& all, Click& chosen)
{
    std::vector<Click> seen;
    for (const Click& c : all)
        if (mRandom.Next() % 2) seen.push_back(c);
    if (seen.empty()) seen.push_back(all[mRandom.Next() % all.size()]);
    for (const std::vector<Click>* clicks : std::initializer_list<const std::vector<Click>*>{&seen, &all})
    {
        double best = kLossWorth / 2;
        bool found = false;
        std::vector<Click> quiet, losing;
        Engine after;
        for (const Click& c : *clicks)
        {
            MatchGroupList groups;
            if (!TryClick(e, c, mRandom.Next(), after, groups)) continue;
            const double worth = Worth(after);
            if (groups.empty())
                (worth > kLossWorth / 2 ? quiet : losing).push_back(c);
            else if (worth > best)
                best = worth, chosen = c, found = true;
        }
        if (found) return true;
        if (quiet.empty()) quiet = losing;
        if (quiet.empty()) continue;
        chosen = quiet[mRandom.Next() % quiet.size()];
        return true;
    }
    return false;
}

namespace
{

// The most pieces of one colour joined side by side (a group in the making) that hold one of
// the squares given.
int LargestCluster(const GameBoardLogic& e, const std::vector<SquarePos>& from)
{
    const int w = e.Width(), h = e.Height();
    std::vector<bool> seen(size_t(GameBoardLogic::kSquares), false);
    int largest = 0;
    std::vector<SquarePos> stack;
    for (const SquarePos& start : from)
    {
        const int colour = PieceColour(e.Square(start.x, start.y).piece);
        if (!IsColourPiece(colour) || seen[size_t(start.x + GameBoardLogic::kGridSize * start.y)]) continue;
        int size = 0;
        stack.assign(1, start);
        seen[size_t(start.x + GameBoardLogic::kGridSize * start.y)] = true;
        while (!stack.empty())
        {
            const SquarePos p = stack.back();
            stack.pop_back();
            size += 1;
            const SquarePos next[4] = {{p.x - 1, p.y}, {p.x + 1, p.y}, {p.x, p.y - 1}, {p.x, p.y + 1}};
            for (const SquarePos& n : next)
            {
                if (n.x < 0 || n.y < 0 || n.x >= w || n.y >= h) continue;
                const size_t i = size_t(n.x + GameBoardLogic::kGridSize * n.y);
                if (seen[i] || PieceColour(e.Square(n.x, n.y).piece) != colour) continue;
                seen[i] = true;
                stack.push_back(n);
            }
        }
        largest = std::max(largest, size);
    }
    return largest;
}

} // namespace

bool Player::ChooseGreedy(const Engine& e, const std::vector<Click>& clicks, Click& chosen)
{
    // What the player sees of a click, best first: it ends the level or wins the game, it makes a
    // group, it makes none (to a position not yet left since the last group, or back to one), it
    // loses the game. Within a kind, the larger group or cluster is better.
    enum Kind
    {
        Loses,
        Revisits,
        Quiet,
        Groups,
        EndsLevel,
    };
    Engine scratch(e), after;
    Snapshot start;
    start.Take(e);
    int mask[GameBoardLogic::kSquares];
    std::pair<int, int> best{-1, 0};
    std::vector<Click> ties;
    for (const Click& c : clicks)
    {
        // The groups on the board right after the move, before any refill.
        start.Put(scratch);
        scratch.NoteMovedSquares(true);
        int ox, oy;
        if (!scratch.DoMove(c.type, c.x, c.y, ox, oy)) continue;
        MatchGroupList groups;
        std::pair<int, int> seen{Quiet, 0};
        if (scratch.FindMatches(mask, groups))
        {
            for (const MatchGroup& g : groups)
                seen.second = std::max(seen.second, g.size);
            seen.first = Groups;
            // How the move comes out: what the board shows once the pieces are in.
            MatchGroupList played;
            if (TryClick(e, c, mRandom.Next(), after, played))
            {
                if (after.IsSpecialLoss())
                    seen.first = Loses;
                else if (after.IsSpecialWin() || after.IsLevelDone())
                    seen.first = EndsLevel;
            }
        }
        else
        {
            seen.second = LargestCluster(scratch, scratch.MovedSquares());
            if (SeenPosition(scratch)) seen.first = Revisits;
        }
        if (seen > best) best = seen, ties.clear();
        if (seen == best) ties.push_back(c);
    }
    if (ties.empty()) return false;
    chosen = ties[mRandom.Next() % ties.size()];
    return true;
}

bool Player::ChooseCareful(const Engine& e, const std::vector<Click>& clicks, Click& chosen)
{
    std::vector<Tried> tried;
    Engine after;
    for (const Click& c : clicks)
    {
        MatchGroupList groups;
        if (!TryClick(e, c, mRandom.Next(), after, groups)) continue;
        Tried t{c, !groups.empty(), after.score - e.score, Worth(after) + Noise()};
        t.rank = t.worth + (t.group ? 0.0 : 4.0 * Promise(after));
        t.revisits = !t.group && SeenPosition(after);
        tried.push_back(t);
    }
    if (tried.empty()) return false;
    const Tried* bestGroup = nullptr;
    const Tried* bestQuiet = nullptr;
    std::vector<Click> quiet;
    // Quiet moves back to a position already left are taken only when every quiet move is one.
    const bool avoidRevisits =
        std::any_of(tried.begin(), tried.end(),
                    [](const Tried& t) { return !t.group && !t.revisits && t.worth > kLossWorth / 2; });
    for (const Tried& t : tried)
    {
        if (t.worth <= kLossWorth / 2 || (avoidRevisits && t.revisits)) continue;
        if (t.group && (!bestGroup || t.worth > bestGroup->worth)) bestGroup = &t;
        if (!t.group)
        {
            quiet.push_back(t.click);
            if (!bestQuiet || t.rank > bestQuiet->rank) bestQuiet = &t;
        }
    }
    // A group that leaves the board better than any quiet move is taken at once.
    double quietWorth = kLossWorth;
    for (const Tried& t : tried)
        if (!t.group) quietWorth = std::max(quietWorth, t.worth);
    if (bestGroup && bestGroup->worth > quietWorth)
    {
        chosen = bestGroup->click;
        return true;
    }
    if (!quiet.empty() && LookAhead(e, quiet, chosen)) return true;
    if (bestGroup || bestQuiet)
    {
        chosen = (bestQuiet ? bestQuiet : bestGroup)->click;
        return true;
    }
    // Every move loses: the least bad one.
    chosen = std::max_element(tried.begin(), tried.end(),
                              [](const Tried& a, const Tried& b) { return a.worth < b.worth; })
                 ->click;
    return true;
}

bool Player::LookAhead(const Engine& e, const std::vector<Click>& quiet, Click& chosen)
{
    const LevelSpecificConfig& level = e.LevelConfig();
    // Three moves deep only where the clicks are few enough to try every sequence.
    constexpr double kSequences = 6000;
    const double n = double(Clicks(e).size());
    const int deepest =
        (mOptions.depth >= 3 && double(quiet.size()) * n * n <= kSequences) ? 3 : std::min(mOptions.depth, 2);

    Engine scratch(e);
    Snapshot start;
    start.Take(e);
    int mask[GameBoardLogic::kSquares];
    MatchGroupList groups;
    double best = 0;
    bool found = false;
    // Plays click on the scratch board (at position before, movesAhead moves ahead) and, when it
    // makes no group, every click after it while moves are left.
    auto search = [&](auto& self, const Snapshot& before, const Click& firstClick, const Click& click,
                      int movesAhead, int movesLeft, double cost) -> void
    {
        before.Put(scratch);
        scratch.NoteMovedSquares(true);
        int ox, oy;
        if (!scratch.DoMove(click.type, click.x, click.y, ox, oy)) return;
        if (movesAhead > 1 && scratch.MoveMadeASeed() && scratch.FindMatches(mask, groups))
        {
            const double worth = GroupsWorth(scratch, groups, mask);
            const double value = worth * std::pow(0.8, movesAhead - 1) - cost + Noise();
            if (worth > 0 && value > best) best = value, chosen = firstClick, found = true;
            return;
        }
        if (movesLeft < 1) return;
        Snapshot after;
        after.Take(scratch);
        cost += MoveCost(level, click.type);
        for (const Click& next : Clicks(scratch))
            self(self, after, firstClick, next, movesAhead + 1, movesLeft - 1, cost);
    };
    // The quickest groups first: three moves ahead only when two find none.
    for (int depth = 2; depth <= deepest && !found; ++depth)
        for (const Click& c : quiet)
            search(search, start, c, c, 1, depth - 1, 0.0);
    return found;
}

bool Player::ChoosePlanner(const Engine& e, const std::vector<Click>& clicks, Click& chosen)
{
    // Three moves ahead only where every sequence of three can be tried.
    constexpr double kSequences = 6000;
    const double n = double(clicks.size());
    const int moves = n * n * n <= kSequences ? 3 : 2;
    if (mPlies.size() < size_t(moves)) mPlies.resize(size_t(moves));
    bool found = false;
    double best = 0;
    for (const Click& c : clicks)
    {
        double worth;
        if (!PlanWorth(e, c, moves, 0, worth)) continue;
        worth += Noise();
        if (!found || worth > best) best = worth, chosen = c, found = true;
    }
    return found;
}

bool Player::PlanWorth(const Engine& e, const Click& c, int moves, size_t ply, double& worth)
{
    Engine& after = mPlies[ply];
    MatchGroupList groups;
    if (!TryClick(e, c, mRandom.Next(), after, groups)) return false;
    worth = Worth(after);
    if (moves <= 1 || after.IsLevelDone() || after.IsSpecialWin() || after.IsSpecialLoss()) return true;
    // A position reached later is worth a point less than the same one now.
    for (const Click& next : Clicks(after))
        if (double later; PlanWorth(after, next, moves - 1, ply + 1, later))
            worth = std::max(worth, later - 1.0);
    return true;
}

bool Player::ChooseOneShot(const Engine& e, const std::vector<Click>& clicks, Click& chosen)
{
    int now = 0;
    Click nowClick{};
    double bestLater = -1;
    Click laterClick{};
    Engine after, later;
    for (const Click& c : clicks)
    {
        MatchGroupList groups;
        if (!TryClick(e, c, mRandom.Next(), after, groups)) continue;
        if (!groups.empty())
        {
            if (after.score - e.score > now) now = after.score - e.score, nowClick = c;
            continue;
        }
        int best = 0;
        for (const Click& d : Clicks(after))
            if (TryClick(after, d, mRandom.Next(), later, groups) && !groups.empty())
                best = std::max(best, later.score - after.score);
        const double value = best + Noise();
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

} // namespace PlayBot
