// Checks every rules file shipped in data/: the five modes' files and every challenge's own file.
#include "base/PakInterface.h"
#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "base/XMLParser.h"
#include "platform/files/Files.h"
#include "rules/GameRulesConfig.h"
#include "rules/RulesFlags.h"
#include "rules/RulesNames.h"
#include "tests/rules/ShippedRules.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

using namespace Kavo;
using KavoTest::kShippedProperties;

// The board layout of the game screen: an 800 x 600 widget, cells 65 pixels apart, each cell
// 62 x 60; narrow boards stand right of the score panel, wide ones are centred.
bool BoardFitsTheScreen(int width, int height)
{
    if (width < 1 || height < 1) return false;
    int originX = width >= 9 ? (800 - 65 * width) / 2 : 320 - 65 * std::max(width - 7, -1);
    int originY = height >= 8 ? (600 - 65 * height) / 2 + 24 : 71 - 65 * std::max(height - 8, -1);
    return originX >= 0 && originY >= 0 && originX + 65 * (width - 1) + 62 <= 800 &&
           originY + 65 * (height - 1) + 60 <= 600;
}

std::vector<std::string> RulesFiles()
{
    std::set<std::string> names;
    for (const platform::FileEntry& entry : platform::FindFiles(kShippedProperties + "*_config.xml"))
        names.insert(entry.name);
    for (const std::string& challenge : KavoTest::ChallengeRulesFiles())
        names.insert(challenge);
    return {names.begin(), names.end()};
}

// Problems with the elements themselves: unknown keys and names that resolve to nothing.
void CheckElements(const std::string& path, std::vector<std::string>& problems)
{
    XMLParser parser;
    if (!parser.OpenFile(path))
    {
        problems.push_back(parser.GetErrorText());
        return;
    }
    auto problem = [&](const std::string& text)
    { problems.push_back(StrFormat("line %d: %s", parser.GetCurrentLineNum(), text.c_str())); };
    auto flagWords = [&](RulesNameTable table, const std::string& value)
    {
        for (const std::string& word : SplitIntoWords(value, ' '))
            if (ParseFlagWord(table, word, -1) == -1) problem("unknown flag " + word);
    };
    GameRulesConfig scratch;
    XMLElement e;
    bool root = true;
    while (parser.NextElement(e))
    {
        if (e.type != XMLElement::TYPE_START) continue;
        if (root)
        {
            root = false;
            continue;
        }
        const std::string name = e.value;
        const std::string lower = StringToLower(name);
        auto attribute = [&](const char* key) { return e.attributes.count(key) ? e.attributes.at(key) : ""; };
        const std::string value = attribute("value");
        if (lower == "general" || lower == "defaults") continue;
        if (lower.starts_with("level_"))
        {
            int level = StringToIntBase10(name.substr(6));
            if (!name.starts_with("level_") || level < 1 || level > 40)
                problem("section selects no level: " + name);
            continue;
        }
        if (lower == "levelrange" || lower == "level")
        {
            int first = StringToIntBase10(attribute("min")), last = StringToIntBase10(attribute("max"));
            if (first < 1 || last > 40 || first > last) problem("section selects a wrong range: " + name);
            continue;
        }
        if (!scratch.ParseKey(name, e.attributes, 1, 1))
        {
            problem("unknown key " + name);
            continue;
        }
        if (!e.attributes.count("value")) problem(name + " has no value");
        if (name == "GeneralConfigFlags") flagWords(RulesNameTable::GeneralConfigFlags, value);
        if (name == "TileConfigFlags") flagWords(RulesNameTable::TileConfigFlags, value);
        if (name == "HintsToShow") flagWords(RulesNameTable::Hints, value);
        if (name == "SpecialButtonFlags") flagWords(RulesNameTable::SpecialButtonFlags, value);
        if (name == "MainMoveType" || name == "AlternateMoveType")
        {
            int move = ParseFlagWord(RulesNameTable::MoveTypes, value, -1);
            if (move == -1 || (move == mtNone && name == "MainMoveType")) problem("no move type " + value);
        }
        if (name == "PieceRatio" &&
            ParseFlagWord(RulesNameTable::PieceRatioKinds, attribute("type"), -1) == -1)
            problem("unknown piece " + attribute("type"));
        if (name == "LongChainLength" || name == "LongChainImmediateBoost")
        {
            int index = StringToIntBase10(attribute("idx"));
            if (index < 1 || index > 30) problem(name + " index out of range");
        }
        if (name == "GameMode")
        {
            static const std::set<std::string> kModes = {"untimed",      "timed",     "untimedhard",
                                                         "untimed_hard", "timedhard", "timed_hard",
                                                         "crazy",        "challenge", "internet"};
            if (!kModes.count(value)) problem("unknown game mode " + value);
        }
    }
    if (parser.HasFailed()) problem(parser.GetErrorText());
}

bool IsFixedPiece(char c)
{
    return (c >= 'a' && c <= 'j') || (c >= 'A' && c <= 'J') || c == '!';
}

// A ready-made group: a square block (2 x 2, or 3 x 3 with the 3 x 3 rule) of fixed pieces of
// one colour, wild pieces matching any.
bool BlockMatches(const std::vector<std::string>& rows, int x, int y, int size)
{
    char colour = 0;
    for (int dy = 0; dy < size; ++dy)
        for (int dx = 0; dx < size; ++dx)
        {
            char c = rows[y + dy][x + dx];
            if (!IsFixedPiece(c)) return false;
            if (c == '!') continue;
            char plain = char(StringToLower(std::string(1, c))[0]);
            if (colour && plain != colour) return false;
            colour = plain;
        }
    return true;
}

void CheckLevel(const GameRulesConfig& rules, int level, std::vector<std::string>& problems)
{
    const LevelSpecificConfig& l = rules.GetLevelConfig(level);
    auto problem = [&](const std::string& text)
    { problems.push_back(StrFormat("level %d: %s", level, text.c_str())); };

    if (l.CountWeightedKinds() < 2) problem("fewer than two colours to pick");
    if (l.nPiecesInLevel < 1) problem("nPiecesInLevel must be at least 1");
    if (!(l.fMaxTimeLeft > 0.0f)) problem("fMaxTimeLeft must be above 0");
    if (l.nStartingBonus >= 1 && l.nBonusesBetweenSizeIncreases < 1)
        problem("nBonusesBetweenSizeIncreases must be at least 1 with a bonus");
    if (l.MainMoveType <= mtNone || l.MainMoveType >= kMoveTypeCount) problem("no main move type");
    if (l.AlternateMoveType < mtNone || l.AlternateMoveType >= kMoveTypeCount)
        problem("no alternate move type");

    // The layout, one row of nWidth characters per board row; beyond the text squares are random.
    const int w = rules.nWidth, h = rules.nHeight;
    if (int(l.sLevelLayout.size()) > w * h) problem("layout longer than the board");
    if (int(l.sTileLayout.size()) > w * h) problem("tile layout longer than the board");
    std::vector<std::string> rows(size_t(h), std::string(size_t(w), '.'));
    for (size_t i = 0; i < l.sLevelLayout.size() && int(i) < w * h; ++i)
        rows[i / size_t(w)][i % size_t(w)] = l.sLevelLayout[i];
    if (!(l.GeneralConfigFlags & gcfDontAddBlankSquare)) rows[size_t(h / 2)][size_t(w / 2)] = ' ';
    const int seed = (l.GeneralConfigFlags & gcfRequire3x3Square) ? 3 : 2;
    for (int y = 0; y + 1 < h; ++y)
        for (int x = 0; x + 1 < w; ++x)
        {
            if (rows[y][x] == ' ' && rows[y][x + 1] == ' ' && rows[y + 1][x] == ' ' &&
                rows[y + 1][x + 1] == ' ')
                problem(StrFormat("2 x 2 blank area at (%d, %d)", x, y));
            if (x + seed <= w && y + seed <= h && BlockMatches(rows, x, y, seed))
                problem(StrFormat("ready-made group at (%d, %d)", x, y));
        }
}

std::vector<std::string> CheckRulesFile(const std::string& path)
{
    std::vector<std::string> problems;
    CheckElements(path, problems);

    GameRulesConfig rules;
    std::string error;
    if (!KavoTest::LoadRulesFile(path, rules, error))
    {
        problems.push_back("does not load: " + error);
        return problems;
    }
    if (!BoardFitsTheScreen(rules.nWidth, rules.nHeight))
        problems.push_back(StrFormat("a %d x %d board does not fit the screen", rules.nWidth, rules.nHeight));

    // The game ends at the first level requirement: no game may play record 41.
    int end = KavoTest::GameEndLevel(rules);
    if (end < 2 || end > 41)
    {
        problems.push_back("no level requirement ends the game before level 41");
        end = 41;
    }
    for (int level = 1; level < end; ++level)
        CheckLevel(rules, level, problems);

    // A challenge is known by its key, and plays on the game's twelve backgrounds and three songs.
    if (rules.GameMode == 5)
    {
        if (rules.sChallengeModeID.empty()) problems.push_back("a challenge without sChallengeModeID");
        for (int level = 1; level < end; ++level)
        {
            const LevelSpecificConfig& l = rules.GetLevelConfig(level);
            if (l.nBackgroundID < 1 || l.nBackgroundID > 12)
                problems.push_back(StrFormat("level %d: no background %d", level, l.nBackgroundID));
            if (l.nSongID < 1 || l.nSongID > 3)
                problems.push_back(StrFormat("level %d: no song %d", level, l.nSongID));
        }
    }
    return problems;
}

TEST(RulesFilesCheck, EveryShippedRulesFileIsSound)
{
    std::vector<std::string> files = RulesFiles();
    for (const char* mode : KavoTest::kModeRulesFiles)
        EXPECT_NE(std::find(files.begin(), files.end(), mode), files.end()) << mode << " is missing";
    for (const std::string& file : files)
    {
        std::vector<std::string> problems = CheckRulesFile(kShippedProperties + file);
        std::string report;
        for (const std::string& p : problems)
            report += "\n  " + p;
        EXPECT_TRUE(problems.empty()) << file << ":" << report;
    }
}

// The build packs data/ into main.pak beside the program; the rules read from it as from the disk.
TEST(RulesFilesCheck, TheBuiltArchiveHoldsTheRulesFiles)
{
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(std::string(KAVO_BINARY_DIR) + "/game/main.pak"));
    for (const std::string& file : RulesFiles())
    {
        std::string onDisk;
        ASSERT_TRUE(platform::ReadFile(kShippedProperties + file, onDisk)) << file;
        PakFileHandle* h = archive.Open(("properties/" + file).c_str(), "rb");
        ASSERT_NE(h, nullptr) << file;
        ASSERT_NE(h->record, nullptr) << file;
        std::string packed(onDisk.size() + 1, '\0');
        packed.resize(archive.Read(packed.data(), 1, packed.size(), h));
        archive.Close(h);
        EXPECT_EQ(packed, onDisk) << file;
    }
}

// The check itself finds each kind of fault.
TEST(RulesFilesCheck, FindsTheFaultsItLooksFor)
{
    const std::string good =
        "<general><nWinningLevelRequirement value=\"3\"/>"
        "<PieceRatio type=\"prColor1\" value=\"1\"/><PieceRatio type=\"prColor2\" value=\"1\"/>"
        "<GeneralConfigFlags value=\"gcfDontAddBlankSquare\"/></general>";
    struct Case
    {
        const char* what;
        std::string body;
        std::string problem; // a part of a problem expected; empty for none
    } cases[] = {
        {"sound", good, ""},
        {"unknown key", good + "<nPieces value=\"1\"/>", "unknown key nPieces"},
        {"unknown flag", good + "<HintsToShow value=\"hintWilds hintNothing\"/>", "unknown flag hintNothing"},
        {"unknown move", good + "<MainMoveType value=\"mtJump\"/>", "no move type mtJump"},
        {"unknown piece", good + "<PieceRatio type=\"prColour3\" value=\"1\"/>", "unknown piece prColour3"},
        {"one colour", good + "<level_2><PieceRatio type=\"prColor2\" value=\"0\"/></level_2>",
         "level 2: fewer than two"},
        {"level 41 reachable", good + "<nWinningLevelRequirement value=\"0\"/>", "before level 41"},
        {"zero divisor", good + "<level_1><nPiecesInLevel value=\"0\"/></level_1>", "nPiecesInLevel must"},
        {"bonus divisor",
         good + "<level_2><nStartingBonus value=\"5\"/><nBonusesBetweenSizeIncreases value=\"0\"/></level_2>",
         "nBonusesBetweenSizeIncreases must"},
        {"board too tall", good + "<nHeight value=\"9\"/>", "7 x 9 board"},
        {"ready-made group", good + "<level_2><sLevelLayout value=\"..bB.....!b\"/></level_2>",
         "group at (2, 0)"},
        {"3 x 3 group",
         good + "<level_1><sLevelLayout value=\"aaa....aaa....aaa\"/>"
                "<GeneralConfigFlags value=\"gcfRequire3x3Square gcfDontAddBlankSquare\"/></level_1>",
         "group at (0, 0)"},
        {"blank area", good + "<level_1><sLevelLayout value=\"  .....  \"/></level_1>",
         "blank area at (0, 0)"},
        {"cut short", good.substr(0, 60), "does not load"},
        {"challenge without key", good + "<GameMode value=\"challenge\"/><nBackgroundID value=\"3\"/>",
         "without sChallengeModeID"},
        {"challenge background",
         good +
             "<GameMode value=\"challenge\"/><sChallengeModeID value=\"Z9\"/><nBackgroundID value=\"13\"/>",
         "level 1: no background 13"},
        {"challenge song",
         good + "<GameMode value=\"challenge\"/><sChallengeModeID value=\"Z9\"/><nBackgroundID value=\"1\"/>"
                "<level_2><nSongID value=\"4\"/></level_2>",
         "level 2: no song 4"},
    };
    for (const Case& c : cases)
    {
        const std::string name = std::string("check-") + c.what + ".xml";
        ASSERT_TRUE(platform::WriteFileAtomically(name, "<rules>" + c.body + "</rules>"));
        std::vector<std::string> problems = CheckRulesFile(name);
        if (c.problem.empty())
        {
            EXPECT_TRUE(problems.empty()) << c.what << ": " << (problems.empty() ? "" : problems[0]);
            continue;
        }
        bool found = false;
        for (const std::string& p : problems)
            found = found || p.find(c.problem) != std::string::npos;
        EXPECT_TRUE(found) << c.what << ": " << (problems.empty() ? "no problem found" : problems[0]);
    }
}

} // namespace
