#include "WidgetTestSupport.h"

#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

std::vector<std::string> Names(WidgetContainer& container)
{
    std::vector<std::string> names;
    for (Widget* child : container.mChildren)
        names.push_back(static_cast<TestWidget*>(child)->mName);
    return names;
}

TEST(WidgetTree, ZOrderKeepsTheListSortedAndRequestedPlacesAmongEquals)
{
    Log log;
    WidgetContainer root;
    TestWidget a("a", &log, 0, 0, 1, 1), b("b", &log, 0, 0, 1, 1), c("c", &log, 0, 0, 1, 1),
        high("high", &log, 0, 0, 1, 1), low("low", &log, 0, 0, 1, 1);
    high.mZOrder = 5;
    low.mZOrder = -1;
    root.AddWidget(&high);
    root.AddWidget(&a);
    root.AddWidget(&b);
    root.AddWidget(&low);
    root.AddWidget(&a); // already a child: nothing
    EXPECT_EQ(Names(root), (std::vector<std::string>{"low", "a", "b", "high"}));

    root.AddWidget(&c);
    root.BringToBack(&c); // stays above the lower z-order
    EXPECT_EQ(Names(root), (std::vector<std::string>{"low", "c", "a", "b", "high"}));
    root.PutInfront(&c, &b);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"low", "a", "b", "c", "high"}));
    root.PutBehind(&c, &a);
    EXPECT_EQ(Names(root), (std::vector<std::string>{"low", "c", "a", "b", "high"}));
    root.BringToFront(&a); // cannot pass the higher z-order
    EXPECT_EQ(Names(root), (std::vector<std::string>{"low", "c", "b", "a", "high"}));
    root.BringToBack(&high); // stays after every child of smaller z-order
    EXPECT_EQ(Names(root), (std::vector<std::string>{"low", "c", "b", "a", "high"}));

    EXPECT_TRUE(root.IsBelow(&c, &a));
    EXPECT_FALSE(root.IsBelow(&a, &c));
    root.RemoveAllWidgets();
    EXPECT_TRUE(root.mChildren.empty());
    EXPECT_EQ(a.mParent, nullptr);
}

TEST(WidgetTree, ColorsGeometryAndDigits)
{
    Log log;
    TestWidget w("w", &log, 0, 0, 10, 10);
    EXPECT_EQ(w.GetColor(7), Color(0, 0, 0, 255));
    EXPECT_EQ(w.GetColor(7, Color(1, 2, 3)), Color(1, 2, 3));
    w.SetColor(5, Color(9, 9, 9, 9));
    ASSERT_EQ(w.mColors.size(), 6u);
    EXPECT_EQ(w.mColors[0], Color(0, 0, 0, 255));
    EXPECT_EQ(w.GetColor(5), Color(9, 9, 9, 9));
    int rows[2][3] = {{1, 2, 3}, {4, 5, 6}};
    w.SetColors(rows, 2);
    EXPECT_EQ(w.mColors.size(), 2u);
    EXPECT_EQ(w.GetColor(1), Color(4, 5, 6, 255));

    w.mInsets = Insets(1, 2, 3, 4);
    EXPECT_EQ(w.GetInsetRect(), Rect(1, 2, 6, 4));
    EXPECT_TRUE(w.Contains(9, 9));
    EXPECT_FALSE(w.Contains(10, 0));

    struct Case
    {
        int n, digits;
    } cases[] = {{-3, 1}, {0, 1}, {9, 1}, {10, 2}, {99, 2}, {120, 3}, {2147483647, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(w.GetNumDigits(c.n), c.digits) << c.n;
}

TEST(WidgetTree, LayoutByFlags)
{
    Log log;
    TestWidget parent("parent", &log, 100, 100, 200, 100);
    TestWidget reference("ref", &log, 10, 20, 40, 30);
    parent.AddWidget(&reference);
    struct Case
    {
        int flags;
        Widget* ref;
        int left, top, width, height;
        Rect expected;
    } cases[] = {
        {LAY_SameLeft | LAY_Below, &reference, 0, 10, 0, 0, {10, 60, 5, 5}},
        {LAY_Right | LAY_SameTop, &reference, 2, 0, 0, 0, {52, 20, 5, 5}},
        {LAY_SetWidth | LAY_Left, &reference, 0, 0, 8, 0, {2, 0, 8, 5}},
        {LAY_SetWidthFromRef | LAY_SetHeightFromRef, &reference, 0, 0, -10, 2, {0, 0, 30, 32}},
        {LAY_HCenter | LAY_VCenter, &parent, 0, 0, 0, 0, {97, 47, 5, 5}}, // the parent is at (0, 0)
        {LAY_SetLeft | LAY_GrowToRight, &reference, 20, 0, 1, 0, {20, 0, 31, 5}},
        {LAY_SameBottom | LAY_SameRight, &reference, 0, 0, 0, 0, {45, 45, 5, 5}},
    };
    for (const Case& c : cases)
    {
        TestWidget w("w", &log, 0, 0, 5, 5);
        parent.AddWidget(&w);
        w.LayoutByFlags(c.flags, c.ref, c.left, c.top, c.width, c.height);
        EXPECT_EQ(w.GetRect(), c.expected) << std::hex << c.flags;
    }
}

// A widget may remove itself or be deleted while the update pass is on it; the pass goes on with
// the next sibling, once.
TEST(WidgetTree, RemovalDuringTheUpdatePass)
{
    Screen screen;
    struct SelfRemover : TestWidget
    {
        using TestWidget::TestWidget;
        bool mDelete = false;
        void Update() override
        {
            TestWidget::Update();
            if (mDelete)
                delete this;
            else
                mParent->RemoveWidget(this);
        }
    };
    TestWidget first("first", &screen.mLog, 0, 0, 10, 10);
    SelfRemover remover("remover", &screen.mLog, 0, 0, 10, 10);
    SelfRemover* deleter = new SelfRemover("deleter", &screen.mLog, 0, 0, 10, 10);
    deleter->mDelete = true;
    TestWidget last("last", &screen.mLog, 0, 0, 10, 10);
    for (Widget* w : std::vector<Widget*>{&first, &remover, deleter, &last})
        screen.mManager.AddWidget(w);

    screen.mManager.UpdateFrame();
    EXPECT_EQ(screen.Take(), (Log{"first Update", "remover Update", "deleter Update", "last Update"}));
    EXPECT_EQ(Names(screen.mManager), (std::vector<std::string>{"first", "last"}));
    EXPECT_EQ(remover.mParent, nullptr);
    EXPECT_EQ(screen.mManager.mUpdateDepth, 0);

    screen.mManager.UpdateFrame();
    EXPECT_EQ(screen.Take(), (Log{"first Update", "last Update"}));
}

// The update pass honours each node's flag changes and runs Update once per manager tick.
TEST(WidgetTree, UpdateFlags)
{
    Screen screen;
    TestWidget parent("parent", &screen.mLog, 0, 0, 100, 100);
    TestWidget child("child", &screen.mLog, 0, 0, 10, 10);
    TestWidget frozen("frozen", &screen.mLog, 20, 0, 10, 10);
    parent.AddWidget(&child);
    parent.AddWidget(&frozen);
    screen.mManager.AddWidget(&parent);
    frozen.mFlagMods = FlagsMod(WIDGETFLAGS_MARK_DIRTY, WIDGETFLAGS_UPDATE);

    frozen.mDirty = false;
    screen.mManager.UpdateFrame();
    EXPECT_EQ(screen.Take(), (Log{"parent Update", "child Update"}));
    EXPECT_TRUE(frozen.mDirty); // flag 2 marks it dirty on every update

    ModalFlags flags;
    parent.UpdateAll(flags); // same manager tick: Update does not run again
    EXPECT_TRUE(screen.Take().empty());
}

// Hiding a widget repaints what lay below and above it; showing it repaints itself and what lies
// above. Only top-level widgets carry the marks the screen is drawn from.
TEST(WidgetTree, DirtyMarking)
{
    Screen screen;
    TestWidget background("background", &screen.mLog, 0, 0, 300, 300);
    TestWidget middle("middle", &screen.mLog, 100, 100, 100, 100);
    TestWidget top("top", &screen.mLog, 150, 150, 100, 100);
    TestWidget apart("apart", &screen.mLog, 500, 500, 10, 10);
    TestWidget child("child", &screen.mLog, 5, 5, 10, 10);
    middle.AddWidget(&child);
    for (Widget* w : std::vector<Widget*>{&background, &middle, &top, &apart})
        screen.mManager.AddWidget(w);

    auto clean = [&]()
    {
        for (Widget* w : std::vector<Widget*>{&background, &middle, &top, &apart, &child})
            w->mDirty = false;
    };
    auto dirty = [&]()
    {
        std::vector<std::string> names;
        for (Widget* w : std::vector<Widget*>{&background, &middle, &top, &apart, &child})
            if (w->mDirty) names.push_back(static_cast<TestWidget*>(w)->mName);
        return names;
    };

    clean();
    middle.SetVisible(false);
    EXPECT_EQ(dirty(), (std::vector<std::string>{"background", "middle", "top"}));
    clean();
    middle.SetVisible(true);
    EXPECT_EQ(dirty(), (std::vector<std::string>{"middle", "top"}));
    clean();
    child.MarkDirty(); // reaches the top through its parent
    EXPECT_EQ(dirty(), (std::vector<std::string>{"middle", "top", "child"}));
    clean();
    top.mOpaque = false; // what shows through must be drawn too
    top.MarkDirty();
    EXPECT_EQ(dirty(), (std::vector<std::string>{"background", "middle", "top"}));

    // The manager's own mark says whether anything changed since the last draw.
    EXPECT_TRUE(screen.mManager.UpdateFrame());
    screen.mManager.DrawScreen();
    EXPECT_FALSE(screen.mManager.UpdateFrame());
    apart.MarkDirty();
    EXPECT_TRUE(screen.mManager.UpdateFrame());
}

// Removing a container from the manager tells each widget inside it once that it left.
TEST(WidgetTree, NestedWidgetsHearOfTheirRemovalOnce)
{
    struct Counting : TestWidget
    {
        using TestWidget::TestWidget;
        int removals = 0;
        void RemovedFromManager(WidgetManager* manager) override
        {
            ++removals;
            TestWidget::RemovedFromManager(manager);
        }
    };
    Screen screen;
    Counting panel("panel", &screen.mLog, 0, 0, 200, 200);
    Counting child("child", &screen.mLog, 10, 10, 50, 50);
    Counting grandchild("grandchild", &screen.mLog, 1, 1, 5, 5);
    child.AddWidget(&grandchild);
    panel.AddWidget(&child);
    screen.mManager.AddWidget(&panel);
    screen.mManager.RemoveWidget(&panel);
    EXPECT_EQ(panel.removals, 1);
    EXPECT_EQ(child.removals, 1);
    EXPECT_EQ(grandchild.removals, 1);
    EXPECT_EQ(grandchild.mManager, nullptr);
}

// A widget deleted while it is in the tree leaves no pointer to itself behind: not in its parent,
// not in its children, not in the manager's over, down and focus slots.
TEST(WidgetTree, DeletingAWidgetInTheTreeLeavesNoDanglingPointers)
{
    Screen screen;
    TestWidget* panel = new TestWidget("panel", &screen.mLog, 0, 0, 200, 200);
    TestWidget* field = new TestWidget("field", &screen.mLog, 10, 10, 50, 50);
    TestWidget inner("inner", &screen.mLog, 1, 1, 5, 5);
    field->mWantsFocus = true;
    field->AddWidget(&inner);
    panel->AddWidget(field);
    screen.mManager.AddWidget(panel);

    screen.mManager.MousePosition(20, 20);
    screen.mManager.MouseDown(20, 20, 1); // field: over, down and focus
    ASSERT_EQ(screen.mManager.mFocusWidget, field);
    ASSERT_EQ(screen.mManager.mDownWidget, field);
    ASSERT_EQ(screen.mManager.mOverWidget, field);
    screen.Take();

    delete field;
    EXPECT_EQ(screen.mManager.mFocusWidget, nullptr);
    EXPECT_EQ(screen.mManager.mDownWidget, nullptr);
    EXPECT_EQ(screen.mManager.mOverWidget, nullptr);
    EXPECT_TRUE(panel->mChildren.empty());
    EXPECT_EQ(inner.mParent, nullptr);
    EXPECT_EQ(inner.mManager, nullptr);

    // The rest of the input goes on without touching the deleted widget.
    screen.mManager.MouseUp(20, 20, 1);
    screen.mManager.KeyDown(65);
    screen.mManager.UpdateFrame();
    EXPECT_EQ(screen.Take(), (Log{"panel Enter", "panel Move 20,20", "panel Update"}));

    delete panel; // a top-level widget leaves the manager the same way
    EXPECT_TRUE(screen.mManager.mChildren.empty());
    EXPECT_EQ(screen.mManager.mOverWidget, nullptr);
}

// DrawAll draws a container, then its visible children in list order, each translated to its
// place and clipped to its rectangle; WriteNumberFromStrip clips each digit of the strip.
TEST(WidgetTree, DrawingNestedWidgetsAndDigitStrips)
{
    Screen screen;
    RecordingImage target(100, 100);
    TestWidget outer("outer", &screen.mLog, 10, 10, 50, 50);
    TestWidget first("first", &screen.mLog, 5, 5, 10, 10);
    TestWidget hidden("hidden", &screen.mLog, 5, 5, 10, 10);
    TestWidget second("second", &screen.mLog, 20, 5, 10, 10);
    hidden.mVisible = false;
    outer.AddWidget(&first);
    outer.AddWidget(&hidden);
    outer.AddWidget(&second);
    screen.mManager.AddWidget(&outer);
    screen.mManager.mScreenImage = &target;
    screen.Take();

    EXPECT_TRUE(screen.mManager.DrawScreen());
    EXPECT_EQ(screen.Take(), (Log{"outer Draw at 10,10", "first Draw at 15,15", "second Draw at 30,15"}));
    EXPECT_FALSE(first.mDirty);
    int framesBegun = screen.mApp.mScreenDraws;
    EXPECT_FALSE(screen.mManager.DrawScreen()); // nothing dirty: nothing drawn, the screen untouched
    EXPECT_TRUE(screen.Take().empty());
    EXPECT_EQ(screen.mApp.mScreenDraws, framesBegun);

    RecordingImage strip(100, 12); // ten digits of 10 pixels
    Graphics g(&target);
    outer.WriteNumberFromStrip(&g, 120, 3, 4, &strip, 1);
    EXPECT_EQ(target.mLog, (Log{"Blt 3,4 src 10,0,10,12 #FFFFFFFF", "Blt 14,4 src 20,0,10,12 #FFFFFFFF",
                                "Blt 25,4 src 0,0,10,12 #FFFFFFFF"}));
}

} // namespace
