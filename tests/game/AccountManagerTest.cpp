// The players dialog: picking, creating and deleting players.
#include "base/StringTable.h"
#include "game/AccountManagerDialog.h"
#include "game/GameChooserScreen.h"
#include "game/NameDialog.h"
#include "game/UserKeyName.h"
#include "platform/files/Files.h"
#include "puzzle/Board.h"
#include "puzzle/FancyButton.h"
#include "puzzle/YesNoDialog.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using gametest::TestGameApp;
using Kavo::AccountManagerDialog;

class Accounts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        for (const char* name : {"Zed", "amy", "Bo"})
            app.RegistryWriteString(Kavo::UserRegistryPath(name) + "\\DisplayName", name);
        app.RegistryWriteInteger("Users\\AMY\\GuiFlags", Kavo::UserProfile::kSkipTutorial);
        app.RegistryWriteString("Users\\DefaultName", "AMY");
        app.StartToMainMenu();
        app.RunUpdates(30);
    }
    AccountManagerDialog* Open()
    {
        app.ClickWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kChoosePlayer));
        app.RunUpdates(1);
        return dynamic_cast<AccountManagerDialog*>(app.GetDialog(AccountManagerDialog::kDialogId));
    }
    std::vector<std::string> Lines(AccountManagerDialog* dialog)
    {
        std::vector<std::string> lines;
        for (int i = 0; i < dialog->mList->GetLineCount(); ++i)
            lines.push_back(dialog->mList->GetLine(i));
        return lines;
    }
    void ClickLine(AccountManagerDialog* dialog, int line)
    {
        Kavo::ListWidget* list = dialog->mList;
        app.Click(list->mX + 20, list->mY + 4 + line * list->GetRowHeight() + list->GetRowHeight() / 2);
    }
    // Answers the delete confirmation.
    void Confirm(bool yes)
    {
        auto* confirm =
            dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(AccountManagerDialog::kConfirmDialogId));
        ASSERT_NE(confirm, nullptr);
        app.RunUpdates(16);
        app.ClickWidget(yes ? confirm->mFirstButton : confirm->mSecondButton);
        app.RunUpdates(2);
    }

    platform::FakeClock clock;
    TestGameApp app;
};

// The players in order, the current one selected; another is picked with OK.
TEST_F(Accounts, PicksAnotherPlayer)
{
    AccountManagerDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Lines(dialog), (std::vector<std::string>{"Bo", "Zed", "amy"})) << "sorted byte by byte";
    EXPECT_EQ(dialog->SelectedName(), "amy");
    EXPECT_FALSE(dialog->mOkButton->mDisabled);

    ClickLine(dialog, 1);
    EXPECT_EQ(dialog->SelectedName(), "Zed");
    app.ClickWidget(dialog->mOkButton);
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(AccountManagerDialog::kDialogId));
    EXPECT_EQ(app.mPlayer.GetName(), "Zed");
}

// New Player closes the list and asks for a name; the name becomes the current player.
TEST_F(Accounts, CreatesANewPlayer)
{
    AccountManagerDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    app.ClickWidget(dialog->mCreateButton);
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(AccountManagerDialog::kDialogId));
    ASSERT_TRUE(app.HasDialog(Kavo::NameDialog::kDialogId));
    app.Type("Neo");
    app.PressKey("Return");
    app.RunUpdates(2);
    EXPECT_EQ(app.mPlayer.GetName(), "Neo");
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Lines(dialog), (std::vector<std::string>{"Bo", "Neo", "Zed", "amy"}));
    EXPECT_EQ(dialog->SelectedName(), "Neo");
}

// Deleting another player keeps the current one; "no" deletes nothing; deleting the current player
// ends its game and its saved game, and leaves nobody current, with nothing to save or resume.
TEST_F(Accounts, DeletesPlayersTheCurrentOneIncluded)
{
    AccountManagerDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ClickLine(dialog, 0);
    app.ClickWidget(dialog->mDeleteButton);
    Confirm(false);
    EXPECT_EQ(Lines(dialog).size(), 3u);
    app.ClickWidget(dialog->mDeleteButton);
    Confirm(true);
    EXPECT_EQ(Lines(dialog), (std::vector<std::string>{"Zed", "amy"}));
    EXPECT_EQ(dialog->SelectedName(), "amy") << "the current player is selected again";
    EXPECT_EQ(app.mPlayer.GetName(), "amy");
    app.KillDialog(AccountManagerDialog::kDialogId);
    app.RunUpdates(1);

    // A game running for amy, and a saved one on disk.
    ASSERT_TRUE(app.LoadRulesAndStart("properties/untimed_config.xml"));
    app.RunUpdates(25);
    ASSERT_TRUE(app.mGameActive);
    const std::string saved = Kavo::Board::SavedGamePath(app.SavedGameFileName());
    ASSERT_TRUE(app.mBoard->SaveGame(app.SavedGameFileName()));
    ASSERT_TRUE(platform::PathExists(saved));
    app.ShowMainMenu();
    app.RunUpdates(30);
    app.KillDialog(105);
    app.RunUpdates(1);

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->SelectedName(), "amy");
    app.ClickWidget(dialog->mDeleteButton);
    Confirm(true);
    EXPECT_EQ(Lines(dialog), (std::vector<std::string>{"Zed"}));
    EXPECT_EQ(dialog->mList->mSelectIdx, -1);
    EXPECT_TRUE(dialog->mOkButton->mDisabled);
    EXPECT_TRUE(dialog->mDeleteButton->mDisabled);
    EXPECT_FALSE(dialog->mCreateButton->mDisabled);
    EXPECT_EQ(app.mPlayer.GetName(), "");
    EXPECT_FALSE(app.mGameActive);
    EXPECT_FALSE(app.mSavedGamePresent);
    EXPECT_FALSE(platform::PathExists(saved));
    EXPECT_EQ(app.SavedGameFileName(), "");
    EXPECT_FALSE(app.mWidgetManager->HasWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kResume)))
        << "nothing to resume";

    // OK without a selection leaves the dialog open.
    app.ClickWidget(dialog->mOkButton);
    EXPECT_TRUE(app.HasDialog(AccountManagerDialog::kDialogId));
}

// A new player deleted again while the players dialog is open: the menu lays itself out again
// for nobody beneath the dialog, which stays on top and modal. The click at (235, 272) falls on
// the dialog's margin over the menu's challenge-grid button, and opens nothing.
TEST_F(Accounts, TheMenuLaidOutAgainStaysBelowTheOpenDialog)
{
    AccountManagerDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    app.ClickWidget(dialog->mCreateButton);
    app.RunUpdates(2);
    app.Type("Orion");
    app.PressKey("Return");
    app.RunUpdates(2);
    ASSERT_EQ(app.mPlayer.GetName(), "Orion");
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->SelectedName(), "Orion");
    app.ClickWidget(dialog->mDeleteButton);
    Confirm(true);
    ASSERT_EQ(app.mPlayer.GetName(), "");
    ASSERT_TRUE(app.HasDialog(AccountManagerDialog::kDialogId));

    Kavo::WidgetManager* manager = app.mWidgetManager;
    EXPECT_EQ(manager->mBaseModalWidget, dialog);
    const std::vector<Kavo::Widget*> ofTheDialog = {dialog,
                                                    dialog->mList,
                                                    dialog->mCreateButton,
                                                    dialog->mDeleteButton,
                                                    dialog->mOkButton,
                                                    dialog->mScrollbar};
    auto at = std::find(manager->mChildren.begin(), manager->mChildren.end(), dialog);
    ASSERT_NE(at, manager->mChildren.end());
    for (; at != manager->mChildren.end(); ++at)
        EXPECT_NE(std::find(ofTheDialog.begin(), ofTheDialog.end(), *at), ofTheDialog.end())
            << "only the dialog's own widgets lie above it";
    Kavo::Widget* grid = app.mMainMenu->Button(Kavo::GameChooserScreen::kChallengeGrid);
    ASSERT_TRUE(manager->HasWidget(grid));
    ASSERT_TRUE(grid->GetRect().Contains(235, 272));
    EXPECT_EQ(manager->GetWidgetAt(235, 272), dialog);

    app.Click(235, 272);
    app.RunUpdates(30);
    EXPECT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    EXPECT_TRUE(app.HasDialog(AccountManagerDialog::kDialogId));
}

} // namespace
