// Players and top scores through the settings store of a real application object (in memory).
#include "game/ScoreEntry.h"
#include "game/TopScores.h"
#include "game/UserKeyName.h"
#include "game/UserProfile.h"
#include "tests/app/AppTestSupport.h"

#include <gtest/gtest.h>

namespace
{

using Kavo::ScoreEntry;
using Kavo::TopScores;
using Kavo::UserProfile;

class PlayerData : public ::testing::Test
{
protected:
    std::string Text(const std::string& path)
    {
        std::string value;
        EXPECT_TRUE(app.RegistryReadString(path, &value)) << path;
        return value;
    }
    int Integer(const std::string& path)
    {
        int value = -12345;
        EXPECT_TRUE(app.RegistryReadInteger(path, &value)) << path;
        return value;
    }

    apptest::TestApp app;
};

TEST(ScoreEntryText, ReadsWhatMatchesAndLeavesTheRestClear)
{
    const struct
    {
        const char* text;
        int score, level;
        const char* name;
    } cases[] = {
        {"1500 7 \"Ann\"", 1500, 7, "Ann"},
        {"1500 7", 1500, 7, ""},
        {"1500", 1500, 0, ""},
        {"Ann 1500 7", 0, 0, ""},
        {"-20 -3 \"Neg\"", -20, -3, "Neg"},
        {"  12\t 3   \"Sp aced\" trailing", 12, 3, "Sp aced"},
        {"1 2 \"Al\"ice\"", 1, 2, "Al"},                                          // a quote ends the name
        {"1 2 \"\"", 1, 2, ""},                                                   // an empty name
        {"99999999999 -99999999999 \"Big\"", 2147483647, -2147483647 - 1, "Big"}, // clamped
        {"1 2 \"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop\"", 1, 2,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn"},
        {"", 0, 0, ""},
    };
    for (const auto& c : cases)
    {
        ScoreEntry entry = ScoreEntry::FromText(c.text);
        EXPECT_EQ(entry.score, c.score) << c.text;
        EXPECT_EQ(entry.level, c.level) << c.text;
        EXPECT_EQ(entry.name, c.name) << c.text;
    }
    EXPECT_EQ(ScoreEntry("Bo b", -5, 12).ToText(), "-5 12 \"Bo b\"");
    EXPECT_EQ(ScoreEntry().ToText(), "0 0 \"\"");
    ScoreEntry entry("\xE9tienne", 300, 4);
    EXPECT_EQ(ScoreEntry::FromText(entry.ToText()), entry);
}

TEST(ScoreEntryOrder, ScoreThenLevelThenNameByUnsignedBytes)
{
    // Each entry ranks below the next.
    const ScoreEntry ascending[] = {
        {"Zed", 100, 9}, {"Ann", 200, 1}, {"Ann", 200, 2}, {"Bo", 200, 2}, {"Bob", 200, 2}, {"\xE9", 200, 2},
    };
    for (size_t i = 0; i + 1 < std::size(ascending); ++i)
    {
        EXPECT_TRUE(ascending[i] < ascending[i + 1]) << i;
        EXPECT_FALSE(ascending[i + 1] < ascending[i]) << i;
    }
    Kavo::ScoreList list;
    for (const ScoreEntry& entry : ascending)
        list.push(entry);
    EXPECT_EQ(list.top().name, "\xE9");
}

TEST(UserKeyName, TrimsAndUpperCasesLettersOnly)
{
    EXPECT_EQ(Kavo::UserKeyName("  bob \t\r\n"), "BOB");
    EXPECT_EQ(Kavo::UserKeyName("BOB"), "BOB");
    EXPECT_EQ(Kavo::UserKeyName("o'neil 2.\xE9"), "O'NEIL 2.\xE9");
    EXPECT_EQ(Kavo::UserKeyName(" \t "), "");
    EXPECT_EQ(Kavo::UserRegistryPath(" Ann "), "Users\\ANN");
}

TEST_F(PlayerData, AProfileRoundTripsThroughTheSettingsStore)
{
    UserProfile saved;
    saved.CreateNew("  Bob  ");
    EXPECT_EQ(saved.mDisplayName, "Bob");
    saved.mGuiFlags = 7;
    saved.mDisabledHints = 0x1080;
    saved.mLastWeeklyMessageSeen = "week 12";
    saved.mViewedTips = 0x55;
    saved.mUnlockedGridPages = 2;
    saved.RaiseTopLevelReached(0, "", 5);
    saved.RaiseTopLevelReached(5, "E3", 2);
    saved.RecordChallengeScore(5, "E3", 4200, 2);
    ASSERT_TRUE(saved.Save(true));
    EXPECT_EQ(Text("Users\\DefaultName"), "BOB");
    EXPECT_EQ(Text("Users\\BOB\\ChallengeGridScores\\E3"), "4200 2 \"Bob\"");
    EXPECT_EQ(Integer("Users\\BOB\\TopLevelReached\\untimed"), 5);

    UserProfile loaded;
    ASSERT_TRUE(loaded.LoadDefault());
    EXPECT_EQ(loaded.mDisplayName, "Bob");
    EXPECT_EQ(loaded.mGuiFlags, 7);
    EXPECT_EQ(loaded.mDisabledHints, 0x1080);
    EXPECT_EQ(loaded.mLastWeeklyMessageSeen, "week 12");
    EXPECT_EQ(loaded.mViewedTips, 0x55);
    EXPECT_EQ(loaded.mUnlockedGridPages, 2);
    EXPECT_EQ(loaded.mTopLevelReached, saved.mTopLevelReached);
    EXPECT_EQ(loaded.mChallengeScores, saved.mChallengeScores);
    // Names that differ in case or blanks are the same player.
    UserProfile again;
    ASSERT_TRUE(again.Load(" bOB "));
    EXPECT_EQ(again.GetTopLevelReached(0, ""), 5);

    UserProfile nameless;
    EXPECT_FALSE(nameless.Save(true));
    std::vector<std::string> players;
    ASSERT_TRUE(Kavo::ListUserNames(players));
    EXPECT_EQ(players, std::vector<std::string>{"Bob"});
}

// Only a missing name means "no such player": any other value that is missing or unreadable
// loads as its default, and saving the record again keeps the player's progress.
TEST_F(PlayerData, AMissingOrDamagedFieldLoadsAsItsDefaultAndCostsNothingElse)
{
    app.RegistryWriteString("Users\\ANN\\DisplayName", "Ann");
    app.RegistryWriteString("Users\\ANN\\GuiFlags", "not a number");  // damaged
    app.RegistryWriteInteger("Users\\ANN\\LastWeeklyMessageSeen", 3); // damaged
    app.RegistryWriteInteger("Users\\ANN\\TopLevelReached\\timed", 9);
    app.RegistryWriteString("Users\\ANN\\TopLevelReached\\crazy", "x"); // damaged
    app.RegistryWriteString("Users\\ANN\\ChallengeGridScores\\A1", "700 3 \"Ann\"");

    UserProfile profile;
    profile.CreateNew("Somebody else");
    profile.mGuiFlags = 6;
    ASSERT_TRUE(profile.Load("ann"));
    EXPECT_EQ(profile.mDisplayName, "Ann");
    EXPECT_EQ(profile.mGuiFlags, 0);
    EXPECT_EQ(profile.mDisabledHints, 0);
    EXPECT_EQ(profile.mLastWeeklyMessageSeen, "");
    EXPECT_EQ(profile.GetTopLevelReached(1, ""), 9);
    EXPECT_EQ(profile.mTopLevelReached.count("crazy"), 0u);
    EXPECT_EQ(profile.GetChallengeScore("A1"), 700);

    ASSERT_TRUE(profile.Save(true));
    UserProfile reloaded;
    ASSERT_TRUE(reloaded.Load("Ann"));
    EXPECT_EQ(reloaded.GetTopLevelReached(1, ""), 9);
    EXPECT_EQ(reloaded.GetChallengeScore("A1"), 700);

    UserProfile missing;
    missing.CreateNew("Kept");
    app.RegistryWriteInteger("Users\\GHOST\\GuiFlags", 1);
    EXPECT_FALSE(missing.Load("Ghost"));
    EXPECT_FALSE(missing.Load("Nobody"));
    EXPECT_EQ(missing.mDisplayName, "Kept");
}

// First wins were once stored as 4 (Untimed) and 16 (Timed): a record stored so opens the modes
// they earned, Mastermind (2) and Speedblitz (4). A record saved since loads as it was saved,
// whatever its flags.
TEST_F(PlayerData, FirstWinsStoredTheOldWayOpenTheModesTheyEarned)
{
    const struct
    {
        int stored, flags;
    } old[] = {{0, 0}, {1, 1}, {4, 2}, {5, 3}, {16, 4}, {20, 6}, {21, 7}, {2, 2}};
    app.RegistryWriteString("Users\\ANN\\DisplayName", "Ann");
    for (const auto& c : old)
    {
        app.RegistryWriteInteger("Users\\ANN\\GuiFlags", c.stored);
        UserProfile profile;
        ASSERT_TRUE(profile.Load("Ann"));
        EXPECT_EQ(profile.mGuiFlags, c.flags) << c.stored;
        ASSERT_TRUE(profile.Save(false));
        UserProfile again;
        ASSERT_TRUE(again.Load("Ann"));
        EXPECT_EQ(again.mGuiFlags, c.flags) << c.stored << ", saved again";
    }
    for (int flags : {0, 1, 4, 5, 6, 7})
    {
        UserProfile saved;
        saved.CreateNew("Bo");
        saved.mGuiFlags = flags;
        ASSERT_TRUE(saved.Save(false));
        UserProfile loaded;
        ASSERT_TRUE(loaded.Load("Bo"));
        EXPECT_EQ(loaded.mGuiFlags, flags);
    }
}

TEST_F(PlayerData, LevelsNamedByModeNumberRaiseTheirModeAndStay)
{
    app.RegistryWriteString("Users\\CY\\DisplayName", "Cy");
    app.RegistryWriteInteger("Users\\CY\\TopLevelReached\\1", 5);
    app.RegistryWriteInteger("Users\\CY\\TopLevelReached\\timed", 3);
    app.RegistryWriteInteger("Users\\CY\\TopLevelReached\\Untimed", 2);
    UserProfile profile;
    ASSERT_TRUE(profile.Load("Cy"));
    EXPECT_EQ(profile.GetTopLevelReached(1, ""), 5);
    EXPECT_EQ(profile.mTopLevelReached.at("1"), 5);
    EXPECT_EQ(profile.GetTopLevelReached(0, ""), 2); // value names are taken in lower case

    profile.RaiseTopLevelReached(5, "MiXeD", 4);
    profile.RaiseTopLevelReached(5, "mixed", 3); // lower: no change
    EXPECT_EQ(profile.mTopLevelReached.at("mixed"), 4);
}

TEST(ModeKeyName, ByModeNumber)
{
    const struct
    {
        int mode;
        const char* key;
        const char* expected;
    } cases[] = {
        {0, "x", "untimed"},     {1, "", "timed"},        {2, "", "untimed_hard"},
        {3, "", "timed_hard"},   {4, "", "crazy"},        {5, "E3", "e3"},
        {6, "WeekLY", "weekly"}, {9, "x", "unknown (x)"}, {-1, "", "unknown ()"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UserProfile::ModeKeyName(c.mode, c.key), c.expected) << c.mode;
}

TEST(ChallengeScores, AnEqualScoreKeepsTheOlderEntry)
{
    UserProfile profile;
    profile.CreateNew("Dee");
    profile.RecordChallengeScore(5, "B2", 500, 3);
    profile.mDisplayName = "Dee2";
    profile.RecordChallengeScore(5, "B2", 500, 9);
    EXPECT_EQ(profile.mChallengeScores.at("B2"), ScoreEntry("Dee", 500, 3));
    profile.RecordChallengeScore(6, "B2", 501, 1);
    EXPECT_EQ(profile.mChallengeScores.at("B2"), ScoreEntry("Dee2", 501, 1));
    profile.RecordChallengeScore(0, "Z", 900, 1); // not a challenge
    EXPECT_EQ(profile.mChallengeScores.count("Z"), 0u);

    TopScores scores;
    scores.AddScore(5, "B2", 500, 3, "Dee");
    scores.AddScore(5, "B2", 500, 9, "Eve");
    scores.AddScore(5, "B2", 400, 9, "Fay");
    EXPECT_EQ(scores.mChallengeScores.at("B2"), ScoreEntry("Dee", 500, 3));
    scores.AddScore(6, "W", 100, 1, "Gus"); // weekly results are not kept here
    EXPECT_EQ(scores.mChallengeScores.count("W"), 0u);
}

TEST_F(PlayerData, TopScoresKeepTenPerModeAndWriteTheTenBest)
{
    for (int i = 0; i < 4; ++i)
        app.RegistryWriteString("TopScores\\TimedModeScores\\" + std::to_string(i),
                                std::to_string(100 * (i + 1)) + " 1 \"T\"");
    app.RegistryWriteString("TopScores\\ChallengeGridScores\\C4", "800 2 \"Cy\"");
    TopScores scores;
    ASSERT_TRUE(scores.Load());
    for (int mode = 0; mode < TopScores::kModeLists; ++mode)
        EXPECT_EQ(scores.List(mode)->size(), 10u) << mode;
    EXPECT_EQ(scores.List(1)->top(), ScoreEntry("T", 400, 1));
    EXPECT_EQ(scores.mChallengeScores.at("C4"), ScoreEntry("Cy", 800, 2));
    EXPECT_EQ(scores.List(7), nullptr);

    for (int i = 0; i < 12; ++i)
        scores.AddScore(4, "", 10 * i, i, "Crazy" + std::to_string(i));
    scores.AddScore(1, "", 250, 3, "New");
    ASSERT_TRUE(scores.Save());
    EXPECT_EQ(Text("TopScores\\TimedModeScores\\0"), "400 1 \"T\"");
    EXPECT_EQ(Text("TopScores\\TimedModeScores\\2"), "250 3 \"New\"");
    EXPECT_EQ(Text("TopScores\\TimedModeScores\\9"), "0 0 \"\"");
    EXPECT_EQ(Text("TopScores\\CrazyModeScores\\0"), "110 11 \"Crazy11\"");
    EXPECT_EQ(Text("TopScores\\CrazyModeScores\\9"), "20 2 \"Crazy2\"");
    EXPECT_EQ(Text("TopScores\\UntimedModeScores\\9"), "0 0 \"\"");
    EXPECT_FALSE(Text("LastExecPath").empty());
    // The in-memory list is whole after saving.
    EXPECT_EQ(scores.List(4)->size(), 22u);
}

TEST_F(PlayerData, DeletingAPlayerErasesItsKeysChildrenFirst)
{
    UserProfile profile;
    profile.CreateNew("Eve");
    profile.RaiseTopLevelReached(0, "", 3);
    profile.RecordChallengeScore(5, "A1", 10, 1);
    ASSERT_TRUE(profile.Save(false));
    EXPECT_TRUE(Kavo::DeleteUserFromRegistry(" eve "));
    std::vector<std::string> players;
    ASSERT_TRUE(Kavo::ListUserNames(players));
    EXPECT_TRUE(players.empty());

    // Without a TopLevelReached key the player's key still goes, but the result says one failed.
    profile.mTopLevelReached.clear();
    ASSERT_TRUE(profile.Save(false));
    EXPECT_FALSE(Kavo::DeleteUserFromRegistry("Eve"));
    std::string name;
    EXPECT_FALSE(app.RegistryReadString("Users\\EVE\\DisplayName", &name));
}

} // namespace
