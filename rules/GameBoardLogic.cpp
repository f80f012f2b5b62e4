#include "rules/GameBoardLogic.h"

#include "base/CheckedConversions.h"
#include "base/Logger.h"
#include "base/Serializer.h"
#include "base/StringUtils.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

GameBoardLogic::GameBoardLogic()
{
    lastGrowCheckTime = 0;
    lastGrowX = 0;
    lastGrowY = 0;
    ResetForLevel(1, false);
}

GameBoardLogic::~GameBoardLogic()
{
    rules.DestroyMembers();
}

void GameBoardLogic::ResetForLevel(int newLevel, bool generate)
{
    score = rules.nStartingScore;
    level = std::max(newLevel, 1);
    totalPieces = 0;
    smallestGroup = 0;
    largestGroup = 0;
    longestChain = 0;
    ResetLevelCounters();
    bonusColour = PieceNone;
    timeLeft = LevelConfig().fInitialTimeLeft;
    timeLossRate = LevelConfig().fTimeLostPerSecond;
    if (rules.RandomSeed != 0) rules.Random().Seed(uint32_t(rules.RandomSeed));
    if (generate) GenerateBoard(true, false);
}

void GameBoardLogic::ResetLevelCounters()
{
    piecesCleared = 0;
    levelComplete = false;
    scrambleUses = 0;
    bonusSize = 0;
    bonusesEarned = 0;
    mostGroupsInOneMove = 0;
    combo = 0;
    growHintUsed = false;
    bonusMultiplier = 0.0f;
}

void GameBoardLogic::OnBlackHoleMatured(int, int) {}

void GameBoardLogic::OnPieceMoved(int, int, int, int) {}

// ---- Rules and area ----

bool GameBoardLogic::SetRules(const GameRulesConfig& newRules)
{
    if (!newRules.HasValidBoardSize()) return false;
    rules = newRules;
    return true;
}

int GameBoardLogic::Width() const
{
    return rules.HasValidBoardSize() ? rules.nWidth : 0;
}

int GameBoardLogic::Height() const
{
    return rules.HasValidBoardSize() ? rules.nHeight : 0;
}

int GameBoardLogic::CountColourKinds() const
{
    return rules.CountWeightedPieceKinds(level);
}

uint32_t GameBoardLogic::RandomBelow(uint32_t n)
{
    return rules.Random().Next() % n;
}

void GameBoardLogic::LogEvent(const char* name, int64_t value) const
{
    if (Logger* log = Logger::Instance()) log->LogGameEvent(name, StrFormat("%lld", (long long)value));
}

// ---- Saving and loading ----

bool GameBoardLogic::Serialize(Serializer& serializer)
{
    if (!serializer.IsReading()) return SerializeFields(serializer);
    GameBoardLogic loaded(*this);
    if (!loaded.SerializeFields(serializer) || !loaded.HasValidState()) return false;
    GameBoardLogic::operator=(loaded);
    return true;
}

bool GameBoardLogic::SerializeFields(Serializer& s)
{
    if (!rules.Serialize(s)) return false;
    s.SerializeInt(level);
    s.SerializeFloat(timeLeft);
    s.SerializeInt(score);
    s.SerializeInt(piecesCleared);
    s.SerializeInt(mostGroupsInOneMove);
    s.SerializeInt(totalPieces);
    s.SerializeInt(smallestGroup);
    s.SerializeInt(largestGroup);
    s.SerializeInt(longestChain);
    s.SerializeBool(levelComplete);
    s.SerializeInt(scrambleUses);
    s.SerializeFloat(bonusMultiplier);
    s.SerializeInt(lastGrowCheckTime);
    s.SerializeInt(lastGrowX);
    s.SerializeInt(lastGrowY);
    s.SerializeInt(bonusColour);
    s.SerializeInt(bonusSize);
    s.SerializeInt(bonusesEarned);
    s.SerializeInt(combo);
    s.SerializeBool(growHintUsed);
    s.SerializeFloat(timeLossRate);
    // The size comes from the rules just read, and is known to lie in 1..20.
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
            Square(x, y).Serialize(s);
    return !s.Failed();
}

bool GameBoardLogic::HasValidState() const
{
    if (level < 1 || score < 0) return false;
    for (float value : {timeLeft, bonusMultiplier, timeLossRate})
        if (!std::isfinite(value)) return false;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            const BoardSquareInfo& square = Square(x, y);
            int piece = PieceColour(square.piece);
            int shown = PieceColour(square.explodedPiece);
            if (piece < PieceBlank || piece > PieceWild || shown < PieceBlank || shown > PieceNone)
                return false;
            if (!std::isfinite(square.matureTimer)) return false;
        }
    return true;
}

// ---- Time, score and level ends ----

void GameBoardLogic::SetScore(int value)
{
    score = std::max(value, 0);
    if (Logger* log = Logger::Instance()) log->ReportScore(score);
}

void GameBoardLogic::SetTimeLeft(float value)
{
    timeLeft = (std::isnan(value) || value < 0.0f) ? 0.0f : value;
    timeLeft = rules.ClampToMaxTimeLeft(timeLeft, level);
    if (std::isnan(timeLeft) || timeLeft < 0.0f) timeLeft = 0.0f; // a limit below 0 or not a number
    if (Logger* log = Logger::Instance())
    {
        float limit = LevelConfig().fMaxTimeLeft;
        log->ReportTimeFraction(limit > 0.0f ? timeLeft / limit : 0.0f);
    }
}

void GameBoardLogic::TimeStep()
{
    const LevelSpecificConfig& config = LevelConfig();
    if ((config.GeneralConfigFlags & gcfElapseRealTime) && timeLeft > 0.0f)
        SetTimeLeft(timeLeft - timeLossRate * 0.01f);
    if (rules.fScoreLossPerSecond > 0.0f)
        SetScore(ClampToInt(int64_t(score) - TruncateToInt(rules.fScoreLossPerSecond / 100.0f)));
    if (config.fTimeLostAcceleration > 0.00000001f) timeLossRate += config.fTimeLostAcceleration / 100.0f;
}

int GameBoardLogic::LevelCompletionBonus() const
{
    const LevelSpecificConfig& config = LevelConfig();
    return ClampToInt(int64_t(config.nExtraPointsForCompletingLevel) +
                      TruncateToInt(double(config.fScorePerSecondRemainingAfterLevel * timeLeft)));
}

void GameBoardLogic::AdvanceToNextLevel()
{
    SetScore(ClampToInt(int64_t(score) + LevelCompletionBonus()));
    if (level < INT32_MAX) level += 1;
    GenerateBoard(false, false);
}

bool GameBoardLogic::IsLevelDone() const
{
    return piecesCleared >= LevelConfig().nPiecesInLevel || IsLevelComplete();
}

float GameBoardLogic::CompletionFraction() const
{
    int needed = LevelConfig().nPiecesInLevel;
    if (needed <= 0) return 1.0f;
    return std::clamp(float(piecesCleared) / float(needed), 0.0f, 1.0f);
}

bool GameBoardLogic::IsLevelComplete() const
{
    const LevelSpecificConfig& config = LevelConfig();
    const int flags = config.GeneralConfigFlags;
    const int tiles = config.TileConfigFlags;
    auto everySquare = [this](auto&& test)
    {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (!test(Square(x, y))) return false;
        return true;
    };
    auto isWallOrGap = [](const BoardSquareInfo& square)
    {
        int piece = PieceColour(square.piece);
        return piece == PieceWall || piece == PieceGap;
    };

    if ((flags & gcfBeatLevelIfNoSupernovasPresent) &&
        everySquare([](const BoardSquareInfo& square) { return !(square.piece & PieceSupernovaFlag); }))
        return true;
    if ((flags & gcfBeatLevelIfNoBlackHolesPresent) &&
        everySquare([](const BoardSquareInfo& square)
                    { return PieceColour(square.piece) != PieceBlackHole; }))
        return true;
    if ((flags & gcfBeatLevelIfDoubleMoveCompleted) && mostGroupsInOneMove > 1) return true;
    if ((flags & gcfBeatLevelIfGroupSizeRequirementMet) && rules.nWinningGroupSizeRequirement >= 1 &&
        largestGroup >= rules.nWinningGroupSizeRequirement)
        return true;
    if ((tiles & tcfBeatLevelIfTilesAreAllColor2) &&
        everySquare([&](const BoardSquareInfo& square) { return square.tile == 2 || isWallOrGap(square); }))
        return true;
    if ((tiles & tcfBeatLevelIfTilesAreAllColor1) &&
        everySquare([&](const BoardSquareInfo& square) { return square.tile == 1 || isWallOrGap(square); }))
        return true;
    return levelComplete;
}

bool GameBoardLogic::IsSpecialWin() const
{
    const int flags = LevelConfig().GeneralConfigFlags;
    int reached = level + (IsLevelDone() ? 1 : 0);
    if (rules.nWinningLevelRequirement > 0 && reached >= rules.nWinningLevelRequirement) return true;
    if ((flags & gcfGameOverIfScoreIsNonZero) && score != 0 &&
        score >= rules.nWinningScoreRequirementAfterGame)
        return true;
    if (rules.nWinningGroupSizeRequirement >= 1 && largestGroup >= rules.nWinningGroupSizeRequirement &&
        !(flags & gcfBeatLevelIfGroupSizeRequirementMet))
        return true;
    if (rules.nWinningLongChainLength > 0 && longestChain >= rules.nWinningLongChainLength) return true;
    if (rules.nWinningSimultaneousGroupClearRequirement >= 1 &&
        mostGroupsInOneMove >= rules.nWinningSimultaneousGroupClearRequirement)
        return true;
    return false;
}

bool GameBoardLogic::IsSpecialLoss() const
{
    const int flags = LevelConfig().GeneralConfigFlags;
    bool done = IsLevelDone();
    bool supernova = false;
    bool blackHole = false;
    bool onlyHolesAndEmpty = true;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            int raw = Square(x, y).piece;
            int piece = PieceColour(raw);
            supernova |= (raw & PieceSupernovaFlag) != 0;
            blackHole |= piece == PieceBlackHole;
            if (piece != PieceBlackHole && piece != PieceWall && piece != PieceGap && piece != PieceBlank)
                onlyHolesAndEmpty = false;
        }

    if (done && (flags & gcfLoseGameIfSupernovasPresentAtEndOfLevel) && supernova) return true;
    if (done && (flags & gcfLoseGameIfBlackHolesPresentAtEndOfLevel) && blackHole) return true;
    if ((flags & gcfLoseGameIfBlackHolesCompletelyFillBoard) && onlyHolesAndEmpty) return true;
    if ((flags & gcfLoseGameIfScoreIsZero) && score == 0) return true;
    if ((flags & gcfGameOverIfScoreIsNonZero) && score != 0 &&
        score < rules.nWinningScoreRequirementAfterGame)
        return true;
    if (rules.nLosingMinGroupSizeRequirement > 0 && smallestGroup >= 1 &&
        smallestGroup <= rules.nLosingMinGroupSizeRequirement)
        return true;
    int reached = level + (done ? 1 : 0);
    if (rules.nLosingLevelRequirement >= 1 && reached >= rules.nLosingLevelRequirement) return true;
    return false;
}

bool GameBoardLogic::IsLevelOver(bool ignoreSpecial) const
{
    if (!ignoreSpecial && (IsSpecialWin() || IsSpecialLoss())) return false;
    return IsLevelDone();
}

bool GameBoardLogic::CanScramble() const
{
    if (!(rules.SpecialButtonFlags & (sbfShowScrambleButton | sbfShowScrambleButtonWhenStuck))) return false;
    return rules.nScrambleButtonUsesPerLevel == 0 || scrambleUses < rules.nScrambleButtonUsesPerLevel;
}

void GameBoardLogic::Scramble()
{
    GenerateBoard(false, true);
    if (scrambleUses < INT32_MAX) scrambleUses += 1;
    SetScore(ClampToInt(int64_t(score) - rules.nScrambleButtonPointCostPerUse));
    if (!(rules.SpecialButtonFlags & sbfScrambleButtonResetsEnergy))
    {
        if (rules.fScrambleButtonEnergyCostPerUse > 0.0000001f)
        {
            float cost = std::max(timeLeft * rules.fScrambleButtonEnergyCostPerUse, 1.0f);
            SetTimeLeft(timeLeft - cost);
        }
    }
    else
    {
        SetTimeLeft(LevelConfig().fInitialTimeLeft);
    }
}

} // namespace Kavo
