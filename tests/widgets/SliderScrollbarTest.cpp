#include "WidgetTestSupport.h"

#include "base/StringUtils.h"
#include "graphics/Graphics.h"
#include "widgets/ScrollListener.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/ScrollbuttonWidget.h"
#include "widgets/Slider.h"
#include "widgets/SliderListener.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

struct ValueLog : ScrollListener, SliderListener
{
    Log mLog;
    void ScrollPosition(int id, double position) override
    {
        mLog.push_back(StrFormat("%d %g", id, position));
    }
    void SliderVal(int id, double value) override { mLog.push_back(StrFormat("%d %g", id, value)); }
};

// A vertical bar with 10-pixel arrow buttons and a track of trackSize pixels.
void Place(ScrollbarWidget& bar, int trackSize)
{
    bar.ResizeScrollbar(0, 0, 10, trackSize + 20);
}

// A bar over a track of 200 with a maximum of 100 and a page of 10, on a screen.
struct BarOnScreen
{
    Screen mScreen;
    ValueLog mListener;
    ScrollbarWidget mBar;

    explicit BarOnScreen(int id) : mBar(id, &mListener)
    {
        Place(mBar, 200);
        mBar.SetMaxValue(100);
        mBar.SetPageSize(10);
        mScreen.mManager.AddWidget(&mBar);
        mListener.mLog.clear();
    }
};

TEST(Scrollbar, ThumbSizeAndPosition)
{
    struct Case
    {
        double max, page, value;
        int track, size, position;
    } cases[] = {
        {100, 10, 45, 200, 20, 100}, // trunc(180 x 45 / 90 + 0.5) + 10
        {100, 1, 0, 100, 8, 10},     // never thinner than 8
        {100, 10, 90, 200, 20, 190}, // at the bottom
        {5, 10, 0, 200, 0, 10},      // nothing to scroll: no thumb
        {10, 10, 0, 200, 200, 10},   // page = max: a full thumb at the start, no division by zero
        {0, 0, 0, 200, 0, 10},       // empty range
    };
    for (const Case& c : cases)
    {
        ScrollbarWidget bar(1, nullptr);
        Place(bar, c.track);
        bar.SetMaxValue(c.max);
        bar.SetPageSize(c.page);
        bar.SetValue(c.value);
        EXPECT_EQ(bar.GetTrackSize(), c.track);
        EXPECT_EQ(bar.GetThumbSize(), c.size) << c.max << "/" << c.page;
        EXPECT_EQ(bar.GetThumbPosition(), c.position) << c.max << "/" << c.page;
    }
}

TEST(Scrollbar, ValuesClampEnablingAndVisibility)
{
    ValueLog listener;
    ScrollbarWidget bar(2, &listener);
    Place(bar, 100);
    bar.SetMaxValue(100);
    bar.SetPageSize(10);
    EXPECT_FALSE(bar.mDisabled);
    bar.SetValue(-5); // clamped: told by the clamp and by SetValue
    bar.SetValue(500);
    EXPECT_EQ(listener.mLog, (Log{"2 0", "2 0", "2 90", "2 90"}));
    EXPECT_TRUE(bar.AtBottom());
    listener.mLog.clear();

    bar.SetMaxValue(5); // less than a page: the value drops to 0, everything is disabled
    EXPECT_EQ(listener.mLog, (Log{"2 0"}));
    EXPECT_TRUE(bar.mDisabled && bar.mUpButton->mDisabled && bar.mDownButton->mDisabled);
    bar.SetInvisIfNoScroll(true);
    EXPECT_FALSE(bar.mVisible || bar.mUpButton->mVisible || bar.mDownButton->mVisible);
    bar.SetMaxValue(50);
    EXPECT_TRUE(bar.mVisible && bar.mUpButton->mVisible && !bar.mDownButton->mDisabled);
    bar.GoToBottom();
    EXPECT_EQ(bar.mValue, 40);

    // A thumb that fills its track has no position to choose: nothing changes.
    bar.SetPageSize(49.9);
    bar.ResizeScrollbar(0, 0, 10, 28); // track 8, thumb 8
    listener.mLog.clear();
    bar.SetThumbPosition(15);
    EXPECT_TRUE(listener.mLog.empty());
}

// Holding the mouse on the track below the thumb pages at once, again 25 updates later, then every
// 5 updates until the thumb reaches the mouse.
TEST(Scrollbar, PagingRepeatsWhileHeld)
{
    BarOnScreen fixture(3);
    Screen& screen = fixture.mScreen;
    ValueLog& listener = fixture.mListener;
    ScrollbarWidget& bar = fixture.mBar;

    Log pages;
    screen.mManager.MousePosition(5, 200);
    screen.mManager.MouseDown(5, 200, 1);
    for (int update = 1; update <= 70; ++update)
    {
        for (const std::string& line : listener.mLog)
            pages.push_back(StrFormat("%d: ", update - 1) + line);
        listener.mLog.clear();
        screen.mManager.UpdateFrame();
    }
    EXPECT_EQ(pages, (Log{"0: 3 10", "25: 3 20", "30: 3 30", "35: 3 40", "40: 3 50", "45: 3 60", "50: 3 70",
                          "55: 3 80", "60: 3 90"}));
    EXPECT_EQ(bar.mPagingMode, ScrollbarWidget::PAGING_NONE); // the thumb reached the mouse

    screen.mManager.MouseUp(5, 200, 1);
    screen.mManager.MouseDown(5, 15, 1); // above the thumb: pages up
    screen.mManager.MouseUp(5, 15, 1);
    EXPECT_EQ(listener.mLog, (Log{"3 80"}));
}

// An arrow steps by 1 at once, again on the 25th update held, then on every update.
TEST(Scrollbar, ArrowRepeatsWhileHeld)
{
    BarOnScreen fixture(4);
    Screen& screen = fixture.mScreen;
    ValueLog& listener = fixture.mListener;
    ScrollbarWidget& bar = fixture.mBar;

    screen.mManager.MousePosition(5, 215);
    screen.mManager.MouseDown(5, 215, 1); // the down arrow
    for (int update = 0; update < 24; ++update)
        screen.mManager.UpdateFrame();
    EXPECT_EQ(listener.mLog, (Log{"4 1"}));
    screen.mManager.UpdateFrame();
    screen.mManager.UpdateFrame();
    screen.mManager.MouseUp(5, 215, 1);
    screen.mManager.UpdateFrame();
    EXPECT_EQ(listener.mLog, (Log{"4 1", "4 2", "4 3"}));

    // Dragging the thumb sets the value from its position.
    listener.mLog.clear();
    int thumb = bar.GetThumbPosition();
    screen.mManager.MousePosition(5, thumb + 2);
    screen.mManager.MouseDown(5, thumb + 2, 1);
    screen.mManager.MousePosition(5, thumb + 2 + 90);
    screen.mManager.MouseUp(5, thumb + 2 + 90, 1);
    EXPECT_EQ(listener.mLog, (Log{"4 48"})); // 3 + 90 pixels x 90 / 180
}

TEST(Scrollbar, Drawing)
{
    RecordingImage image(20, 240);
    Graphics g(&image);
    ScrollbarWidget bar(5, nullptr);
    Place(bar, 200);
    bar.SetMaxValue(100);
    bar.SetPageSize(10);
    bar.SetValue(45);
    bar.mPagingMode = ScrollbarWidget::PAGING_DOWN;
    bar.Draw(&g);
    EXPECT_EQ(image.mLog[0], "FillRect 0,0,10,100 #E8E8E8FF");       // above the thumb
    EXPECT_EQ(image.mLog[1], "FillRect 0,100,10,20 #D4D4D4FF");      // the thumb
    EXPECT_EQ(image.mLog.back(), "FillRect 0,120,10,100 #303030FF"); // below it, paging

    image.mLog.clear();
    bar.mUpButton->Draw(&g); // a raised box with an arrow pointing up
    EXPECT_EQ(image.mLog[0], "FillRect 0,0,10,10 #D4D4D4FF");
    EXPECT_EQ(image.mLog[7], "FillRect 4,3,1,1 #000000FF"); // the arrow's tip
    EXPECT_EQ(image.mLog[10], "FillRect 1,6,7,1 #000000FF");
}

TEST(Slider, ClickDragAndRelease)
{
    Screen screen;
    ValueLog listener;
    RecordingImage thumb(20, 10, "thumb");
    Slider slider(nullptr, &thumb, 6, &listener);
    slider.Resize(0, 0, 120, 10);
    screen.mManager.AddWidget(&slider);

    screen.Click(30, 5); // on the track: the value jumps, told on release
    EXPECT_EQ(slider.mValue, 0.25);
    EXPECT_EQ(listener.mLog, (Log{"6 0.25"}));

    listener.mLog.clear();
    screen.mManager.MouseDown(30, 5, 1); // on the thumb (25 to 45): a drag
    EXPECT_EQ(screen.mApp.mCursor, 2);
    screen.mManager.MousePosition(55, 5);
    screen.mManager.MousePosition(500, 5); // clamped to 1
    screen.mManager.MouseUp(500, 5, 1);
    EXPECT_EQ(screen.mApp.mCursor, 0);
    EXPECT_EQ(listener.mLog, (Log{"6 0.5", "6 1", "6 1"}));
}

// A slider without length, or with a thumb as long as itself, keeps the value 0 instead of
// dividing by zero.
TEST(Slider, NoRoomToMove)
{
    ValueLog listener;
    RecordingImage thumb(20, 10);
    Slider empty(nullptr, nullptr, 1, &listener);
    empty.MouseDown(0, 0, 1);
    EXPECT_EQ(empty.mValue, 0);

    Slider full(nullptr, &thumb, 2, &listener);
    full.Resize(0, 0, 20, 10);
    full.MouseDown(5, 5, 1);
    EXPECT_TRUE(full.mDragging);
    full.MouseDrag(15, 5);
    full.MouseUp(15, 5, 1);
    EXPECT_EQ(full.mValue, 0);
    EXPECT_EQ(listener.mLog, (Log{"2 0"}));
}

// A slider deleted while its thumb is dragged gives back the arrow.
TEST(Slider, DeletedWhileDragging)
{
    Screen screen;
    RecordingImage thumb(20, 10);
    Slider* slider = new Slider(nullptr, &thumb, 1, nullptr);
    slider->Resize(0, 0, 120, 10);
    screen.mManager.AddWidget(slider);
    screen.mManager.MousePosition(5, 5);
    screen.mManager.MouseDown(5, 5, 1);
    ASSERT_EQ(screen.mApp.mCursor, 2);

    delete slider;
    EXPECT_EQ(screen.mApp.mCursor, 0);
}

TEST(Slider, DrawsTrackInThreePiecesAndTheThumb)
{
    RecordingImage image(200, 40);
    RecordingImage track(30, 8, "track"), thumb(20, 20, "thumb");
    Slider slider(&track, &thumb, 1, nullptr);
    slider.Resize(0, 0, 100, 20);
    slider.SetValue(0.5);
    Graphics g(&image);
    slider.Draw(&g);

    Log expected{"Blt track 0,6 src 0,0,10,8 #FFFFFFFF"};
    for (int x = 10; x < 90; x += 10)
        expected.push_back(StrFormat("Blt track %d,6 src 10,0,10,8 #FFFFFFFF", x));
    expected.push_back("Blt track 90,6 src 20,0,10,8 #FFFFFFFF");
    expected.push_back("Blt thumb 40,0 src 0,0,20,20 #FFFFFFFF");
    EXPECT_EQ(image.mLog, expected);
}

} // namespace
