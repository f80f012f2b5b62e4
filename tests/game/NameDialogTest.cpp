// The name dialog, typed into through the platform's input.
#include "game/NameDialog.h"
#include "puzzle/FancyButton.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/EditWidget.h"

#include <gtest/gtest.h>

namespace
{

using gametest::TestGameApp;
using Kavo::NameDialog;

TEST(NameDialogRules, LettersDigitsAndAFewMarksMakeAName)
{
    for (char c : std::string("azAZ09.' \x80\xE9\xFF"))
        EXPECT_TRUE(NameDialog::IsAllowedChar(c)) << int(uint8_t(c));
    for (char c : std::string("<>@!\"#$%&()*+,-/:;=?[\\]^_`{|}~\t\n"))
        EXPECT_FALSE(NameDialog::IsAllowedChar(c)) << int(uint8_t(c));
    EXPECT_TRUE(NameDialog::IsValidName(" x "));
    EXPECT_FALSE(NameDialog::IsValidName(" \t\r\n"));
    EXPECT_FALSE(NameDialog::IsValidName(""));
}

class NameDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        app.StartToMainMenu();
        app.RunUpdates(30); // the intro ends and asks the nameless player's name
        dialog = dynamic_cast<NameDialog*>(app.GetDialog(NameDialog::kDialogId));
        ASSERT_NE(dialog, nullptr);
    }

    platform::FakeClock clock;
    TestGameApp app;
    NameDialog* dialog = nullptr;
};

TEST_F(NameDialogTest, TakesOnlyWhatANameMayHoldAndAtMostTwelveCharacters)
{
    EXPECT_TRUE(dialog->mOkButton->mDisabled);
    app.Type("<O'Neil @Jr.>");
    EXPECT_EQ(dialog->GetName(), "O'Neil Jr.");
    EXPECT_FALSE(dialog->mOkButton->mDisabled);
    app.Type("abcdefgh");
    EXPECT_EQ(dialog->GetName(), "O'Neil Jr.ab");
    ASSERT_EQ(dialog->mNameField->mText.size(), 12u);
    app.ClickWidget(dialog->mOkButton);
    EXPECT_FALSE(app.HasDialog(NameDialog::kDialogId));
    EXPECT_EQ(app.mPlayer.GetName(), "O'Neil Jr.ab");
}

TEST_F(NameDialogTest, OnlyBlanksKeepOkDisabledAndEnterDoesNothing)
{
    app.Type("   ");
    EXPECT_TRUE(dialog->mOkButton->mDisabled);
    app.PressKey("Return");
    ASSERT_TRUE(app.HasDialog(NameDialog::kDialogId));
    EXPECT_EQ(app.mPlayer.GetName(), "");
    // Surrounding blanks are typed as they are; the player's record trims them.
    app.Type("Ann ");
    app.PressKey("Return");
    EXPECT_FALSE(app.HasDialog(NameDialog::kDialogId));
    EXPECT_EQ(app.mPlayer.mDisplayName, "Ann");
}

TEST(NameDialogStart, AValidInitialNameOpensWithOkEnabled)
{
    gametest::PrepareGameFolder();
    platform::FakeClock clock;
    TestGameApp app;
    app.Initialize();
    NameDialog named("Bea");
    EXPECT_FALSE(named.mOkButton->mDisabled);
    EXPECT_EQ(named.GetRect(), Kavo::Rect(250, 125, 300, 200));
    NameDialog empty(" ");
    EXPECT_TRUE(empty.mOkButton->mDisabled);
}

} // namespace
