#pragma once

#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Kavo
{

class ScrollbuttonWidget;
class ScrollListener;

// Scrolls a range: the value lies in [0, max - page]; the thumb is as long, relative to the
// track, as the page is to the maximum (at least 8 pixels). The arrow buttons step by 1.0 (first
// repeat on the 25th update held, then every update); a press on the track pages by the page size
// (again 25 updates later, then every 5) until the thumb reaches the mouse. The bar and its
// buttons are disabled exactly when there is nothing to scroll (max <= page).
//
// Empty ranges and tracks without room are safe: the thumb then sits at the start of the track
// and dragging it changes nothing.
class ScrollbarWidget : public Widget, public ButtonListener
{
public:
    enum PagingMode
    {
        PAGING_NONE = 0,
        PAGING_UP = 1,   // or left
        PAGING_DOWN = 2, // or right
    };

    ScrollbuttonWidget* mUpButton;   // owned; id 0, a child of the bar
    ScrollbuttonWidget* mDownButton; // owned; id 1, a child of the bar
    bool mInvisIfNoScroll = false;
    int mId;
    double mValue = 0.0;
    double mMaxValue = 0.0;
    double mPageSize = 0.0;
    bool mHorizontal = false;
    bool mPressedOnThumb = false;
    int mMouseDownThumbPos = 0;
    int mMouseDownX = 0;
    int mMouseDownY = 0;
    int mPagingMode = PAGING_NONE;
    int mPagingTicks = 0;
    int mArrowTicks = 0;
    int mLastMouseX = 0;
    int mLastMouseY = 0;
    ScrollListener* mListener;

    ScrollbarWidget(int id, ScrollListener* listener);
    ~ScrollbarWidget() override;

    // Hides the bar and its buttons whenever there is nothing to scroll.
    virtual void SetInvisIfNoScroll(bool invisible);
    virtual void SetMaxValue(double maxValue);
    virtual void SetPageSize(double pageSize);
    // Clamps, then tells the listener.
    virtual void SetValue(double value);
    virtual void SetHorizontal(bool horizontal);
    // Places the bar and its arrow buttons (square, at both ends).
    virtual void ResizeScrollbar(int x, int y, int width, int height);
    virtual bool AtBottom();
    virtual void GoToBottom();
    virtual void DrawThumb(Graphics* g, int x, int y, int width, int height);
    // The length between the two arrow buttons.
    virtual int GetTrackSize();
    virtual int GetThumbSize();
    // Along the axis, from the bar's start (the up button included).
    virtual int GetThumbPosition();
    // Value within [0, max - page]; enabling and visibility follow whether there is anything to
    // scroll. Tells the listener when the value changed.
    virtual void ClampValue();
    virtual void SetThumbPosition(int position);
    // -1 before the thumb, 0 on it, 1 after it (along the axis).
    virtual int ThumbCompare(int x, int y);

    void Update() override;
    void Draw(Graphics* g) override;
    // The track's two opaque parts and the raised thumb between them fill it.
    bool IsOpaque() override { return true; }
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDownTick(int id) override;

private:
    void TellListener();
};

} // namespace Kavo
