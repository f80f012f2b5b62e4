#include "rules/RulesFlags.h"
#include "tests/base/MemorySerializer.h"
#include "tests/rules/BoardText.h"
#include "tests/rules/RecordingEngine.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

using namespace Kavo;
using KavoTest::MemorySerializer;
using KavoTest::RecordingEngine;
using KavoTest::Rows;

// An engine in the middle of a game, with something in every saved field.
void PlaySomeMoves(RecordingEngine& engine)
{
    engine.rules.RandomSeed = 4242;
    engine.rules.nWidth = 7;
    engine.rules.nHeight = 8;
    engine.rules.sWinMessage = "well done";
    for (LevelSpecificConfig& level : engine.rules.levels)
    {
        for (int i = prColor1; i <= prColor5; ++i)
            level.PieceRatio[i] = 10;
        level.PieceRatio[prBlackHole] = 1;
        level.PieceRatio[prWild] = 1;
        level.nStartingBonus = 4;
        level.nLargestBonus = 6;
        level.fTimeBeforeBlackHolesMature = 3.0f;
        level.sTileLayout = "0120120120";
    }
    engine.ResetForLevel(1, true);
    MatchGroupList groups;
    int outX, outY;
    for (int i = 0; i < 40; ++i)
        engine.ResolveMove(mtFourSquareRotateCW, i % 7, (i * 3) % 8, outX, outY, groups);
    engine.StartBlackHoleAt(3, 3);
    engine.Square(1, 2).boardFlagA = true;
    engine.Square(2, 2).boardFlagB = true;
    engine.Square(4, 5).pointsLabel = 250;
    engine.lastGrowCheckTime = 123456;
    engine.lastGrowX = 3;
    engine.lastGrowY = 4;
    engine.growHintUsed = true;
    engine.levelComplete = true;
    engine.timeLossRate = 1.25f;
}

size_t RulesSize(const GameRulesConfig& rules)
{
    GameRulesConfig copy = rules;
    MemorySerializer writer;
    copy.Serialize(writer);
    return writer.Bytes().size();
}

void PutWord(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

// Where the engine's own fields start after the rules, and where square (x, y) of a board
// w squares wide starts: nine words, a byte, nine words, a byte, a word, then the squares.
constexpr size_t kSquaresOffset = 9 * 4 + 1 + 9 * 4 + 1 + 4;
constexpr size_t kSquareBytes = 4 * 3 + 2 + 4 * 2;

TEST(BoardState, WholeBoardRoundTrip)
{
    RecordingEngine original;
    PlaySomeMoves(original);
    std::string bytes = KavoTest::SavedBytes(original);
    const size_t rules = RulesSize(original.rules);
    EXPECT_EQ(bytes.size(), rules + kSquaresOffset + 56 * kSquareBytes); // only the 7 x 8 area

    RecordingEngine loaded;
    loaded.SetScore(5);
    loaded.level = 9;
    loaded.Square(19, 19).piece = PieceWall; // outside the loaded area: left alone
    MemorySerializer reader(bytes);
    ASSERT_TRUE(loaded.Serialize(reader));
    EXPECT_EQ(reader.Position(), bytes.size());
    EXPECT_EQ(KavoTest::SavedBytes(loaded), bytes); // every saved field, bit for bit
    EXPECT_EQ(loaded.score, original.score);
    EXPECT_EQ(loaded.level, original.level);
    EXPECT_EQ(loaded.lastGrowCheckTime, 123456);
    EXPECT_TRUE(loaded.growHintUsed);
    EXPECT_EQ(loaded.rules.sWinMessage, "well done");
    EXPECT_EQ(loaded.Square(19, 19).piece, PieceWall);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(loaded.Square(x, y), original.Square(x, y)) << x << "," << y;

    // Both go on alike: same pieces drawn, same boards.
    MatchGroupList groups;
    int outX, outY;
    for (int i = 0; i < 200; ++i)
    {
        bool a = original.ResolveMove(mtNineSquareRotateCCW, (i * 5) % 7, i % 8, outX, outY, groups);
        bool b = loaded.ResolveMove(mtNineSquareRotateCCW, (i * 5) % 7, i % 8, outX, outY, groups);
        ASSERT_EQ(a, b) << i;
    }
    EXPECT_EQ(KavoTest::SavedBytes(loaded), KavoTest::SavedBytes(original));
}

TEST(BoardState, DamagedStatesAreRefused)
{
    RecordingEngine source;
    PlaySomeMoves(source);
    const std::string bytes = KavoTest::SavedBytes(source);
    const size_t state = RulesSize(source.rules);
    const size_t squares = state + kSquaresOffset;

    auto with = [&](size_t at, uint32_t value)
    {
        std::string copy = bytes;
        PutWord(copy, at, value);
        return copy;
    };
    struct Case
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"width 25 in the saved rules", with(8, 25)},
        {"height 0 in the saved rules", with(12, 0)},
        {"level 0", with(state, 0)},
        {"a negative score", with(state + 8, uint32_t(-10))},
        {"a time that is not a number", with(state + 4, 0x7FC00000u)},
        {"an unknown piece code", with(squares, 99)},
        {"a piece code with stray bits", with(squares + kSquareBytes, 0x400001u)},
        {"an unknown exploding piece", with(squares + 8, 16)},
        {"cut inside the squares", bytes.substr(0, bytes.size() - 5)},
        {"cut inside the rules", bytes.substr(0, 300)},
    };
    for (const Case& c : cases)
    {
        RecordingEngine target;
        PlaySomeMoves(target);
        target.SetScore(31);
        const std::string before = KavoTest::SavedBytes(target);
        MemorySerializer reader(c.bytes);
        EXPECT_FALSE(target.Serialize(reader)) << c.what;
        EXPECT_EQ(KavoTest::SavedBytes(target), before) << c.what;
    }
}

TEST(BoardState, BoardSizesOutsideTheGridAreRefused)
{
    for (int size : {0, -1, 21, 1000})
    {
        RecordingEngine engine;
        GameRulesConfig rules;
        rules.nWidth = size;
        EXPECT_FALSE(engine.SetRules(rules)) << size;
        rules.nWidth = 5;
        rules.nHeight = size;
        EXPECT_FALSE(engine.SetRules(rules)) << size;
        EXPECT_EQ(engine.rules.nHeight, 8) << size;

        // Rules assigned past the check leave an empty area: nothing is built, moved or read.
        engine.rules.nWidth = size;
        engine.rules.nHeight = size;
        EXPECT_EQ(engine.Width(), 0);
        engine.ResetForLevel(1, true);
        MatchGroupList groups;
        int outX, outY;
        EXPECT_FALSE(engine.ResolveMove(mtSlide, 0, 0, outX, outY, groups)) << size;
        EXPECT_FALSE(engine.ResolveMove(mtEntireRowHorzCycleLTR, 0, 0, outX, outY, groups)) << size;
        EXPECT_FALSE(engine.IsStuck());
        EXPECT_FALSE(engine.CheckForNewBlackHoles());
        for (const BoardSquareInfo& square : engine.squares)
            ASSERT_EQ(square, BoardSquareInfo());
    }
    RecordingEngine engine;
    GameRulesConfig largest;
    largest.nWidth = 20;
    largest.nHeight = 20;
    EXPECT_TRUE(engine.SetRules(largest));
    for (int i = prColor1; i <= prColor6; ++i)
        engine.Level().PieceRatio[i] = 1;
    engine.ResetForLevel(1, true);
    EXPECT_EQ(engine.Square(10, 10).piece, PieceBlank);
    EXPECT_NE(engine.Square(19, 19).piece, PieceBlank);
}

} // namespace
