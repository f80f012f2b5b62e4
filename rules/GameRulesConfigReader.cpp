// Reading a rules file into a GameRulesConfig: section elements choose levels, every other
// element is a key named after a field of the rules, with its value in attribute "value".
#include "base/StringTable.h"
#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "base/XMLParser.h"
#include "platform/files/AsciiCase.h"
#include "rules/GameRulesConfig.h"
#include "rules/RulesNames.h"

#include <algorithm>
#include <functional>

namespace Kavo
{

namespace
{

using Attributes = std::map<std::string, std::string>;

std::string Attribute(const Attributes& attributes, const char* name)
{
    auto found = attributes.find(name);
    return found == attributes.end() ? std::string() : found->second;
}

int FlagList(RulesNameTable table, const std::string& value)
{
    int flags = 0;
    for (const std::string& word : SplitIntoWords(value, ' '))
    {
        int bits = ParseFlagWord(table, word, -1);
        if (bits != -1) flags |= bits;
    }
    return flags;
}

std::string TextByNumber(const std::string& value)
{
    return StringTable::GetString(StringToIntBase10(value));
}

// What one key does: per-level keys are applied to each selected level's record, rules-wide
// keys once to the rules record.
struct Key
{
    bool perLevel;
    std::function<void(LevelSpecificConfig&, const std::string&, const Attributes&)> level;
    std::function<void(GameRulesConfig&, const std::string&)> rules;
};

using KeyTable = std::map<std::string, Key, std::less<>>;

Key LevelKey(std::function<void(LevelSpecificConfig&, const std::string&, const Attributes&)> apply)
{
    return Key{true, std::move(apply), nullptr};
}

Key RulesKey(std::function<void(GameRulesConfig&, const std::string&)> apply)
{
    return Key{false, nullptr, std::move(apply)};
}

Key LevelInt(int LevelSpecificConfig::*field)
{
    return LevelKey([field](LevelSpecificConfig& l, const std::string& v, const Attributes&)
                    { l.*field = StringToIntBase10(v); });
}

Key LevelFloat(float LevelSpecificConfig::*field)
{
    return LevelKey([field](LevelSpecificConfig& l, const std::string& v, const Attributes&)
                    { l.*field = StringToFloatText(v); });
}

Key LevelText(std::string LevelSpecificConfig::*field, bool byNumber)
{
    return LevelKey([field, byNumber](LevelSpecificConfig& l, const std::string& v, const Attributes&)
                    { l.*field = byNumber ? TextByNumber(v) : v; });
}

Key LevelFlags(int LevelSpecificConfig::*field, RulesNameTable table)
{
    return LevelKey([field, table](LevelSpecificConfig& l, const std::string& v, const Attributes&)
                    { l.*field = FlagList(table, v); });
}

Key LevelMoveType(int LevelSpecificConfig::*field)
{
    return LevelKey([field](LevelSpecificConfig& l, const std::string& v, const Attributes&)
                    { l.*field = ParseFlagWord(RulesNameTable::MoveTypes, v, -1); });
}

Key LevelChain(int (LevelSpecificConfig::*field)[LevelSpecificConfig::kChainEntries])
{
    return LevelKey(
        [field](LevelSpecificConfig& l, const std::string& v, const Attributes& a)
        {
            int index = StringToIntBase10(Attribute(a, "idx"));
            if (index >= 1 && index <= LevelSpecificConfig::kChainEntries)
                (l.*field)[index - 1] = StringToIntBase10(v);
        });
}

Key RulesInt(int GameRulesConfig::*field)
{
    return RulesKey([field](GameRulesConfig& r, const std::string& v) { r.*field = StringToIntBase10(v); });
}

// Board sizes are kept inside the 20 x 20 grid the rules engine holds.
Key RulesBoardSize(int GameRulesConfig::*field)
{
    return RulesKey([field](GameRulesConfig& r, const std::string& v)
                    { r.*field = std::clamp(StringToIntBase10(v), 1, GameRulesConfig::kMaxBoardSize); });
}

Key RulesFloat(float GameRulesConfig::*field)
{
    return RulesKey([field](GameRulesConfig& r, const std::string& v) { r.*field = StringToFloatText(v); });
}

Key RulesText(std::string GameRulesConfig::*field, bool byNumber)
{
    return RulesKey([field, byNumber](GameRulesConfig& r, const std::string& v)
                    { r.*field = byNumber ? TextByNumber(v) : v; });
}

const KeyTable& Keys()
{
    static const KeyTable keys = []
    {
        using L = LevelSpecificConfig;
        using R = GameRulesConfig;
        KeyTable k;
        // Per-level keys.
        k["PieceRatio"] = LevelKey(
            [](L& l, const std::string& v, const Attributes& a)
            {
                int kind = ParseFlagWord(RulesNameTable::PieceRatioKinds, Attribute(a, "type"), -1);
                if (kind >= 0 && kind < L::kPieceKinds) l.PieceRatio[kind] = StringToIntBase10(v);
            });
        k["nBackgroundID"] = LevelInt(&L::nBackgroundID);
        k["nSongID"] = LevelInt(&L::nSongID);
        k["nPiecesInLevel"] = LevelInt(&L::nPiecesInLevel);
        k["nExtraPointsForCompletingLevel"] = LevelInt(&L::nExtraPointsForCompletingLevel);
        k["nStartingBonus"] = LevelInt(&L::nStartingBonus);
        k["nLargestBonus"] = LevelInt(&L::nLargestBonus);
        k["nBonusesBetweenSizeIncreases"] = LevelInt(&L::nBonusesBetweenSizeIncreases);
        k["nBonusBaseImmediateBoost"] = LevelInt(&L::nBonusBaseImmediateBoost);
        k["nBonusImmediateBoostIncrement"] = LevelInt(&L::nBonusImmediateBoostIncrement);
        k["fBonusMultiplier"] = LevelFloat(&L::fBonusMultiplier);
        k["fBonusBaseTimeBoost"] = LevelFloat(&L::fBonusBaseTimeBoost);
        k["fBonusTimeBoostIncrement"] = LevelFloat(&L::fBonusTimeBoostIncrement);
        k["nPieceBoostPerBonus"] = LevelInt(&L::nPieceBoostPerBonus);
        k["fInitialTimeLeft"] = LevelFloat(&L::fInitialTimeLeft);
        k["fRolloverTimeModifier"] = LevelFloat(&L::fRolloverTimeModifier);
        k["fMaxTimeLeft"] = LevelFloat(&L::fMaxTimeLeft);
        k["fTimeLostPerSecond"] = LevelFloat(&L::fTimeLostPerSecond);
        k["fTimeBoostPerPiece"] = LevelFloat(&L::fTimeBoostPerPiece);
        k["fTimeBoostForLargeGroups"] = LevelFloat(&L::fTimeBoostForLargeGroups);
        k["nLargeGroupSizeRequirement"] = LevelInt(&L::nLargeGroupSizeRequirement);
        k["fWarningBellStartTimePercent"] = LevelFloat(&L::fWarningBellStartTimePercent);
        k["fTimeBoostPerSupernova"] = LevelFloat(&L::fTimeBoostPerSupernova);
        k["fTimeModWhileSupernovasExist"] = LevelFloat(&L::fTimeModWhileSupernovasExist);
        k["fScorePerSecondRemainingAfterLevel"] = LevelFloat(&L::fScorePerSecondRemainingAfterLevel);
        k["fTimeModForExplosionsEntirelyOnLitTiles"] =
            LevelFloat(&L::fTimeModForExplosionsEntirelyOnLitTiles);
        k["fPieceBoostBonusForLargeGroups"] = LevelFloat(&L::fPieceBoostBonusForLargeGroups);
        k["fScoreModifier"] = LevelFloat(&L::fScoreModifier);
        k["fSupernovaPieceWeight"] = LevelFloat(&L::fSupernovaPieceWeight);
        k["nSupernovaPieceImmediateBoost"] = LevelInt(&L::nSupernovaPieceImmediateBoost);
        k["LongChainLength"] = LevelChain(&L::LongChainLength);
        k["LongChainImmediateBoost"] = LevelChain(&L::LongChainImmediateBoost);
        k["fChanceForBlackHolesToGrow"] = LevelFloat(&L::fChanceForBlackHolesToGrow);
        k["fChanceForBlackHolesToGrowModPerBlackHole"] =
            LevelFloat(&L::fChanceForBlackHolesToGrowModPerBlackHole);
        k["fTimeBeforeBlackHolesMature"] = LevelFloat(&L::fTimeBeforeBlackHolesMature);
        k["fTimePenaltyPerMainMoveType"] = LevelFloat(&L::fTimePenaltyPerMainMoveType);
        k["fTimePenaltyPerAlternateMoveType"] = LevelFloat(&L::fTimePenaltyPerAlternateMoveType);
        k["fScorePenaltyPerMainMoveType"] = LevelFloat(&L::fScorePenaltyPerMainMoveType);
        k["fScorePenaltyPerAlternateMoveType"] = LevelFloat(&L::fScorePenaltyPerAlternateMoveType);
        k["nPiecePenaltyPerMainMoveType"] = LevelInt(&L::nPiecePenaltyPerMainMoveType);
        k["nPieceCountNeededToAvoidBlackHoleWave"] = LevelInt(&L::nPieceCountNeededToAvoidBlackHoleWave);
        k["sStartLevelStoryText"] = LevelText(&L::sStartLevelStoryText, false);
        k["sStartLevelStoryTextID"] = LevelText(&L::sStartLevelStoryText, true);
        k["sEndLevelStoryText"] = LevelText(&L::sEndLevelStoryText, false);
        k["sEndLevelStoryTextID"] = LevelText(&L::sEndLevelStoryText, true);
        k["sLevelLayout"] = LevelText(&L::sLevelLayout, false);
        k["sTileLayout"] = LevelText(&L::sTileLayout, false);
        k["GeneralConfigFlags"] = LevelFlags(&L::GeneralConfigFlags, RulesNameTable::GeneralConfigFlags);
        k["TileConfigFlags"] = LevelFlags(&L::TileConfigFlags, RulesNameTable::TileConfigFlags);
        k["MainMoveType"] = LevelMoveType(&L::MainMoveType);
        k["AlternateMoveType"] = LevelMoveType(&L::AlternateMoveType);
        k["fAnimationMod"] = LevelFloat(&L::fAnimationMod);
        k["HintsToShow"] = LevelFlags(&L::HintsToShow, RulesNameTable::Hints);
        k["fScoreModPerCombo"] = LevelFloat(&L::fScoreModPerCombo);
        k["fTimeBonusPerCombo"] = LevelFloat(&L::fTimeBonusPerCombo);
        k["fMaxScoreModFromCombos"] = LevelFloat(&L::fMaxScoreModFromCombos);
        k["nPieceBoostPerCombo"] = LevelInt(&L::nPieceBoostPerCombo);
        k["fTimeBoostPerExtraValueTile"] = LevelFloat(&L::fTimeBoostPerExtraValueTile);
        k["fTimeLostAcceleration"] = LevelFloat(&L::fTimeLostAcceleration);

        // Rules-wide keys.
        k["GameMode"] = RulesKey(
            [](R& r, const std::string& v)
            {
                static const std::pair<const char*, int> kModes[] = {
                    {"untimed", 0},      {"timed", 1},     {"untimedhard", 2},
                    {"untimed_hard", 2}, {"timedhard", 3}, {"timed_hard", 3},
                    {"crazy", 4},        {"challenge", 5}, {"internet", 6},
                };
                for (const auto& [name, mode] : kModes)
                    if (v == name) r.GameMode = mode;
            });
        k["sChallengeModeID"] = RulesText(&R::sChallengeModeID, false);
        k["nWidth"] = RulesBoardSize(&R::nWidth);
        k["nHeight"] = RulesBoardSize(&R::nHeight);
        k["SpecialButtonFlags"] =
            RulesKey([](R& r, const std::string& v)
                     { r.SpecialButtonFlags = FlagList(RulesNameTable::SpecialButtonFlags, v); });
        k["nWinningScoreRequirementAfterGame"] = RulesInt(&R::nWinningScoreRequirementAfterGame);
        k["nWinningLevelRequirement"] = RulesInt(&R::nWinningLevelRequirement);
        k["nWinningGroupSizeRequirement"] = RulesInt(&R::nWinningGroupSizeRequirement);
        k["nWinningLongChainLength"] = RulesInt(&R::nWinningLongChainLength);
        k["nWinningSimultaneousGroupClearRequirement"] =
            RulesInt(&R::nWinningSimultaneousGroupClearRequirement);
        k["nLosingLevelRequirement"] = RulesInt(&R::nLosingLevelRequirement);
        k["nLosingMinGroupSizeRequirement"] = RulesInt(&R::nLosingMinGroupSizeRequirement);
        k["fMinTimeBetweenBlackHoleGrowChecks"] = RulesFloat(&R::fMinTimeBetweenBlackHoleGrowChecks);
        k["nStartingScore"] = RulesInt(&R::nStartingScore);
        k["fScoreLossPerSecond"] = RulesFloat(&R::fScoreLossPerSecond);
        k["nScrambleButtonUsesPerLevel"] = RulesInt(&R::nScrambleButtonUsesPerLevel);
        k["nScrambleButtonPointCostPerUse"] = RulesInt(&R::nScrambleButtonPointCostPerUse);
        k["fScrambleButtonEnergyCostPerUse"] = RulesFloat(&R::fScrambleButtonEnergyCostPerUse);
        k["sNameOfChallenge"] = RulesText(&R::sNameOfChallenge, false);
        k["sWinMessage"] = RulesText(&R::sWinMessage, false);
        k["sWinMessageID"] = RulesText(&R::sWinMessage, true);
        k["sLoseMessage"] = RulesText(&R::sLoseMessage, false);
        k["sLoseMessageID"] = RulesText(&R::sLoseMessage, true);
        k["sStartupMessage"] = RulesText(&R::sStartupMessage, false);
        k["sStartupMessageID"] = RulesText(&R::sStartupMessage, true);
        for (int n = 1; n <= 10; ++n)
            k[StrFormat("sDisplayLine%d", n)] =
                RulesKey([n](R& r, const std::string& v) { *r.DisplayLine(n) = v; });
        k["RandomSeed"] = RulesKey(
            [](R& r, const std::string& v)
            {
                r.RandomSeed = StringToIntBase10(v);
                r.Random().Seed(uint32_t(r.RandomSeed));
            });
        return k;
    }();
    return keys;
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    return StrCaseEqualN(text.c_str(), prefix, int(std::char_traits<char>::length(prefix)));
}

} // namespace

bool GameRulesConfig::ParseKey(const std::string& name, const Attributes& attributes, int firstLevel,
                               int lastLevel)
{
    auto found = Keys().find(name);
    if (found == Keys().end()) return false;
    const Key& key = found->second;
    const std::string value = Attribute(attributes, "value");

    const int lastRecord = kLevelRecords - 1; // record 41 keeps the built-in defaults
    if (firstLevel < 1) firstLevel = 1;
    if (lastLevel > lastRecord || lastLevel < 1) lastLevel = lastRecord;
    if (firstLevel > lastLevel) return true;

    if (!key.perLevel)
    {
        key.rules(*this, value);
        return true;
    }
    for (int level = firstLevel; level <= lastLevel; ++level)
        key.level(levels[level - 1], value, attributes);
    return true;
}

bool GameRulesConfig::LoadFromFile(XMLParser& parser)
{
    GameRulesConfig loaded(*this);
    std::string root; // the root element's name; its end tag ends the rules
    bool firstChildSeen = false;
    int firstLevel = 0, lastLevel = 0;
    bool finished = false;
    XMLElement element;
    while (!finished && parser.NextElement(element))
    {
        if (element.type == XMLElement::TYPE_END)
        {
            finished = !root.empty() && element.section == root;
            continue;
        }
        if (element.type != XMLElement::TYPE_START) continue;
        if (root.empty())
        {
            root = element.value; // the first start tag is the root's, at the top level
            continue;
        }
        if (!firstChildSeen)
        {
            // The root's first child only marks where the rules begin: it is neither a section
            // nor a key, so a level section there applies its keys to every level. Rules files
            // begin with their general section, which chooses the same levels as none.
            firstChildSeen = true;
            continue;
        }

        const std::string& name = element.value;
        if (StartsWithNoCase(name, "level_"))
        {
            // Only the lower-case prefix is followed by a number; "LEVEL_3" selects 1 to 40.
            int level = name.starts_with("level_") ? StringToIntBase10(name.substr(6)) : 0;
            firstLevel = lastLevel = level;
        }
        else if (platform::EqualIgnoringCase(name, "levelrange") ||
                 platform::EqualIgnoringCase(name, "level"))
        {
            firstLevel = StringToIntBase10(Attribute(element.attributes, "min"));
            lastLevel = StringToIntBase10(Attribute(element.attributes, "max"));
        }
        else if (platform::EqualIgnoringCase(name, "general") ||
                 platform::EqualIgnoringCase(name, "defaults"))
            firstLevel = lastLevel = 0;
        else
            loaded.ParseKey(name, element.attributes, firstLevel, lastLevel);
    }
    if (!finished)
    {
        // A file cut short is never taken for the whole rules.
        if (!parser.HasFailed()) parser.Fail("Unexpected End of File");
        return false;
    }
    *this = loaded;
    return true;
}

} // namespace Kavo
