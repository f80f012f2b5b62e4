#include "widgets/ButtonWidget.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/ButtonListener.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mButtonListener(listener)
{
    static const int kColors[NUM_COLORS][3] = {
        {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212},
    };
    SetColors(kColors, NUM_COLORS);
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::DrawButtonImage(Graphics* g, Image* image, const Rect& rect, int x, int y)
{
    if (rect.mWidth == 0)
    {
        if (image != nullptr) g->DrawImage(image, x, y);
    }
    else if (mNormalImage != nullptr)
    {
        g->DrawImageSrc(mNormalImage, x, y, rect);
    }
}

void ButtonWidget::SetFont(Font* font)
{
    mFont.reset(font != nullptr ? font->Duplicate() : nullptr);
}

bool ButtonWidget::IsButtonDown()
{
    return mIsDown && mIsOver && !mDisabled;
}

Font* ButtonWidget::EnsureFont(int pointSize, bool bold)
{
    if (!mFont) mFont.reset(CreateDefaultFont(pointSize, bold));
    return mFont.get();
}

void ButtonWidget::Update()
{
    Widget::Update();
    if (mIsDown && mIsOver && mButtonListener != nullptr)
    {
        WidgetRef<ButtonWidget> self(this);
        mButtonListener->ButtonDownTick(mId);
        if (!self) return;
    }

    if (!mIsDown && !mIsOver && mOverFade > 0)
    {
        mOverFade = mFadeOutStep > 0 ? mOverFade - mFadeOutStep : 0.0;
        if (mOverFade < 0) mOverFade = 0.0;
        MarkDirty();
    }
    else if (mIsOver && mFadeInStep > 0 && mOverFade < 1)
    {
        mOverFade += mFadeInStep;
        if (mOverFade > 1) mOverFade = 1.0;
        MarkDirty();
    }
}

void ButtonWidget::Draw(Graphics* g)
{
    if (mNoDraw) return;
    Font* font = mLabel.empty() ? mFont.get() : EnsureFont(10, false);
    bool pressed = IsButtonDown() != mInverted;

    int labelX = 0;
    int labelY = 0;
    if (font != nullptr)
    {
        int labelWidth = font->StringWidth(mLabel);
        if (mLabelAlign == 0)
            labelX = (mWidth - labelWidth) / 2;
        else if (mLabelAlign == 1)
            labelX = mWidth - labelWidth;
        int ascent = font->GetAscent();
        labelY = (mHeight - ascent / 6 - 1 + ascent) / 2;
        g->SetFont(font);
    }
    auto drawLabel = [&](int colorIndex, int shift)
    {
        if (font == nullptr || mLabel.empty()) return;
        g->SetColor(GetColor(colorIndex));
        g->DrawString(mLabel, labelX + shift, labelY + shift);
    };

    if (mNormalImage == nullptr && mDownImage == nullptr)
    {
        // A framed button: light edges top-left and dark ones bottom-right, swapped when pressed.
        if (!mNoFrame)
        {
            g->SetColor(GetColor(COLOR_BKG));
            g->FillRect(0, 0, mWidth, mHeight);
            g->SetColor(GetColor(pressed ? COLOR_DARK_OUTLINE : COLOR_LIGHT_OUTLINE));
            g->FillRect(0, 0, mWidth - 1, 1);
            g->FillRect(0, 0, 1, mHeight - 1);
            g->SetColor(GetColor(pressed ? COLOR_LIGHT_OUTLINE : COLOR_DARK_OUTLINE));
            g->FillRect(0, mHeight - 1, mWidth, 1);
            g->FillRect(mWidth - 1, 0, 1, mHeight);
            g->SetColor(GetColor(COLOR_MEDIUM_OUTLINE));
            if (pressed)
            {
                g->FillRect(1, 1, mWidth - 3, 1);
                g->FillRect(1, 1, 1, mHeight - 3);
            }
            else
            {
                g->FillRect(1, mHeight - 2, mWidth - 2, 1);
                g->FillRect(mWidth - 2, 1, 1, mHeight - 2);
            }
        }
        drawLabel(COLOR_LABEL, pressed ? 1 : 0);
        return;
    }

    if (pressed)
    {
        if (HasDownLook())
            DrawButtonImage(g, mDownImage, mDownRect, 0, 0);
        else if (HasOverLook())
            DrawButtonImage(g, mOverImage, mOverRect, 1, 1);
        else
            DrawButtonImage(g, mNormalImage, mNormalRect, 1, 1);
        drawLabel(COLOR_LABEL_HILITE, 1);
        return;
    }

    if (mDisabled && HasDisabledLook())
    {
        DrawButtonImage(g, mDisabledImage, mDisabledRect, 0, 0);
    }
    else if (mOverFade > 0 && HasOverLook())
    {
        if (HasNormalLook() && mOverFade < 1) DrawButtonImage(g, mNormalImage, mNormalRect, 0, 0);
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, int(mOverFade * 255)));
        DrawButtonImage(g, mOverImage, mOverRect, 0, 0);
        g->SetColorizeImages(false);
    }
    else if ((mIsOver || mIsDown) && HasOverLook())
    {
        DrawButtonImage(g, mOverImage, mOverRect, 0, 0);
    }
    else if (HasNormalLook())
    {
        DrawButtonImage(g, mNormalImage, mNormalRect, 0, 0);
    }
    drawLabel(mIsOver ? COLOR_LABEL_HILITE : COLOR_LABEL, 0);
}

bool ButtonWidget::IsOpaque()
{
    return !mNoDraw && !mNoFrame && mNormalImage == nullptr && mDownImage == nullptr &&
           GetColor(COLOR_BKG).mAlpha == 255;
}

void ButtonWidget::SetDisabled(bool disabled)
{
    WidgetRef<ButtonWidget> self(this);
    Widget::SetDisabled(disabled);
    if (self && HasDisabledLook()) MarkDirty();
}

void ButtonWidget::MarkDirtyIfHoverShows()
{
    if (!mIsDown && !HasOverLook() && GetColor(COLOR_LABEL) == GetColor(COLOR_LABEL_HILITE)) return;
    MarkDirty();
}

void ButtonWidget::MouseEnter()
{
    Widget::MouseEnter();
    if (mFadeInStep == 0 && mOverFade > 0) mOverFade = 0.0;
    MarkDirtyIfHoverShows();
    if (mButtonListener != nullptr) mButtonListener->ButtonMouseEnter(mId);
}

void ButtonWidget::MouseLeave()
{
    Widget::MouseLeave();
    if (mFadeOutStep == 0 && mOverFade > 0) mOverFade = 0.0;
    if (mFadeOutStep > 0 && mOverFade == 0) mOverFade = 1.0;
    MarkDirtyIfHoverShows();
    if (mButtonListener != nullptr) mButtonListener->ButtonMouseLeave(mId);
}

void ButtonWidget::MouseMove(int x, int y)
{
    Widget::MouseMove(x, y);
    if (mButtonListener != nullptr) mButtonListener->ButtonMouseMove(mId, x, y);
}

void ButtonWidget::MouseDown(int x, int y, int button, int clickCount)
{
    Widget::MouseDown(x, y, button, clickCount);
    WidgetRef<ButtonWidget> self(this);
    if (mButtonListener != nullptr) mButtonListener->ButtonPress(mId, clickCount);
    if (self) MarkDirty();
}

void ButtonWidget::MouseUp(int x, int y, int button, int clickCount)
{
    Widget::MouseUp(x, y, button, clickCount);
    WidgetRef<ButtonWidget> self(this);
    if (mIsOver && mManager != nullptr && mManager->mAppHasFocus && mButtonListener != nullptr)
        mButtonListener->ButtonDepress(mId);
    if (self) MarkDirty();
}

} // namespace Kavo
