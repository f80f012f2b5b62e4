// The top-ten list: its pages, the last game's row and its buttons.
#include "game/TopTenList.h"
#include "base/StringTable.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

namespace
{

using gametest::TestGameApp;
using Kavo::TopTenList;

TEST(TopTenPages, TheLastGamesPageByModeAndChallenge)
{
    const struct
    {
        int mode;
        const char* key;
        int page;
    } cases[] = {
        {0, "", 0},   {1, "", 1},   {2, "", 2},   {3, "", 3},   {4, "", 10},  {6, "W", 12},
        {5, "A1", 4}, {5, "B4", 4}, {5, "C2", 5}, {5, "E3", 6}, {5, "H1", 7}, {5, "J4", 8},
        {5, "K1", 9}, {5, "Z9", 9}, {5, "E", 9},  {5, "", 9},   {7, "", 0},   {-1, "", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TopTenList::PageOfMode(c.mode, c.key), c.page) << c.mode << " " << c.key;
    EXPECT_EQ(TopTenList::ChallengeIdsOfPage(6),
              (std::vector<std::string>{"E1", "E2", "E3", "E4", "F1", "F2", "F3", "F4"}));
    EXPECT_TRUE(TopTenList::ChallengeIdsOfPage(10).empty());
    EXPECT_EQ(TopTenList::PageName(10), Kavo::StringTable::GetString(285));
    EXPECT_EQ(TopTenList::PageName(11), "");
}

class TopTenListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        app.StartToMainMenu();
        list = app.mTopTenList.get();
    }
    void Show()
    {
        app.ShowTopTenList();
        app.RunUpdates(2);
    }
    Kavo::ButtonWidget* Button(int id)
    {
        for (Kavo::ButtonWidget* button : list->mButtons)
            if (button->mId == id) return button;
        return nullptr;
    }

    platform::FakeClock clock;
    TestGameApp app;
    TopTenList* list = nullptr;
};

TEST_F(TopTenListTest, EveryShowingOpensOnTheLastGamesPageWithItsRowPulsing)
{
    app.mTopScores.AddScore(4, "", 900, 6, "Ann");
    app.mTopScores.AddScore(4, "", 700, 5, "Bob");
    app.mTopScores.AddScore(4, "", 700, 5, "Bob"); // the same result twice
    list->SetLastGame(4, "", 700, 5, "Bob", 0);
    Show();
    EXPECT_EQ(list->mPage, 10);
    std::vector<TopTenList::Row> rows = list->PageRows();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].entry, Kavo::ScoreEntry("Ann", 900, 6));
    EXPECT_EQ(rows[0].label, "1.");
    EXPECT_FALSE(rows[0].highlighted);
    EXPECT_TRUE(rows[1].highlighted);
    EXPECT_FALSE(rows[2].highlighted) << "only the first of two equal rows";
    EXPECT_EQ(rows[3].entry, Kavo::ScoreEntry()) << "clear entries fill the list";
    const int pulse = list->mPulse;
    app.RunUpdates(3);
    EXPECT_EQ(list->mPulse, pulse + 12);
    // The pulse runs 0 to 256; its colour holds at 255 and never carries into the red.
    const struct
    {
        int pulse, green;
    } colours[] = {{0, 0}, {128, 128}, {255, 255}, {256, 255}};
    for (const auto& c : colours)
    {
        const Kavo::Color colour = TopTenList::HighlightColour(c.pulse);
        EXPECT_EQ(colour.ToInt(), 0xFF800080u | uint32_t(c.green) << 8) << c.pulse;
    }

    // Another page: no row of the last game, no pulse.
    app.ClickWidget(Button(TopTenList::kNextPage));
    EXPECT_EQ(list->mPage, 0);
    for (const TopTenList::Row& row : list->PageRows())
        EXPECT_FALSE(row.highlighted);
    app.ShowMainMenu();
    Show();
    EXPECT_EQ(list->mPage, 10);
}

TEST_F(TopTenListTest, ThePageButtonsGoRoundTheElevenPages)
{
    Show();
    EXPECT_EQ(list->mPage, 0);
    app.ClickWidget(Button(TopTenList::kPreviousPage));
    EXPECT_EQ(list->mPage, 10);
    app.ClickWidget(Button(TopTenList::kNextPage));
    EXPECT_EQ(list->mPage, 0);
    for (int id : {TopTenList::kScrollOn, TopTenList::kScrollBack})
        EXPECT_FALSE(Button(id)->mVisible);

    // The online page (never reached by browsing) shows its notice with the scroll buttons
    // visible and disabled.
    list->UpdatePageButtons(TopTenList::kOnlinePage);
    for (int id : {TopTenList::kScrollOn, TopTenList::kScrollBack})
    {
        EXPECT_TRUE(Button(id)->mVisible);
        EXPECT_TRUE(Button(id)->mDisabled);
    }
    list->ButtonDepress(TopTenList::kScrollOn);
    EXPECT_EQ(list->mScrollOffset, 0);

    // Every page draws: a page of rows stripes its first row (and every second one after it),
    // a page without rows stripes none.
    Kavo::MemoryImage image;
    image.Create(800, 600);
    Kavo::Graphics g(&image);
    auto pixel = [&](int x, int y) { return image.GetBits()[y * 800 + x]; };
    for (int page = 0; page < TopTenList::kPages; ++page)
    {
        list->UpdatePageButtons(page);
        list->Draw(&g);
        const bool hasRows = page != 11 && page != TopTenList::kOnlinePage;
        EXPECT_EQ(pixel(170, 210) != pixel(170, 240), hasRows) << page;
        EXPECT_EQ(pixel(170, 270) != pixel(170, 240), hasRows) << page << ": the third row";
    }
    app.ClickWidget(Button(TopTenList::kMainMenu));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
}

// A challenge page shows its eight challenges, and a challenge that has no entry yet gets an
// empty one in the scores when its row is drawn; a later game of that challenge scoring nothing
// then leaves the empty entry as it was.
TEST_F(TopTenListTest, AChallengePageShowsItsEightChallengesWithAnEntryForEach)
{
    app.mTopScores.AddScore(5, "E3", 4100, 2, "Cy");
    list->SetLastGame(5, "E3", 4100, 2, "Cy", 0);
    Show();
    EXPECT_EQ(list->mPage, 6);
    const auto& scores = app.mTopScores.mChallengeScores;
    ASSERT_EQ(scores.size(), 8u) << "drawn";
    for (const std::string& id : TopTenList::ChallengeIdsOfPage(6))
        EXPECT_EQ(scores.at(id), id == "E3" ? Kavo::ScoreEntry("Cy", 4100, 2) : Kavo::ScoreEntry()) << id;
    std::vector<TopTenList::Row> rows = list->PageRows();
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[2].label, Kavo::StringTable::GetString(248, "E3"));
    EXPECT_TRUE(rows[2].highlighted);
    EXPECT_EQ(rows[0].entry.score, 0);

    app.mTopScores.AddScore(5, "E1", 0, 1, "Dot");
    EXPECT_EQ(scores.at("E1"), Kavo::ScoreEntry());
    app.mTopScores.AddScore(5, "E1", 10, 1, "Dot");
    EXPECT_EQ(scores.at("E1"), Kavo::ScoreEntry("Dot", 10, 1));
}

} // namespace
