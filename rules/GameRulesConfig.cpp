#include "rules/GameRulesConfig.h"

#include "base/Serializer.h"
#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "rules/Pieces.h"

#include <algorithm>
#include <ctime>

namespace Kavo
{

int PieceFromRatioIndex(int index)
{
    if (index >= 0 && index <= 9) return index + 1;
    switch (index)
    {
    case 10:
        return PieceBlackHole;
    case 11:
        return PieceWild;
    case 12:
        return PieceWall;
    case 13:
        return PieceGap;
    default:
        break;
    }
    if (index >= 14 && index <= 23) return PieceSupernovaFlag | (index - 13);
    return PieceNone;
}

GameRulesConfig::GameRulesConfig() : mRandom(uint32_t(std::time(nullptr)))
{
    SetDefaults();
}

void GameRulesConfig::SetDefaults()
{
    GameMode = 0;
    sChallengeModeID.clear();
    nWidth = 7;
    nHeight = 8;
    SpecialButtonFlags = 0;
    nWinningScoreRequirementAfterGame = 0;
    nWinningLevelRequirement = 0;
    nWinningGroupSizeRequirement = 0;
    nWinningLongChainLength = 0;
    nWinningSimultaneousGroupClearRequirement = 0;
    nLosingLevelRequirement = 0;
    nLosingMinGroupSizeRequirement = 0;
    fMinTimeBetweenBlackHoleGrowChecks = 1.0f;
    nStartingScore = 0;
    fScoreLossPerSecond = 0.0f;
    nScrambleButtonUsesPerLevel = 0;
    nScrambleButtonPointCostPerUse = 0;
    fScrambleButtonEnergyCostPerUse = 0.0f;
    DestroyMembers();
    nNextMedalTarget = 0;
    RandomSeed = 0;
    for (int n = 1; n <= kLevelRecords; ++n)
    {
        levels[n - 1].SetDefaults();
        levels[n - 1].nBackgroundID = n;
    }
}

void GameRulesConfig::DestroyMembers()
{
    sChallengeModeID.clear();
    sNameOfChallenge.clear();
    sWinMessage.clear();
    sLoseMessage.clear();
    sStartupMessage.clear();
    for (int n = 1; n <= 10; ++n)
        DisplayLine(n)->clear();
    sNextMedalName.clear();
    for (LevelSpecificConfig& level : levels)
    {
        level.sStartLevelStoryText.clear();
        level.sEndLevelStoryText.clear();
        level.sLevelLayout.clear();
        level.sTileLayout.clear();
    }
}

std::string* GameRulesConfig::DisplayLine(int n)
{
    std::string* lines[10] = {&sDisplayLine1, &sDisplayLine2, &sDisplayLine3, &sDisplayLine4,
                              &sDisplayLine5, &sDisplayLine6, &sDisplayLine7, &sDisplayLine8,
                              &sDisplayLine9, &sDisplayLine10};
    return n >= 1 && n <= 10 ? lines[n - 1] : nullptr;
}

LevelSpecificConfig& GameRulesConfig::GetLevelConfig(int level)
{
    return levels[std::clamp(level, 1, kLevelRecords) - 1];
}

const LevelSpecificConfig& GameRulesConfig::GetLevelConfig(int level) const
{
    return levels[std::clamp(level, 1, kLevelRecords) - 1];
}

float GameRulesConfig::GetMaxTimeLeft(int level) const
{
    return GetLevelConfig(level >= 40 ? kLevelRecords : level).fMaxTimeLeft;
}

float GameRulesConfig::ClampToMaxTimeLeft(float time, int level) const
{
    return std::min(time, GetMaxTimeLeft(level));
}

int GameRulesConfig::PickRandomPiece(int kindSet, int level)
{
    return GetLevelConfig(level).PickWeightedPiece(kindSet, mRandom);
}

int GameRulesConfig::CountWeightedPieceKinds(int level) const
{
    return GetLevelConfig(level).CountWeightedKinds();
}

std::string GameRulesConfig::GetModeKeyName() const
{
    return (GameMode == 5 || GameMode == 6) ? sChallengeModeID : std::string("Classic");
}

bool GameRulesConfig::Serialize(Serializer& serializer)
{
    if (!serializer.IsReading())
    {
        // Restarting the generator at the end of its block keeps the words and drops the
        // position, exactly as a reader will find it.
        std::string state = mRandom.SerializeState();
        mRandom.Seed(1);
        mRandom.SetStateFromString(state);
        return SerializeFields(serializer);
    }
    GameRulesConfig loaded(*this);
    if (!loaded.SerializeFields(serializer)) return false;
    *this = loaded;
    return true;
}

bool GameRulesConfig::SerializeFields(Serializer& s)
{
    s.SerializeInt(GameMode);
    s.SerializeString(sChallengeModeID);
    s.SerializeInt(nWidth);
    s.SerializeInt(nHeight);
    s.SerializeInt(SpecialButtonFlags);
    for (int n = 1; n < kLevelRecords; ++n)
        levels[n - 1].Serialize(s);
    s.SerializeInt(nWinningScoreRequirementAfterGame);
    s.SerializeInt(nWinningLevelRequirement);
    s.SerializeInt(nWinningGroupSizeRequirement);
    s.SerializeInt(nWinningLongChainLength);
    s.SerializeInt(nWinningSimultaneousGroupClearRequirement);
    s.SerializeInt(nLosingLevelRequirement);
    s.SerializeInt(nLosingMinGroupSizeRequirement);
    s.SerializeFloat(fMinTimeBetweenBlackHoleGrowChecks);
    s.SerializeInt(nStartingScore);
    s.SerializeFloat(fScoreLossPerSecond);
    s.SerializeInt(nScrambleButtonUsesPerLevel);
    s.SerializeInt(nScrambleButtonPointCostPerUse);
    s.SerializeFloat(fScrambleButtonEnergyCostPerUse);
    s.SerializeString(sNameOfChallenge);
    s.SerializeString(sWinMessage);
    s.SerializeString(sLoseMessage);
    s.SerializeString(sStartupMessage);
    for (int n = 1; n <= 10; ++n)
        s.SerializeString(*DisplayLine(n));
    s.SerializeString(sNextMedalName);
    s.SerializeInt(nNextMedalTarget);
    s.SerializeInt(RandomSeed);

    std::string state = s.IsReading() ? std::string() : mRandom.SerializeState();
    s.SerializeString(state);
    if (s.Failed()) return false;
    if (s.IsReading())
    {
        if (!HasValidBoardSize() || state.size() != MersenneTwister::kStateBytes) return false;
        mRandom.Seed(1); // the block position: the next number starts a fresh block
        mRandom.SetStateFromString(state);
    }
    return true;
}

std::string GameModeName(const GameRulesConfig& rules)
{
    switch (rules.GameMode)
    {
    case 0:
        return "Untimed";
    case 1:
        return "Timed";
    case 2:
        return "Mastermind";
    case 3:
        return "Speedblitz";
    case 4:
        return "Crazy";
    case 5:
        return "Challenge";
    case 6:
        return "Weekly Challenge";
    default:
        return StrFormat("unknown (%d)", rules.GameMode);
    }
}

std::string IntToStringPadded(int value, int width)
{
    return ToPaddedText(value, width);
}

} // namespace Kavo
