#include "rules/GameRulesConfig.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "tests/base/MemorySerializer.h"

#include <gtest/gtest.h>

namespace
{

using Kavo::GameRulesConfig;
using Kavo::LevelSpecificConfig;
using Kavo::MersenneTwister;
using KavoTest::MemorySerializer;

TEST(GameRulesConfig, Defaults)
{
    GameRulesConfig rules;
    EXPECT_EQ(rules.GameMode, 0);
    EXPECT_EQ(rules.nWidth, 7);
    EXPECT_EQ(rules.nHeight, 8);
    EXPECT_FLOAT_EQ(rules.fMinTimeBetweenBlackHoleGrowChecks, 1.0f);
    for (int n = 1; n <= 41; ++n)
    {
        const LevelSpecificConfig& level = rules.GetLevelConfig(n);
        EXPECT_EQ(level.nBackgroundID, n);
        EXPECT_EQ(level.GeneralConfigFlags, 0x1405);
        EXPECT_EQ(level.MainMoveType, Kavo::mtSlide);
        EXPECT_EQ(level.AlternateMoveType, Kavo::mtSlide);
        EXPECT_EQ(level.nPiecesInLevel, 100);
        EXPECT_EQ(level.nBonusesBetweenSizeIncreases, 1);
        EXPECT_FLOAT_EQ(level.fInitialTimeLeft, 60.0f);
        EXPECT_FLOAT_EQ(level.fMaxTimeLeft, 120.0f);
        EXPECT_FLOAT_EQ(level.fSupernovaPieceWeight, 4.0f);
    }
    // A record made alone has background 0 until the rules number it.
    EXPECT_EQ(LevelSpecificConfig().nBackgroundID, 0);
}

TEST(GameRulesConfig, LevelLookupAndTimeLimit)
{
    GameRulesConfig rules;
    for (int n = 1; n <= 41; ++n)
        rules.GetLevelConfig(n).fMaxTimeLeft = float(n);
    EXPECT_EQ(&rules.GetLevelConfig(41), &rules.levels[40]);
    EXPECT_EQ(&rules.GetLevelConfig(42), &rules.levels[40]);
    EXPECT_EQ(&rules.GetLevelConfig(1000), &rules.levels[40]);
    EXPECT_EQ(&rules.GetLevelConfig(0), &rules.levels[0]); // no level 0: the first record
    EXPECT_EQ(&rules.GetLevelConfig(-7), &rules.levels[0]);

    EXPECT_FLOAT_EQ(rules.GetMaxTimeLeft(39), 39.0f);
    EXPECT_FLOAT_EQ(rules.GetMaxTimeLeft(40), 41.0f); // level 40 takes record 41's limit
    rules.GetLevelConfig(1).fMaxTimeLeft = 120.0f;
    EXPECT_FLOAT_EQ(rules.ClampToMaxTimeLeft(150.0f, 1), 120.0f);
    EXPECT_FLOAT_EQ(rules.ClampToMaxTimeLeft(30.0f, 1), 30.0f);
}

TEST(GameRulesConfig, PieceFromRatioIndex)
{
    struct Case
    {
        int index, piece;
    } cases[] = {{0, 1},
                 {9, 10},
                 {10, Kavo::PieceBlackHole},
                 {11, Kavo::PieceWild},
                 {12, 11},
                 {13, 12},
                 {14, 0x200001},
                 {23, 0x20000A},
                 {24, 15},
                 {-1, 15}};
    for (const Case& c : cases)
        EXPECT_EQ(Kavo::PieceFromRatioIndex(c.index), c.piece) << c.index;
}

TEST(GameRulesConfig, WeightedPick)
{
    LevelSpecificConfig level;
    MersenneTwister rng(77);
    level.PieceRatio[Kavo::prColor3] = 5;
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(level.PickWeightedPiece(1, rng), 3);

    // Weights 1 and 3: about a quarter of the picks are colour 1.
    level.PieceRatio[Kavo::prColor3] = 0;
    level.PieceRatio[Kavo::prColor1] = 1;
    level.PieceRatio[Kavo::prColor2] = 3;
    int ones = 0;
    for (int i = 0; i < 4000; ++i)
    {
        int piece = level.PickWeightedPiece(1, rng);
        ASSERT_TRUE(piece == 1 || piece == 2);
        ones += piece == 1;
    }
    EXPECT_GT(ones, 800);
    EXPECT_LT(ones, 1200);

    // The kind set decides which weights count: black holes are outside the colours, and
    // supernovas outside the second set.
    LevelSpecificConfig special;
    special.PieceRatio[Kavo::prBlackHole] = 1;
    special.PieceRatio[Kavo::prSupernovaColor2] = 1;
    special.PieceRatio[Kavo::prColor1] = -50; // a weight below zero counts as zero
    EXPECT_EQ(special.PickWeightedPiece(1, rng), Kavo::PieceNone);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(special.PickWeightedPiece(2, rng), Kavo::PieceBlackHole);
    bool sawSupernova = false;
    for (int i = 0; i < 50; ++i)
        sawSupernova |= special.PickWeightedPiece(0, rng) == 0x200002;
    EXPECT_TRUE(sawSupernova);

    EXPECT_EQ(special.CountWeightedKinds(), 1); // the negative colour weight is non-zero
    special.PieceRatio[Kavo::prColor1] = 0;
    EXPECT_EQ(special.CountWeightedKinds(), 0);
}

TEST(GameRulesConfig, NothingToPickDrawsNothing)
{
    // Record 41 keeps all weights at 0: the pick answers PieceNone without a division by
    // zero and without using up a number.
    GameRulesConfig rules;
    rules.Random().Seed(5);
    EXPECT_EQ(rules.PickRandomPiece(0, 41), Kavo::PieceNone);
    EXPECT_EQ(rules.PickRandomPiece(1, 41), Kavo::PieceNone);
    EXPECT_EQ(rules.Random().Next(), MersenneTwister(5).Next());
}

TEST(GameRulesConfig, CopyPicksTheSameSequence)
{
    GameRulesConfig rules;
    for (int i = 0; i < 10; ++i)
        rules.GetLevelConfig(1).PieceRatio[i] = i + 1;
    rules.Random().Seed(99);
    rules.PickRandomPiece(1, 1);
    GameRulesConfig copy;
    copy = rules;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(copy.PickRandomPiece(0, 1), rules.PickRandomPiece(0, 1)) << i;
}

TEST(GameRulesConfig, NamesAndPadding)
{
    GameRulesConfig rules;
    const char* names[] = {"Untimed", "Timed",     "Mastermind",      "Speedblitz",
                           "Crazy",   "Challenge", "Weekly Challenge"};
    for (int mode = 0; mode < 7; ++mode)
    {
        rules.GameMode = mode;
        EXPECT_EQ(Kavo::GameModeName(rules), names[mode]);
    }
    rules.GameMode = 9;
    EXPECT_EQ(Kavo::GameModeName(rules), "unknown (9)");

    rules.sChallengeModeID = "grid2_07";
    EXPECT_EQ(rules.GetModeKeyName(), "Classic");
    rules.GameMode = 5;
    EXPECT_EQ(rules.GetModeKeyName(), "grid2_07");
    rules.GameMode = 6;
    EXPECT_EQ(rules.GetModeKeyName(), "grid2_07");

    EXPECT_EQ(Kavo::IntToStringPadded(42, 5), "   42");
    EXPECT_EQ(Kavo::IntToStringPadded(-42, 2), "-42");
    EXPECT_EQ(Kavo::IntToStringPadded(7, 0), "7");
}

TEST(GameRulesConfig, DestroyMembersEmptiesEveryText)
{
    GameRulesConfig rules;
    rules.sWinMessage = "won";
    rules.sDisplayLine10 = "ten";
    rules.GetLevelConfig(41).sLevelLayout = "abc";
    rules.GetLevelConfig(3).sEndLevelStoryText = "end";
    rules.DestroyMembers();
    EXPECT_EQ(rules.sWinMessage, "");
    EXPECT_EQ(rules.sDisplayLine10, "");
    EXPECT_EQ(rules.GetLevelConfig(41).sLevelLayout, "");
    EXPECT_EQ(rules.GetLevelConfig(3).sEndLevelStoryText, "");
    EXPECT_EQ(rules.DisplayLine(0), nullptr);
    EXPECT_EQ(rules.DisplayLine(11), nullptr);
}

// The stored layout: a level record is 552 bytes with empty texts (24 weights, 29 numbers,
// 30 chain pairs, 9 numbers, 4 texts, 12 numbers), and the whole rules record with empty
// texts 24720 bytes (record 41 is not stored; the generator state is one 2496-byte text).
TEST(GameRulesConfig, StoredLayout)
{
    LevelSpecificConfig level;
    MemorySerializer levelWriter;
    EXPECT_TRUE(level.Serialize(levelWriter));
    EXPECT_EQ(levelWriter.Bytes().size(), 552u);

    GameRulesConfig rules;
    rules.GameMode = 0x04030201;
    rules.GetLevelConfig(1).LongChainLength[0] = 0x11;
    rules.GetLevelConfig(1).LongChainImmediateBoost[0] = 0x22;
    std::string bytes = KavoTest::SavedBytes(rules);
    ASSERT_EQ(bytes.size(), 24720u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x01\x02\x03\x04\0\0\0\0", 8)); // mode, empty text
    // The first chain pair follows the 53 words of level 1 that come before it.
    size_t chain = 20 + 53 * 4;
    EXPECT_EQ(bytes[chain], '\x11');
    EXPECT_EQ(bytes[chain + 4], '\x22');
    // The generator's text closes the record: its length, then 2496 bytes.
    EXPECT_EQ(bytes.substr(bytes.size() - 2500, 4), std::string("\xC0\x09\0\0", 4));
}

TEST(GameRulesConfig, SaveAndLoadKeepRecordsAndSequence)
{
    GameRulesConfig rules;
    rules.GameMode = 3;
    rules.sChallengeModeID = std::string("id\0with zero", 12);
    rules.nWidth = 9;
    rules.nHeight = 11;
    rules.SpecialButtonFlags = 0x13;
    for (int n = 1; n <= 40; ++n)
    {
        LevelSpecificConfig& level = rules.GetLevelConfig(n);
        level.PieceRatio[n % 24] = n * 3;
        level.fTimeLostAcceleration = n * 0.25f;
        level.LongChainLength[29] = n;
        level.sLevelLayout = std::string(1500, char('a' + n % 10)); // longer than 1024 bytes
        level.MainMoveType = n % 17;
    }
    rules.nLosingMinGroupSizeRequirement = 4;
    rules.fScrambleButtonEnergyCostPerUse = 0.05f;
    rules.sDisplayLine7 = "seven";
    rules.sNextMedalName = "Gold";
    rules.nNextMedalTarget = 5000;
    rules.RandomSeed = 1234;
    // A state whose words hold zero bytes, and a position in the middle of its block.
    rules.Random().Seed(0x100);
    for (int i = 0; i < 100; ++i)
        rules.Random().Next();

    std::string bytes = KavoTest::SavedBytes(rules);
    GameRulesConfig loaded;
    loaded.GetLevelConfig(41).nSongID = 77;
    MemorySerializer reader(bytes);
    ASSERT_TRUE(loaded.Serialize(reader));
    EXPECT_EQ(reader.Position(), bytes.size());

    EXPECT_EQ(loaded.GameMode, 3);
    EXPECT_EQ(loaded.sChallengeModeID, rules.sChallengeModeID);
    EXPECT_EQ(loaded.nWidth, 9);
    EXPECT_EQ(loaded.nHeight, 11);
    EXPECT_EQ(loaded.SpecialButtonFlags, 0x13);
    for (int n = 1; n <= 40; ++n)
    {
        MemorySerializer a, b;
        rules.GetLevelConfig(n).Serialize(a);
        loaded.GetLevelConfig(n).Serialize(b);
        ASSERT_EQ(a.Bytes(), b.Bytes()) << "level " << n;
    }
    EXPECT_EQ(loaded.GetLevelConfig(41).nSongID, 77); // record 41 is not part of a save
    EXPECT_EQ(loaded.nLosingMinGroupSizeRequirement, 4);
    EXPECT_FLOAT_EQ(loaded.fScrambleButtonEnergyCostPerUse, 0.05f);
    EXPECT_EQ(loaded.sDisplayLine7, "seven");
    EXPECT_EQ(loaded.sNextMedalName, "Gold");
    EXPECT_EQ(loaded.nNextMedalTarget, 5000);
    EXPECT_EQ(loaded.RandomSeed, 1234);
    // The saved game and the loaded one draw the same numbers from here on.
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(loaded.Random().Next(), rules.Random().Next()) << i;
}

TEST(GameRulesConfig, DamagedSavesAreRefused)
{
    GameRulesConfig good;
    std::string bytes = KavoTest::SavedBytes(good);

    auto withWord = [&](size_t at, int32_t value)
    {
        std::string copy = bytes;
        for (int i = 0; i < 4; ++i)
            copy[at + size_t(i)] = char((uint32_t(value) >> (8 * i)) & 0xFF);
        return copy;
    };
    struct Case
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"width 0", withWord(8, 0)},
        {"width 21", withWord(8, 21)},
        {"height -1", withWord(12, -1)},
        {"height 1000", withWord(12, 1000)},
        {"cut short", bytes.substr(0, bytes.size() - 10)},
        {"empty", std::string()},
        {"generator state too short", withWord(bytes.size() - 2500, 2495)},
        {"negative text length", withWord(4, -5)},
        {"huge text length", withWord(4, 0x7FFFFFF0)},
    };
    for (const Case& c : cases)
    {
        GameRulesConfig target;
        target.nWidth = 5;
        target.GetLevelConfig(2).nSongID = 9;
        target.sWinMessage = "kept";
        MemorySerializer reader(c.bytes);
        EXPECT_FALSE(target.Serialize(reader)) << c.what;
        EXPECT_EQ(target.nWidth, 5) << c.what;
        EXPECT_EQ(target.GetLevelConfig(2).nSongID, 9) << c.what;
        EXPECT_EQ(target.sWinMessage, "kept") << c.what;
    }
}

} // namespace
