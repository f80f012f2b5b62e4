// Finding groups, scoring them, booking them, tiles and bonuses.
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

// A block of pieces (flags removed) matches when none is a black hole, wall, gap, blank or no
// piece, and every piece that is not wild has the same colour.
bool IsBlockMatch(const int* pieces, int count, int& colour)
{
    int found = 0;
    for (int i = 0; i < count; ++i)
    {
        int piece = pieces[i];
        if (piece == PieceBlackHole || piece == PieceWall || piece == PieceGap || piece == PieceBlank ||
            piece == PieceNone)
            return false;
        if (piece == PieceWild) continue;
        if (found != 0 && piece != found) return false;
        found = piece;
    }
    colour = found != 0 ? found : PieceColour1;
    return true;
}

} // namespace

bool GameBoardLogic::Is2x2Match(const int pieces[4], int& colour)
{
    return IsBlockMatch(pieces, 4, colour);
}

bool GameBoardLogic::Is3x3Match(const int pieces[9], int& colour)
{
    return IsBlockMatch(pieces, 9, colour);
}

bool GameBoardLogic::BoardHasMatches()
{
    int mask[kSquares];
    MatchGroupList groups;
    return FindMatches(mask, groups);
}

bool GameBoardLogic::FindMatches(int mask[kSquares], MatchGroupList& groups)
{
    groups.clear();
    std::fill(mask, mask + kSquares, 0);
    const int s = (LevelConfig().GeneralConfigFlags & gcfRequire3x3Square) ? 2 : 1;
    const int w = Width();
    const int h = Height();
    bool bonusTaken = false;

    for (int y = 0; y < h - s; ++y)
        for (int x = 0; x < w - s; ++x)
        {
            if (IsImmovablePiece(Square(x, y).piece)) continue;
            int pieces[9];
            int count = 0;
            bool marked = false;
            for (int by = y; by <= y + s; ++by)
                for (int bx = x; bx <= x + s; ++bx)
                {
                    marked |= mask[bx + kGridSize * by] != 0;
                    pieces[count++] = PieceColour(Square(bx, by).piece);
                }
            int colour = 0;
            if (marked || !(s == 1 ? Is2x2Match(pieces, colour) : Is3x3Match(pieces, colour))) continue;

            MatchGroup group;
            group.anchorX = x;
            group.anchorY = y;
            group.colour = colour;
            group.size = count;
            group.chainLength = 1;
            for (int by = y; by <= y + s; ++by)
                for (int bx = x; bx <= x + s; ++bx)
                {
                    mask[bx + kGridSize * by] = 1;
                    int raw = Square(bx, by).piece;
                    if (raw & PieceSupernovaFlag) group.supernovas += 1;
                    if (PieceColour(raw) == PieceWild) group.wilds.push_back({bx, by});
                }
            GrowGroup(group, mask);
            ScoreGroup(group, mask, bonusTaken);
            groups.push_back(std::move(group));
        }
    return !groups.empty();
}

// Growth: passes over the area until one adds nothing. A square joins when it is of the
// group's colour, wild, a black hole or maturing, and touches a marked square (of any group
// of this search) through which growth may pass: not a black hole, and not a maturing piece
// of another colour (a maturing wild piece lets growth through). Its mark is one more than
// the smallest such neighbour's.
void GameBoardLogic::GrowGroup(MatchGroup& group, int mask[kSquares]) const
{
    const int w = Width();
    const int h = Height();
    auto passesGrowth = [&](const BoardSquareInfo& square)
    {
        int piece = PieceColour(square.piece);
        if (piece == PieceBlackHole) return false;
        return !(square.piece & PieceMaturingFlag) || piece == group.colour || piece == PieceWild;
    };

    bool added = true;
    while (added)
    {
        added = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                int index = x + kGridSize * y;
                if (mask[index] != 0) continue;
                const BoardSquareInfo& square = Square(x, y);
                int piece = PieceColour(square.piece);
                bool maturing = (square.piece & PieceMaturingFlag) != 0;
                if (piece != group.colour && piece != PieceWild && piece != PieceBlackHole && !maturing)
                    continue;

                int smallest = 999;
                bool touches = false;
                const SquarePos around[4] = {{x, y - 1}, {x, y + 1}, {x - 1, y}, {x + 1, y}};
                for (const SquarePos& p : around)
                {
                    if (!InArea(p.x, p.y)) continue;
                    int mark = mask[p.x + kGridSize * p.y];
                    if (mark <= 0 || !passesGrowth(Square(p.x, p.y))) continue;
                    touches = true;
                    smallest = std::min(smallest, mark);
                }
                if (!touches) continue;

                group.size += 1;
                if (piece == PieceBlackHole || (maturing && piece != group.colour))
                    group.blackHolesSwallowed += 1;
                if (square.piece & PieceSupernovaFlag) group.supernovas += 1;
                if (piece == PieceWild) group.wilds.push_back({x, y});
                mask[index] = smallest < 999 ? smallest + 1 : 2;
                group.chainLength = std::max(group.chainLength, mask[index]);
                added = true;
            }
    }
}

void GameBoardLogic::ScoreGroup(MatchGroup& group, const int mask[kSquares], bool& bonusTaken)
{
    const LevelSpecificConfig& config = LevelConfig();
    const int flags = config.GeneralConfigFlags;
    const int tiles = config.TileConfigFlags;
    const int w = Width();
    const int h = Height();

    int n = ClampToInt(int64_t(group.size) +
                       TruncateToInt(double(config.fSupernovaPieceWeight) * group.supernovas));
    double base = n;
    if (!(flags & gcfUseNewScoringFormula)) base -= 2;

    const int valueFlags = tcfColor0TilesAreHalfValue | tcfColor1TilesAreHalfValue |
                           tcfColor2TilesAreHalfValue | tcfColor2TilesAreDoubleValue |
                           tcfColor2TilesAreQuarterValue | tcfColor3TilesCancelEntireScore;
    if (tiles & valueFlags)
    {
        // Every marked square counts, also those of earlier groups of the same search.
        double adjust = 0.0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                if (mask[x + kGridSize * y] <= 0) continue;
                int t = Square(x, y).tile;
                if (t == 0) group.squaresOnTile0 += 1;
                if ((tiles & tcfColor0TilesAreHalfValue) && t == 0)
                    adjust -= 0.5;
                else if ((tiles & tcfColor1TilesAreHalfValue) && t == 1)
                    adjust -= 0.5;
                else if ((tiles & tcfColor2TilesAreQuarterValue) && t == 2)
                    adjust -= 0.75;
                else if ((tiles & tcfColor2TilesAreHalfValue) && t == 2)
                    adjust -= 0.5;
                else if ((tiles & tcfColor2TilesAreDoubleValue) && t == 2)
                    adjust += 1.0;
                else if ((tiles & tcfColor3TilesCancelEntireScore) && t == 3)
                    group.noPoints = true;
            }
        group.tileAdjust = float(adjust);
        base += adjust;
    }
    if (flags & gcfWildsWorthMore) base += 2.0 * double(group.wilds.size());

    double points = double(config.fScoreModifier) * base * base * (double(bonusMultiplier) + 1.0);
    points += double(config.nSupernovaPieceImmediateBoost) * group.supernovas;

    for (int i = 0; i < LevelSpecificConfig::kChainEntries; ++i)
    {
        int length = config.LongChainLength[i];
        if (length < 1 || group.chainLength < length) break;
        points += config.LongChainImmediateBoost[i];
        std::vector<SquarePos> atLength;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (mask[x + kGridSize * y] == length) atLength.push_back({x, y});
        if (atLength.empty()) break;
        group.chainSquares[i] = atLength[RandomBelow(uint32_t(atLength.size()))];
        group.chainBoosts = i + 1;
    }
    group.points = TruncateToInt(points);

    if (!bonusTaken && bonusSize <= group.size - group.blackHolesSwallowed && group.colour == bonusColour)
    {
        bonusTaken = true;
        group.isBonus = true;
        group.bonusPoints = ClampToInt(int64_t(config.nBonusBaseImmediateBoost) +
                                       int64_t(config.nBonusImmediateBoostIncrement) * bonusesEarned);
        group.points = ClampToInt(int64_t(group.points) + group.bonusPoints);
    }

    if (flags & gcfEarnNoPointsWhileSupernovasPresent)
        for (int y = 0; y < h && !group.supernovasPresent; ++y)
            for (int x = 0; x < w; ++x)
                if ((Square(x, y).piece & PieceSupernovaFlag) && mask[x + kGridSize * y] == 0)
                {
                    group.supernovasPresent = true;
                    group.noPoints = true;
                    break;
                }

    if (group.noPoints)
    {
        group.points = 0;
        group.bonusPoints = 0;
        group.chainBoosts = 0;
    }
}

void GameBoardLogic::AwardGroup(MatchGroup& group)
{
    const LevelSpecificConfig& config = LevelConfig();
    SetScore(ClampToInt(int64_t(score) + group.points));

    totalPieces = ClampToInt(int64_t(totalPieces) + group.size);
    int64_t cleared = int64_t(piecesCleared) + group.size;
    if (group.isBonus) cleared += config.nPieceBoostPerBonus;
    if (group.comboMod > 0.0f) cleared += config.nPieceBoostPerCombo;
    if (group.size >= config.nLargeGroupSizeRequirement && config.fPieceBoostBonusForLargeGroups > 0.00001f)
        cleared +=
            TruncateToInt(config.fPieceBoostBonusForLargeGroups * float(group.size) * float(group.size));
    piecesCleared = ClampToInt(cleared);

    largestGroup = std::max(largestGroup, group.size);
    longestChain = std::max(longestChain, group.chainLength);
    if (smallestGroup == 0 || smallestGroup > group.size) smallestGroup = group.size;

    if (group.size >= 4)
    {
        float t = 0.0f;
        if (config.fTimeBoostPerPiece > 0.0001f) t = float(group.size) * config.fTimeBoostPerPiece;
        if (config.nLargeGroupSizeRequirement > 0 && group.size > config.nLargeGroupSizeRequirement)
        {
            float over = float(group.size - config.nLargeGroupSizeRequirement);
            t += over * over * config.fTimeBoostForLargeGroups;
        }
        if (group.isBonus)
            t += config.fBonusBaseTimeBoost + config.fBonusTimeBoostIncrement * float(bonusesEarned);
        if (group.supernovas > 0) t += config.fTimeBoostPerSupernova * float(group.supernovas);
        if (group.comboMod > 0.0f) t += config.fTimeBonusPerCombo * group.comboMod;
        if (group.supernovasPresent) t *= config.fTimeModWhileSupernovasExist;
        if (group.squaresOnTile0 == 0) t *= config.fTimeModForExplosionsEntirelyOnLitTiles;
        SetTimeLeft(timeLeft + t);
    }

    if (group.isBonus)
    {
        if (bonusesEarned < INT32_MAX) bonusesEarned += 1;
        bonusMultiplier += config.fBonusMultiplier;
    }
}

void GameBoardLogic::PickNewBonus()
{
    const LevelSpecificConfig& config = LevelConfig();
    if (config.nStartingBonus < 1)
    {
        bonusColour = PieceNone;
        bonusSize = 0;
        return;
    }
    // Without a positive step between size increases the size stays at the starting bonus.
    int64_t size = config.nStartingBonus;
    if (config.nBonusesBetweenSizeIncreases > 0) size += bonusesEarned / config.nBonusesBetweenSizeIncreases;
    if (size < 5) size = 4;
    if (size > config.nLargestBonus) size = config.nLargestBonus;
    bonusSize = ClampToInt(size);
    bonusColour = PickRandomPieceExcluding(bonusColour, PieceBlank, 1);
}

int GameBoardLogic::PickRandomPieceExcluding(int a, int b, int mode)
{
    const LevelSpecificConfig& config = LevelConfig();
    const int kinds = mode == 1 ? 10 : mode == 2 ? 14 : LevelSpecificConfig::kPieceKinds;
    auto allowed = [&](int piece) { return piece != a && piece != b && piece != PieceNone; };
    auto firstAllowedWeightedKind = [&]()
    {
        for (int i = 0; i < kinds; ++i)
            if (config.PieceRatio[i] > 0 && allowed(PieceFromRatioIndex(i))) return PieceFromRatioIndex(i);
        return PieceNone;
    };

    if (firstAllowedWeightedKind() != PieceNone)
        for (int attempt = 0; attempt < kMaxPickAttempts; ++attempt)
        {
            int piece = rules.PickRandomPiece(mode, level);
            if (allowed(piece)) return piece;
        }

    // The weights leave nothing to draw (or the draws kept missing): a fixed choice.
    int piece = firstAllowedWeightedKind();
    if (piece != PieceNone) return piece;
    for (piece = PieceColour1; piece <= PieceColour10; ++piece)
        if (allowed(piece)) return piece;
    return PieceColour1;
}

bool GameBoardLogic::ApplyExplosionsToTiles(const int mask[kSquares])
{
    const int tiles = LevelConfig().TileConfigFlags;
    const int w = Width();
    const int h = Height();
    auto exploded = [&](int x, int y) { return mask[x + kGridSize * y] > 0; };

    if (tiles & (tcfExplodedColor1TilesAreExtraValue | tcfExplodedColor2TilesAreExtraValue))
    {
        int extra = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                if (!exploded(x, y)) continue;
                int t = Square(x, y).tile;
                if ((tiles & tcfExplodedColor1TilesAreExtraValue) && t == 1) extra += 1;
                if ((tiles & tcfExplodedColor2TilesAreExtraValue) && t == 2) extra += 1;
            }
        if (extra > 0) SetTimeLeft(timeLeft + LevelConfig().fTimeBoostPerExtraValueTile * float(extra));
    }

    bool lit = false;
    const int changeFlags = tcfExplodedColor0TilesBecomeColor1 | tcfExplodedColor1TilesBecomeColor0 |
                            tcfExplodedColor2TilesBecomeColor0 | tcfExplodedColor1TilesBecomeColor2;
    if (tiles & changeFlags)
    {
        bool supernovaHold = false;
        int ones = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                if (Square(x, y).tile == 1) ones += 1;
                if ((tiles & (tcfSupernovaPreventsColor0toColor1 | tcfSupernovaPreventsColor1toColor2)) &&
                    !exploded(x, y) && (Square(x, y).piece & PieceSupernovaFlag))
                    supernovaHold = true;
            }
        int gained = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                if (!exploded(x, y)) continue;
                int32_t& t = Square(x, y).tile;
                if ((tiles & tcfExplodedColor0TilesBecomeColor1) && t == 0)
                {
                    if (!(supernovaHold && (tiles & tcfSupernovaPreventsColor0toColor1)))
                    {
                        t = 1;
                        gained += 1;
                    }
                }
                else if ((tiles & tcfExplodedColor1TilesBecomeColor0) && t == 1)
                {
                    t = 0;
                    gained -= 1;
                }
                else if ((tiles & tcfExplodedColor2TilesBecomeColor0) && t == 2)
                {
                    t = 0;
                }
                else if ((tiles & tcfExplodedColor1TilesBecomeColor2) && t == 1)
                {
                    if (!(supernovaHold && (tiles & tcfSupernovaPreventsColor1toColor2))) t = 2;
                }
            }
        if (gained != 0 && (tiles & tcfBeatLevelIfTilesAreAllColor1))
        {
            if (Logger* log = Logger::Instance()) log->ReportValue(std::max(0, ones + gained));
            lit = gained > 0;
        }
    }

    if (tiles & tcfBeatLevelIfAllColor2TilesAreSimultaneouslyExploded)
    {
        bool tileTwoLeft = false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!exploded(x, y) && Square(x, y).tile == 2) tileTwoLeft = true;
        if (!tileTwoLeft) levelComplete = true;
    }
    return lit;
}

} // namespace Kavo
