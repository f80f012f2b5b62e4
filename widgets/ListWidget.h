#pragma once

#include "widgets/ScrollListener.h"
#include "widgets/Widget.h"

#include <string>
#include <vector>

namespace Kavo
{

class Font;
class ListListener;
class ScrollbarWidget;

// Lines of text, one per row, with a mouse highlight, a selected line, per-line colours and an
// optional scroll bar. Lists chained through mParentList / mChildList are the columns of one
// table: they share the line count, highlight, selection, colours and sort order, and scroll
// together. A chain is walked from its top (the end of mParentList) down through mChildList.
//
// Rows start 4 pixels below the top; a list of height h shows (h - 8) / row height lines.
class ListWidget : public Widget, public ScrollListener
{
public:
    // Colour indices.
    enum
    {
        COLOR_BKG = 0,
        COLOR_OUTLINE = 1,
        COLOR_TEXT = 2, // given to new lines
        COLOR_HILITE = 3,
        COLOR_SELECT = 4,
        COLOR_SELECT_TEXT = 5,
        NUM_COLORS = 6,
    };

    int mId;
    Font* mFont;                           // not owned
    WidgetRef<ScrollbarWidget> mScrollbar; // set by the owner; not owned
    int mJustify = 0;                      // 0 left, 1 centred, other values right
    std::vector<std::string> mLines;
    std::vector<Color> mLineColors;
    double mPosition = 0.0; // the first visible line; may be fractional
    double mPageSize = 0.0; // the number of visible lines
    int mHiliteIdx = -1;
    int mSelectIdx = -1;
    ListListener* mListener;
    ListWidget* mParentList = nullptr;
    ListWidget* mChildList = nullptr;
    bool mSortFromChild = false; // the child column's key comes first when sorting
    bool mDrawOutline = true;
    int mMaxNumericPlaces = 0; // sort keys are left-padded with "0" to this length
    int mItemHeight;           // -1: the font's height
    bool mDrawSelectWhenHilited = false;
    bool mHandOnHilite = true;

    ListWidget(int id, Font* font, ListListener* listener);
    ~ListWidget() override;

    virtual std::string GetSortKey(int index);
    // A stable sort of the whole chain by this column's keys.
    virtual void Sort(bool ascending);
    // Empty for an index out of range.
    virtual std::string GetLine(int index);
    // Inserts before the first line greater than text when sorted, else at the end; the other
    // columns get "-". Returns the index.
    virtual int AddLine(const std::string& text, bool sorted);
    virtual void SetLine(int index, const std::string& text);
    virtual int GetLineCount();
    // The first line equal to text, or -1.
    virtual int GetLineIdx(const std::string& text);
    virtual void SetLineColor(const std::string& text, const Color& color);
    virtual void SetLineColor(int index, const Color& color);
    virtual void RemoveLine(int index);
    virtual void RemoveAll();
    virtual int GetOptimalWidth();
    virtual int GetOptimalHeight();
    virtual void SetSelect(int index);

    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    // It fills itself with its background colour first.
    bool IsOpaque() override;
    void OrderInManagerChanged() override;
    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    using Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseWheel(int delta) override;
    void ScrollPosition(int id, double position) override;

    // The height of a row: mItemHeight, else the font's height; at least 1.
    int GetRowHeight();

private:
    // Every list of the chain, from its top.
    std::vector<ListWidget*> GetChain();
    // Sets every column's highlight, telling each column's listener of a change.
    void SetChainHilite(int line);
};

} // namespace Kavo
