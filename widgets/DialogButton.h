#pragma once

#include "widgets/ButtonWidget.h"

namespace Kavo
{

// A dialog's button: drawn as a 3 x 3 box cut from a component image (or from one of the look
// rectangles inside it), shifted while pressed; a plain button without a component image.
class DialogButton : public ButtonWidget
{
public:
    Image* mComponentImage; // not owned; may be null
    int mPressShiftX = 1;   // shift of the pressed look
    int mPressShiftY = 1;
    int mLabelOffsetX = 0;
    int mLabelOffsetY = 0;

    DialogButton(Image* componentImage, int id, ButtonListener* listener);

    void Draw(Graphics* g) override;
    // The component image's box need not cover the button (and is drawn shifted while pressed).
    bool IsOpaque() override;
};

} // namespace Kavo
