#include "WidgetTestSupport.h"

#include "widgets/KeyCodes.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

std::string NameOf(Widget* widget)
{
    return widget != nullptr ? static_cast<TestWidget*>(widget)->mName : "none";
}

TEST(WidgetManager, HitTestingThroughNestedContainers)
{
    struct Holey : TestWidget
    {
        using TestWidget::TestWidget;
        bool IsPointVisible(int, int) override { return false; }
    };
    Screen screen;
    Log& log = screen.mLog;
    TestWidget back("back", &log, 0, 0, 800, 600);
    TestWidget outer("outer", &log, 100, 100, 200, 200);
    TestWidget inner("inner", &log, 10, 10, 50, 50);
    TestWidget leaf("leaf", &log, 5, 5, 10, 10);
    TestWidget ghost("ghost", &log, 100, 10, 50, 50);
    TestWidget disabled("disabled", &log, 10, 100, 20, 20);
    Holey hole("hole", &log, 100, 100, 50, 50);
    TestWidget inset("inset", &log, 160, 10, 30, 30);
    TestWidget deaf("deaf", &log, 10, 150, 40, 40);
    TestWidget deafChild("deafChild", &log, 0, 0, 10, 10);
    ghost.mMouseVisible = false;
    disabled.mDisabled = true;
    inset.mInsets = Insets(5, 5, 5, 5);
    deaf.mFlagMods = FlagsMod(0, WIDGETFLAGS_ALLOW_MOUSE);
    inner.AddWidget(&leaf);
    deaf.AddWidget(&deafChild);
    for (Widget* w : std::vector<Widget*>{&inner, &ghost, &disabled, &hole, &inset, &deaf})
        outer.AddWidget(w);
    screen.mManager.AddWidget(&back);
    screen.mManager.AddWidget(&outer);

    struct Case
    {
        int x, y;
        std::string widget;
        int relX, relY;
    } cases[] = {
        {50, 50, "back", 50, 50},
        {115, 115, "leaf", 0, 0},
        {112, 112, "inner", 2, 2},
        {210, 120, "outer", 110, 20}, // not mouse-visible: seen through
        {115, 205, "none", 0, 0},     // disabled: nothing takes the click
        {210, 210, "none", 0, 0},     // claimed by a widget whose point is not visible
        {261, 111, "outer", 161, 11}, // outside the insets
        {266, 116, "inset", 6, 6},
        {115, 255, "outer", 15, 155}, // mouse input removed from the whole
                                      // subtree
        {900, 50, "none", 0, 0},
    };
    for (const Case& c : cases)
    {
        int relX = -1, relY = -1;
        Widget* found = screen.mManager.GetWidgetAt(c.x, c.y, &relX, &relY);
        EXPECT_EQ(NameOf(found), c.widget) << c.x << "," << c.y;
        if (found != nullptr)
        {
            EXPECT_EQ(Point(relX, relY), Point(c.relX, c.relY)) << c.x << "," << c.y;
        }
    }
}

TEST(WidgetManager, HoverEnterAndLeave)
{
    Screen screen;
    TestWidget back("back", &screen.mLog, 0, 0, 800, 600);
    TestWidget box("box", &screen.mLog, 100, 100, 50, 50);
    box.mHandCursor = true;
    screen.mManager.AddWidget(&back);
    screen.mManager.AddWidget(&box);

    screen.mManager.MousePosition(10, 10);
    screen.mManager.MousePosition(10, 10); // unchanged: nothing
    screen.mManager.MousePosition(110, 120);
    EXPECT_EQ(screen.mApp.mCursor, 1); // the hand over a hand-cursor widget
    screen.mManager.MousePosition(111, 120);
    screen.mManager.MouseExit(111, 120);
    EXPECT_EQ(screen.mApp.mCursor, 0);
    EXPECT_EQ(screen.Take(), (Log{"back Enter", "back Move 10,10", "back Leave", "box Enter",
                                  "box Move 10,20", "box Move 11,20", "box Leave"}));
    EXPECT_FALSE(box.mIsOver);

    // A widget shown, hidden or added under a resting mouse is entered or left at once.
    screen.mManager.MousePosition(120, 120);
    screen.Take();
    box.SetVisible(false);
    box.SetVisible(true);
    EXPECT_EQ(screen.Take(), (Log{"box Leave", "back Enter", "back Move 120,120", "back Leave", "box Enter",
                                  "box Move 20,20"}));
}

TEST(WidgetManager, FocusMoves)
{
    Screen screen;
    TestWidget first("first", &screen.mLog, 0, 0, 50, 50);
    TestWidget second("second", &screen.mLog, 100, 0, 50, 50);
    TestWidget plain("plain", &screen.mLog, 200, 0, 50, 50);
    TestWidget detached("detached", &screen.mLog, 0, 0, 5, 5);
    first.mWantsFocus = true;
    second.mWantsFocus = true;
    first.mTabNext.Reset(&second);
    second.mTabPrev.Reset(&first);
    for (Widget* w : std::vector<Widget*>{&first, &second, &plain})
        screen.mManager.AddWidget(w);

    screen.Click(10, 10);
    screen.Click(210, 10); // does not want the focus: the focus stays
    EXPECT_EQ(screen.mManager.mFocusWidget, &first);
    screen.Take();

    screen.mManager.KeyDown(KEYCODE_TAB);
    screen.mManager.KeyUp(KEYCODE_TAB);
    EXPECT_EQ(screen.mManager.mFocusWidget, &second);
    screen.mManager.KeyDown(KEYCODE_SHIFT);
    screen.mManager.KeyDown(KEYCODE_TAB);
    EXPECT_EQ(screen.mManager.mFocusWidget, &first);
    EXPECT_EQ(screen.Take(),
              (Log{"first KeyDown 9", "first LostFocus", "second GotFocus", "second KeyUp 9",
                   "second KeyDown 16", "second KeyDown 9", "second LostFocus", "first GotFocus"}));

    // The window losing the focus releases the keys still down; the focus widget stays.
    screen.mManager.LostAppFocus();
    screen.mManager.GotAppFocus();
    EXPECT_EQ(screen.Take(), (Log{"first KeyUp 9", "first KeyUp 16", "first LostFocus", "first GotFocus"}));

    screen.mManager.SetFocus(&detached); // not in this manager: the focus becomes none
    EXPECT_EQ(screen.mManager.mFocusWidget, nullptr);
    screen.mManager.KeyChar('a');
    screen.mManager.MouseWheel(1);
    EXPECT_EQ(screen.Take(), (Log{"first LostFocus"}));
}

TEST(WidgetManager, ButtonsAndClickCounts)
{
    Screen screen;
    TestWidget box("box", &screen.mLog, 10, 10, 50, 50);
    screen.mManager.AddWidget(&box);
    screen.mManager.MousePosition(20, 30);
    screen.Take();
    struct Case
    {
        int clickCount;
        std::string down, up;
    } cases[] = {
        {1, "box Down 10,20 button 0 count 1", "box Up 10,20 button 0 count 1"},
        {2, "box Down 10,20 button 0 count 2", "box Up 10,20 button 0 count 2"},
        {-1, "box Down 10,20 button 1 count 1", "box Up 10,20 button 1 count 1"},
        {-2, "box Down 10,20 button 1 count 2", "box Up 10,20 button 1 count 2"},
        {3, "box Down 10,20 button 2 count 1", "box Up 10,20 button 2 count 1"},
    };
    for (const Case& c : cases)
    {
        screen.mManager.MouseDown(20, 30, c.clickCount);
        EXPECT_TRUE(box.mIsDown);
        screen.mManager.MouseUp(20, 30, c.clickCount);
        EXPECT_FALSE(box.mIsDown);
        EXPECT_EQ(screen.Take(), (Log{c.down, c.up})) << c.clickCount;
    }
}

// The widget that took the press gets the drags and the release wherever the mouse goes; it is
// left while the mouse is off it and entered again when it returns. A further press or a release
// first moves the mouse, so the widget under it is entered although the press goes to the held
// widget.
TEST(WidgetManager, DragAndCapture)
{
    Screen screen;
    TestWidget held("held", &screen.mLog, 100, 100, 50, 50);
    TestWidget other("other", &screen.mLog, 300, 100, 50, 50);
    screen.mManager.AddWidget(&held);
    screen.mManager.AddWidget(&other);
    screen.mManager.MousePosition(110, 110);
    screen.mManager.MouseDown(110, 110, 1);
    screen.Take();

    screen.mManager.MousePosition(310, 110); // over the other widget
    screen.mManager.MousePosition(120, 110); // back
    screen.mManager.MouseDown(310, 110, -1); // a second button goes to the held widget too
    screen.mManager.MouseUp(310, 110, 1);    // the right button is still held
    EXPECT_EQ(screen.mManager.mDownWidget, &held);
    screen.mManager.MouseUp(310, 110, -1);
    EXPECT_EQ(screen.mManager.mDownWidget, nullptr);
    EXPECT_EQ(screen.Take(),
              (Log{"held Drag 210,10", "held Leave", "held Drag 20,10", "held Enter", "held Leave",
                   "other Enter", "other Move 10,10", "held Down 210,10 button 1 count 1",
                   "held Up 210,10 button 0 count 1", "held Up 210,10 button 1 count 1"}));
    EXPECT_EQ(screen.mManager.mOverWidget, &other);
}

TEST(WidgetManager, ModalLayersCutInputBelowThem)
{
    Screen screen;
    TestWidget below("below", &screen.mLog, 0, 0, 100, 100);
    TestWidget dialog("dialog", &screen.mLog, 200, 0, 100, 100);
    TestWidget inner("inner", &screen.mLog, 400, 0, 100, 100);
    below.mWantsFocus = true;
    screen.mManager.AddWidget(&below);
    screen.mManager.AddWidget(&dialog);
    screen.Click(10, 10);
    screen.Take();

    screen.mManager.AddBaseModal(&dialog);
    EXPECT_EQ(screen.mManager.mFocusWidget, nullptr);
    screen.Click(10, 10); // finds nothing below the layer
    screen.Click(210, 10);
    screen.mManager.UpdateFrame(); // updates still reach everything
    EXPECT_EQ(screen.Take(), (Log{"below Leave", "below LostFocus", "dialog Enter", "dialog Move 10,10",
                                  "dialog Down 10,10 button 0 count 1", "dialog Up 10,10 button 0 count 1",
                                  "below Update", "dialog Update"}));

    // A second layer on top: the first dialog is now below.
    screen.mManager.AddWidget(&inner);
    screen.mManager.AddBaseModal(&inner);
    EXPECT_EQ(screen.mManager.GetWidgetAt(210, 10), nullptr);
    EXPECT_EQ(screen.mManager.GetWidgetAt(410, 10), &inner);
    screen.mManager.RemoveBaseModal(&dialog); // not the top layer: nothing
    EXPECT_EQ(screen.mManager.mBaseModalWidget, &inner);
    screen.mManager.RemoveBaseModal(&inner);
    EXPECT_EQ(screen.mManager.mBaseModalWidget, &dialog);
    EXPECT_EQ(screen.mManager.GetWidgetAt(10, 10), nullptr);
    screen.Take();

    screen.mManager.RemoveBaseModal(&dialog); // the focus comes back
    EXPECT_EQ(screen.mManager.mBaseModalWidget, nullptr);
    EXPECT_EQ(screen.mManager.mFocusWidget, &below);
    EXPECT_EQ(screen.mManager.GetWidgetAt(10, 10), &below);
    EXPECT_EQ(screen.Take(), (Log{"below GotFocus"}));
}

// Overlays are drawn after the screen, lowest priority first and in the order deferred; a
// container with an overlay priority has the lower overlays drawn before it.
TEST(WidgetManager, DeferredOverlaysAndDrawOrder)
{
    struct Deferring : TestWidget
    {
        using TestWidget::TestWidget;
        int mPriority = -1;
        void Draw(Graphics* g) override
        {
            TestWidget::Draw(g);
            if (mPriority >= 0) DeferOverlay(mPriority);
        }
    };
    Screen screen;
    RecordingImage image;
    screen.mManager.mScreenImage = &image;
    Deferring a("a", &screen.mLog, 0, 0, 10, 10);
    Deferring b("b", &screen.mLog, 20, 0, 10, 10);
    Deferring c("c", &screen.mLog, 40, 0, 10, 10);
    Deferring d("d", &screen.mLog, 60, 0, 10, 10);
    a.mPriority = 5;
    b.mPriority = 2;
    c.mPriority = 2;
    d.mOverlayPriority = 3;
    for (Widget* w : std::vector<Widget*>{&a, &b, &c, &d})
        screen.mManager.AddWidget(w);

    EXPECT_TRUE(screen.mManager.DrawScreen());
    EXPECT_EQ(screen.Take(), (Log{"a Draw at 0,0", "b Draw at 20,0", "c Draw at 40,0", "b Overlay 2 at 20,0",
                                  "c Overlay 2 at 40,0", "d Draw at 60,0", "a Overlay 5 at 0,0"}));

    // Only dirty widgets are drawn again; the draw rectangle's offset moves everything.
    screen.mManager.Resize(Rect(0, 0, 800, 600), Rect(5, 5, 790, 590));
    c.MarkDirty();
    EXPECT_TRUE(screen.mManager.DrawScreen());
    EXPECT_EQ(screen.Take(), (Log{"c Draw at 35,-5", "c Overlay 2 at 35,-5"}));
}

TEST(WidgetManager, RemapMouse)
{
    Screen screen;
    int x = 400, y = 300;
    screen.mManager.Resize(Rect(0, 0, 800, 600), Rect(0, 0, 1024, 768));
    screen.mManager.RemapMouse(x, y);
    EXPECT_EQ(Point(x, y), Point(512, 384));

    // Before the first Resize there is no mapping: the point stays (no division by zero).
    WidgetManager fresh(&screen.mApp);
    x = 400, y = 300;
    fresh.RemapMouse(x, y);
    EXPECT_EQ(Point(x, y), Point(400, 300));
}

TEST(WidgetManager, PopupAndCtrlTab)
{
    Screen screen;
    TestWidget focus("focus", &screen.mLog, 0, 0, 100, 100);
    TestWidget popup("popup", &screen.mLog, 200, 0, 100, 100);
    TestWidget tabs("tabs", &screen.mLog, 400, 0, 100, 100);
    focus.mWantsFocus = true;
    screen.mManager.AddWidget(&focus);
    screen.mManager.AddWidget(&popup);
    screen.mManager.AddWidget(&tabs);
    screen.mManager.mPopupWidget = &popup;
    screen.mManager.mCtrlTabWidget = &tabs;

    screen.Click(210, 10); // inside: the popup stays
    EXPECT_EQ(popup.mParent, &screen.mManager);
    screen.Click(10, 10); // outside: removed
    EXPECT_EQ(popup.mParent, nullptr);
    EXPECT_EQ(screen.mManager.mPopupWidget, nullptr);
    screen.Take();

    screen.mManager.KeyDown(KEYCODE_CONTROL);
    screen.mManager.KeyChar('\t');
    screen.mManager.KeyUp(KEYCODE_TAB);
    EXPECT_EQ(screen.Take(), (Log{"focus KeyDown 17", "tabs KeyChar 9"}));

    screen.mManager.RemoveWidget(&tabs); // a widget leaving the manager is forgotten there too
    EXPECT_EQ(screen.mManager.mCtrlTabWidget, nullptr);
}

// A handler may delete the widget it runs in; the manager goes on without it.
TEST(WidgetManager, AWidgetThatDeletesItselfInItsHandler)
{
    Screen screen;
    TestWidget* doomed = new TestWidget("doomed", &screen.mLog, 0, 0, 100, 100);
    TestWidget back("back", &screen.mLog, 0, 0, 800, 600);
    doomed->mWantsFocus = true;
    doomed->mOnMouseDown = [doomed]() { delete doomed; };
    screen.mManager.AddWidget(&back);
    screen.mManager.AddWidget(doomed);

    screen.Click(10, 10);
    EXPECT_EQ(screen.mManager.mDownWidget, nullptr);
    EXPECT_EQ(screen.mManager.mFocusWidget, nullptr);
    EXPECT_EQ(screen.mManager.mOverWidget, &back);
    EXPECT_EQ(screen.Take(), (Log{"doomed Enter", "doomed Move 10,10", "doomed GotFocus",
                                  "doomed Down 10,10 button 0 count 1", "back Enter", "back Move 10,10"}));
}

} // namespace
