// The options dialog: volumes, 3D, full screen, the star field, help and credits.
#include "game/OptionsDialog.h"
#include "base/StringTable.h"
#include "display/DDInterface.h"
#include "game/CreditsDialog.h"
#include "game/TutorialScreen.h"
#include "game/UserKeyName.h"
#include "platform/window/Window.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/Checkbox.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using gametest::RecordingLogger;
using gametest::TestGameApp;
using Kavo::OptionsDialog;

class Options : public ::testing::Test
{
protected:
    void SetUp() override { gametest::PrepareGameFolder(); }

    static void Start(TestGameApp& app)
    {
        app.RegistryWriteString("Users\\OLA\\DisplayName", "Ola");
        app.RegistryWriteString("Users\\DefaultName", "OLA");
        app.StartToMainMenu();
        app.RunUpdates(30);
    }
    static OptionsDialog* Open(TestGameApp& app)
    {
        app.OpenOptionsDialog();
        app.RunUpdates(1);
        return dynamic_cast<OptionsDialog*>(app.GetDialog(OptionsDialog::kDialogId));
    }
    // A click on the slider's track at a share of its length, let go at once.
    static void ClickSlider(TestGameApp& app, Kavo::Slider* slider, double share)
    {
        app.Click(slider->mX + int(slider->mWidth * share), slider->mY + slider->mHeight / 2);
    }

    platform::FakeClock clock;
};

// What the dialog changes reaches the settings store, and a new start reads it back.
TEST_F(Options, SettingsGoThroughTheStoreToTheNextStart)
{
    platform::RegistryStore store;
    {
        TestGameApp app(&store);
        Start(app);
        RecordingLogger& log = app.RecordEvents();
        OptionsDialog* options = Open(app);
        ASSERT_NE(options, nullptr);
        EXPECT_DOUBLE_EQ(options->mMusicSlider->mValue, app.GetMusicVolume());
        EXPECT_FALSE(options->mStarsBox->IsChecked());
        EXPECT_TRUE(log.controls.empty()) << "opening reports nothing";

        app.sounds.clear();
        ClickSlider(app, options->mMusicSlider, 0.25);
        ClickSlider(app, options->mSoundSlider, 0.3);
        EXPECT_NEAR(app.GetMusicVolume(), 0.25, 0.02);
        EXPECT_NEAR(app.GetSfxVolume(), 0.3, 0.02);
        EXPECT_EQ(std::count(app.sounds.begin(), app.sounds.end(), Kavo::SOUND_GOODMOVE1), 1)
            << "a release of the sound slider plays a sample";
        app.ClickWidget(options->mStarsBox);
        EXPECT_TRUE(app.mTwinklingStars) << "at once, without OK";
        ASSERT_EQ(log.controls.size(), 2u);
        EXPECT_EQ(log.controls[0].rfind("options_musicvolume ", 0), 0u);
        EXPECT_EQ(log.controls[1].rfind("options_soundvolume ", 0), 0u);

        // Full screen takes effect with OK, not before.
        app.ClickWidget(options->mFullScreenBox);
        EXPECT_TRUE(options->mFullScreenBox->IsChecked());
        EXPECT_TRUE(app.mIsWindowed);
        app.ClickWidget(options->mOkButton);
        app.RunUpdates(2);
        EXPECT_FALSE(app.HasDialog(OptionsDialog::kDialogId));
        EXPECT_EQ(log.controls.back(), "options_ok");
        EXPECT_FALSE(app.mIsWindowed);
        EXPECT_TRUE(platform::MainWindowIsFullscreen());
    }
    TestGameApp app(&store);
    Start(app);
    EXPECT_NEAR(app.GetMusicVolume(), 0.25, 0.02);
    EXPECT_NEAR(app.GetSfxVolume(), 0.3, 0.02);
    EXPECT_TRUE(app.mTwinklingStars);
    OptionsDialog* options = Open(app);
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->mStarsBox->IsChecked());
    EXPECT_TRUE(options->mFullScreenBox->IsChecked());
    EXPECT_FALSE(app.mIsWindowed);

    // Back into a window the same way (the box and OK pressed as a click would: in full screen
    // the test's clicks do not land on the scaled screen).
    options->mFullScreenBox->SetChecked(false, true);
    options->ButtonDepress(OptionsDialog::ID_OK);
    app.RunUpdates(2);
    EXPECT_TRUE(app.mIsWindowed);
    EXPECT_FALSE(platform::MainWindowIsFullscreen());
}

// Hardware that failed the 3D test: checking 3D unchecks it again with a notice, and OK keeps 2D.
// A display that runs 3D already opens the dialog checked without any notice.
TEST_F(Options, ThreeDOnlyWhereTheHardwareAllowsIt)
{
    TestGameApp app;
    Start(app);
    app.is3D = true;
    OptionsDialog* options = Open(app);
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->m3DBox->IsChecked());
    EXPECT_FALSE(app.HasDialog(104)) << "opening raises no notice";
    app.KillDialog(OptionsDialog::kDialogId);
    app.RunUpdates(1);

    app.is3D = false;
    app.mDDInterface->mTestFailureReason = "The 3D test failed."; // hardware without 3D
    options = Open(app);
    ASSERT_FALSE(app.Is3DAccelerationSupported());
    app.ClickWidget(options->m3DBox);
    EXPECT_FALSE(options->m3DBox->IsChecked());
    auto* notice = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(104));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->mHeader, Kavo::StringTable::GetString(212));
    EXPECT_EQ(notice->mSecondButton, nullptr) << "one button";
    app.RunUpdates(20);
    app.ClickWidget(notice->mFirstButton);
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(104));

    // Supported but not recommended: the box stays checked, with its own notice.
    Kavo::DDInterface* display = app.mDDInterface;
    ASSERT_NE(display, nullptr);
    display->mTestRan = true;
    display->mTestFailureReason.clear();
    display->mTestWarning = "old card";
    app.ClickWidget(options->m3DBox);
    EXPECT_TRUE(options->m3DBox->IsChecked());
    notice = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(104));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->mHeader, Kavo::StringTable::GetString(214));
}

// Where no window is possible, unchecking full screen checks it again with a notice; a change
// of the screen mode made elsewhere shows in the box.
TEST_F(Options, FullScreenFollowsWhatTheDisplayCanDo)
{
    TestGameApp app;
    Start(app);
    OptionsDialog* options = Open(app);
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->mFullScreenBox->IsChecked());
    options->SetFullScreenChecked(true);
    EXPECT_TRUE(options->mFullScreenBox->IsChecked());
    app.mWindowedNotAllowed = true;
    app.ClickWidget(options->mFullScreenBox);
    EXPECT_TRUE(options->mFullScreenBox->IsChecked());
    auto* notice = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(104));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->mHeader, Kavo::StringTable::GetString(216));
}

// Help shows the tutorial over everything; its OK takes it out of the manager before it goes.
// Credits replace the options.
TEST_F(Options, HelpAndCredits)
{
    TestGameApp app;
    Start(app);
    RecordingLogger& log = app.RecordEvents();
    OptionsDialog* options = Open(app);
    ASSERT_NE(options, nullptr);
    app.ClickWidget(options->mHelpButton);
    Kavo::TutorialScreen* help = options->mHelpScreen;
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(app.mWidgetManager->HasWidget(help));
    EXPECT_FALSE(app.mWidgetManager->HasWidget(help->mSkipCheckbox)) << "help has no skip box";
    app.RunUpdates(5);
    app.ClickWidget(help->mOkButton);
    EXPECT_EQ(options->mHelpScreen, nullptr);
    EXPECT_FALSE(app.mWidgetManager->HasWidget(help));
    app.RunUpdates(2); // deleted between frames
    EXPECT_TRUE(app.HasDialog(OptionsDialog::kDialogId));

    app.ClickWidget(options->mCreditsButton);
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(OptionsDialog::kDialogId));
    auto* credits = dynamic_cast<Kavo::CreditsDialog*>(app.GetDialog(Kavo::CreditsDialog::kDialogId));
    ASSERT_NE(credits, nullptr);
    app.ClickWidget(credits->mCloseButton);
    app.RunUpdates(2);
    EXPECT_FALSE(app.HasDialog(Kavo::CreditsDialog::kDialogId));
    EXPECT_EQ(std::count(log.controls.begin(), log.controls.end(), "credits_ok"), 1);
    EXPECT_EQ(std::count(log.controls.begin(), log.controls.end(), "options_help"), 1);
    EXPECT_EQ(std::count(log.controls.begin(), log.controls.end(), "options_credits"), 1);
}

} // namespace
