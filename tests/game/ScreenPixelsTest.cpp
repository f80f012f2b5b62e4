// The game draws only what changed on screen and presents only the rectangles it drew; a player
// must see, at every frame, the very pixels a whole redraw would show. A session over the game's
// own art (its bitmap fonts and translucent pictures) is recorded: the title screen, the name
// dialog, the main menu with a planet zooming in and out, the tutorial, the board with its hint
// boxes, slides, explosions, floating scores and a pause, two levels ending and the second one
// starting, the top-ten list typing its tip, the options dialog left open for 10 seconds over
// the twinkling stars, both its translucent sliders dragged there and back, and the stars turned
// off (on until then). It is replayed twice headless on the software road, drawn as the game
// draws and redrawn whole at every frame; the screen image after every draw, and what the
// presented rectangles put on a display, are the same bytes in both, and both replays end with
// the recording's score.
#include "base/TextHelpers.h"
#include "game/GameChooserScreen.h"
#include "game/OptionsDialog.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "graphics/Image.h"
#include "graphics/ImageLib.h"
#include "platform/files/Files.h"
#include "platform/window/Messages.h"
#include "puzzle/Board.h"
#include "puzzle/FancyButton.h"
#include "tests/game/GameTestSupport.h"
#include "tests/game/SlidingPlayer.h"
#include "widgets/Checkbox.h"
#include "widgets/DirtyRegion.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace
{

using gametest::TestGameApp;
namespace syn = platform::synthetic;

struct Frame
{
    int update = 0;    // the update the frame was drawn after
    size_t screen = 0; // hash of the screen image
    bool presented = false;
    size_t shown = 0; // hash of what a display shows once the frame is presented
};

// Writes down every drawn frame; redraws everything at every frame when asked.
class FrameRecordingApp : public TestGameApp
{
public:
    explicit FrameRecordingApp(bool wholeRedraws) : mWholeRedraws(wholeRedraws) {}

    bool DrawFrame() override
    {
        if (mWholeRedraws && mWidgetManager != nullptr) mWidgetManager->MarkAllDirty();
        const int draws = mFPSCount;
        const bool presented = TestGameApp::DrawFrame();
        ImageLib::Image screen;
        if (mFPSCount == draws || !ReadScreenImage(screen)) return presented;
        const size_t count = size_t(screen.width) * size_t(screen.height);
        if (mShown.size() != count) mShown.assign(count, 0);
        Frame frame;
        frame.update = mUpdateCount;
        frame.screen = Hash(screen.bits.get(), count);
        // A display keeps what it was last shown and takes the rectangles drawn since.
        for (const Kavo::Rect& rect : mWidgetManager->DrawnRects())
            mUnpresented.Add(rect);
        if (presented)
        {
            for (const Kavo::Rect& rect : mUnpresented.Take())
                for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y)
                    std::memcpy(&mShown[size_t(y) * size_t(screen.width) + size_t(rect.mX)],
                                &screen.bits[size_t(y) * size_t(screen.width) + size_t(rect.mX)],
                                size_t(rect.mWidth) * sizeof(uint32_t));
            frame.presented = true;
            frame.shown = Hash(mShown.data(), count);
        }
        frames.push_back(frame);
        return presented;
    }

    static size_t Hash(const uint32_t* pixels, size_t count)
    {
        return std::hash<std::string_view>()(
            std::string_view(reinterpret_cast<const char*>(pixels), count * sizeof(uint32_t)));
    }

    std::vector<Frame> frames;

private:
    bool mWholeRedraws;
    std::vector<uint32_t> mShown;
    Kavo::DirtyRegion mUnpresented;
};

void MoveTo(TestGameApp& app, Kavo::Widget* widget)
{
    Kavo::Point at = widget->GetAbsPos();
    syn::MouseMove(at.mX + widget->mWidth / 2, at.mY + widget->mHeight / 2);
    app.RunUpdates(1);
}

// Takes the slider's thumb and drags it by dx in steps of a few pixels, a few updates apart,
// then lets it go.
void DragThumb(TestGameApp& app, Kavo::Slider* slider, int dx)
{
    const int thumb = slider->mThumbImage->GetWidth();
    int x = slider->mX + int(slider->mValue * (slider->mWidth - thumb)) + thumb / 2;
    const int y = slider->mY + slider->mHeight / 2;
    syn::MouseMove(x, y);
    app.RunUpdates(2);
    syn::MouseButton(1, true, 1, x, y);
    app.RunUpdates(2);
    ASSERT_TRUE(slider->mDragging);
    for (int moved = 0; moved != dx; moved += dx > 0 ? 5 : -5)
    {
        x += dx > 0 ? 5 : -5;
        syn::MouseMove(x, y);
        app.RunUpdates(3);
    }
    syn::MouseButton(1, false, 1, x, y);
    app.RunUpdates(5);
}

// Records the session; score: the board's at its end.
void RecordSession(const std::string& demo, int& score)
{
    platform::FakeClock clock;
    TestGameApp app;
    app.SetCommandLine("-record \"-demofile=" + demo + "\"");
    app.RegistryWriteBoolean("TwinklingStars", true);
    app.StartUp();
    ASSERT_TRUE(app.mRecordingDemo);
    app.RunUpdates(320); // the three splashes, then the badge fills and the stars come and go
    app.Click(400, 300);
    app.RunUpdates(30); // the menu's intro, then the name
    ASSERT_TRUE(app.HasDialog(TestGameApp::kNameDialog));
    app.Type("Vega");
    app.PressKey("Return");
    app.RunUpdates(10);

    using Kavo::GameChooserScreen;
    MoveTo(app, app.mMainMenu->Button(GameChooserScreen::kUntimed));
    app.RunUpdates(70); // the planet zooms in, then its description
    MoveTo(app, app.mMainMenu->Button(GameChooserScreen::kTimed));
    app.RunUpdates(20); // another description at once
    syn::MouseMove(700, 60);
    app.RunUpdates(60); // the planet zooms out
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kUntimed));
    app.RunUpdates(150); // the tutorial plays
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTutorialScreen);
    app.ClickWidget(app.mTutorial->mOkButton);
    app.RunUpdates(30);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);

    gametest::SlidingPlayer player;
    int moves = 0;
    auto play = [&](int most)
    {
        for (int step = 0; step < 6000 && most > 0 && app.GetShownScreen() == TestGameApp::kBoardScreen;
             ++step)
        {
            if (player.Act(app))
            {
                ++moves;
                --most;
            }
            app.RunUpdates(3);
        }
    };
    play(3);
    app.PressKey("Escape"); // paused: no grid, no pieces
    app.RunUpdates(30);
    app.PressKey("Escape");
    app.RunUpdates(30);
    play(1000); // to the end of the game: the level shrinks out, the next one grows in
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kTopTenScreen);
    EXPECT_GE(app.mBoard->level, 2);
    score = app.mBoard->score;
    app.RunUpdates(300); // the last game's row pulses, the tip types out

    app.ClickWidget(app.mTopTenList->mButtons[0]); // the main menu
    app.RunUpdates(60);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    app.ClickWidget(app.mMainMenu->Button(GameChooserScreen::kOptions));
    app.RunUpdates(30);
    auto* options = dynamic_cast<Kavo::OptionsDialog*>(app.GetDialog(Kavo::OptionsDialog::kDialogId));
    ASSERT_NE(options, nullptr);
    ASSERT_TRUE(options->mStarsBox->IsChecked());
    app.RunUpdates(1000); // the stars twinkle below the dialog and its sliders
    const double music = options->mMusicSlider->mValue;
    DragThumb(app, options->mMusicSlider, -150);
    EXPECT_LT(options->mMusicSlider->mValue, music);
    DragThumb(app, options->mMusicSlider, 150);
    DragThumb(app, options->mSoundSlider, -100);
    app.RunUpdates(300);
    app.ClickWidget(options->mStarsBox); // no more stars, on the screen below the dialog too
    app.RunUpdates(30);
    app.ClickWidget(options->mOkButton);
    app.RunUpdates(60);
    syn::Window(syn::WindowEvent::Close);
    for (int i = 0; i < 100 && !app.mShutdown; ++i)
        app.RunUpdates(1);
    EXPECT_TRUE(app.mShutdown);
}

std::vector<Frame> Replay(const std::string& demo, bool wholeRedraws, int& score)
{
    platform::FakeClock clock;
    FrameRecordingApp app(wholeRedraws);
    app.SetCommandLine("-play \"-demofile=" + demo + "\"");
    app.Initialize();
    EXPECT_TRUE(app.mPlayingDemo);
    app.StartLoadingThread();
    app.mLoadingThread.join();
    for (int i = 0; i < 4000000 && !app.mShutdown; ++i)
    {
        app.UpdateAppStep(nullptr);
        if (app.mBoard != nullptr) score = app.mBoard->score;
    }
    EXPECT_TRUE(app.mShutdown) << "the recorded close ends the replay";
    return app.frames;
}

TEST(ScreenPixels, DrawingWhatChangedShowsWhatAWholeRedrawShowsAtEveryFrame)
{
    gametest::PrepareGameFolder();
    // Untimed as shipped, but short: 16 pieces a level, and the game is won with level 2.
    const std::string shipped = gametest::ShippedRules("untimed_config.xml");
    std::string rules = Kavo::StringReplaceAll(shipped, "<nWinningLevelRequirement value=\"34\"/>",
                                               "<nWinningLevelRequirement value=\"3\"/>");
    ASSERT_NE(rules, shipped);
    const std::string won = rules;
    rules = Kavo::StringReplaceAll(rules, "<nPiecesInLevel value=\"40\"/>", "<nPiecesInLevel value=\"16\"/>");
    ASSERT_NE(rules, won);
    gametest::WriteTextFile("properties/untimed_config.xml", rules);
    // The game's own pictures, fonts and sounds, as the build makes them, and their manifest in
    // place of the fixtures'.
    const std::string content = std::string(KAVO_BINARY_DIR) + "/content/";
    for (const char* folder : {"fonts", "images", "sounds"})
        std::filesystem::create_directory_symlink(content + folder, folder);
    std::filesystem::copy_file(content + "properties/resources.xml", "properties/resources.xml",
                               std::filesystem::copy_options::overwrite_existing);
    const std::string demo = platform::CurrentFolder() + "pixels.dmo";
    int recorded = -1;
    RecordSession(demo, recorded);
    ASSERT_GT(recorded, 0);

    int dirtyScore = -1, wholeScore = -1;
    const std::vector<Frame> dirty = Replay(demo, false, dirtyScore);
    const std::vector<Frame> whole = Replay(demo, true, wholeScore);
    EXPECT_EQ(dirtyScore, recorded);
    EXPECT_EQ(wholeScore, recorded);
    ASSERT_EQ(dirty.size(), whole.size());
    ASSERT_GT(dirty.size(), 1000u);

    int mismatches = 0, presents = 0;
    for (size_t i = 0; i < dirty.size() && mismatches < 5; ++i)
    {
        ASSERT_EQ(dirty[i].update, whole[i].update) << "frame " << i;
        if (dirty[i].screen != whole[i].screen)
        {
            ADD_FAILURE() << "the screen image differs after update " << dirty[i].update;
            ++mismatches;
        }
        if (!dirty[i].presented) continue;
        ++presents;
        if (dirty[i].shown != whole[i].screen)
        {
            ADD_FAILURE() << "the display shows other pixels after update " << dirty[i].update;
            ++mismatches;
        }
    }
    EXPECT_GT(presents, 100);
    // A frame that changed nothing is not presented (the pause stands still).
    EXPECT_LT(size_t(presents), dirty.size());
}

} // namespace
