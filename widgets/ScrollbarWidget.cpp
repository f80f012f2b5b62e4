#include "widgets/ScrollbarWidget.h"

#include "graphics/Graphics.h"
#include "widgets/ScrollListener.h"
#include "widgets/ScrollbuttonWidget.h"

#include <algorithm>

namespace Kavo
{

namespace
{
const Color kTrackColor(232, 232, 232);
const Color kPagingTrackColor(48, 48, 48);
constexpr int kMinThumbSize = 8;
constexpr int kRepeatDelay = 25; // updates held before the first repeat
} // namespace

ScrollbarWidget::ScrollbarWidget(int id, ScrollListener* listener)
    : mUpButton(new ScrollbuttonWidget(0, this)), mDownButton(new ScrollbuttonWidget(1, this)), mId(id),
      mListener(listener)
{
    mUpButton->SetDisabled(true);
    mDownButton->SetDisabled(true);
    AddWidget(mUpButton);
    AddWidget(mDownButton);
    mDisabled = true;
}

ScrollbarWidget::~ScrollbarWidget()
{
    delete mUpButton;
    delete mDownButton;
}

void ScrollbarWidget::TellListener()
{
    if (mListener != nullptr) mListener->ScrollPosition(mId, mValue);
}

void ScrollbarWidget::SetInvisIfNoScroll(bool invisible)
{
    mInvisIfNoScroll = invisible;
    if (!invisible) return;
    SetVisible(false);
    mUpButton->SetVisible(false);
    mDownButton->SetVisible(false);
}

void ScrollbarWidget::SetMaxValue(double maxValue)
{
    mMaxValue = maxValue;
    WidgetRef<ScrollbarWidget> self(this);
    ClampValue();
    if (self) MarkDirty();
}

void ScrollbarWidget::SetPageSize(double pageSize)
{
    mPageSize = pageSize;
    WidgetRef<ScrollbarWidget> self(this);
    ClampValue();
    if (self) MarkDirty();
}

void ScrollbarWidget::SetValue(double value)
{
    mValue = value;
    WidgetRef<ScrollbarWidget> self(this);
    ClampValue();
    if (!self) return;
    TellListener();
    if (self) MarkDirty();
}

void ScrollbarWidget::ClampValue()
{
    double old = mValue;
    mValue = std::max(std::min(mValue, mMaxValue - mPageSize), 0.0);

    bool canScroll = mMaxValue > mPageSize;
    SetDisabled(!canScroll);
    mUpButton->SetDisabled(!canScroll);
    mDownButton->SetDisabled(!canScroll);
    if (mInvisIfNoScroll)
    {
        SetVisible(canScroll);
        mUpButton->SetVisible(canScroll);
        mDownButton->SetVisible(canScroll);
    }
    if (mValue != old) TellListener();
}

void ScrollbarWidget::SetHorizontal(bool horizontal)
{
    mHorizontal = horizontal;
    mUpButton->mHorizontal = horizontal;
    mDownButton->mHorizontal = horizontal;
}

void ScrollbarWidget::ResizeScrollbar(int x, int y, int width, int height)
{
    Resize(x, y, width, height);
    if (mHorizontal)
    {
        mUpButton->Resize(0, 0, height, height);
        mDownButton->Resize(width - height, 0, height, height);
    }
    else
    {
        mUpButton->Resize(0, 0, width, width);
        mDownButton->Resize(0, height - width, width, width);
    }
}

bool ScrollbarWidget::AtBottom()
{
    return mMaxValue - mPageSize - mValue < 1.0;
}

void ScrollbarWidget::GoToBottom()
{
    mValue = mMaxValue - mPageSize;
    WidgetRef<ScrollbarWidget> self(this);
    ClampValue();
    if (self) SetValue(mValue);
}

int ScrollbarWidget::GetTrackSize()
{
    return (mHorizontal ? mWidth : mHeight) - 2 * mUpButton->mWidth;
}

int ScrollbarWidget::GetThumbSize()
{
    // No thumb when the page is larger than the range, or the range is empty.
    if (mMaxValue < mPageSize || mMaxValue <= 0) return 0;
    return std::max(int(GetTrackSize() * mPageSize / mMaxValue + 0.5), kMinThumbSize);
}

int ScrollbarWidget::GetThumbPosition()
{
    double range = mMaxValue - mPageSize;
    if (range <= 0) return mUpButton->mWidth; // nothing to scroll: the start of the track
    return int((GetTrackSize() - GetThumbSize()) * mValue / range + 0.5) + mUpButton->mWidth;
}

void ScrollbarWidget::SetThumbPosition(int position)
{
    int room = GetTrackSize() - GetThumbSize();
    if (room <= 0) return; // the thumb fills the track: no position to choose
    SetValue((position - mUpButton->mWidth) * (mMaxValue - mPageSize) / room);
}

int ScrollbarWidget::ThumbCompare(int x, int y)
{
    int pos = mHorizontal ? x : y;
    int thumbPos = GetThumbPosition();
    if (pos < thumbPos) return -1;
    if (pos >= thumbPos + GetThumbSize()) return 1;
    return 0;
}

void ScrollbarWidget::Update()
{
    Widget::Update();
    if (mPagingMode == PAGING_NONE) return;
    int stopAt = mPagingMode == PAGING_UP ? -1 : 1;
    if (ThumbCompare(mLastMouseX, mLastMouseY) != stopAt)
    {
        // The thumb has reached the mouse.
        mPagingMode = PAGING_NONE;
        MarkDirty();
        return;
    }
    if (++mPagingTicks >= kRepeatDelay)
    {
        mPagingTicks = 20; // then every 5 updates
        SetValue(mPagingMode == PAGING_UP ? mValue - mPageSize : mValue + mPageSize);
    }
}

void ScrollbarWidget::Draw(Graphics* g)
{
    int size = GetThumbSize();
    int pos = GetThumbPosition();
    if (mHorizontal)
    {
        g->SetColor(mPagingMode == PAGING_UP ? kPagingTrackColor : kTrackColor);
        g->FillRect(0, 0, pos, mHeight);
        if (size > 0) DrawThumb(g, pos, 0, size, mHeight);
        g->SetColor(mPagingMode == PAGING_DOWN ? kPagingTrackColor : kTrackColor);
        g->FillRect(pos + size, 0, mWidth - pos - size, mHeight);
    }
    else
    {
        g->SetColor(mPagingMode == PAGING_UP ? kPagingTrackColor : kTrackColor);
        g->FillRect(0, 0, mWidth, pos);
        if (size > 0) DrawThumb(g, 0, pos, mWidth, size);
        g->SetColor(mPagingMode == PAGING_DOWN ? kPagingTrackColor : kTrackColor);
        g->FillRect(0, pos + size, mWidth, mHeight - pos - size);
    }
}

void ScrollbarWidget::DrawThumb(Graphics* g, int x, int y, int width, int height)
{
    ScrollbuttonWidget::DrawRaisedBox(g, x, y, width, height);
}

void ScrollbarWidget::MouseDown(int x, int y, int button, int clickCount)
{
    Widget::MouseDown(x, y, button, clickCount);
    mLastMouseX = x;
    mLastMouseY = y;
    if (mDisabled) return;
    switch (ThumbCompare(x, y))
    {
    case -1:
        mPagingMode = PAGING_UP;
        mPagingTicks = 0;
        SetValue(mValue - mPageSize);
        break;
    case 1:
        mPagingMode = PAGING_DOWN;
        mPagingTicks = 0;
        SetValue(mValue + mPageSize);
        break;
    default:
        mPressedOnThumb = true;
        mMouseDownThumbPos = GetThumbPosition();
        mMouseDownX = x;
        mMouseDownY = y;
        break;
    }
}

void ScrollbarWidget::MouseUp(int x, int y, int button, int clickCount)
{
    Widget::MouseUp(x, y, button, clickCount);
    mPagingMode = PAGING_NONE;
    mPressedOnThumb = false;
    MarkDirty();
}

void ScrollbarWidget::MouseDrag(int x, int y)
{
    Widget::MouseDrag(x, y);
    mLastMouseX = x;
    mLastMouseY = y;
    if (!mPressedOnThumb) return;
    int moved = mHorizontal ? x - mMouseDownX : y - mMouseDownY;
    SetThumbPosition(mMouseDownThumbPos + moved);
}

void ScrollbarWidget::ButtonPress(int id)
{
    mArrowTicks = 0;
    SetValue(id == 0 ? mValue - 1.0 : mValue + 1.0);
}

void ScrollbarWidget::ButtonDownTick(int id)
{
    if (++mArrowTicks < kRepeatDelay) return;
    mArrowTicks = kRepeatDelay - 1; // then every update
    SetValue(id == 0 ? mValue - 1.0 : mValue + 1.0);
}

} // namespace Kavo
