#pragma once

#include "widgets/ButtonWidget.h"

namespace Kavo
{

// An arrow button at one end of a scroll bar: a raised box (sunken while pressed) with a
// four-row arrow, grey while disabled.
class ScrollbuttonWidget : public ButtonWidget
{
public:
    enum ArrowType
    {
        ARROW_BY_ID = 0, // id 0 points up (left), any other id down (right)
        ARROW_UP = 1,
        ARROW_DOWN = 2,
        ARROW_LEFT = 3,
        ARROW_RIGHT = 4,
    };

    bool mHorizontal = false;
    int mArrowType = ARROW_BY_ID;

    ScrollbuttonWidget(int id, ButtonListener* listener);
    ~ScrollbuttonWidget() override;

    void Draw(Graphics* g) override;
    // Raised or sunken, its grey box fills it.
    bool IsOpaque() override { return true; }

    // The raised grey box of the buttons and of the scroll bar's thumb: light edges top and left,
    // dark ones bottom and right.
    static void DrawRaisedBox(Graphics* g, int x, int y, int width, int height);
};

} // namespace Kavo
