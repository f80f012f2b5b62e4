// Tips: reading the tips file, choosing by mode and level, each suitable tip once before repeats,
// and the tip typing out under the top-ten list.
#include "game/TipList.h"
#include "base/Random.h"
#include "game/TopTenList.h"
#include "game/UserKeyName.h"
#include "tests/game/GameTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

using gametest::TestGameApp;
using Kavo::TipList;

std::string TipElement(const std::string& text, const std::string& flags)
{
    std::string element = "  <tip>\n    <Text value=\"" + text + "\"/>\n";
    if (flags == "*")
        element += "    <TipChooserFlags_All/>\n";
    else if (!flags.empty())
        element += "    <TipChooserFlags value=\"" + flags + "\"/>\n";
    return element + "  </tip>\n";
}

class Tips : public ::testing::Test
{
protected:
    void SetUp() override { gametest::PrepareGameFolder(); }
    platform::FakeClock clock;
};

TEST_F(Tips, FlagsByGame)
{
    const struct
    {
        int mode, level;
        uint32_t flags;
    } cases[] = {{0, 1, 1}, {0, 16, 1}, {0, 17, 64}, {1, 16, 2}, {1, 17, 128}, {2, 30, 4},
                 {3, 1, 8}, {4, 40, 8}, {5, 1, 16},  {6, 1, 32}, {7, 1, 1},    {-1, 20, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(Kavo::TipChooserFlagsFor(c.mode, c.level), c.flags) << c.mode << " " << c.level;
    EXPECT_EQ(Kavo::TipChooserFlagValue("tcfLateTimedGame", 0), 128u);
    EXPECT_EQ(Kavo::TipChooserFlagValue("tcflatetimedgame", 7), 7u) << "case matters";
}

// Which tips suit: a tip without flags never, one with all flags always; unknown names are
// skipped; a missing file leaves the list as it was.
TEST_F(Tips, ReadsTheFileAndChoosesSuitableTips)
{
    gametest::WriteTextFile("tips.xml", "<tips>\n" + TipElement("Untimed early", "tcfUntimedGame") +
                                            TipElement("Never", "") + TipElement("Always", "*") +
                                            TipElement("Timed", "tcfTimedGame tcfNoSuchGame") +
                                            TipElement("Late untimed", "tcfLateUntimedGame") +
                                            TipElement("Hard timed", "tcfTimedHardGame") + "</tips>\n");
    TipList tips;
    EXPECT_FALSE(tips.Load("missing.xml"));
    EXPECT_EQ(tips.Count(), 0);
    EXPECT_EQ(tips.ChooseTip(0, 1), "");
    ASSERT_TRUE(tips.Load("tips.xml"));
    ASSERT_EQ(tips.Count(), 6);
    EXPECT_EQ(tips.mTips[3].flags, 2u);
    EXPECT_EQ(tips.mTips[2].flags, 0xFFFFFFFFu);

    const struct
    {
        int mode, level;
        std::set<std::string> suitable;
    } cases[] = {
        {0, 16, {"Untimed early", "Always"}},
        {0, 17, {"Late untimed", "Always"}},
        {1, 3, {"Timed", "Always"}},
        {4, 3, {"Hard timed", "Always"}},
        {5, 3, {"Always"}},
    };
    for (const auto& c : cases)
    {
        tips.mViewed = 0;
        std::set<std::string> shown;
        for (size_t i = 0; i < c.suitable.size(); ++i)
            shown.insert(tips.ChooseTip(c.mode, c.level));
        EXPECT_EQ(shown, c.suitable) << c.mode << " " << c.level << ": each suitable tip once, no repeats";
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(c.suitable.count(tips.ChooseTip(c.mode, c.level)), 1u) << "then any of them";
    }
}

// Only the first 32 tips can be marked seen: a later tip comes up only once every suitable tip
// before it was seen.
TEST_F(Tips, ATipBeyondTheMarkableOnesWaitsForTheOthers)
{
    std::string file = "<tips>\n";
    for (int i = 0; i < 40; ++i)
        file +=
            TipElement("tip " + std::to_string(i), i == 0 || i == 39 ? "tcfChallengeGrid" : "tcfTimedGame");
    gametest::WriteTextFile("tips.xml", file + "</tips>\n");
    TipList tips;
    ASSERT_TRUE(tips.Load("tips.xml"));
    EXPECT_EQ(tips.ChooseTip(5, 1), "tip 0");
    EXPECT_EQ(tips.mViewed, 1u);
    std::set<std::string> later;
    for (int i = 0; i < 40; ++i)
        later.insert(tips.ChooseTip(5, 1));
    EXPECT_EQ(later, (std::set<std::string>{"tip 0", "tip 39"}));
    EXPECT_EQ(tips.mViewed, 1u) << "tip 39 is never marked";
}

// The top-ten list shows a tip for the game just played, typed out at 0.4 characters per
// update, and marks it seen in the player's record.
TEST_F(Tips, TheTopTenListTypesOutATipAndMarksItSeen)
{
    gametest::WriteTextFile("properties/Tips.xml", "<tips>\n" + TipElement("Crazy one", "tcfTimedHardGame") +
                                                       TipElement("Crazy two", "tcfTimedHardGame") +
                                                       TipElement("Untimed", "tcfUntimedGame") + "</tips>\n");
    TestGameApp app;
    app.RegistryWriteString("Users\\TIA\\DisplayName", "Tia");
    app.RegistryWriteString("Users\\DefaultName", "TIA");
    app.StartToMainMenu();
    app.RunUpdates(30);
    Kavo::TopTenList* list = app.mTopTenList.get();
    ASSERT_EQ(list->mTips.Count(), 3);

    std::set<std::string> shown;
    for (int game = 0; game < 2; ++game)
    {
        list->SetLastGame(4, "", 100, 3, "Tia", 0);
        app.ShowTopTenList();
        app.RunUpdates(1);
        shown.insert(list->mTipText);
        app.ShowMainMenu();
        app.RunUpdates(2);
    }
    EXPECT_EQ(shown, (std::set<std::string>{"Crazy one", "Crazy two"}));
    EXPECT_EQ(app.mPlayer.mViewedTips, 3);

    const struct
    {
        int counter, characters;
    } typing[] = {{0, 0}, {2, 0}, {3, 1}, {5, 2}, {25, 10}};
    for (const auto& t : typing)
        EXPECT_EQ(Kavo::TopTenList::TipCharactersShown(t.counter), t.characters) << t.counter;
}

} // namespace
