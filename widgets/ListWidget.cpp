#include "widgets/ListWidget.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "widgets/ListListener.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{
constexpr int kMargin = 4; // between the edge and the rows
}

ListWidget::ListWidget(int id, Font* font, ListListener* listener)
    : mId(id), mFont(font), mListener(listener), mItemHeight(font != nullptr ? font->GetHeight() : -1)
{
    static const int kColors[NUM_COLORS][3] = {
        {255, 255, 255}, {255, 255, 255}, {0, 0, 0}, {0, 192, 0}, {0, 0, 128}, {255, 255, 255},
    };
    SetColors(kColors, NUM_COLORS);
}

ListWidget::~ListWidget()
{
    // Leave the tree while this is still a list (the listener hears ListClosed), and close the
    // chain over the gap.
    if (mParent != nullptr) mParent->RemoveWidget(this);
    if (mParentList != nullptr) mParentList->mChildList = mChildList;
    if (mChildList != nullptr) mChildList->mParentList = mParentList;
}

int ListWidget::GetRowHeight()
{
    int height = mItemHeight;
    if (height == -1) height = mFont != nullptr ? mFont->GetHeight() : 0;
    return std::max(height, 1);
}

std::vector<ListWidget*> ListWidget::GetChain()
{
    // Owners link the columns by hand; a loop in the links ends the walk instead of hanging it.
    std::vector<ListWidget*> chain{this};
    ListWidget* top = this;
    while (top->mParentList != nullptr &&
           std::find(chain.begin(), chain.end(), top->mParentList) == chain.end())
    {
        top = top->mParentList;
        chain.push_back(top);
    }
    chain.clear();
    for (ListWidget* list = top; list != nullptr; list = list->mChildList)
    {
        if (std::find(chain.begin(), chain.end(), list) != chain.end()) break; // a loop
        chain.push_back(list);
    }
    return chain;
}

std::string ListWidget::GetSortKey(int index)
{
    std::string key = GetLine(index);
    if (int(key.size()) < mMaxNumericPlaces) key.insert(0, size_t(mMaxNumericPlaces) - key.size(), '0');
    if (mChildList != nullptr)
    {
        std::string childKey = mChildList->GetSortKey(index);
        key = mSortFromChild ? childKey + key : key + childKey;
    }
    return key;
}

void ListWidget::Sort(bool ascending)
{
    int count = int(mLines.size());
    std::vector<std::string> keys;
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
    {
        keys.push_back(GetSortKey(i));
        order.push_back(i);
    }
    // A bubble sort: equal keys keep their order.
    for (int pass = count - 1; pass >= 1; --pass)
    {
        for (int j = 0; j < pass; ++j)
        {
            int cmp = keys[size_t(j)].compare(keys[size_t(j) + 1]);
            if ((ascending && cmp > 0) || (!ascending && cmp < 0))
            {
                std::swap(keys[size_t(j)], keys[size_t(j) + 1]);
                std::swap(order[size_t(j)], order[size_t(j) + 1]);
            }
        }
    }
    for (ListWidget* list : GetChain())
    {
        if (int(list->mLines.size()) != count || int(list->mLineColors.size()) != count) continue;
        std::vector<std::string> lines;
        std::vector<Color> colors;
        for (int index : order)
        {
            lines.push_back(list->mLines[size_t(index)]);
            colors.push_back(list->mLineColors[size_t(index)]);
        }
        list->mLines.swap(lines);
        list->mLineColors.swap(colors);
        list->MarkDirty();
    }
}

std::string ListWidget::GetLine(int index)
{
    if (index < 0 || index >= int(mLines.size())) return std::string();
    return mLines[size_t(index)];
}

int ListWidget::AddLine(const std::string& text, bool sorted)
{
    int index = int(mLines.size());
    if (sorted)
    {
        auto greater =
            std::find_if(mLines.begin(), mLines.end(), [&](const std::string& line) { return line > text; });
        index = int(greater - mLines.begin());
    }
    Color color = GetColor(COLOR_TEXT);
    for (ListWidget* list : GetChain())
    {
        size_t at = std::min(size_t(index), list->mLines.size());
        list->mLines.insert(list->mLines.begin() + long(at), list == this ? text : std::string("-"));
        at = std::min(size_t(index), list->mLineColors.size());
        list->mLineColors.insert(list->mLineColors.begin() + long(at), color);
        list->MarkDirty();
    }
    if (ScrollbarWidget* scrollbar = mScrollbar.Get()) scrollbar->SetMaxValue(double(mLines.size()));
    return index;
}

void ListWidget::SetLine(int index, const std::string& text)
{
    if (index < 0 || index >= int(mLines.size())) return;
    mLines[size_t(index)] = text;
    MarkDirty();
}

int ListWidget::GetLineCount()
{
    return int(mLines.size());
}

int ListWidget::GetLineIdx(const std::string& text)
{
    auto it = std::find(mLines.begin(), mLines.end(), text);
    return it == mLines.end() ? -1 : int(it - mLines.begin());
}

void ListWidget::SetLineColor(const std::string& text, const Color& color)
{
    SetLineColor(GetLineIdx(text), color);
}

void ListWidget::SetLineColor(int index, const Color& color)
{
    if (index < 0 || index >= int(mLines.size())) return;
    for (ListWidget* list : GetChain())
    {
        if (size_t(index) < list->mLineColors.size()) list->mLineColors[size_t(index)] = color;
        list->MarkDirty();
    }
}

void ListWidget::RemoveLine(int index)
{
    if (index < 0 || index >= int(mLines.size())) return;
    for (ListWidget* list : GetChain())
    {
        if (size_t(index) < list->mLines.size()) list->mLines.erase(list->mLines.begin() + index);
        if (size_t(index) < list->mLineColors.size())
            list->mLineColors.erase(list->mLineColors.begin() + index);
        list->MarkDirty();
    }
    if (ScrollbarWidget* scrollbar = mScrollbar.Get()) scrollbar->SetMaxValue(double(mLines.size()));
}

void ListWidget::RemoveAll()
{
    for (ListWidget* list : GetChain())
    {
        list->mLines.clear();
        list->mLineColors.clear();
        list->mHiliteIdx = -1;
        list->mSelectIdx = -1;
        list->MarkDirty();
    }
    if (ScrollbarWidget* scrollbar = mScrollbar.Get()) scrollbar->SetMaxValue(0.0);
}

int ListWidget::GetOptimalWidth()
{
    int widest = 0;
    if (mFont != nullptr)
        for (const std::string& line : mLines)
            widest = std::max(widest, mFont->StringWidth(line));
    return widest + 16;
}

int ListWidget::GetOptimalHeight()
{
    return int(mLines.size()) * GetRowHeight() + 8;
}

void ListWidget::SetSelect(int index)
{
    for (ListWidget* list : GetChain())
    {
        list->mSelectIdx = index;
        list->MarkDirty();
    }
}

void ListWidget::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mListener != nullptr) mListener->ListClosed(mId);
}

bool ListWidget::IsOpaque()
{
    return GetColor(COLOR_BKG).mAlpha == 255;
}

void ListWidget::Draw(Graphics* g)
{
    g->SetColor(GetColor(COLOR_BKG));
    g->FillRect(0, 0, mWidth, mHeight);

    int rowHeight = GetRowHeight();
    int count = int(mLines.size());
    int first = int(mPosition);
    int last = std::min(int(mPageSize) + 1 + first, count - 1);
    int fontHeight = mFont != nullptr ? mFont->GetHeight() : 0;
    int textOffset = mItemHeight != -1 ? (mItemHeight - fontHeight) / 2 : 0;

    Graphics rows(*g);
    rows.ClipRect(0, kMargin, mWidth, mHeight - 2 * kMargin);
    Graphics fills(*g);
    fills.ClipRect(kMargin, kMargin, mWidth - 2 * kMargin, mHeight - 2 * kMargin);
    if (mFont != nullptr) rows.SetFont(mFont);

    for (int i = std::max(first, 0); i <= last; ++i)
    {
        int y = int((i - mPosition) * rowHeight) + kMargin;
        bool hilited = i == mHiliteIdx;
        if (i == mSelectIdx || (hilited && mDrawSelectWhenHilited))
        {
            fills.SetColor(GetColor(COLOR_SELECT));
            fills.FillRect(0, y, mWidth, rowHeight);
        }
        if (mFont == nullptr) continue;

        Color color = size_t(i) < mLineColors.size() ? mLineColors[size_t(i)] : GetColor(COLOR_TEXT);
        if (hilited)
            color = GetColor(COLOR_HILITE);
        else if (i == mSelectIdx && mColors.size() >= NUM_COLORS)
            color = GetColor(COLOR_SELECT_TEXT);
        const std::string& line = mLines[size_t(i)];
        int x = kMargin;
        if (mJustify == 1)
            x = (mWidth - mFont->StringWidth(line)) / 2;
        else if (mJustify != 0)
            x = mWidth - mFont->StringWidth(line) - kMargin;
        rows.SetColor(color);
        rows.DrawString(line, x, y + mFont->GetAscent() + textOffset);
    }

    if (mDrawOutline)
    {
        g->SetColor(GetColor(COLOR_OUTLINE));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
    }
}

void ListWidget::OrderInManagerChanged()
{
    if (mParent == nullptr) return;
    if (mChildList != nullptr) mParent->PutInfront(mChildList, this);
    if (ScrollbarWidget* scrollbar = mScrollbar.Get()) mParent->PutInfront(scrollbar, this);
}

void ListWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    int rowHeight = GetRowHeight();
    mPageSize = height > rowHeight + 2 * kMargin ? double(height - 2 * kMargin) / rowHeight : 1.0;
    if (ScrollbarWidget* scrollbar = mScrollbar.Get()) scrollbar->SetPageSize(mPageSize);
}

void ListWidget::SetChainHilite(int line)
{
    std::vector<WidgetRef<ListWidget>> chain;
    for (ListWidget* list : GetChain())
        chain.emplace_back(list);
    for (WidgetRef<ListWidget>& ref : chain)
    {
        ListWidget* list = ref.Get();
        if (list == nullptr) continue; // a listener deleted it
        int old = list->mHiliteIdx;
        list->mHiliteIdx = line;
        if (old != line && list->mListener != nullptr)
            list->mListener->ListHiliteChanged(list->mId, old, line);
        if (ref) list->MarkDirty();
    }
}

void ListWidget::MouseMove(int x, int y)
{
    Widget::MouseMove(x, y);
    int line = int(double(y - kMargin) / GetRowHeight() + mPosition);
    if (line < 0 || line >= int(mLines.size())) line = -1;
    if (line == mHiliteIdx) return;

    WidgetRef<ListWidget> self(this);
    SetChainHilite(line);
    if (self) SetAppCursor(mHiliteIdx != -1 && mHandOnHilite ? 1 : 0);
}

void ListWidget::MouseLeave()
{
    Widget::MouseLeave();
    WidgetRef<ListWidget> self(this);
    SetChainHilite(-1);
    if (self) SetAppCursor(0);
}

void ListWidget::MouseDown(int x, int y, int button, int clickCount)
{
    Widget::MouseDown(x, y, button, clickCount);
    if (mHiliteIdx != -1 && mListener != nullptr) mListener->ListClicked(mId, mHiliteIdx, clickCount);
}

void ListWidget::MouseWheel(int delta)
{
    Widget::MouseWheel(delta);
    ScrollbarWidget* scrollbar = mScrollbar.Get();
    if (scrollbar == nullptr) return;
    if (delta > 0)
        scrollbar->SetValue(scrollbar->mValue - 5.0);
    else if (delta < 0)
        scrollbar->SetValue(scrollbar->mValue + 5.0);
}

void ListWidget::ScrollPosition(int id, double position)
{
    if (mChildList != nullptr) mChildList->ScrollPosition(id, position);
    mPosition = position;
    MarkDirty();
}

} // namespace Kavo
