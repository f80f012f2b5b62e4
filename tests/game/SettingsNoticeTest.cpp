// What goes wrong with the settings file at start-up, before there is a window, is told on the
// screen as the main menu opens: a damaged file (kept aside, the game starts afresh) and a file
// that cannot be written (nothing of the session is saved). The real application, headless, with
// its own settings file.
#include "base/StringTable.h"
#include "platform/files/Files.h"
#include "puzzle/FancyButton.h"
#include "puzzle/YesNoDialog.h"
#include "tests/game/GameTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

using gametest::TestGameApp;

// A notice's text without the line breaks it puts after slashes of a path too long for a line.
std::string Unbroken(std::string text)
{
    for (size_t at = text.find("/\n"); at != std::string::npos; at = text.find("/\n", at))
        text.erase(at + 1, 1);
    return text;
}

class SettingsNotice : public ::testing::Test
{
protected:
    platform::FakeClock clock;
};

// Each notice comes alone as the menu's intro ends, before the player dialog, which its OK opens;
// it is told once a run. The damaged file stays where the notice says.
TEST_F(SettingsNotice, AStartWithADamagedOrUnwritableFileTellsThePlayerOnce)
{
    const std::string garbage = "not a settings file";
    for (bool damaged : {true, false})
    {
        SCOPED_TRACE(damaged ? "damaged" : "unwritable");
        const std::string folder = gametest::PrepareGameFolder();
        std::string store = folder + "userdata/VelquisGames/Orlavintide/settings.reg";
        if (damaged)
        {
            gametest::WriteTextFile(store, garbage);
        }
        else
        {
            // A file where the data folder belongs: no folder, no settings file can be made.
            gametest::WriteTextFile(folder + "home-is-a-file", "not a folder");
            setenv("XDG_DATA_HOME", (folder + "home-is-a-file").c_str(), 1);
            store = folder + "home-is-a-file/VelquisGames/Orlavintide/settings.reg";
        }
        const std::string header = Kavo::StringTable::GetString(damaged ? 324 : 326);
        const std::string text = damaged ? Kavo::StringTable::GetString(325, store + ".damaged")
                                         : Kavo::StringTable::GetString(327, store);

        TestGameApp app;
        app.SetRegistryStore(nullptr); // the real settings file
        app.StartToMainMenu();
        EXPECT_FALSE(app.HasDialog(TestGameApp::kSettingsNoticeDialog)) << "not before the intro ends";
        app.RunUpdates(30);
        auto* notice = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(TestGameApp::kSettingsNoticeDialog));
        ASSERT_NE(notice, nullptr);
        EXPECT_EQ(notice->mHeader, header);
        EXPECT_EQ(Unbroken(notice->mLines), text);
        EXPECT_NE(notice->mLines.find("/\n"), std::string::npos) << "the long path is broken after a slash";
        EXPECT_EQ(notice->mSecondButton, nullptr);
        EXPECT_FALSE(app.HasDialog(TestGameApp::kNameDialog)) << "the notice comes first";
        if (damaged)
        {
            std::string kept;
            EXPECT_TRUE(platform::ReadFile(store + ".damaged", kept));
            EXPECT_EQ(kept, garbage);
        }

        app.RunUpdates(Kavo::YesNoDialog::kOpeningUpdates + 5);
        app.ClickWidget(notice->mFirstButton);
        app.RunUpdates(2);
        EXPECT_FALSE(app.HasDialog(TestGameApp::kSettingsNoticeDialog));
        ASSERT_TRUE(app.HasDialog(TestGameApp::kNameDialog)) << "then the menu greets the new player";
        app.Type("Ida");
        app.PressKey("Return");
        app.RunUpdates(2);
        EXPECT_EQ(app.mPlayer.GetName(), "Ida");

        // Back on the menu, and after the player's save: nothing more to tell.
        app.ShowTopTenList();
        app.RunUpdates(5);
        app.ShowMainMenu();
        app.RunUpdates(30);
        EXPECT_FALSE(app.HasDialog(TestGameApp::kSettingsNoticeDialog));
        EXPECT_FALSE(app.HasDialog(TestGameApp::kNameDialog));
        if (damaged)
        {
            std::string kept;
            EXPECT_TRUE(platform::ReadFile(store + ".damaged", kept));
            EXPECT_EQ(kept, garbage) << "the damaged file is kept";
        }
    }
}

} // namespace
