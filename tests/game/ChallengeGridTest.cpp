// The challenge grid: its pages, medals, locks and unlocking, and its info dialog.
#include "base/StringTable.h"
#include "base/XMLParser.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameChooserScreen.h"
#include "game/UserKeyName.h"
#include "platform/files/Files.h"
#include "puzzle/Board.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/ResourceIds.h"
#include "rules/RulesFlags.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using gametest::TestGameApp;
using Kavo::ChallengeGridScreen;
using Kavo::ChallengeInfoDialog;
using Kavo::ChallengeList;

// A challenge element; empty fields are left out of the file.
std::string Challenge(const std::string& id, const std::string& requirements, int bronze, int silver = 0,
                      int gold = 0, int ultra = 0, const std::string& extra = std::string())
{
    std::string text = "  <challenge>\n    <ID value=\"" + id + "\"/>\n    <Name value=\"Challenge " + id +
                       "\"/>\n    <ConfigFile value=\"challenges/A1.xml\"/>\n";
    text += "    <Requirements value=\"" + requirements + "\"/>\n";
    if (bronze != 0)
        text += "    <BronzeScoreRequirement value=\"" + std::to_string(bronze) + "\"/>\n" +
                "    <SilverScoreRequirement value=\"" + std::to_string(silver) + "\"/>\n" +
                "    <GoldScoreRequirement value=\"" + std::to_string(gold) + "\"/>\n" +
                "    <UltraScoreRequirement value=\"" + std::to_string(ultra) + "\"/>\n";
    return text + extra + "  </challenge>\n";
}

std::string GridFile(const std::string& challenges, int threshold)
{
    return "<?xml version=\"1.0\"?>\n<challenges>\n  <StarPointsNeededToBeatGrid value=\"" +
           std::to_string(threshold) + "\"/>\n" + challenges + "</challenges>\n";
}

void WriteGrid(int page, const std::string& text)
{
    gametest::WriteTextFile("properties/ChallengeGrid" + std::to_string(page) + ".xml", text);
}

class ChallengeGrid : public ::testing::Test
{
protected:
    void SetUp() override { gametest::PrepareGameFolder(); }

    void Start(const std::string& name = "Ann")
    {
        app.RegistryWriteString(Kavo::UserRegistryPath(name) + "\\DisplayName", name);
        app.RegistryWriteInteger(Kavo::UserRegistryPath(name) + "\\GuiFlags",
                                 Kavo::UserProfile::kSkipTutorial);
        app.RegistryWriteString("Users\\DefaultName", Kavo::UserKeyName(name));
        app.StartToMainMenu();
        app.RunUpdates(30);
        grid = app.mChallengeGrid.get();
    }
    void Score(const std::string& id, int score) { app.mPlayer.mChallengeScores[id] = {"Ann", score, 1}; }
    void ShowGrid()
    {
        app.ShowChallengeGrid();
        app.RunUpdates(2);
    }
    void LeaveGrid()
    {
        app.KillDialog(ChallengeGridScreen::kHintPopupId);
        app.KillDialog(ChallengeInfoDialog::kDialogId);
        app.ShowMainMenu();
        app.RunUpdates(2);
    }
    // The hint box on show, 0 for none.
    int HintShown()
    {
        auto* hint = dynamic_cast<Kavo::BoardHintBox*>(app.GetDialog(ChallengeGridScreen::kHintPopupId));
        return hint != nullptr ? hint->mHintBit : 0;
    }
    int Count(int sound) { return int(std::count(app.sounds.begin(), app.sounds.end(), sound)); }

    platform::FakeClock clock;
    TestGameApp app;
    ChallengeGridScreen* grid = nullptr;
};

// Medals, next medals and locks, from a page of four challenges: A2 needs A1, A3 needs A1 or A2,
// A4 names only a challenge the page does not hold.
TEST_F(ChallengeGrid, MedalsNextMedalsAndLocks)
{
    Kavo::UserProfile player;
    ChallengeList page(&player);
    gametest::WriteTextFile(
        "page.xml",
        GridFile(Challenge("A1", "", 100, 200, 300, 400) + Challenge("A2", "A1", 10, 20, 30, 40) +
                     Challenge("A3", "A1;A2", 10, 20, 30, 40) + Challenge("A4", "Z9", 10, 20, 30, 40),
                 5));
    Kavo::XMLParser parser;
    ASSERT_TRUE(parser.OpenFile("page.xml"));
    ASSERT_TRUE(ChallengeGridScreen::ReadGridXml(page, parser));
    ASSERT_EQ(page.Count(), 4);

    const struct
    {
        int a1, a2;
        int index;
        int medal, next, text;
    } cases[] = {
        {0, 0, 0, 0, 100, 170},     {99, 0, 0, 0, 100, 170},  {100, 0, 0, 1, 200, 171},
        {199, 0, 0, 1, 200, 171},   {200, 0, 0, 2, 300, 172}, {299, 0, 0, 2, 300, 172},
        {300, 0, 0, 3, 400, 173},   {399, 0, 0, 3, 400, 173}, {400, 0, 0, 4, 400, 173},
        {99999, 0, 0, 4, 400, 173}, {99, 40, 1, -1, 40, 173}, {100, 0, 1, 0, 10, 170},
        {99, 9, 2, -1, 10, 170},    {99, 10, 2, 0, 10, 170},  {100, 0, 2, 0, 10, 170},
        {0, 0, 3, 0, 10, 170},      {0, 30, 3, 0, 10, 170},
    };
    for (const auto& c : cases)
    {
        player.mChallengeScores.clear();
        player.mChallengeScores["A1"] = {"", c.a1, 1};
        player.mChallengeScores["A2"] = {"", c.a2, 1};
        const Kavo::ChallengeRecord& record = *page.At(c.index);
        const int best = player.GetChallengeScore(record.ID);
        EXPECT_EQ(page.GetMedalLevel(c.index, -1), c.medal) << record.ID << " " << c.a1 << " " << c.a2;
        EXPECT_EQ(record.GetNextMedalScore(player, -1), c.next) << record.ID << " " << best;
        EXPECT_EQ(record.GetMedalText(player, -1), Kavo::StringTable::GetString(c.text))
            << record.ID << " " << best;
        if (c.medal < 0)
        {
            EXPECT_GE(record.GetMedalLevel(player, nullptr, best), 0) << "no page: no lock";
        }
    }
    EXPECT_EQ(page.At(4), nullptr);
    EXPECT_EQ(page.GetMedalLevel(-1, 0), -1);
}

// A record takes Desc, Requirements and the score requirements of the record before it when it
// leaves them out; ID, Name, ConfigFile and the quick lines start empty. The threshold may stand
// anywhere, and only the first sixteen challenges count.
TEST_F(ChallengeGrid, RecordsCarryOverWhatTheyLeaveOut)
{
    std::string challenges =
        "  <challenge>\n    <ID value=\"A1\"/>\n    <Name value=\"$#FF0000  Red Giant \"/>\n"
        "    <Desc value=\"One\\nTwo\"/>\n    <Requirements value=\"A9\"/>\n"
        "    <ConfigFile value=\"challenges/A1.xml\"/>\n    <QuickDesc3 value=\"Three\"/>\n"
        "    <BronzeScoreRequirement value=\"12abc\"/>\n"
        "    <UltraScoreRequirement value=\"x\"/>\n  </challenge>\n"
        "  <challenge>\n    <ID value=\"A2\"/>\n  </challenge>\n";
    for (int i = 3; i <= 17; ++i)
        challenges += Challenge("B" + std::to_string(i), "", 1, 2, 3, 4);
    gametest::WriteTextFile("page.xml", "<challenges>\n" + challenges +
                                            "  <StarPointsNeededToBeatGrid value=\"-3\"/>\n</challenges>\n");
    Kavo::UserProfile player;
    ChallengeList page(&player);
    Kavo::XMLParser parser;
    ASSERT_TRUE(parser.OpenFile("page.xml"));
    ChallengeGridScreen::ReadGridXml(page, parser);
    ASSERT_EQ(page.Count(), 17);
    const Kavo::ChallengeRecord& first = *page.At(0);
    const Kavo::ChallengeRecord& second = *page.At(1);
    EXPECT_EQ(first.Desc, "One\nTwo");
    EXPECT_EQ(first.Title(), "Red Giant");
    EXPECT_EQ(first.QuickDesc[2], "Three");
    EXPECT_EQ(first.BronzeScoreRequirement, 12);
    EXPECT_EQ(first.UltraScoreRequirement, 0);
    EXPECT_EQ(second.ID, "A2");
    EXPECT_EQ(second.Name, "");
    EXPECT_EQ(second.ConfigFile, "");
    EXPECT_EQ(second.QuickDesc[2], "");
    EXPECT_EQ(second.Desc, "One\nTwo");
    EXPECT_EQ(second.Requirements, "A9");
    EXPECT_EQ(second.BronzeScoreRequirement, 12);
    EXPECT_EQ(page.StarPointsNeededToBeatGrid, -3);
    EXPECT_EQ(page.IndexOfId("B17"), 16);
    EXPECT_EQ(page.IndexOfId("b3"), -1) << "IDs match exactly";

    // Through the screen: seventeen ultra medals count sixteen times four.
    Start();
    WriteGrid(1, "<challenges>\n" + challenges + "</challenges>\n");
    WriteGrid(2, GridFile("", 1000));
    WriteGrid(3, GridFile("", 1000));
    for (int i = 3; i <= 17; ++i)
        Score("B" + std::to_string(i), 4);
    ShowGrid();
    EXPECT_EQ(grid->mStarPoints, 16 * 4) << "B3 to B16 count, B17 does not; A1 and A2 hold ultra, as their "
                                            "missing silver, gold and ultra requirements are 0";
}

// Each SetPage opens at most one further page, when the star points reach the threshold of the
// page the player is on; an unlock found while the grid is shown brings its hint at once.
TEST_F(ChallengeGrid, StarPointsOpenOnePageAtATime)
{
    Start();
    WriteGrid(1, GridFile(Challenge("A1", "", 10, 20, 30, 40) + Challenge("A2", "", 10, 20, 30, 40), 3));
    WriteGrid(2, GridFile(Challenge("C1", "", 10, 20, 30, 40), 4));
    WriteGrid(3, GridFile(Challenge("E1", "", 10, 20, 30, 40), 0));
    app.mPlayer.mDisabledHints = 0x1000 | Kavo::hintChallengeGridGoingStrong;
    Score("A1", 30); // gold: 3 points
    ShowGrid();
    EXPECT_EQ(grid->mStarPoints, 3);
    EXPECT_EQ(app.mPlayer.mUnlockedGridPages, 1);
    EXPECT_EQ(HintShown(), Kavo::hintUnlockedChallengeGrid2);
    EXPECT_FALSE(grid->mPageJustUnlocked) << "consumed by the showing";
    EXPECT_FALSE(grid->mPreviousButton->mVisible);
    EXPECT_TRUE(grid->mNextButton->mVisible);
    app.KillDialog(ChallengeGridScreen::kHintPopupId);
    app.RunUpdates(1);

    // Page 2 is open now; the fourth star point (a bronze on A2) reaches page 2's threshold.
    Score("A2", 10);
    app.ClickWidget(grid->mNextButton);
    EXPECT_EQ(grid->mPage, 1);
    EXPECT_EQ(app.mPlayer.mUnlockedGridPages, 2);
    EXPECT_FALSE(grid->ChallengeButton(0)->mDisabled);
    EXPECT_EQ(grid->ChallengeButton(0)->mIdText, "C1");
    EXPECT_TRUE(grid->ChallengeButton(1)->mDisabled) << "a page of one challenge";
    EXPECT_EQ(HintShown(), 0) << "the hint of an unlock while browsing waits";
    EXPECT_TRUE(grid->mPageJustUnlocked);

    // The third page is open; its threshold is 0, so the grid is never beaten, whatever the points.
    Score("C1", 40);
    Score("A2", 40);
    app.ClickWidget(grid->mNextButton);
    EXPECT_EQ(grid->mPage, 2);
    EXPECT_EQ(grid->mStarPoints, 11);
    EXPECT_EQ(app.mPlayer.mUnlockedGridPages, 2);
    EXPECT_EQ(grid->ChallengeButton(0)->mIdText, "E1");
    EXPECT_EQ(grid->ChallengeButton(0)->mMedal, 0);
    EXPECT_FALSE(grid->mNextButton->mVisible);
    app.ClickWidget(grid->mPreviousButton);
    EXPECT_EQ(grid->mPage, 1);

    LeaveGrid();
    ShowGrid();
    EXPECT_EQ(HintShown(), Kavo::hintUnlockedChallengeGrid3)
        << "the waiting hint comes with the next showing";
    EXPECT_EQ(grid->mPage, 1) << "the page is kept between showings";
}

// The hints of a showing, in order of precedence: the welcome, then "going strong"; an unlock's
// hint comes last and stays on show.
TEST_F(ChallengeGrid, HintsOfAShowing)
{
    Start();
    WriteGrid(1, GridFile(Challenge("A1", "", 10, 20, 30, 40), 10));
    WriteGrid(2, GridFile("", 20));
    WriteGrid(3, GridFile("", 30));
    app.mPlayer.mDisabledHints = 0;
    ShowGrid();
    EXPECT_EQ(HintShown(), 0x1000);
    LeaveGrid();

    app.mPlayer.mDisabledHints = 0x1000;
    Score("A1", 40); // 4 points: not above 10 / 2
    ShowGrid();
    EXPECT_EQ(HintShown(), 0);
    LeaveGrid();

    WriteGrid(1, GridFile(Challenge("A1", "", 10, 20, 30, 40) + Challenge("A2", "", 10, 20, 30, 40), 10));
    Score("A2", 20); // 6 points: above 5
    ShowGrid();
    EXPECT_EQ(HintShown(), Kavo::hintChallengeGridGoingStrong);
    LeaveGrid();

    app.mPlayer.mDisabledHints =
        0x1000 | Kavo::hintChallengeGridGoingStrong | Kavo::hintUnlockedChallengeGrid2;
    Score("A2", 40); // 8 points
    WriteGrid(1, GridFile(Challenge("A1", "", 10, 20, 30, 40) + Challenge("A2", "", 10, 20, 30, 40), 8));
    ShowGrid();
    EXPECT_EQ(app.mPlayer.mUnlockedGridPages, 1);
    EXPECT_EQ(HintShown(), 0) << "the player turned the unlock hint off";
}

// The grid never keeps what an earlier showing read: a page whose file went is empty, and a
// result of a challenge no page holds any more still lays the buttons out afresh.
TEST_F(ChallengeGrid, AShowingReadsThePagesAfresh)
{
    Start();
    WriteGrid(1, GridFile(Challenge("A1", "", 10, 20, 30, 40) + Challenge("A2", "", 10, 20, 30, 40), 50));
    ShowGrid();
    EXPECT_EQ(grid->ChallengeButton(1)->mIdText, "A2");
    LeaveGrid();

    WriteGrid(1, GridFile(Challenge("N1", "", 10, 20, 30, 40) + Challenge("N2", "", 10, 20, 30, 40), 50));
    grid->SetLastResult("A2", 5);
    ShowGrid();
    EXPECT_FALSE(app.HasDialog(ChallengeInfoDialog::kDialogId));
    EXPECT_EQ(grid->ChallengeButton(1)->mIdText, "N2");
    EXPECT_EQ(grid->mLastResultId, "");
    EXPECT_EQ(grid->mLastResultScore, -1);
    LeaveGrid();

    ASSERT_TRUE(platform::RemoveFile("properties/ChallengeGrid1.xml"));
    EXPECT_FALSE(grid->LoadGridFiles());
    EXPECT_EQ(grid->Page(0).Count(), 0);
    ShowGrid();
    EXPECT_EQ(grid->Page(0).Count(), 0);
    for (int i = 0; i < ChallengeList::kShown; ++i)
        EXPECT_TRUE(grid->ChallengeButton(i)->mDisabled) << i;
    EXPECT_EQ(grid->mStarPoints, 0);
}

// A challenge is opened, played and comes back: the dialog zooms open, its Play button loads the
// challenge's rules with its name, lines and next medal; after the game the dialog opens again
// on the challenge's page, at once and with the long-chain sound when the game won a medal.
TEST_F(ChallengeGrid, AChallengeIsStartedFromItsDialogAndComesBackWithItsResult)
{
    Start();
    ShowGrid();
    app.KillDialog(ChallengeGridScreen::kHintPopupId);
    app.RunUpdates(1);
    app.sounds.clear();
    app.ClickWidget(grid->ChallengeButton(0));
    auto* dialog = dynamic_cast<ChallengeInfoDialog*>(app.GetDialog(ChallengeInfoDialog::kDialogId));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Count(Kavo::SOUND_ZOOMOUT), 1);
    EXPECT_TRUE(dialog->mZoom);
    EXPECT_FALSE(dialog->mPlayButton->mVisible);
    EXPECT_EQ(dialog->mPlayButton->mLabel, Kavo::StringTable::GetString(150));
    app.RunUpdates(15);
    ASSERT_TRUE(dialog->mPlayButton->mVisible);
    app.ClickWidget(dialog->mPlayButton);
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    EXPECT_FALSE(app.HasDialog(ChallengeInfoDialog::kDialogId));
    const Kavo::GameRulesConfig& rules = app.mBoard->rules;
    EXPECT_EQ(rules.GameMode, 5);
    EXPECT_EQ(rules.sChallengeModeID, "A1");
    EXPECT_EQ(rules.sNameOfChallenge, grid->Page(0).At(0)->Name);
    EXPECT_EQ(rules.nNextMedalTarget, grid->Page(0).At(0)->BronzeScoreRequirement);
    EXPECT_EQ(rules.sNextMedalName, Kavo::StringTable::GetString(170));
    EXPECT_EQ(rules.sDisplayLine2, grid->Page(0).At(0)->QuickDesc[1]);

    // A bronze medal.
    const int bronze = grid->Page(0).At(0)->BronzeScoreRequirement;
    app.sounds.clear();
    app.LevelOver(5, "A1", bronze, 1, 0, false);
    app.RunUpdates(2);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);
    dialog = dynamic_cast<ChallengeInfoDialog*>(app.GetDialog(ChallengeInfoDialog::kDialogId));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->mEarlierBest, 0);
    EXPECT_EQ(dialog->mBest, bronze);
    EXPECT_TRUE(dialog->EarnedNewMedal());
    EXPECT_FALSE(dialog->mZoom);
    EXPECT_TRUE(dialog->mPlayButton->mVisible);
    EXPECT_EQ(dialog->mPlayButton->mLabel, Kavo::StringTable::GetString(148));
    EXPECT_EQ(dialog->mCancelButton->mLabel, Kavo::StringTable::GetString(209));
    EXPECT_EQ(Count(Kavo::SOUND_LONGCHAIN), 1);
    EXPECT_EQ(Count(Kavo::SOUND_ZOOMOUT), 0);
    EXPECT_EQ(grid->ChallengeButton(0)->mMedal, 1);

    // Done only closes it; the grid stays.
    app.ClickWidget(dialog->mCancelButton);
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(ChallengeInfoDialog::kDialogId));
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kChallengeGridScreen);

    // Played again for less: no new medal, the dialog zooms.
    app.sounds.clear();
    grid->SetLastResult("A1", bronze);
    app.ShowMainMenu();
    ShowGrid();
    dialog = dynamic_cast<ChallengeInfoDialog*>(app.GetDialog(ChallengeInfoDialog::kDialogId));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->EarnedNewMedal());
    EXPECT_TRUE(dialog->mZoom);
    EXPECT_EQ(Count(Kavo::SOUND_LONGCHAIN), 0);
}

// A challenge of a later page comes back on its page.
TEST_F(ChallengeGrid, AResultOpensOnThePageOfItsChallenge)
{
    Start();
    app.mPlayer.mUnlockedGridPages = 3;
    grid->SetLastResult("I3", 0);
    ShowGrid();
    EXPECT_EQ(grid->mPage, 2);
    auto* dialog = dynamic_cast<ChallengeInfoDialog*>(app.GetDialog(ChallengeInfoDialog::kDialogId));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->mPage, &grid->Page(2));
    EXPECT_EQ(grid->Page(2).At(dialog->mIndex)->ID, "I3");
    EXPECT_EQ(grid->mSelected, dialog->mIndex);
}

} // namespace
