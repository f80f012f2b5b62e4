#include "widgets/Slider.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/SliderListener.h"

#include <algorithm>

namespace Kavo
{

Slider::Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener)
    : mListener(listener), mId(id), mTrackImage(trackImage), mThumbImage(thumbImage)
{
}

Slider::~Slider()
{
    // Leave the tree while this is still a slider, so that a drag in progress ends with the
    // arrow cursor.
    if (mParent != nullptr) mParent->RemoveWidget(this);
}

void Slider::SetValue(double value)
{
    mValue = std::clamp(value, 0.0, 1.0);
    MarkDirtyFull();
}

int Slider::ThumbLength() const
{
    if (mThumbImage == nullptr) return 0;
    return mHorizontal ? mThumbImage->GetWidth() : mThumbImage->GetHeight();
}

int Slider::ThumbStart() const
{
    return int(mValue * (Length() - ThumbLength()));
}

bool Slider::OnThumb(int x, int y) const
{
    int pos = mHorizontal ? x : y;
    int start = ThumbStart();
    return pos >= start && pos < start + ThumbLength();
}

void Slider::Draw(Graphics* g)
{
    if (mTrackImage != nullptr)
    {
        int trackWidth = mTrackImage->GetWidth();
        int trackHeight = mTrackImage->GetHeight();
        if (mHorizontal)
        {
            int piece = trackWidth / 3;
            int y = (mHeight - trackHeight) / 2;
            g->DrawImageSrc(mTrackImage, 0, y, Rect(0, 0, piece, trackHeight));
            if (piece > 0)
            {
                // The middle band is clipped in the row the ends are drawn in.
                Graphics middle(*g);
                middle.ClipRect(piece, y, mWidth - 2 * piece, trackHeight);
                int count = (mWidth - piece - 1) / piece;
                for (int i = 0; i < count; ++i)
                    middle.DrawImageSrc(mTrackImage, piece + i * piece, y,
                                        Rect(piece, 0, piece, trackHeight));
            }
            g->DrawImageSrc(mTrackImage, mWidth - piece, y, Rect(trackWidth - piece, 0, piece, trackHeight));
        }
        else
        {
            int piece = trackHeight / 3;
            g->DrawImageSrc(mTrackImage, 0, 0, Rect(0, 0, trackWidth, piece));
            if (piece > 0)
            {
                Graphics middle(*g);
                middle.ClipRect(0, piece, trackWidth, mHeight - 2 * piece);
                int count = (mHeight - piece - 1) / piece;
                for (int i = 0; i < count; ++i)
                    middle.DrawImageSrc(mTrackImage, 0, piece + i * piece, Rect(0, piece, trackWidth, piece));
            }
            g->DrawImageSrc(mTrackImage, 0, mHeight - piece, Rect(0, trackHeight - piece, trackWidth, piece));
        }
    }
    if (mThumbImage != nullptr)
    {
        int thumbWidth = mThumbImage->GetWidth();
        int thumbHeight = mThumbImage->GetHeight();
        if (mHorizontal)
            g->DrawImage(mThumbImage, int(mValue * (mWidth - thumbWidth)), (mHeight - thumbHeight) / 2);
        else
            g->DrawImage(mThumbImage, (mWidth - thumbWidth) / 2, int(mValue * (mHeight - thumbHeight)));
    }
}

void Slider::MouseMove(int x, int y)
{
    Widget::MouseMove(x, y);
    SetAppCursor(OnThumb(x, y) ? 2 : 0);
}

void Slider::MouseDown(int x, int y, int clickCount)
{
    Widget::MouseDown(x, y, clickCount);
    if (OnThumb(x, y))
    {
        SetAppCursor(2);
        mDragging = true;
        int start = ThumbStart();
        mDragOffsetX = mHorizontal ? x - start : x;
        mDragOffsetY = mHorizontal ? y : y - start;
        return;
    }
    // The value jumps to the point; the listener hears of it on release. A slider without
    // length has only the value 0.
    int length = Length();
    SetValue(length > 0 ? double(mHorizontal ? x : y) / length : 0.0);
}

void Slider::MouseUp(int x, int y)
{
    Widget::MouseUp(x, y);
    mDragging = false;
    SetAppCursor(0);
    if (mListener != nullptr) mListener->SliderVal(mId, mValue);
}

void Slider::MouseDrag(int x, int y)
{
    Widget::MouseDrag(x, y);
    if (!mDragging) return;
    // With the thumb as long as the slider there is no room to move: the value stays 0.
    int room = Length() - ThumbLength();
    int pos = mHorizontal ? x - mDragOffsetX : y - mDragOffsetY;
    double value = room > 0 ? std::clamp(double(pos) / room, 0.0, 1.0) : 0.0;
    if (value == mValue) return;
    mValue = value;
    WidgetRef<Slider> self(this);
    if (mListener != nullptr) mListener->SliderVal(mId, mValue);
    if (self) MarkDirtyFull();
}

void Slider::MouseLeave()
{
    Widget::MouseLeave();
    if (!mDragging) SetAppCursor(0);
}

} // namespace Kavo
