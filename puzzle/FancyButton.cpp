#include "puzzle/FancyButton.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"

namespace Kavo
{

namespace
{
const Color kGrey(128, 128, 128);
// The dialog look's label baseline lies this far below the font's ascent: in the middle of the
// button picture's panel, with the descenders and shadow of the label font clear of its rim.
constexpr int kLabelDrop = 2;
} // namespace

FancyButton::FancyButton(int id, ButtonListener* listener, int style)
    : ButtonWidget(id, listener), mStyle(style)
{
    mHandCursor = true;
}

void FancyButton::SetGreyed(bool greyed)
{
    if (greyed == mGreyed) return;
    mGreyed = greyed;
    mHandCursor = !greyed;
    MarkDirty();
}

void FancyButton::Draw(Graphics* g)
{
    Color label = (mDisabled || mGreyed) ? kGrey : Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]);
    if (mStyle == kMenuStyle)
    {
        int h = FONT_LABEL != nullptr ? FONT_LABEL->GetHeight() : 0;
        int arrowWidth = IMAGE_MENU_ARROW != nullptr ? IMAGE_MENU_ARROW->GetWidth() : 0;
        if (mIsOver && !mGreyed && IMAGE_MENU_ARROW != nullptr)
            g->DrawImage(IMAGE_MENU_ARROW, 0, h - IMAGE_MENU_ARROW->GetHeight() / 2 - 7);
        if (FONT_LABEL == nullptr) return;
        g->SetFont(FONT_LABEL);
        g->SetColor(label);
        g->DrawString(mLabel, arrowWidth, h);
        return;
    }
    int off = (mIsDown && mIsOver && !mGreyed) ? 2 : 0;
    if (IMAGE_DIALOG_BUTTON != nullptr)
        g->DrawImageStretched(IMAGE_DIALOG_BUTTON, off, off, mWidth - 2, mHeight - 2);
    if (FONT_LABEL == nullptr) return;
    g->SetFont(FONT_LABEL);
    g->SetColor(label);
    g->DrawString(mLabel, (mWidth - 2) / 2 - g->StringWidth(mLabel) / 2 + off,
                  FONT_LABEL->GetAscent() + off + kLabelDrop);
}

void FancyButton::MouseEnter()
{
    ButtonWidget::MouseEnter();
    MarkDirty();
}

void FancyButton::MouseLeave()
{
    ButtonWidget::MouseLeave();
    MarkDirty();
}

void FancyButton::MouseDown(int x, int y, int button, int clickCount)
{
    if (!mGreyed) ButtonWidget::MouseDown(x, y, button, clickCount);
}

void FancyButton::MouseUp(int x, int y, int button, int clickCount)
{
    if (!mGreyed) ButtonWidget::MouseUp(x, y, button, clickCount);
}

} // namespace Kavo
