// The tutorial's scripted demonstration and its screen.
#include "base/StringTable.h"
#include "game/BoardFrameActor.h"
#include "game/ClickActor.h"
#include "game/FadedBoardFrameActor.h"
#include "game/GamePieceActor.h"
#include "game/GlowyBoxActor.h"
#include "game/MouseCursorActor.h"
#include "game/TutorialScreen.h"
#include "game/TutorialScreenListener.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/Checkbox.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace
{

using Kavo::GamePieceActor;
using Kavo::TutorialActor;
using Kavo::TutorialEvent;
using Kavo::TutorialScript;

// Plays a list of actors the way the screen does: each update at time t, then one unit of
// movement.
void Play(Kavo::TutorialActorList& actors, int from, int to)
{
    for (int t = from; t <= to; ++t)
        for (auto& actor : actors)
        {
            actor->Update(t);
            actor->Move(1.0f);
        }
}

TEST(TutorialScript, CastsFiftyNineActorsInDrawingOrder)
{
    Kavo::TutorialActorList actors = TutorialScript::Build();
    ASSERT_EQ(actors.size(), size_t(TutorialScript::kActorCount));
    auto is = [&](size_t number, auto* type)
    { return dynamic_cast<decltype(type)>(actors[number - 1].get()) != nullptr; };
    EXPECT_TRUE(is(1, (Kavo::BoardFrameActor*)nullptr));
    for (size_t n = 2; n <= 35; ++n)
    {
        ASSERT_TRUE(is(n, (GamePieceActor*)nullptr)) << n;
        const TutorialEvent& last = actors[n - 1]->mEvents[actors[n - 1]->mEventCount - 1];
        EXPECT_EQ(last.type, TutorialEvent::kFadeOut) << n;
        EXPECT_EQ(last.start, 2559) << n;
        EXPECT_EQ(last.end, 2608) << n;
    }
    EXPECT_TRUE(is(36, (Kavo::MouseCursorActor*)nullptr));
    EXPECT_TRUE(is(37, (Kavo::ClickActor*)nullptr));
    EXPECT_TRUE(is(38, (Kavo::BoardFrameActor*)nullptr));
    EXPECT_TRUE(is(43, (Kavo::FadedBoardFrameActor*)nullptr));
    EXPECT_TRUE(is(59, (Kavo::GlowyBoxActor*)nullptr));
    EXPECT_EQ(actors[58]->mWidth, 127);
    EXPECT_EQ(actors[58]->mHeight, 125);
    // The right-hand side carries no events; its faded pieces are drawn at alpha 153.
    for (size_t n = 38; n <= 59; ++n)
        EXPECT_EQ(actors[n - 1]->mEventCount, 0) << n;
    auto* faded = static_cast<GamePieceActor*>(actors[43].get()); // actor 44
    EXPECT_TRUE(faded->mFaded);
    EXPECT_FLOAT_EQ(faded->mFadeFraction, 0.4f);
    EXPECT_EQ(faded->mPiece, 3);
}

TEST(TutorialScript, AMoveOfOneUpdateMovesByItsWholeStepWhateverTheFrame)
{
    Kavo::ClickActor click(242, 132);
    click.AddEvent(TutorialEvent::kMove, 0, 200, 345, 345);
    click.Update(345);
    click.Move(1.7f);
    click.Move(3.0f);
    EXPECT_FLOAT_EQ(click.mX, 242.0f);
    EXPECT_FLOAT_EQ(click.mY, 332.0f);
    EXPECT_FALSE(click.mVisible) << "a click mark shows only during its show events";

    Kavo::MouseCursorActor pointer(360, 285);
    pointer.AddEvent(TutorialEvent::kMove, -1, -1, 80, 204);
    for (int t = 0; t <= 300; ++t)
    {
        pointer.Update(t);
        pointer.Move(0.5f);
        pointer.Move(0.5f);
    }
    EXPECT_FLOAT_EQ(pointer.mX, 235.0f);
    EXPECT_FLOAT_EQ(pointer.mY, 160.0f);
}

TEST(TutorialScript, BlinkingFlipsEveryTwentyUpdatesAndEndsVisible)
{
    Kavo::MouseCursorActor actor(0, 0);
    actor.AddEvent(TutorialEvent::kBlink, 0, 0, 100, 160);
    std::vector<int> flips;
    bool visible = actor.mVisible;
    for (int t = 90; t <= 170; ++t)
    {
        actor.Update(t);
        if (actor.mVisible != visible) flips.push_back(t);
        visible = actor.mVisible;
    }
    EXPECT_EQ(flips, (std::vector<int>{119, 139, 159, 160}));
    EXPECT_TRUE(actor.mVisible);
    // An event without an end runs at every time.
    Kavo::MouseCursorActor placed(0, 0);
    placed.AddEvent(TutorialEvent::kPlace, 7, 9, 5000, -1);
    placed.Update(3);
    EXPECT_FLOAT_EQ(placed.mX, 7.0f);
}

TEST(TutorialScript, TheGroupExplodesAndTheRefillGrowsIn)
{
    Kavo::TutorialActorList actors = TutorialScript::Build();
    auto* exploding = static_cast<GamePieceActor*>(actors[12].get()); // actor 13 at (142, 262)
    auto* refill = static_cast<GamePieceActor*>(actors[32].get());    // actor 33 at (77, 262)
    Play(actors, 0, 0);
    EXPECT_FALSE(refill->mVisible);
    Play(actors, 1, 1605);
    EXPECT_TRUE(exploding->mExploding);
    EXPECT_EQ(exploding->mExplosionFrame, 0);
    Play(actors, 1606, 1617);
    EXPECT_EQ(exploding->mExplosionFrame, (1617 - 1603) / 3);
    Play(actors, 1618, 1619);
    EXPECT_FALSE(exploding->mVisible);
    EXPECT_FALSE(exploding->mExploding);
    EXPECT_TRUE(refill->mVisible);
    EXPECT_TRUE(refill->mGrowing);
    EXPECT_FLOAT_EQ(refill->mGrowFraction, 0.0f);
    Play(actors, 1620, 1633);
    EXPECT_FLOAT_EQ(refill->mGrowFraction, 14.0f / 29.0f);
    Play(actors, 1634, 1648);
    EXPECT_FALSE(refill->mGrowing) << "drawn normally from the end of its growth";
    Play(actors, 1649, TutorialScript::kLastTime);
    EXPECT_FALSE(exploding->mVisible) << "gone until the loop restarts";
    // The slid piece (actor 9) ended where the pointer moved it.
    EXPECT_FLOAT_EQ(actors[8]->mX, 207.0f + 63.0f);
    EXPECT_FLOAT_EQ(actors[8]->mY, 197.0f);
}

class RecordingListener : public Kavo::TutorialScreenListener
{
public:
    void OnTutorialFinished() override { calls.push_back("finished"); }
    void SetSkipTutorial() override { calls.push_back("skip"); }
    void ClearSkipTutorial() override { calls.push_back("clear"); }
    std::vector<std::string> calls;
};

class TutorialScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::PrepareGameFolder();
        app.StartUp(); // the images are loaded
    }

    platform::FakeClock clock;
    gametest::TestGameApp app;
    RecordingListener listener;
};

TEST_F(TutorialScreenTest, TheLoopRestartsAfterItsLastTimeAndThePiecesFadeBackIn)
{
    Kavo::TutorialScreen screen(&listener, true);
    screen.CreateControls();
    screen.Resize(0, 0, 800, 600);
    app.mWidgetManager->AddWidget(&screen);
    EXPECT_EQ(screen.mScriptTime, 1) << "time 0 plays before the first draw";
    EXPECT_FALSE(TutorialActor::sTutorialLooped);
    while (screen.mScriptTime <= TutorialScript::kLastTime)
        screen.Update();
    EXPECT_EQ(screen.mScriptTime, TutorialScript::kLastTime + 1);
    screen.Update();
    EXPECT_EQ(screen.mScriptTime, 1);
    EXPECT_TRUE(TutorialActor::sTutorialLooped);
    auto* scripted = static_cast<GamePieceActor*>(screen.mActors[2].get());   // has events
    auto* unscripted = static_cast<GamePieceActor*>(screen.mActors[1].get()); // only the fade
    auto* rightSide = static_cast<GamePieceActor*>(screen.mActors[38].get());
    EXPECT_TRUE(scripted->mFaded);
    EXPECT_FLOAT_EQ(scripted->mFadeFraction, 1.0f);
    EXPECT_TRUE(unscripted->mFaded) << "the fade-out counts as an event";
    EXPECT_FALSE(rightSide->mFaded);
    for (int i = 0; i < 25; ++i)
        screen.Update();
    EXPECT_FLOAT_EQ(scripted->mFadeFraction, 1.0f - 25.0f / 50.0f);
    for (int i = 0; i < 25; ++i)
        screen.Update();
    EXPECT_FALSE(scripted->mFaded);

    // Every frame of the loop shows the actors as they are: the pointer where it has moved to
    // (unless the click marker covers it), and the right-hand block, which never moves, in
    // its place in every frame.
    Kavo::MemoryImage image;
    image.Create(800, 600);
    Kavo::Graphics g(&image);
    auto pixel = [&](int x, int y) { return image.GetBits()[y * 800 + x]; };
    auto* cursorImage = dynamic_cast<Kavo::MemoryImage*>(Kavo::IMAGE_TUTORIAL_MOUSECURSOR);
    ASSERT_NE(cursorImage, nullptr);
    const uint32_t cursorColour = cursorImage->GetBits()[0];
    TutorialActor* cursor = screen.mActors[35].get();
    TutorialActor* click = screen.mActors[36].get();
    const TutorialActor* block = screen.mActors[38].get();
    const int blockX = int(block->mX) + 31, blockY = int(block->mY) + 30;
    screen.Draw(&g);
    const uint32_t blockColour = pixel(blockX, blockY);
    EXPECT_NE(blockColour, pixel(5, 300)) << "the block is not the background";
    int cursorSeen = 0;
    std::set<std::pair<int, int>> cursorPlaces;
    for (int step = 0; step < 67; ++step) // to time 2530, before the loop restarts
    {
        for (int i = 0; i < 37; ++i)
        {
            screen.Update();
            screen.UpdateF(1.0f);
        }
        screen.Draw(&g);
        EXPECT_EQ(pixel(blockX, blockY), blockColour) << screen.mScriptTime;
        const int x = int(cursor->mX) + 8, y = int(cursor->mY) + 8;
        cursorPlaces.insert({x, y});
        const bool covered = click->mVisible && x >= int(click->mX) && y >= int(click->mY) &&
                             x < int(click->mX) + 16 && y < int(click->mY) + 16;
        if (!cursor->mVisible || covered) continue;
        // Placed at fractions of a pixel, the pointer's colour comes out within rounding.
        const uint32_t seen = pixel(x, y);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((seen >> shift) & 0xFF), int((cursorColour >> shift) & 0xFF), 3)
                << screen.mScriptTime;
        ++cursorSeen;
    }
    EXPECT_GT(cursorSeen, 40);
    EXPECT_GT(cursorPlaces.size(), 10u) << "the pointer moves";
    app.mWidgetManager->RemoveWidget(&screen);
    EXPECT_TRUE(screen.mActors.empty());
    EXPECT_FALSE(app.mWidgetManager->HasWidget(screen.mOkButton));
}

// The demonstration marks only its actors whose look changed (a piece moving, exploding or
// growing, the pointer, a blinking mark), where they were and where they are, and all of the
// screen when it begins again; a piece drawn anywhere in its animation stays inside its area.
TEST_F(TutorialScreenTest, OnlyTheActorsThatChangeAreMarked)
{
    Kavo::TutorialScreen screen(&listener, true);
    screen.CreateControls();
    screen.Resize(0, 0, 800, 600);
    Kavo::WidgetManager& manager = *app.mWidgetManager;
    manager.AddWidget(&screen);
    manager.DrawScreen();
    int64_t marked = 0, updates = 0;
    while (screen.mScriptTime <= TutorialScript::kLastTime)
    {
        screen.Update();
        screen.UpdateF(1.0f);
        for (const Kavo::Rect& rect : manager.DirtyRects())
            marked += int64_t(rect.mWidth) * rect.mHeight;
        ++updates;
        manager.DrawScreen();
    }
    EXPECT_LT(marked, updates * 800 * 600 / 4) << "a quarter of the screen an update at most, on average";
    screen.Update(); // the demonstration begins again
    EXPECT_EQ(manager.DirtyRects(), std::vector<Kavo::Rect>{Kavo::Rect(0, 0, 800, 600)});

    Kavo::MemoryImage image;
    image.Create(800, 600);
    GamePieceActor piece(300, 200, 1, false);
    piece.mExploding = true;
    for (int frame = 1; frame <= 5; ++frame)
    {
        image.Clear();
        image.Create(800, 600);
        Kavo::Graphics g(&image);
        piece.mExplosionFrame = frame;
        piece.Draw(&g);
        const Kavo::Rect area = piece.Area();
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
            {
                if (image.GetBits()[size_t(y) * 800 + size_t(x)] != 0)
                {
                    ASSERT_TRUE(area.Contains(x, y)) << frame << ": " << x << "," << y;
                }
            }
    }
    manager.RemoveWidget(&screen);
}

TEST_F(TutorialScreenTest, TheCheckBoxAndOkTellTheListener)
{
    Kavo::TutorialScreen screen(&listener, true);
    screen.CreateControls();
    screen.Resize(0, 0, 800, 600);
    app.mWidgetManager->AddWidget(&screen);
    EXPECT_EQ(screen.mOkButton->mLabel, Kavo::StringTable::GetString(251));
    // 100 x 36 ending 45 from the right, wider when its label needs it.
    Kavo::Rect ok = screen.mOkButton->GetRect();
    EXPECT_EQ(ok.mX + ok.mWidth, 755);
    EXPECT_EQ(ok.mY, 554);
    EXPECT_EQ(ok.mHeight, 36);
    EXPECT_GE(ok.mWidth, 100);
    EXPECT_GE(ok.mWidth, Kavo::FONT_LABEL->StringWidth(screen.mOkButton->mLabel) + 24);
    ASSERT_TRUE(app.mWidgetManager->HasWidget(screen.mSkipCheckbox));
    EXPECT_EQ(screen.mSkipCheckbox->GetRect(), Kavo::Rect(45, 555, 20, 20));
    app.RunUpdates(2);
    app.ClickWidget(screen.mSkipCheckbox);
    app.ClickWidget(screen.mSkipCheckbox);
    app.ClickWidget(screen.mOkButton);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"skip", "clear", "finished"}));
    app.mWidgetManager->RemoveWidget(&screen);

    // As help: OK says "OK", and there is no check box.
    Kavo::TutorialScreen help(&listener, false);
    help.CreateControls();
    help.Resize(0, 0, 800, 600);
    app.mWidgetManager->AddWidget(&help);
    EXPECT_EQ(help.mOkButton->mLabel, Kavo::StringTable::GetString(203));
    EXPECT_FALSE(app.mWidgetManager->HasWidget(help.mSkipCheckbox));
    app.mWidgetManager->RemoveWidget(&help);
}

} // namespace
