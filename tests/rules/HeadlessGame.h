#pragma once

#include "base/MersenneTwister.h"
#include "rules/GameBoardLogic.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

#include <cstdint>
#include <string>

// A headless player for whole games: rules with every feature switched on, and a player that
// clicks at random, lets time run and moves on from level to level as the board screen would.
namespace KavoTest
{

// The default 7 x 8 board with black holes (growing after moves and in real time),
// supernovas, wild pieces, bonuses, combos and long chains, over four levels.
inline Kavo::GameRulesConfig FullFeatureRules(int moveType, int seed)
{
    using namespace Kavo;
    GameRulesConfig rules;
    rules.RandomSeed = seed;
    rules.nWinningLevelRequirement = 4;
    rules.SpecialButtonFlags = sbfShowScrambleButtonWhenStuck;
    rules.fMinTimeBetweenBlackHoleGrowChecks = 0.5f;
    for (int n = 1; n <= GameRulesConfig::kLevelRecords; ++n)
    {
        LevelSpecificConfig& level = rules.GetLevelConfig(n);
        for (int i = prColor1; i <= prColor4; ++i)
            level.PieceRatio[i] = 20;
        level.PieceRatio[prBlackHole] = 2;
        level.PieceRatio[prWild] = 2;
        level.PieceRatio[prSupernovaColor1] = 1;
        level.PieceRatio[prSupernovaColor3] = 1;
        level.MainMoveType = moveType;
        level.AlternateMoveType = moveType;
        level.nPiecesInLevel = 20;
        level.nStartingBonus = 4;
        level.nLargestBonus = 8;
        level.nBonusesBetweenSizeIncreases = 2;
        level.fBonusMultiplier = 0.1f;
        level.fBonusBaseTimeBoost = 2.0f;
        level.nPieceBoostPerBonus = 2;
        level.fInitialTimeLeft = 60.0f;
        level.fMaxTimeLeft = 90.0f;
        level.fTimeBoostPerPiece = 0.5f;
        level.fTimeBoostPerSupernova = 1.0f;
        level.fTimeModWhileSupernovasExist = 0.5f;
        level.fScoreModPerCombo = 0.25f;
        level.fMaxScoreModFromCombos = 1.0f;
        level.LongChainLength[0] = 3;
        level.LongChainImmediateBoost[0] = 50;
        level.fChanceForBlackHolesToGrow = 0.1f;
        level.fChanceForBlackHolesToGrowModPerBlackHole = 0.02f;
        level.fTimeBeforeBlackHolesMature = 3.0f;
        level.fScorePenaltyPerMainMoveType = 5.0f;
        level.GeneralConfigFlags = gcfElapseRealTime | gcfEarnNoPointsWhileSupernovasPresent |
                                   gcfDontAllowSupernovaPiecesDuringBoardGen |
                                   gcfCheckForNewBlackHolesAfterMove | gcfGrowBlackHolesAfterMove |
                                   gcfCheckForNewBlackHolesInRealtime | gcfGrowBlackHolesInRealtime |
                                   gcfWildsWorthMore;
    }
    return rules;
}

// Chooses clicks: for the slides, mostly squares that can move; else anywhere.
class RandomPlayer
{
public:
    explicit RandomPlayer(uint32_t seed) : mRandom(seed) {}

    void ChooseClick(const Kavo::GameBoardLogic& engine, int moveType, int& x, int& y)
    {
        const int w = engine.Width();
        const int h = engine.Height();
        x = int(Below(uint32_t(w)));
        y = int(Below(uint32_t(h)));
        int bx, by;
        if (!engine.FindBlankSquare(bx, by) || Below(10) == 0) return;
        if (moveType == Kavo::mtSlide)
        {
            if (Below(2) == 0)
                x = bx;
            else
                y = by;
        }
        else if (moveType == Kavo::mtOneSpaceSlide)
        {
            const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
            const int* step = steps[Below(4)];
            x = bx + step[0];
            y = by + step[1];
        }
    }

    uint32_t Below(uint32_t n) { return n > 0 ? mRandom.Next() % n : 0; }

private:
    Kavo::MersenneTwister mRandom;
};

// One turn as the board screen plays it: the move, a fifth of a second of updates (time, maturing
// and real-time growth, with the clock moved on by the caller), then the level's end.
// Returns false once the game is over.
inline bool PlayTurn(Kavo::GameBoardLogic& engine, int moveType, int x, int y)
{
    using namespace Kavo;
    Kavo::MatchGroupList groups;
    int outX, outY;
    engine.ResolveMove(moveType, x, y, outX, outY, groups);
    const int flags = engine.LevelConfig().GeneralConfigFlags;
    for (int update = 0; update < 20; ++update)
    {
        engine.TimeStep();
        if (flags & gcfGrowBlackHolesInRealtime) engine.AdvanceBlackHoleTimers(0.01f);
    }
    if (flags & gcfCheckForNewBlackHolesInRealtime) engine.CheckForNewBlackHoles();

    if (engine.IsSpecialWin() || engine.IsSpecialLoss()) return false;
    if (engine.IsLevelOver(false))
    {
        engine.AdvanceToNextLevel();
        return true;
    }
    if (engine.timeLeft <= 0.0f) return false;
    if ((moveType == mtSlide || moveType == mtOneSpaceSlide) && engine.IsStuck() && engine.CanScramble())
        engine.Scramble();
    return true;
}

// What must hold after every turn; empty when all does, else what broke.
inline std::string CheckInvariants(const Kavo::GameBoardLogic& engine)
{
    using namespace Kavo;
    if (engine.score < 0) return "score below 0";
    if (engine.level < 1) return "level below 1";
    if (!(engine.timeLeft >= 0.0f) || engine.timeLeft > engine.rules.GetMaxTimeLeft(engine.level))
        return "time outside its limits";
    if (engine.piecesCleared < 0) return "pieces cleared below 0";
    for (int y = 0; y < GameBoardLogic::kGridSize; ++y)
        for (int x = 0; x < GameBoardLogic::kGridSize; ++x)
        {
            const BoardSquareInfo& square = engine.Square(x, y);
            if (!engine.InArea(x, y))
            {
                if (!(square == BoardSquareInfo())) return "a square outside the board changed";
                continue;
            }
            int piece = PieceColour(square.piece);
            if (piece < PieceBlank || piece > PieceWild) return "piece code " + std::to_string(square.piece);
            if ((square.piece & PieceSupernovaFlag) && !IsColourPiece(piece))
                return "supernova without a colour";
            if (square.tile < 0 || square.tile > 9) return "tile " + std::to_string(square.tile);
            if (square.matureTimer < 0.0f) return "negative maturing time";
        }
    return std::string();
}

} // namespace KavoTest
