#include "base/StringTable.h"
#include "base/XMLParser.h"
#include "platform/files/Files.h"
#include "rules/GameRulesConfig.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "rules/RulesNames.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using namespace Kavo;

// Loads a rules text written to a file of the test's own; returns LoadFromFile's result.
bool Load(GameRulesConfig& rules, const std::string& xml, XMLParser& parser)
{
    std::string name = "rules-" + scratch::TestName() + ".xml";
    EXPECT_TRUE(platform::WriteFileAtomically(name, xml));
    EXPECT_TRUE(parser.OpenFile(name));
    return rules.LoadFromFile(parser);
}

bool Load(GameRulesConfig& rules, const std::string& xml)
{
    XMLParser parser;
    return Load(rules, xml, parser);
}

// The levels (1 to 41) whose nPiecesInLevel is not the default.
std::vector<int> LevelsSet(const GameRulesConfig& rules)
{
    std::vector<int> set;
    for (int level = 1; level <= 41; ++level)
        if (rules.GetLevelConfig(level).nPiecesInLevel != 100) set.push_back(level);
    return set;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> levels;
    for (int level = first; level <= last; ++level)
        levels.push_back(level);
    return levels;
}

TEST(RulesFileReader, SectionsChooseLevels)
{
    struct Case
    {
        const char* what;
        std::string body;
        std::vector<int> levels;
    } cases[] = {
        {"defaults", "<defaults><nPiecesInLevel value='7'/></defaults>", Range(1, 40)},
        {"key at the top", "<nPiecesInLevel value='7'/>", Range(1, 40)},
        {"one level", "<level_5><nPiecesInLevel value='7'/></level_5>", {5}},
        {"a range past 40", "<levelrange min='30' max='50'><nPiecesInLevel value='7'/></levelrange>",
         Range(30, 40)},
        {"level 41", "<level_41><nPiecesInLevel value='7'/></level_41>", {}},
        {"no number", "<level_><nPiecesInLevel value='7'/></level_>", Range(1, 40)},
        {"upper-case prefix", "<LEVEL_3><nPiecesInLevel value='7'/></LEVEL_3>", Range(1, 40)},
        {"level without bounds", "<Level><nPiecesInLevel value='7'/></Level>", Range(1, 40)},
        {"any case", "<LevelRange min='2' max='3'><nPiecesInLevel value='7'/></LevelRange>", {2, 3}},
        {"range kept after the end tag", "<level_9></level_9><nPiecesInLevel value='7'/>", {9}},
        {"general resets", "<level_9/><GENERAL/><nPiecesInLevel value='7'/>", Range(1, 40)},
        {"key names keep their case", "<npiecesinlevel value='7'/>", {}},
        // The root's first child only marks where the rules begin (the cases above follow an
        // empty general section): a key there is not read, and a level section there is not
        // a section, so its keys reach every level.
        {"first child: a key", "!<nPiecesInLevel value='7'/>", {}},
        {"first child: a level section", "!<level_5><nPiecesInLevel value='7'/></level_5>", Range(1, 40)},
    };
    for (const Case& c : cases)
    {
        GameRulesConfig rules;
        // Quotes are double in the files; single quotes here read better in the table.
        std::string body = c.body;
        std::replace(body.begin(), body.end(), '\'', '"');
        body = body[0] == '!' ? body.substr(1) : "<general/>" + body;
        ASSERT_TRUE(Load(rules, "<rules>" + body + "</rules>")) << c.what;
        EXPECT_EQ(LevelsSet(rules), c.levels) << c.what;
    }

    // Rules-wide keys inside a section that selects nothing are not applied either.
    GameRulesConfig rules;
    ASSERT_TRUE(Load(rules, "<r><general/><level_41><nWidth value=\"5\"/></level_41><level_2><nHeight "
                            "value=\"6\"/></level_2></r>"));
    EXPECT_EQ(rules.nWidth, 7);
    EXPECT_EQ(rules.nHeight, 6);
}

TEST(RulesFileReader, ReadsEachKindOfValue)
{
    ASSERT_TRUE(platform::WriteFileAtomically("rules-strings.txt", "5=Well done\n6=Too bad\n"));
    ASSERT_TRUE(StringTable::LoadFile("rules-strings.txt"));

    GameRulesConfig rules;
    ASSERT_TRUE(Load(rules, R"(<?xml version="1.0"?>
<rules>
  <general>
    <nPiecesInLevel value="  -12abc"/>
    <fInitialTimeLeft value="2.5x"/>
    <GeneralConfigFlags value="gcfRequire3x3Square  gcfUnknown gcfUseNewScoringFormula"/>
    <TileConfigFlags value=""/>
    <HintsToShow value="hintWilds hintCheckpoint"/>
    <MainMoveType value="mtFourSquareRotateCW"/>
    <AlternateMoveType value="mtfoursquarerotatecw"/>
    <PieceRatio type="prSupernovaColor1" value="3"/>
    <PieceRatio type="prGap" value="9"/>
    <PieceRatio type="prColor2" value="4"/>
    <LongChainLength idx="1" value="6"/>
    <LongChainImmediateBoost idx="30" value="500"/>
    <LongChainLength idx="31" value="9"/>
    <LongChainLength idx="0" value="9"/>
    <sLevelLayout value="ab &amp; #"/>
    <sStartLevelStoryTextID value="6"/>
  </general>
  <GameMode value="timed_hard"/>
  <SpecialButtonFlags value="sbfShowResetButton sbfShowScrambleButton"/>
  <nWidth value="70"/>
  <nHeight value="-3"/>
  <fScoreLossPerSecond value="250"/>
  <sWinMessage value="plain"/>
  <sWinMessageID value="5"/>
  <sLoseMessageID value="6"/>
  <sLoseMessage value="plain again"/>
  <sDisplayLine10 value="line ten"/>
</rules>
)"));
    const LevelSpecificConfig& level = rules.GetLevelConfig(17);
    EXPECT_EQ(level.nPiecesInLevel, -12);
    EXPECT_FLOAT_EQ(level.fInitialTimeLeft, 2.5f);
    EXPECT_EQ(level.GeneralConfigFlags, gcfRequire3x3Square | gcfUseNewScoringFormula);
    EXPECT_EQ(level.TileConfigFlags, 0);
    EXPECT_EQ(level.HintsToShow, hintWilds | hintCheckpoint);
    EXPECT_EQ(level.MainMoveType, mtFourSquareRotateCW);
    EXPECT_EQ(level.AlternateMoveType, -1);
    EXPECT_EQ(level.PieceRatio[prSupernovaColor1], 3);
    EXPECT_EQ(level.PieceRatio[prColor2], 4);
    EXPECT_EQ(level.PieceRatio[13], 0);
    EXPECT_EQ(level.LongChainLength[0], 6);
    EXPECT_EQ(level.LongChainImmediateBoost[29], 500);
    EXPECT_EQ(level.sLevelLayout, "ab & #");
    EXPECT_EQ(level.sStartLevelStoryText, "Too bad");
    EXPECT_EQ(rules.GameMode, 3);
    EXPECT_EQ(rules.SpecialButtonFlags, sbfShowResetButton | sbfShowScrambleButton);
    EXPECT_EQ(rules.nWidth, 20); // kept inside the engine's grid
    EXPECT_EQ(rules.nHeight, 1);
    EXPECT_FLOAT_EQ(rules.fScoreLossPerSecond, 250.0f);
    EXPECT_EQ(rules.sWinMessage, "Well done");
    EXPECT_EQ(rules.sLoseMessage, "plain again");
    EXPECT_EQ(rules.sDisplayLine10, "line ten");
    // Record 41 is never written.
    EXPECT_EQ(rules.GetLevelConfig(41).nPiecesInLevel, 100);
    EXPECT_EQ(rules.GetLevelConfig(41).GeneralConfigFlags, 0x1405);
}

TEST(RulesFileReader, GameModeNamesAndTheSeed)
{
    struct Case
    {
        const char* value;
        int mode;
    } cases[] = {{"untimed", 0}, {"timed", 1},     {"untimedhard", 2}, {"untimed_hard", 2}, {"timedhard", 3},
                 {"crazy", 4},   {"challenge", 5}, {"internet", 6},    {"Timed", 4},        {"", 4}};
    for (const Case& c : cases)
    {
        GameRulesConfig rules;
        rules.GameMode = 4;
        ASSERT_TRUE(Load(rules, std::string("<r><general/><GameMode value=\"") + c.value + "\"/></r>"));
        EXPECT_EQ(rules.GameMode, c.mode) << c.value;
    }

    // The seed restarts the record's generator, so two records with it draw alike.
    GameRulesConfig a, b;
    const std::string seeded = "<r><general/><PieceRatio type=\"prColor1\" value=\"1\"/><PieceRatio "
                               "type=\"prColor2\" value=\"1\"/><RandomSeed value=\"1234\"/></r>";
    ASSERT_TRUE(Load(a, seeded));
    b.Random().Next();
    ASSERT_TRUE(Load(b, seeded));
    EXPECT_EQ(a.RandomSeed, 1234);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(a.PickRandomPiece(1, 1), b.PickRandomPiece(1, 1));
}

TEST(RulesFileReader, ABrokenOrCutFileIsAFailureAndChangesNothing)
{
    struct Case
    {
        const char* what;
        std::string xml;
        std::string error;
        int line;
    } cases[] = {
        {"cut after a whole key", "<rules>\n<nWidth value=\"5\"/>\n", "Unexpected End of File", 3},
        {"cut inside a key", "<rules>\n<nWidth value=\"5\"/>\n<nHeight val", "Unexpected End of File", 3},
        {"mismatched tags", "<rules>\n<general><nWidth value=\"5\"/>\n</rules>",
         "End 'rules' Doesn't Match Start 'general'", 3},
        {"empty file", "", "Unexpected End of File", 1},
    };
    for (const Case& c : cases)
    {
        GameRulesConfig rules;
        XMLParser parser;
        EXPECT_FALSE(Load(rules, c.xml, parser)) << c.what;
        EXPECT_TRUE(parser.HasFailed()) << c.what;
        EXPECT_EQ(parser.GetErrorText(), c.error) << c.what;
        EXPECT_EQ(parser.GetCurrentLineNum(), c.line) << c.what;
        EXPECT_EQ(rules.nWidth, 7) << c.what;
    }

    // What follows the root's end tag is not read.
    GameRulesConfig rules;
    EXPECT_TRUE(Load(rules, "<rules><general/><nWidth value=\"5\"/></rules><nHeight value=\"2\"/>"));
    EXPECT_EQ(rules.nWidth, 5);
    EXPECT_EQ(rules.nHeight, 8);
}

TEST(RulesFileReader, ParseKeyAndTheNameTables)
{
    GameRulesConfig rules;
    std::map<std::string, std::string> attributes = {{"value", "9"}};
    EXPECT_FALSE(rules.ParseKey("nwidth", attributes, 1, 40));
    EXPECT_FALSE(rules.ParseKey("levelrange", attributes, 1, 40));
    EXPECT_TRUE(rules.ParseKey("nPiecesInLevel", attributes, 5, 3)); // known, nothing selected
    EXPECT_EQ(LevelsSet(rules), std::vector<int>{});
    EXPECT_TRUE(rules.ParseKey("nPiecesInLevel", attributes, 0, 0));
    EXPECT_EQ(LevelsSet(rules), Range(1, 40));

    struct Case
    {
        RulesNameTable table;
        const char* word;
        int value;
    } cases[] = {
        {RulesNameTable::GeneralConfigFlags, "gcfLoseGameIfBlackHolesCompletelyFillBoard", 0x8000000},
        {RulesNameTable::TileConfigFlags, "tcfMoveColorsWithTiles", 0x10000000},
        {RulesNameTable::SpecialButtonFlags, "sbfShowScrambleReminderWhenStuck", 0x10},
        {RulesNameTable::MoveTypes, "mtEntireColVertCycleBTT", 16},
        {RulesNameTable::MoveTypes, "mtNone", 0},
        {RulesNameTable::PieceRatioKinds, "prSupernovaColor10", 23},
        {RulesNameTable::Hints, "hintCheckpoint", 0x1000000},
        {RulesNameTable::Hints, "HintCheckpoint", -1},
        {RulesNameTable::MoveTypes, "", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFlagWord(c.table, c.word, -1), c.value) << c.word;
}

} // namespace
