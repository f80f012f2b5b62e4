#include "WidgetTestSupport.h"

#include "base/StringUtils.h"
#include "graphics/Graphics.h"
#include "widgets/ListListener.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

struct ListLog : ListListener
{
    Log mLog;
    void ListClicked(int id, int line, int clickCount) override
    {
        mLog.push_back(StrFormat("Clicked %d %d %d", id, line, clickCount));
    }
    void ListClosed(int id) override { mLog.push_back(StrFormat("Closed %d", id)); }
    void ListHiliteChanged(int id, int oldLine, int newLine) override
    {
        mLog.push_back(StrFormat("Hilite %d %d>%d", id, oldLine, newLine));
    }
};

// Two chained columns: names and scores.
struct Table
{
    FakeFont mFont;
    ListLog mListener;
    ListWidget mNames{1, &mFont, &mListener};
    ListWidget mScores{2, &mFont, &mListener};

    Table()
    {
        mNames.mChildList = &mScores;
        mScores.mParentList = &mNames;
    }
    void Add(const std::string& name, const std::string& score)
    {
        int index = mNames.AddLine(name, false);
        mScores.SetLine(index, score);
    }
};

TEST(List, AddingLinesToAChain)
{
    Table table;
    table.mNames.AddLine("a", true);
    table.mNames.AddLine("c", true);
    table.mNames.SetColor(ListWidget::COLOR_TEXT, Color(1, 2, 3));
    EXPECT_EQ(table.mNames.AddLine("b", true), 1);
    EXPECT_EQ(table.mNames.mLines, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(table.mScores.mLines, (std::vector<std::string>{"-", "-", "-"}));
    EXPECT_EQ(table.mScores.mLineColors[1], Color(1, 2, 3)); // the colour of the list that added it

    table.mScores.SetLineColor("-", Color(9, 9, 9)); // the first line, in every column
    EXPECT_EQ(table.mNames.mLineColors[0], Color(9, 9, 9));
    table.mScores.RemoveLine(0);
    EXPECT_EQ(table.mNames.mLines, (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(table.mNames.GetLineIdx("c"), 1);
    EXPECT_EQ(table.mNames.GetLine(5), "");
    table.mNames.SetSelect(1);
    EXPECT_EQ(table.mScores.mSelectIdx, 1);
    table.mScores.RemoveAll();
    EXPECT_EQ(table.mNames.GetLineCount(), 0);
    EXPECT_EQ(table.mNames.mSelectIdx, -1);
}

TEST(List, SortingTheChain)
{
    Table table;
    table.Add("bob", "12");
    table.Add("amy", "7");
    table.Add("cy", "100");
    table.Add("dan", "7");
    table.mScores.mMaxNumericPlaces = 3;
    EXPECT_EQ(table.mScores.GetSortKey(1), "007");

    table.mScores.Sort(true); // "7" before "12"; the two 7s keep their order
    EXPECT_EQ(table.mNames.mLines, (std::vector<std::string>{"amy", "dan", "bob", "cy"}));
    EXPECT_EQ(table.mScores.mLines, (std::vector<std::string>{"7", "7", "12", "100"}));

    table.mNames.Sort(false); // the name column's key is followed by the score's
    EXPECT_EQ(table.mNames.mLines, (std::vector<std::string>{"dan", "cy", "bob", "amy"}));
    EXPECT_EQ(table.mNames.GetSortKey(0), "dan007");
    table.mNames.mSortFromChild = true;
    EXPECT_EQ(table.mNames.GetSortKey(0), "007dan");
}

TEST(List, PageSizeAndScrolling)
{
    Table table;
    ScrollbarWidget bar(9, &table.mNames);
    bar.ResizeScrollbar(0, 0, 10, 100);
    table.mNames.mScrollbar.Reset(&bar);
    table.mNames.mItemHeight = 20;
    table.mScores.mItemHeight = 20;
    for (int i = 0; i < 20; ++i)
        table.Add(StrFormat("n%d", i), "0");
    EXPECT_EQ(bar.mMaxValue, 20);

    table.mNames.Resize(0, 0, 100, 108);
    EXPECT_EQ(table.mNames.mPageSize, 5.0);
    EXPECT_EQ(bar.mPageSize, 5.0);
    table.mScores.Resize(0, 0, 100, 20);
    EXPECT_EQ(table.mScores.mPageSize, 1.0);

    bar.SetValue(3);
    EXPECT_EQ(table.mScores.mPosition, 3); // the columns scroll together
    table.mNames.MouseWheel(1);            // up five lines, clamped
    EXPECT_EQ(bar.mValue, 0);
    table.mNames.MouseWheel(-1);
    EXPECT_EQ(table.mScores.mPosition, 5);
}

TEST(List, HighlightAndClicks)
{
    Screen screen;
    Table table;
    table.mNames.mItemHeight = 20;
    table.mNames.Resize(0, 0, 100, 108);
    table.mScores.Resize(100, 0, 50, 108);
    table.Add("a", "1");
    table.Add("b", "2");
    screen.mManager.AddWidget(&table.mNames);
    screen.mManager.AddWidget(&table.mScores);

    screen.mManager.MousePosition(10, 3); // above the first row: still line 0
    EXPECT_EQ(screen.mApp.mCursor, 1);
    screen.mManager.MousePosition(10, 30);
    screen.mManager.MouseDown(10, 30, 2);
    screen.mManager.MouseUp(10, 30, 2);
    screen.mManager.MousePosition(10, 90); // past the last line
    EXPECT_EQ(screen.mApp.mCursor, 0);
    screen.mManager.MousePosition(300, 90);
    EXPECT_EQ(table.mListener.mLog, (Log{"Hilite 1 -1>0", "Hilite 2 -1>0", "Hilite 1 0>1", "Hilite 2 0>1",
                                         "Clicked 1 1 2", "Hilite 1 1>-1", "Hilite 2 1>-1"}));
    table.mListener.mLog.clear();

    screen.mManager.RemoveWidget(&table.mNames);
    EXPECT_EQ(table.mListener.mLog, (Log{"Closed 1"}));
}

// A column deleted while it is on the screen tells its listener and leaves the chain closed
// over the gap.
TEST(List, DeletingAChainedColumn)
{
    Screen screen;
    Table table;
    ListWidget* middle = new ListWidget(3, &table.mFont, &table.mListener);
    table.mNames.mChildList = middle;
    middle->mParentList = &table.mNames;
    middle->mChildList = &table.mScores;
    table.mScores.mParentList = middle;
    screen.mManager.AddWidget(middle);
    table.Add("x", "1");

    delete middle;
    EXPECT_EQ(table.mListener.mLog, (Log{"Closed 3"}));
    EXPECT_EQ(table.mNames.mChildList, &table.mScores);
    EXPECT_EQ(table.mScores.mParentList, &table.mNames);
    table.Add("y", "2");
    EXPECT_EQ(table.mScores.mLines, (std::vector<std::string>{"1", "2"}));
}

TEST(List, Drawing)
{
    FakeApp app;
    Table table;
    table.mFont.mLog = &app.mTextLog;
    table.mNames.Resize(0, 0, 100, 40); // rows of 12: lines 0 to 3 may show
    table.Add("a", "1");
    table.Add("b", "2");
    table.Add("c", "3");
    table.mNames.mSelectIdx = 1;
    table.mNames.mHiliteIdx = 2;
    table.mNames.mJustify = 2;

    RecordingImage image(200, 100);
    Graphics g(&image);
    table.mNames.Draw(&g);
    EXPECT_EQ(image.mLog, (Log{"FillRect 0,0,100,40 #FFFFFFFF", "FillRect 4,16,92,12 #000080FF",
                               "DrawRect 0,0,99,39 #FFFFFFFF"}));
    EXPECT_EQ(app.mTextLog,
              (Log{"Text 'a' 90,13 #000000FF", "Text 'b' 90,25 #FFFFFFFF", "Text 'c' 90,37 #00C000FF"}));
}

} // namespace
