// Every widget of the game says whether it covers its rectangle as it draws in the pictures the
// build made: the widget manager draws nothing below one that says it does, so a translucent
// picture taken for opaque is blended again over the last frame at every partial redraw. The
// real game runs headless in the program's folder along a player's way through its screens,
// dialogs and popups; at each stop every widget in the tree is drawn alone over a black and over
// a white screen: one that answers yes draws the same pixels over both, one that answers no lets
// the screen show somewhere.
#include "ShippedData.h"

#include "base/StringTable.h"
#include "game/AccountManagerDialog.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/CreditsDialog.h"
#include "game/GameChooserScreen.h"
#include "game/LevelChooserScreen.h"
#include "game/NameDialog.h"
#include "game/OptionsDialog.h"
#include "game/TitleScreen.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/files/Files.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/BoardQuickMessage.h"
#include "puzzle/BoardTextOverlay.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/WantRetryPrompt.h"
#include "puzzle/YesNoDialog.h"
#include "rules/RulesFlags.h"
#include "tests/ScratchNames.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/ScrollbuttonWidget.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <typeindex>
#include <vector>

namespace
{

using gametest::TestGameApp;
using Kavo::Board;
using Kavo::Widget;
namespace syn = platform::synthetic;

// The widget's rectangle as it draws itself (and its children) where it lies, alone over a
// screen of one colour.
std::vector<uint32_t> DrawnOver(Widget* widget, uint32_t argb)
{
    Kavo::MemoryImage image;
    std::vector<uint32_t> fill(800 * 600, argb);
    image.SetBits(fill.data(), 800, 600);
    Kavo::Graphics g(&image);
    const Kavo::Point at = widget->GetAbsPos();
    g.Translate(at.mX, at.mY);
    Kavo::ModalFlags flags;
    widget->DrawAll(flags, &g);
    std::vector<uint32_t> pixels;
    for (int y = std::max(at.mY, 0); y < std::min(at.mY + widget->mHeight, 600); ++y)
        for (int x = std::max(at.mX, 0); x < std::min(at.mX + widget->mWidth, 800); ++x)
            pixels.push_back(image.GetPixel(x, y));
    return pixels;
}

class WidgetOpacity : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platform::PathExists(ShippedData::GameFolder() + "main.pak"));
        mFolder = platform::CurrentFolder();
        const char* data = std::getenv("XDG_DATA_HOME");
        mDataHome = data != nullptr ? data : "";
        setenv("XDG_DATA_HOME", (mFolder + scratch::FreshFolder("opacity-") + "userdata").c_str(), 1);
        ASSERT_TRUE(platform::SetCurrentFolder(ShippedData::GameFolder()));
        ASSERT_TRUE(Kavo::StringTable::LoadFile(ShippedData::SourceData() + "properties/strings.txt"));
    }
    void TearDown() override
    {
        platform::SetCurrentFolder(mFolder);
        setenv("XDG_DATA_HOME", mDataHome.c_str(), 1);
    }

    // Every widget in the manager's tree, shown or not, answers as it draws now.
    void CheckEveryWidget(TestGameApp& app, const std::string& where)
    {
        std::function<void(Widget*)> check = [&](Widget* widget)
        {
            if (widget->mWidth > 0 && widget->mHeight > 0)
            {
                const bool covers = DrawnOver(widget, 0xFF000000) == DrawnOver(widget, 0xFFFFFFFF);
                EXPECT_EQ(widget->IsOpaque(), covers)
                    << where << ": a " << typeid(*widget).name() << " at (" << widget->mX << ", "
                    << widget->mY << ") " << widget->mWidth << " x " << widget->mHeight
                    << (covers ? " covers its rectangle" : " lets the screen show");
                mSeen.insert(std::type_index(typeid(*widget)));
                if (widget->IsOpaque()) mOpaque.insert(std::type_index(typeid(*widget)));
            }
            for (Widget* child : widget->mChildren)
                check(child);
        };
        for (Widget* widget : app.mWidgetManager->mChildren)
            check(widget);
    }
    bool Seen(const std::type_info& type) const { return mSeen.count(std::type_index(type)) != 0; }
    bool SeenOpaque(const std::type_info& type) const { return mOpaque.count(std::type_index(type)) != 0; }

    // Runs updates until done() holds; false when it did not within limit updates.
    static bool RunUntil(TestGameApp& app, const std::function<bool()>& done, int limit = 2000)
    {
        for (int i = 0; i < limit; ++i)
        {
            if (done()) return true;
            app.RunUpdates(1);
        }
        return done();
    }

    platform::FakeClock clock;
    std::string mFolder;
    std::string mDataHome;
    std::set<std::type_index> mSeen;
    std::set<std::type_index> mOpaque;
};

// A new player: the splashes and the title, the name, the menu, the options with their help and
// the credits, the players, the tutorial, the board with its popups, the top ten, the challenge
// grid with its hint and a challenge's card, the question to leave the game, a level chooser,
// and the framework's own dialog.
TEST_F(WidgetOpacity, EveryWidgetOfTheGameAnswersAsItDrawsInTheShippedPictures)
{
    TestGameApp app;
    app.RegistryWriteBoolean("TwinklingStars", true);
    app.StartUp();
    app.RunUpdates(50);
    CheckEveryWidget(app, "a splash");
    app.RunUpdates(3 * Kavo::TitleScreen::kUpdatesPerSplash);
    CheckEveryWidget(app, "the title");
    app.Click(400, 300);
    app.RunUpdates(30);
    ASSERT_TRUE(app.HasDialog(TestGameApp::kNameDialog));
    app.Type("Lyra");
    CheckEveryWidget(app, "the name dialog");
    app.PressKey("Return");
    app.RunUpdates(30);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    CheckEveryWidget(app, "the main menu");
    Widget* untimed = app.mMainMenu->Button(Kavo::GameChooserScreen::kUntimed);
    syn::MouseMove(untimed->mX + untimed->mWidth / 2, untimed->mY + untimed->mHeight / 2);
    app.RunUpdates(80);
    CheckEveryWidget(app, "the main menu with a planet");

    // The options, their help, the credits.
    app.OpenOptionsDialog();
    app.RunUpdates(5);
    auto* options = dynamic_cast<Kavo::OptionsDialog*>(app.GetDialog(Kavo::OptionsDialog::kDialogId));
    ASSERT_NE(options, nullptr);
    CheckEveryWidget(app, "the options");
    app.ClickWidget(options->mHelpButton);
    app.RunUpdates(100);
    ASSERT_NE(options->mHelpScreen, nullptr);
    CheckEveryWidget(app, "the options' help");
    app.ClickWidget(options->mHelpScreen->mOkButton);
    app.RunUpdates(5);
    ASSERT_EQ(options->mHelpScreen, nullptr);
    app.ClickWidget(options->mCreditsButton);
    app.RunUpdates(5);
    auto* credits = dynamic_cast<Kavo::CreditsDialog*>(app.GetDialog(Kavo::CreditsDialog::kDialogId));
    ASSERT_NE(credits, nullptr);
    CheckEveryWidget(app, "the credits");
    app.ClickWidget(credits->mCloseButton);
    app.RunUpdates(5);

    // The players, with a question of the framework's own over them.
    app.OpenPlayerDialog();
    app.RunUpdates(5);
    auto* players =
        dynamic_cast<Kavo::AccountManagerDialog*>(app.GetDialog(Kavo::AccountManagerDialog::kDialogId));
    ASSERT_NE(players, nullptr);
    CheckEveryWidget(app, "the players");
    app.DoDialog(900, true, "A question", "Is the framework's dialog drawn as it says?", "",
                 Kavo::Dialog::BUTTONS_YES_NO);
    app.RunUpdates(5);
    CheckEveryWidget(app, "the framework's dialog");
    app.KillDialog(900);
    app.ClickWidget(players->mOkButton);
    app.RunUpdates(5);

    // The tutorial before the first game, then the board.
    app.ClickWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kUntimed));
    app.RunUpdates(100);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
    CheckEveryWidget(app, "the tutorial");
    app.ClickWidget(app.mTutorial->mOkButton);
    Board* board = app.mBoard.get();
    ASSERT_TRUE(RunUntil(app, [&] { return app.GetShownScreen() == TestGameApp::kBoardScreen; }));
    app.RunUpdates(60);
    CheckEveryWidget(app, "the board");
    app.PressKey("Escape");
    app.RunUpdates(30);
    CheckEveryWidget(app, "the board paused");
    app.PressKey("Escape");
    app.RunUpdates(30);

    // The board's popups, each as it shows and a while later.
    const std::vector<std::function<Kavo::BoardPopup*()>> popups = {
        [&]
        { return new Kavo::BoardQuickMessage(board, Board::kMessagePopup, "A message", "Over the board."); },
        [&] { return new Kavo::WantRetryPrompt(board, Board::kMessagePopup); },
        [&] { return new Kavo::BoardHintBox(board, board, Board::kMessagePopup, Kavo::hintBonuses); },
        [&] {
            return new Kavo::BoardTextOverlay(board, Board::kMessagePopup, "A story~in two lines", nullptr,
                                              true);
        },
        [&] { return new Kavo::BoardTextOverlay(board, Board::kMessagePopup, "A story", nullptr, false); },
    };
    for (size_t i = 0; i < popups.size(); ++i)
    {
        // Those before it are gone.
        ASSERT_TRUE(RunUntil(app, [&] { return board->GetCurrentPopup() == nullptr; }));
        board->QueuePopup(popups[i]());
        ASSERT_TRUE(RunUntil(app, [&] { return board->GetCurrentPopup() != nullptr; }));
        CheckEveryWidget(app, "board popup " + std::to_string(i) + " shown");
        app.RunUpdates(100);
        CheckEveryWidget(app, "board popup " + std::to_string(i) + " a second later");
        if (auto* dialog = dynamic_cast<Kavo::YesNoDialog*>(board->GetCurrentPopup()))
            app.ClickWidget(dialog->mFirstButton);
        else
            app.Click(400, 300);
    }
    ASSERT_TRUE(RunUntil(app, [&] { return board->GetCurrentPopup() == nullptr; }));

    // The top ten, the challenge grid with its hint, and a challenge's card as it opens and open.
    ASSERT_TRUE(app.ShowTopTenList());
    app.RunUpdates(200);
    CheckEveryWidget(app, "the top ten");
    ASSERT_TRUE(app.ShowChallengeGrid());
    app.RunUpdates(30);
    CheckEveryWidget(app, "the challenge grid and its hint");
    app.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId);
    app.RunUpdates(2);
    app.ClickWidget(app.mChallengeGrid->ChallengeButton(0));
    app.RunUpdates(3);
    ASSERT_TRUE(app.HasDialog(Kavo::ChallengeInfoDialog::kDialogId));
    CheckEveryWidget(app, "a challenge's card opening");
    app.RunUpdates(100);
    CheckEveryWidget(app, "a challenge's card");
    app.KillDialog(Kavo::ChallengeInfoDialog::kDialogId);
    app.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId);

    // The planets of a player who has reached the sixth level.
    app.mPlayer.RaiseTopLevelReached(0, "", 6);
    app.ShowMainMenu();
    app.RunUpdates(30);
    if (app.HasDialog(Board::kMessagePopup))
    {
        CheckEveryWidget(app, "a hint over the main menu");
        app.KillDialog(Board::kMessagePopup);
        app.RunUpdates(2);
    }
    app.ClickWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kUntimed));
    app.RunUpdates(30);
    auto* leave = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(Kavo::GameChooserScreen::kConfirmDialogId));
    ASSERT_NE(leave, nullptr) << "the game in play is left only when the player says so";
    CheckEveryWidget(app, "the question to leave the game");
    app.ClickWidget(leave->mFirstButton);
    app.RunUpdates(60);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kLevelChooserScreen);
    CheckEveryWidget(app, "the level chooser");

    // Every class of widget the game shows was met; those drawn over a whole picture or in
    // opaque colours said so.
    for (const std::type_info* type : {&typeid(Kavo::TitleScreen),
                                       &typeid(Kavo::ButtonWidget),
                                       &typeid(Kavo::NameDialog),
                                       &typeid(Kavo::EditWidget),
                                       &typeid(Kavo::FancyButton),
                                       &typeid(Kavo::GameChooserScreen),
                                       &typeid(Kavo::OptionsDialog),
                                       &typeid(Kavo::Slider),
                                       &typeid(Kavo::Checkbox),
                                       &typeid(Kavo::TutorialScreen),
                                       &typeid(Kavo::CreditsDialog),
                                       &typeid(Kavo::AccountManagerDialog),
                                       &typeid(Kavo::ListWidget),
                                       &typeid(Kavo::ScrollbarWidget),
                                       &typeid(Kavo::ScrollbuttonWidget),
                                       &typeid(Kavo::Dialog),
                                       &typeid(Kavo::DialogButton),
                                       &typeid(Board),
                                       &typeid(Kavo::BoardQuickMessage),
                                       &typeid(Kavo::WantRetryPrompt),
                                       &typeid(Kavo::BoardHintBox),
                                       &typeid(Kavo::BoardTextOverlay),
                                       &typeid(Kavo::TopTenList),
                                       &typeid(Kavo::ChallengeGridScreen),
                                       &typeid(Kavo::FancyChallengeButton),
                                       &typeid(Kavo::ChallengeInfoDialog),
                                       &typeid(Kavo::YesNoDialog),
                                       &typeid(Kavo::LevelChooserScreen)})
        EXPECT_TRUE(Seen(*type)) << type->name();
    for (const std::type_info* type :
         {&typeid(Kavo::TitleScreen), &typeid(Kavo::GameChooserScreen), &typeid(Kavo::TutorialScreen),
          &typeid(Board), &typeid(Kavo::TopTenList), &typeid(Kavo::ChallengeGridScreen),
          &typeid(Kavo::LevelChooserScreen), &typeid(Kavo::EditWidget), &typeid(Kavo::ListWidget),
          &typeid(Kavo::ScrollbarWidget), &typeid(Kavo::ScrollbuttonWidget)})
        EXPECT_TRUE(SeenOpaque(*type)) << type->name();
}

} // namespace
