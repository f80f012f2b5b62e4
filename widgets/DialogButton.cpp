#include "widgets/DialogButton.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"

namespace Kavo
{

DialogButton::DialogButton(Image* componentImage, int id, ButtonListener* listener)
    : ButtonWidget(id, listener), mComponentImage(componentImage)
{
    mHandCursor = true;
    static const int kColors[NUM_COLORS][3] = {
        {255, 255, 255}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212},
    };
    SetColors(kColors, NUM_COLORS);
}

void DialogButton::Draw(Graphics* g)
{
    if (mNoDraw) return;
    if (mComponentImage == nullptr)
    {
        ButtonWidget::Draw(g);
        return;
    }
    Font* font = mLabel.empty() ? mFont.get() : EnsureFont(12, true);
    bool pressed = IsButtonDown();
    int shiftX = 0;
    int shiftY = 0;
    auto shift = [&]()
    {
        shiftX = mPressShiftX;
        shiftY = mPressShiftY;
        g->Translate(shiftX, shiftY);
    };

    Rect box(0, 0, mWidth, mHeight);
    if (mNormalRect.mWidth == 0)
    {
        if (pressed) shift();
        g->DrawImageBox(box, mComponentImage);
    }
    else
    {
        if (mDisabled && mDisabledRect.mWidth >= 1 && mDisabledRect.mHeight >= 1)
        {
            g->DrawImageBoxSrc(box, mComponentImage, mDisabledRect);
        }
        else if (pressed)
        {
            g->DrawImageBoxSrc(box, mComponentImage, mDownRect);
        }
        else if (mOverFade <= 0)
        {
            g->DrawImageBoxSrc(box, mComponentImage, mIsOver ? mOverRect : mNormalRect);
        }
        else
        {
            if (mOverFade < 1) g->DrawImageBoxSrc(box, mComponentImage, mNormalRect);
            g->SetColorizeImages(true);
            g->SetColor(Color(255, 255, 255, int(mOverFade * 255)));
            g->DrawImageBoxSrc(box, mComponentImage, mOverRect);
            g->SetColorizeImages(false);
        }
        if (pressed) shift();
    }

    if (font != nullptr && !mLabel.empty())
    {
        g->SetFont(font);
        g->SetColor(GetColor(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL));
        int ascent = font->GetAscent();
        int x = mLabelOffsetX + (mWidth - font->StringWidth(mLabel)) / 2;
        int y = mLabelOffsetY + (ascent + mHeight - ascent / 6 - font->GetAscentPadding() - 1) / 2;
        g->DrawString(mLabel, x, y);
    }
    g->Translate(-shiftX, -shiftY);
}

bool DialogButton::IsOpaque()
{
    return mComponentImage == nullptr && ButtonWidget::IsOpaque();
}

} // namespace Kavo
