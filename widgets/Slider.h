#pragma once

#include "widgets/Widget.h"

namespace Kavo
{

class Image;
class SliderListener;

// A value from 0.0 to 1.0 chosen with a thumb on a track. The track image is cut in three (the
// ends drawn once, the middle tiled); the thumb image sits at value x (length - thumb length).
// A click on the track jumps the value there; dragging the thumb tells the listener each change;
// every release tells it the value once more. The track and thumb need not cover the slider's
// rectangle (the game's are translucent): it is never opaque.
class Slider : public Widget
{
public:
    SliderListener* mListener;
    double mValue = 0.0;
    int mId;
    Image* mTrackImage; // not owned; may be null
    Image* mThumbImage; // not owned; may be null
    bool mDragging = false;
    int mDragOffsetX = 0; // the grab point from the thumb's start, along the axis
    int mDragOffsetY = 0;
    bool mHorizontal = true;

    Slider(Image* trackImage, Image* thumbImage, int id, SliderListener* listener);
    ~Slider() override;

    // Clamped to [0, 1]; the listener is not told.
    virtual void SetValue(double value);

    void Draw(Graphics* g) override;
    void MouseMove(int x, int y) override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUp(int x, int y) override;
    void MouseDrag(int x, int y) override;
    void MouseLeave() override;

private:
    int Length() const { return mHorizontal ? mWidth : mHeight; }
    int ThumbLength() const;
    int ThumbStart() const;
    bool OnThumb(int x, int y) const;
};

} // namespace Kavo
