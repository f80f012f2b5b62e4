// Board generation, refill, black holes and the stuck test of GameBoardLogic.
#include "rules/GameBoardLogic.h"

#include "base/CheckedConversions.h"
#include "platform/system/Clock.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <vector>

namespace Kavo
{

namespace
{

// A plain piece: one a black hole may grow into.
bool IsPlainPiece(int raw)
{
    if (raw & PieceMaturingFlag) return false;
    int piece = PieceColour(raw);
    return piece != PieceBlank && piece != PieceBlackHole && piece != PieceWall && piece != PieceGap;
}

} // namespace

bool GameBoardLogic::FindBlankSquare(int& x, int& y) const
{
    for (y = 0; y < Height(); ++y)
        for (x = 0; x < Width(); ++x)
            if (Square(x, y).piece == PieceBlank) return true;
    x = -1;
    y = -1;
    return false;
}

void GameBoardLogic::PlacePiecesFromLayout(int mode)
{
    const std::string& layout = LevelConfig().sLevelLayout;
    size_t next = 0;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            char c = next < layout.size() ? layout[next] : '.';
            ++next;
            int piece;
            if (c == ' ')
                piece = PieceBlank;
            else if (c >= 'a' && c <= 'j')
                piece = c - 'a' + PieceColour1;
            else if (c >= 'A' && c <= 'J')
                piece = PieceSupernovaFlag | (c - 'A' + PieceColour1);
            else if (c == '#')
                piece = PieceWall;
            else if (c == '_')
                piece = PieceGap;
            else if (c == '*')
                piece = PieceBlackHole;
            else if (c == '!')
                piece = PieceWild;
            else if (c == ',')
                piece = PickRandomPieceExcluding(PieceBlackHole, PieceBlank, mode);
            else
                piece = PickRandomPieceExcluding(PieceBlank, PieceBlank, mode);
            Square(x, y).piece = piece;
            Square(x, y).matureTimer = 0.0f;
        }
}

void GameBoardLogic::ApplyTileLayout()
{
    const std::string& layout = LevelConfig().sTileLayout;
    size_t next = 0;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            char c = next < layout.size() ? layout[next] : '0';
            ++next;
            Square(x, y).tile = (c >= '1' && c <= '9') ? c - '0' : 0;
        }
}

void GameBoardLogic::GenerateBoard(bool newGame, bool keepState)
{
    if (Width() == 0) return; // a board size the grid cannot hold: nothing to build
    const LevelSpecificConfig& config = LevelConfig();
    const int mode = (config.GeneralConfigFlags & gcfDontAllowSupernovaPiecesDuringBoardGen) ? 2 : 0;

    int attempts = 0;
    do
    {
        PlacePiecesFromLayout(mode);
        if (!(config.GeneralConfigFlags & gcfDontAddBlankSquare))
            Square(Width() / 2, Height() / 2).piece = PieceBlank;
        ++attempts;
    } while (BoardHasMatches() && attempts < kMaxBoardAttempts);
    ApplyTileLayout();
    if (keepState) return;

    lastGrowX = -1;
    lastGrowY = -1;
    lastGrowCheckTime = 0;
    ResetLevelCounters();
    timeLossRate = config.fTimeLostPerSecond;
    PickNewBonus();
    if (newGame)
    {
        SetTimeLeft(config.fInitialTimeLeft);
        return;
    }
    float leftover = timeLeft - config.fInitialTimeLeft;
    if (leftover > 0.0f) leftover *= config.fRolloverTimeModifier;
    SetTimeLeft(config.fInitialTimeLeft);
    if (leftover > 0.0f) SetTimeLeft(leftover + timeLeft);
}

void GameBoardLogic::ReplenishExploded(int colour, int mask[kSquares])
{
    const LevelSpecificConfig& config = LevelConfig();
    const int w = Width();
    const int h = Height();
    std::vector<SquarePos> exploded;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            if (mask[x + kGridSize * y] <= 0) continue;
            exploded.push_back({x, y});
            BoardSquareInfo& square = Square(x, y);
            if (square.piece & PieceMaturingFlag)
            {
                square.matureTimer = 0.0f;
                square.explodedPiece = PieceColour(square.piece) == colour ? colour : PieceBlackHole;
            }
            else
            {
                square.explodedPiece = square.piece;
            }
        }

    // Too few pieces cleared: they all turn into black holes.
    int needed = config.nPieceCountNeededToAvoidBlackHoleWave;
    if (needed != 0 && int64_t(exploded.size()) < needed)
    {
        for (const SquarePos& p : exploded)
            Square(p.x, p.y).piece = PieceBlackHole;
        return;
    }

    const bool oneBlackHole = !(config.GeneralConfigFlags & gcfAllowUnlimitedBlackHolesPerReplenish);
    const int tiles = config.TileConfigFlags;
    int attempts = 0;
    do
    {
        bool placed = false;
        for (const SquarePos& p : exploded)
        {
            BoardSquareInfo& square = Square(p.x, p.y);
            if (square.tile == 2 && (tiles & tcfColor2TilesAlwaysRespawnAsWilds))
                square.piece = PieceWild;
            else if (square.tile == 3 && (tiles & tcfColor3TilesAlwaysRespawnAsBlackHoles) &&
                     square.explodedPiece != PieceBlackHole)
                square.piece = PieceBlackHole;
            else
            {
                int piece = PickRandomPieceExcluding(square.piece,
                                                     placed && oneBlackHole ? PieceBlackHole : PieceBlank, 0);
                if (piece == PieceBlackHole) placed = true;
                square.piece = piece;
            }
        }
        ++attempts;
    } while (BoardHasMatches() && attempts < kMaxRefillAttempts);
}

void GameBoardLogic::StartBlackHoleAt(int x, int y)
{
    if (!InArea(x, y)) return;
    BoardSquareInfo& square = Square(x, y);
    float mature = LevelConfig().fTimeBeforeBlackHolesMature;
    if (mature > 0.0f)
    {
        square.piece |= PieceMaturingFlag;
        square.matureTimer = mature;
    }
    else
    {
        square.piece = PieceBlackHole;
    }
}

void GameBoardLogic::AdvanceBlackHoleTimers(float seconds)
{
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            BoardSquareInfo& square = Square(x, y);
            if (!(square.piece & PieceMaturingFlag) || !(square.matureTimer > 0.0f)) continue;
            square.matureTimer -= seconds;
            if (square.matureTimer <= 0.0f)
            {
                square.matureTimer = 0.0f;
                square.piece = PieceBlackHole;
                OnBlackHoleMatured(x, y);
            }
        }
}

bool GameBoardLogic::CheckForNewBlackHoles()
{
    // Due once the interval has passed. A last check that lies after the clock (saved in an
    // earlier run, or before the 32-bit tick count wrapped) is stale, and the check is due.
    const uint32_t now = platform::Clock::Get().Ticks();
    const double seconds = rules.fMinTimeBetweenBlackHoleGrowChecks;
    const uint32_t interval = seconds > 0.0 ? uint32_t(std::min(seconds * 1000.0, 2147483647.0)) : 0;
    const uint32_t elapsed = now - uint32_t(lastGrowCheckTime);
    const bool stale = int32_t(elapsed) < 0;
    if (!stale && elapsed <= interval) return false;
    lastGrowCheckTime = int32_t(now);

    const int w = Width();
    const int h = Height();
    auto plainNeighbours = [&](int x, int y)
    {
        std::vector<SquarePos> found;
        const SquarePos around[4] = {{x, y - 1}, {x, y + 1}, {x - 1, y}, {x + 1, y}};
        for (const SquarePos& p : around)
            if (InArea(p.x, p.y) && IsPlainPiece(Square(p.x, p.y).piece)) found.push_back(p);
        return found;
    };
    int blackHoles = 0;
    std::vector<SquarePos> candidates;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            if (PieceColour(Square(x, y).piece) != PieceBlackHole) continue;
            blackHoles += 1;
            if (!plainNeighbours(x, y).empty()) candidates.push_back({x, y});
        }

    const LevelSpecificConfig& config = LevelConfig();
    if ((config.HintsToShow & hintBlackHolesGrow) && !growHintUsed)
    {
        growHintUsed = true; // the first growth of a level that shows the hint is certain
    }
    else
    {
        float chance = (config.fChanceForBlackHolesToGrow +
                        config.fChanceForBlackHolesToGrowModPerBlackHole * float(blackHoles)) *
                       100000.0f;
        if (!(chance > float(RandomBelow(100000)))) return false;
    }
    if (candidates.empty()) return false;

    const uint32_t count = uint32_t(candidates.size());
    SquarePos pick = candidates[RandomBelow(count)];
    while (count > 1 && pick.x == lastGrowX && pick.y == lastGrowY)
        pick = candidates[RandomBelow(count)];
    lastGrowX = pick.x;
    lastGrowY = pick.y;

    std::vector<SquarePos> targets = plainNeighbours(pick.x, pick.y);
    SquarePos target = targets[RandomBelow(uint32_t(targets.size()))];
    StartBlackHoleAt(target.x, target.y);
    return true;
}

bool GameBoardLogic::IsStuck() const
{
    int bx, by;
    if (!FindBlankSquare(bx, by)) return false;
    const int w = Width();
    const int h = Height();

    bool reached[kSquares] = {};
    reached[bx + kGridSize * by] = true;
    bool added = true;
    while (added)
    {
        added = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                int index = x + kGridSize * y;
                if (reached[index] || IsImmovablePiece(Square(x, y).piece)) continue;
                bool next = (x > 0 && reached[index - 1]) || (x + 1 < w && reached[index + 1]) ||
                            (y > 0 && reached[index - kGridSize]) ||
                            (y + 1 < h && reached[index + kGridSize]);
                if (next)
                {
                    reached[index] = true;
                    added = true;
                }
            }
    }

    int counts[PieceWild + 1] = {};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            int piece = PieceColour(Square(x, y).piece);
            if (reached[x + kGridSize * y] && piece >= 0 && piece <= PieceWild) counts[piece] += 1;
        }
    const bool big = (LevelConfig().GeneralConfigFlags & gcfRequire3x3Square) != 0;
    const int needed = big ? 11 : 6;
    const int side = big ? 4 : 3;
    bool enoughOfAColour = false;
    for (int colour = PieceColour1; colour <= PieceColour10; ++colour)
        if (counts[colour] + counts[PieceWild] >= needed) enoughOfAColour = true;

    bool room = false;
    for (int y = 0; y + side <= h && !room; ++y)
        for (int x = 0; x + side <= w && !room; ++x)
        {
            bool all = true;
            for (int dy = 0; dy < side && all; ++dy)
                for (int dx = 0; dx < side && all; ++dx)
                    all = reached[(x + dx) + kGridSize * (y + dy)];
            room = all;
        }
    return !enoughOfAColour || !room;
}

} // namespace Kavo
