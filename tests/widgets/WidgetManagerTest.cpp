#include "WidgetTestSupport.h"

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/KeyCodes.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

std::string NameOf(Widget* widget)
{
    return widget != nullptr ? static_cast<TestWidget*>(widget)->mName : "none";
}

// Paints its rectangle in its colour (translucent where the colour is) with white spots it can
// move, and writes down the clip of every draw: "name x,y,w,h" (its overlay: "name overlay ...").
class Painted : public Widget
{
public:
    Painted(const std::string& name, Log* log, const Rect& rect, const Color& colour)
        : mName(name), mLog(log), mColour(colour)
    {
        Resize(rect);
    }
    bool IsOpaque() override { return mColour.mAlpha == 255; }
    void Draw(Graphics* g) override
    {
        if (mLog != nullptr) mLog->push_back(mName + " " + RectText(g->clipRect));
        g->SetColor(mColour);
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetColor(Color(255, 255, 255, 200));
        for (const Rect& spot : mSpots)
            g->FillRect(spot);
        if (mOverlay) DeferOverlay(0);
    }
    void DrawOverlay(Graphics* g) override
    {
        if (mLog != nullptr) mLog->push_back(mName + " overlay " + RectText(g->clipRect));
        g->SetColor(Color(0, 0, 0, 90));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    void FrameDrawn() override
    {
        ++mFramesDrawn;
        if (mMarkWhenDrawn) MarkDirtyRect(Rect(0, 0, 4, 4));
    }
    // Each spot's old and new place are marked, nothing else.
    void MoveSpot(size_t i, int x, int y)
    {
        if (i >= mSpots.size()) mSpots.resize(i + 1, Rect(x, y, 6, 6));
        MarkDirtyRect(mSpots[i]);
        mSpots[i].mX = x;
        mSpots[i].mY = y;
        MarkDirtyRect(mSpots[i]);
    }

    std::string mName;
    Log* mLog;
    Color mColour;
    std::vector<Rect> mSpots;
    bool mOverlay = false;
    bool mMarkWhenDrawn = false;
    int mFramesDrawn = 0;
};

// A small screen of painted widgets: an opaque back with spots, an opaque panel, a translucent
// glass holding a translucent pane, a translucent band across the bottom; drawn into an image.
struct PaintedScreen
{
    Screen screen;
    MemoryImage image;
    Painted back{"back", nullptr, Rect(0, 0, 200, 150), Color(20, 30, 90)};
    Painted panel{"panel", nullptr, Rect(20, 20, 60, 40), Color(30, 160, 40)};
    Painted glass{"glass", nullptr, Rect(50, 30, 80, 60), Color(200, 40, 40, 128)};
    Painted pane{"pane", nullptr, Rect(10, 10, 30, 20), Color(250, 240, 30, 100)};
    Painted band{"band", nullptr, Rect(0, 100, 200, 30), Color(255, 255, 255, 60)};

    PaintedScreen()
    {
        screen.mManager.Resize(Rect(0, 0, 200, 150), Rect(0, 0, 200, 150));
        image.Create(200, 150);
        screen.mManager.mScreenImage = &image;
        glass.AddWidget(&pane);
        for (Widget* widget : std::vector<Widget*>{&back, &panel, &glass, &band})
            screen.mManager.AddWidget(widget);
    }
    std::vector<uint32_t> Pixels()
    {
        const uint32_t* bits = image.GetBits();
        return std::vector<uint32_t>(bits, bits + 200 * 150);
    }
};

// The screen drawn from the dirty region, and what of it is presented (the rectangles it drew),
// equal a whole redraw after every change, translucent widgets over changed ones included.
TEST(WidgetManager, DrawingTheDirtyRegionEqualsAWholeRedraw)
{
    PaintedScreen dirty, whole;
    std::vector<uint32_t> shown(200 * 150, 0); // what the display would show
    const std::vector<std::function<void(PaintedScreen&)>> changes = {
        [](PaintedScreen&) {},
        [](PaintedScreen& s) { s.back.MoveSpot(0, 40, 25); },
        [](PaintedScreen& s) { s.back.MoveSpot(0, 60, 95); }, // under the glass and the band
        [](PaintedScreen& s) { s.glass.Move(70, 45); },
        [](PaintedScreen& s)
        {
            s.pane.mColour = Color(0, 250, 250, 100);
            s.pane.MarkDirty();
        },
        [](PaintedScreen& s) { s.band.SetVisible(false); },
        [](PaintedScreen& s)
        {
            s.band.SetVisible(true);
            s.panel.MoveSpot(0, 50, 25); // the part of the panel under the glass
        },
        [](PaintedScreen& s)
        {
            for (size_t i = 0; i < 30; ++i) // more rectangles than the region keeps
                s.back.MoveSpot(i, int(i * 37 % 190), int(i * 53 % 140));
        },
        [](PaintedScreen& s) { s.glass.Resize(5, 5, 40, 130); },
    };
    for (size_t step = 0; step < changes.size(); ++step)
    {
        changes[step](dirty);
        changes[step](whole);
        EXPECT_TRUE(dirty.screen.mManager.DrawScreen()) << step;
        const std::vector<uint32_t> drawn = dirty.Pixels();
        for (const Rect& rect : dirty.screen.mManager.DrawnRects())
            for (int y = rect.mY; y < rect.mY + rect.mHeight; ++y)
                std::memcpy(&shown[size_t(y) * 200 + size_t(rect.mX)],
                            &drawn[size_t(y) * 200 + size_t(rect.mX)], size_t(rect.mWidth) * 4);

        std::memset(whole.image.GetBits(), 0, 200 * 150 * 4);
        whole.screen.mManager.MarkAllDirty();
        whole.screen.mManager.DrawScreen();
        EXPECT_EQ(whole.screen.mManager.DrawnRects(), std::vector<Rect>{Rect(0, 0, 200, 150)});
        const std::vector<uint32_t> redrawn = whole.Pixels();
        EXPECT_TRUE(drawn == redrawn) << "drawn, step " << step;
        EXPECT_TRUE(shown == redrawn) << "shown, step " << step;
    }
    // Nothing marked: nothing drawn, nothing to present.
    EXPECT_FALSE(dirty.screen.mManager.DrawScreen());
    EXPECT_TRUE(dirty.screen.mManager.DrawnRects().empty());
}

// Only the widgets that meet the region are drawn, each clipped to it, starting from the topmost
// one that hides what lies below; a widget met by several rectangles is drawn for each but hears
// once that its frame was drawn, and what it marks then is drawn in the next frame.
TEST(WidgetManager, TheRegionDecidesWhatIsDrawnAndWhere)
{
    Screen screen;
    RecordingImage image;
    screen.mManager.mScreenImage = &image;
    Log log;
    Painted back("back", &log, Rect(0, 0, 800, 600), Color(0, 0, 80));
    Painted panel("panel", &log, Rect(100, 100, 200, 100), Color(0, 80, 0));
    Painted glass("glass", &log, Rect(250, 150, 100, 100), Color(80, 0, 0, 100));
    for (Widget* widget : std::vector<Widget*>{&back, &panel, &glass})
        screen.mManager.AddWidget(widget);
    EXPECT_TRUE(screen.mManager.DrawScreen());
    log.clear();

    panel.MarkDirtyRect(Rect(10, 10, 20, 20));
    EXPECT_TRUE(screen.mManager.DrawScreen());
    EXPECT_EQ(log, (Log{"panel 110,110,20,20"}));
    EXPECT_EQ(screen.mManager.DrawnRects(), std::vector<Rect>{Rect(110, 110, 20, 20)});
    log.clear();

    glass.MarkDirty(); // it lets the panel and the back show through
    screen.mManager.DrawScreen();
    EXPECT_EQ(log, (Log{"back 250,150,100,100", "panel 250,150,50,50", "glass 250,150,100,100"}));
    log.clear();

    panel.MarkDirtyRect(Rect(140, 40, 20, 20)); // the panel hides the back there
    screen.mManager.DrawScreen();
    EXPECT_EQ(log, (Log{"panel 240,140,20,20", "glass 250,150,10,10"}));
    log.clear();

    glass.mOverlay = true;
    const int framesBefore = back.mFramesDrawn;
    back.MarkDirtyRect(Rect(20, 20, 10, 10));
    back.MarkDirtyRect(Rect(700, 500, 10, 10));
    glass.MarkDirtyRect(Rect(90, 90, 20, 20)); // cut to the glass
    screen.mManager.DrawScreen();
    EXPECT_EQ(log, (Log{"back 20,20,10,10", "back 700,500,10,10", "back 340,240,10,10", "glass 340,240,10,10",
                        "glass overlay 340,240,10,10"}));
    EXPECT_EQ(back.mFramesDrawn, framesBefore + 1);
    EXPECT_EQ(screen.mManager.DrawnRects(),
              (std::vector<Rect>{Rect(20, 20, 10, 10), Rect(700, 500, 10, 10), Rect(340, 240, 10, 10)}));
    log.clear();

    panel.mMarkWhenDrawn = true;
    panel.MarkDirtyRect(Rect(0, 0, 4, 4));
    screen.mManager.DrawScreen();
    EXPECT_EQ(screen.mManager.DirtyRects(), std::vector<Rect>{Rect(100, 100, 4, 4)});
    EXPECT_TRUE(screen.mManager.UpdateFrame()) << "the manager is still marked";
    panel.mMarkWhenDrawn = false;
    log.clear();
    EXPECT_TRUE(screen.mManager.DrawScreen());
    EXPECT_EQ(log, (Log{"panel 100,100,4,4"}));
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

// A screen's widgets added while dialogs are open go beneath the lowest modal layer, on top of
// everything else there, take no input and wait for the focus until the layers close; a widget
// added in front of another lies directly over it.
TEST(WidgetManager, WidgetsAddedBelowTheModalLayersStayBelowThem)
{
    Screen screen;
    WidgetManager& manager = screen.mManager;
    TestWidget backdrop("backdrop", &screen.mLog, 0, 0, 800, 600);
    TestWidget dialog("dialog", &screen.mLog, 200, 0, 100, 100);
    TestWidget dialogButton("dialogButton", &screen.mLog, 200, 80, 100, 20);
    TestWidget inner("inner", &screen.mLog, 400, 0, 100, 100);
    TestWidget button("button", &screen.mLog, 10, 10, 50, 20);
    TestWidget label("label", &screen.mLog, 10, 40, 50, 20);
    TestWidget late("late", &screen.mLog, 600, 0, 50, 20);
    button.mWantsFocus = true;
    auto order = [&]
    {
        std::vector<std::string> names;
        for (Widget* child : manager.mChildren)
            names.push_back(NameOf(child));
        return names;
    };

    manager.AddWidgetBelowModal(&backdrop); // no layer open: on top
    manager.AddWidget(&dialog);
    manager.AddWidget(&dialogButton);
    manager.AddBaseModal(&dialog);
    manager.AddWidget(&inner);
    manager.AddBaseModal(&inner);
    EXPECT_EQ(manager.LowestModalWidget(), &dialog);
    manager.AddWidgetBelowModal(&button);
    manager.AddWidgetInfront(&label, &backdrop);
    EXPECT_EQ(order(),
              (std::vector<std::string>{"backdrop", "label", "button", "dialog", "dialogButton", "inner"}));
    EXPECT_EQ(manager.GetWidgetAt(20, 20), nullptr) << "below the layers: no mouse";
    manager.SetFocus(&button);
    EXPECT_EQ(manager.mFocusWidget, nullptr) << "the focus waits for the layers to close";

    manager.RemoveWidget(&inner); // as a dialog is killed: out of the manager, then its layer
    manager.RemoveBaseModal(&inner);
    EXPECT_EQ(manager.mFocusWidget, nullptr);
    manager.RemoveWidget(&dialogButton);
    manager.RemoveWidget(&dialog);
    manager.RemoveBaseModal(&dialog);
    EXPECT_EQ(manager.mFocusWidget, &button);
    EXPECT_EQ(manager.LowestModalWidget(), nullptr);
    manager.AddWidgetBelowModal(&late);
    EXPECT_EQ(order(), (std::vector<std::string>{"backdrop", "label", "button", "late"}));
    EXPECT_EQ(manager.GetWidgetAt(20, 20), &button);
    manager.RemoveAllWidgets();
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
