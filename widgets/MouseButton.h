#pragma once

namespace Kavo
{

// A mouse button in each of the codes the widget tree speaks of it with. The manager's click
// counts (WidgetManager::MouseDown and MouseUp, Widget::MouseDown(x, y, clickCount)) are 1 or 2
// (a single or double click) for the left button, -1 or -2 for the right and 3 for the middle.
struct MouseButton
{
    int index;      // Widget::MouseDown(x, y, button, count)'s button
    int bit;        // in WidgetManager::mHeldButtons and mPressedButtons
    int code;       // WidgetManager::mLastDownButton
    int clickCount; // a single click's count

    constexpr bool operator==(const MouseButton&) const = default;
};

inline constexpr MouseButton kLeftButton{0, 1, 1, 1};
inline constexpr MouseButton kRightButton{1, 2, -1, -1};
inline constexpr MouseButton kMiddleButton{2, 4, 2, 3};
inline constexpr MouseButton kMouseButtons[] = {kLeftButton, kRightButton, kMiddleButton};

// The button of a manager's click count.
constexpr MouseButton ButtonOfClick(int clickCount)
{
    if (clickCount == kMiddleButton.clickCount) return kMiddleButton;
    if (clickCount < 0) return kRightButton;
    return kLeftButton;
}

// How many clicks a click count is (1, or 2 for a double click; the middle button's is 1).
constexpr int ClicksOf(int clickCount)
{
    if (clickCount == kMiddleButton.clickCount) return 1;
    return clickCount < 0 ? -clickCount : clickCount;
}

} // namespace Kavo
