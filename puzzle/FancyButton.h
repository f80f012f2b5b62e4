#pragma once

#include "widgets/ButtonWidget.h"

namespace Kavo
{

// The game's text button, in two looks:
// - menu look (style 0): the label in FONT_LABEL after room for IMAGE_MENU_ARROW, which is
//   drawn while the mouse is over the button;
// - dialog look (style 1): IMAGE_DIALOG_BUTTON stretched over the button with the label
//   centred, both shifted by 2 pixels while pressed with the mouse over it.
// Labels are yellow (252, 244, 35), grey (128, 128, 128) when disabled or greyed. A greyed
// button shows no arrow, no hand cursor and ignores the mouse buttons (never reports a press).
class FancyButton : public ButtonWidget
{
public:
    enum Style
    {
        kMenuStyle = 0,
        kDialogStyle = 1,
    };

    FancyButton(int id, ButtonListener* listener, int style);

    void SetGreyed(bool greyed);
    bool IsGreyed() const { return mGreyed; }

    void Draw(Graphics* g) override;
    // A label (and arrow) over the screen, or the translucent button picture two pixels short.
    bool IsOpaque() override { return false; }
    void MouseEnter() override;
    void MouseLeave() override;
    using ButtonWidget::MouseDown;
    using ButtonWidget::MouseUp;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;

    int mStyle;
    bool mGreyed = false;
};

} // namespace Kavo
