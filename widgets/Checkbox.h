#pragma once

#include "widgets/Widget.h"

namespace Kavo
{

class CheckboxListener;
class Image;

// A two-state box: any mouse button toggles it and tells the listener. Drawn from a checked and
// an unchecked image, from two rectangles of the unchecked image, or as a plain box with a cross.
class Checkbox : public Widget
{
public:
    CheckboxListener* mListener;
    int mId;
    bool mChecked = false;
    Image* mUncheckedImage; // not owned
    Image* mCheckedImage;   // not owned
    Rect mCheckedRect;      // parts of mUncheckedImage, used when mCheckedRect has a width
    Rect mUncheckedRect;
    Color mOutlineColor = Color::White;
    Color mBackColor = Color(80, 80, 80);
    Color mCheckColor = Color(255, 255, 0);

    Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener);

    virtual void SetChecked(bool checked, bool tellListener = true);
    virtual bool IsChecked();

    void Draw(Graphics* g) override;
    // The plain box with an opaque outline covers its rectangle; the pictures need not.
    bool IsOpaque() override;
    using Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
};

} // namespace Kavo
