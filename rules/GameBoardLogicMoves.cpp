// The sixteen move types and the move driver of GameBoardLogic.
#include "rules/GameBoardLogic.h"

#include "base/CheckedConversions.h"
#include "base/Logger.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <vector>

namespace Kavo
{

namespace
{

// One moving piece: from its square by one step (dx, dy), or wrapping to the other end of a
// cycle (announced = false).
struct Step
{
    SquarePos from;
    SquarePos to;
    bool announced;
};

} // namespace

bool GameBoardLogic::IsImmovablePiece(int piece)
{
    return Kavo::IsImmovablePiece(piece);
}

bool GameBoardLogic::AreaHasImmovablePiece(const SquarePos* positions, int count) const
{
    for (int i = 0; i < count; ++i)
        if (IsImmovablePiece(Square(positions[i].x, positions[i].y).piece)) return true;
    return false;
}

void GameBoardLogic::SwapSquares(int x1, int y1, int x2, int y2)
{
    OnPieceMoved(x1, y1, x2 - x1, y2 - y1);
    OnPieceMoved(x2, y2, x1 - x2, y1 - y2);
    BoardSquareInfo& a = Square(x1, y1);
    BoardSquareInfo& b = Square(x2, y2);
    if (LevelConfig().TileConfigFlags & tcfMoveColorsWithTiles)
    {
        std::swap(a, b);
        return;
    }
    BoardSquareInfo oldA = a;
    a.CopyKeepTile(b);
    b.CopyKeepTile(oldA);
}

bool GameBoardLogic::DoMove(int moveType, int x, int y, int& outX, int& outY)
{
    outX = x;
    outY = y;
    const int w = Width();
    const int h = Height();
    if (!InArea(x, y)) return false;

    // The slides move pieces one swap at a time towards the blank.
    if (moveType == mtOneSpaceSlide)
    {
        const SquarePos around[4] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const SquarePos& p : around)
        {
            if (!InArea(p.x, p.y) || Square(p.x, p.y).piece != PieceBlank) continue;
            if (IsImmovablePiece(Square(x, y).piece)) return false;
            outX = p.x;
            outY = p.y;
            SwapSquares(x, y, p.x, p.y);
            return true;
        }
        return false;
    }
    if (moveType == mtSlide)
    {
        int bx, by;
        if (!FindBlankSquare(bx, by) || (bx == x && by == y)) return false;
        if (bx != x && by != y) return false;
        const int dx = bx == x ? 0 : (x > bx ? 1 : -1);
        const int dy = by == y ? 0 : (y > by ? 1 : -1);
        for (int cx = bx + dx, cy = by + dy;; cx += dx, cy += dy)
        {
            if (IsImmovablePiece(Square(cx, cy).piece)) return false;
            if (cx == x && cy == y) break;
        }
        for (int cx = bx, cy = by; cx != x || cy != y; cx += dx, cy += dy)
            SwapSquares(cx + dx, cy + dy, cx, cy);
        // The clicked piece ends one square towards where the blank was.
        outX = x - dx;
        outY = y - dy;
        return true;
    }

    // Every other move is a cycle of squares: each piece moves to the next square of the list.
    std::vector<Step> steps;
    bool keepTiles = false;
    auto cycle = [&](std::vector<SquarePos> ring, bool wrapAnnounced)
    {
        for (size_t i = 0; i < ring.size(); ++i)
            steps.push_back({ring[i], ring[(i + 1) % ring.size()], wrapAnnounced || i + 1 < ring.size()});
    };
    switch (moveType)
    {
    case mtFourSquareRotateCW:
    case mtFourSquareRotateCCW:
    {
        if (w < 2 || h < 2) return false;
        const int cx = std::clamp(x, 0, w - 2);
        const int cy = std::clamp(y, 0, h - 2);
        const SquarePos tl{cx, cy}, tr{cx + 1, cy}, br{cx + 1, cy + 1}, bl{cx, cy + 1};
        // Announced from the top-right square on; the tiles stay where they are.
        if (moveType == mtFourSquareRotateCW)
            steps = {{tr, br, true}, {br, bl, true}, {bl, tl, true}, {tl, tr, true}};
        else
            steps = {{tr, tl, true}, {tl, bl, true}, {bl, br, true}, {br, tr, true}};
        keepTiles = true;
        break;
    }
    case mtNineSquareRotateCW:
    case mtNineSquareRotateCCW:
    {
        if (w < 3 || h < 3) return false;
        const int cx = std::clamp(x, 1, w - 2);
        const int cy = std::clamp(y, 1, h - 2);
        std::vector<SquarePos> ring = {{cx - 1, cy - 1}, {cx, cy - 1}, {cx + 1, cy - 1}, {cx + 1, cy},
                                       {cx + 1, cy + 1}, {cx, cy + 1}, {cx - 1, cy + 1}, {cx - 1, cy}};
        // Counter-clockwise: the same ring the other way round, still from the top-left.
        if (moveType == mtNineSquareRotateCCW) std::reverse(ring.begin() + 1, ring.end());
        cycle(ring, true);
        break;
    }
    case mtThreeSquareHorzCycleLTR:
    case mtThreeSquareHorzCycleRTL:
    {
        if (w < 3) return false;
        const int c = std::clamp(x, 1, w - 2);
        if (moveType == mtThreeSquareHorzCycleLTR)
            cycle({{c - 1, y}, {c, y}, {c + 1, y}}, false);
        else
            cycle({{c + 1, y}, {c, y}, {c - 1, y}}, false);
        break;
    }
    case mtThreeSquareVertCycleTTB:
    case mtThreeSquareVertCycleBTT:
    {
        if (h < 3) return false;
        const int c = std::clamp(y, 1, h - 2);
        if (moveType == mtThreeSquareVertCycleTTB)
            cycle({{x, c - 1}, {x, c}, {x, c + 1}}, false);
        else
            cycle({{x, c + 1}, {x, c}, {x, c - 1}}, false);
        break;
    }
    case mtTwoSquareHorzSwapLTR:
    {
        if (w < 2) return false;
        const int c = std::clamp(x, 0, w - 2);
        cycle({{c, y}, {c + 1, y}}, true);
        break;
    }
    case mtTwoSquareVertSwapTTB:
    {
        if (h < 2) return false;
        const int c = std::clamp(y, 0, h - 2);
        cycle({{x, c}, {x, c + 1}}, true);
        break;
    }
    case mtEntireRowHorzCycleLTR:
    case mtEntireRowHorzCycleRTL:
    {
        if (w < 2) return false;
        std::vector<SquarePos> row;
        for (int i = 0; i < w; ++i)
            row.push_back({moveType == mtEntireRowHorzCycleLTR ? i : w - 1 - i, y});
        cycle(row, false);
        break;
    }
    case mtEntireColVertCycleTTB:
    case mtEntireColVertCycleBTT:
    {
        if (h < 2) return false;
        std::vector<SquarePos> column;
        for (int i = 0; i < h; ++i)
            column.push_back({x, moveType == mtEntireColVertCycleTTB ? i : h - 1 - i});
        cycle(column, false);
        break;
    }
    default:
        return false; // mtNone and unknown numbers
    }

    std::vector<SquarePos> affected;
    affected.reserve(steps.size());
    for (const Step& step : steps)
        affected.push_back(step.from);
    if (AreaHasImmovablePiece(affected.data(), int(affected.size()))) return false;

    // Announced in the order of the steps; the wrapping piece of a cycle is not announced.
    // A reversed cycle lists its steps from the far end: announce from the near end instead,
    // so that row and column moves always announce in board order.
    std::vector<const Step*> announced;
    for (const Step& step : steps)
        if (step.announced) announced.push_back(&step);
    bool reversedLine = moveType == mtThreeSquareHorzCycleRTL || moveType == mtThreeSquareVertCycleBTT ||
                        moveType == mtEntireRowHorzCycleRTL || moveType == mtEntireColVertCycleBTT;
    if (reversedLine) std::reverse(announced.begin(), announced.end());
    for (const Step* step : announced)
        OnPieceMoved(step->from.x, step->from.y, step->to.x - step->from.x, step->to.y - step->from.y);

    std::vector<BoardSquareInfo> moving;
    moving.reserve(steps.size());
    for (const Step& step : steps)
        moving.push_back(Square(step.from.x, step.from.y));
    for (size_t i = 0; i < steps.size(); ++i)
    {
        BoardSquareInfo& target = Square(steps[i].to.x, steps[i].to.y);
        if (keepTiles)
            target.CopyKeepTile(moving[i]);
        else
            target = moving[i];
    }
    return true;
}

bool GameBoardLogic::ResolveMove(int moveType, int x, int y, int& outX, int& outY, MatchGroupList& groups)
{
    if (!DoMove(moveType, x, y, outX, outY)) return false;

    int mask[kSquares];
    FindMatches(mask, groups);
    const LevelSpecificConfig& config = LevelConfig();

    if (groups.empty())
    {
        combo = 0;
        bool main = moveType == config.MainMoveType;
        float scorePenalty =
            main ? config.fScorePenaltyPerMainMoveType : config.fScorePenaltyPerAlternateMoveType;
        float timePenalty =
            main ? config.fTimePenaltyPerMainMoveType : config.fTimePenaltyPerAlternateMoveType;
        SetScore(ClampToInt(int64_t(score) - TruncateToInt(scorePenalty)));
        SetTimeLeft(timeLeft - timePenalty);
        int piecePenalty = config.nPiecePenaltyPerMainMoveType;
        if (piecePenalty != 0 && piecesCleared >= piecePenalty)
            piecesCleared = ClampToInt(int64_t(piecesCleared) - piecePenalty);
    }
    else
    {
        bool lit = ApplyExplosionsToTiles(mask);
        const int scoreBefore = score;
        bool bonusMade = false;
        int bonusPoints = 0;
        int supernovas = 0;
        int swallowed = 0;
        for (MatchGroup& group : groups)
        {
            if (combo < INT32_MAX) combo += 1;
            if (combo > 1)
            {
                float mod = config.fScoreModPerCombo * float(combo - 1);
                if (mod > config.fMaxScoreModFromCombos) mod = config.fMaxScoreModFromCombos;
                group.comboMod = mod;
                group.points = TruncateToInt(double(group.points) * (double(mod) + 1.0));
            }
            AwardGroup(group);
            if (group.isBonus)
            {
                bonusMade = true;
                bonusPoints += group.bonusPoints;
            }
            supernovas += group.supernovas;
            swallowed += group.blackHolesSwallowed;
        }
        ReplenishExploded(groups.size() == 1 ? groups.front().colour : PieceNone, mask);
        mostGroupsInOneMove = std::max(mostGroupsInOneMove, int32_t(groups.size()));

        const int64_t gained = int64_t(score) - scoreBefore;
        if (bonusMade) LogEvent("Bonus Match", gained - bonusPoints);
        if (supernovas != 0) LogEvent("Remove Supernova", supernovas);
        if (swallowed != 0) LogEvent("Remove Black Hole", swallowed);
        if (config.TileConfigFlags & tcfBeatLevelIfTilesAreAllColor1)
            LogEvent(lit ? "Useful Match" : "Unneeded Match", gained);
        else
            LogEvent("Match", gained);
        if (bonusMade) PickNewBonus();
    }

    const int flags = LevelConfig().GeneralConfigFlags;
    if (flags & gcfGrowBlackHolesAfterMove) AdvanceBlackHoleTimers(1.0f);
    if (flags & gcfCheckForNewBlackHolesAfterMove) CheckForNewBlackHoles();
    return true;
}

} // namespace Kavo
