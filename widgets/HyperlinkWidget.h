#pragma once

#include "widgets/ButtonWidget.h"

namespace Kavo
{

// A text link: its label centred and underlined, in mLinkOverColor while the mouse is over it.
class HyperlinkWidget : public ButtonWidget
{
public:
    Color mLinkColor = Color::White;
    Color mLinkOverColor = Color::White;
    int mUnderlineRows = 1; // thickness of the underline
    int mUnderlineGap = 3;  // from the baseline down to the underline

    HyperlinkWidget(int id, ButtonListener* listener);

    void Draw(Graphics* g) override;
    // Only its text is drawn.
    bool IsOpaque() override { return false; }
    void MouseEnter() override;
    void MouseLeave() override;
};

} // namespace Kavo
