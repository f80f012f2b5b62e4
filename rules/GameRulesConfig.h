#pragma once

#include "base/MersenneTwister.h"
#include "rules/LevelSpecificConfig.h"

#include <map>
#include <string>

namespace Kavo
{

class Serializer;
class XMLParser;

// The rules of one game mode: rules-wide values, one LevelSpecificConfig per level (1 to 41)
// and the random generator that draws every new piece, so that a saved game restores the
// exact sequence. A plain value: assignment copies every field, all level records and the
// generator's whole state. The rules file fills records 1 to 40; record 41 keeps the
// defaults and serves every level from 41 on.
class GameRulesConfig
{
public:
    static constexpr int kLevelRecords = 41;
    static constexpr int kMaxBoardSize = 20; // nWidth and nHeight must lie in 1..20

    // Builds the records, seeds the generator with the calendar time in whole seconds and
    // sets the defaults.
    GameRulesConfig();
    virtual ~GameRulesConfig() = default;
    GameRulesConfig(const GameRulesConfig&) = default;
    GameRulesConfig& operator=(const GameRulesConfig&) = default;

    // Rules-wide defaults, then every record's defaults with nBackgroundID = its level.
    // The generator is not re-seeded.
    void SetDefaults();
    // Empties every text of the record and of its level records.
    void DestroyMembers();

    // Reads or writes the rules as the saved game lays them out; record 41 is not stored.
    // Writing first moves the generator to the end of its current block of numbers, because
    // the stored state holds the 624 words but not the position within them: the game that
    // was saved and the game read back then draw the same numbers.
    // Reading is all or nothing: a damaged stream, a board size outside 1..20 or a generator
    // state of the wrong length returns false and leaves the record as it was.
    virtual bool Serialize(Serializer& serializer);

    // Record min(level, 41); a level below 1 gives record 1.
    LevelSpecificConfig& GetLevelConfig(int level);
    const LevelSpecificConfig& GetLevelConfig(int level) const;
    // fMaxTimeLeft of the level's record, or of record 41 from level 40 on.
    float GetMaxTimeLeft(int level) const;
    float ClampToMaxTimeLeft(float time, int level) const;
    // A piece drawn by the level's weights with the record's generator
    // (LevelSpecificConfig::PickWeightedPiece).
    int PickRandomPiece(int kindSet, int level);
    int CountWeightedPieceKinds(int level) const;
    // sChallengeModeID for challenges (modes 5 and 6), else "Classic".
    std::string GetModeKeyName() const;
    // Display line n (1 to 10: sDisplayLine1 to sDisplayLine10); nullptr for another n.
    std::string* DisplayLine(int n);

    // Reading the rules file (rules/GameRulesConfigReader.cpp).
    // Fills the record from a rules file open in the parser. True when the file was read to
    // the end of its root element. False when the parser failed or the file ended before
    // that: the parser then holds the error text and line, and the record is left as it was.
    bool LoadFromFile(XMLParser& parser);
    // Applies one key element to the levels first to last (a first level below 1 counts as
    // 1, a last level outside 1..40 as 40; an empty range writes nothing). False for a name
    // that is not a rules key.
    bool ParseKey(const std::string& name, const std::map<std::string, std::string>& attributes,
                  int firstLevel, int lastLevel);

    static bool IsValidBoardSize(int width, int height)
    {
        return width >= 1 && width <= kMaxBoardSize && height >= 1 && height <= kMaxBoardSize;
    }
    bool HasValidBoardSize() const { return IsValidBoardSize(nWidth, nHeight); }

    MersenneTwister& Random() { return mRandom; }
    const MersenneTwister& Random() const { return mRandom; }

    int GameMode; // 0 untimed, 1 timed, 2 untimed hard, 3 timed hard, 4 crazy, 5 challenge, 6 weekly
                  // challenge
    std::string sChallengeModeID;
    int nWidth;             // board width in squares
    int nHeight;            // board height in squares
    int SpecialButtonFlags; // sbf bits
    // levels[n - 1] is the record of level n.
    LevelSpecificConfig levels[kLevelRecords];
    int nWinningScoreRequirementAfterGame;
    int nWinningLevelRequirement;
    int nWinningGroupSizeRequirement;
    int nWinningLongChainLength;
    int nWinningSimultaneousGroupClearRequirement;
    int nLosingLevelRequirement;
    int nLosingMinGroupSizeRequirement;
    float fMinTimeBetweenBlackHoleGrowChecks; // seconds
    int nStartingScore;
    float fScoreLossPerSecond;
    int nScrambleButtonUsesPerLevel;
    int nScrambleButtonPointCostPerUse;
    float fScrambleButtonEnergyCostPerUse;
    std::string sNameOfChallenge;
    std::string sWinMessage;
    std::string sLoseMessage;
    std::string sStartupMessage;
    std::string sDisplayLine1;
    std::string sDisplayLine2;
    std::string sDisplayLine3;
    std::string sDisplayLine4;
    std::string sDisplayLine5;
    std::string sDisplayLine6;
    std::string sDisplayLine7;
    std::string sDisplayLine8;
    std::string sDisplayLine9;
    std::string sDisplayLine10;
    // Set by the game when a challenge starts: the next medal's name and score target.
    std::string sNextMedalName;
    int nNextMedalTarget;
    int RandomSeed; // the last seed the rules file gave (0: none)

private:
    bool SerializeFields(Serializer& serializer);

    MersenneTwister mRandom;
};

// The mode's display name: "Untimed", "Timed", "Mastermind", "Speedblitz", "Crazy",
// "Challenge", "Weekly Challenge", or "unknown (n)".
std::string GameModeName(const GameRulesConfig& rules);
// The decimal text of value, padded on the left with spaces to width characters.
std::string IntToStringPadded(int value, int width);

} // namespace Kavo
