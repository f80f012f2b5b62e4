#include "widgets/HyperlinkWidget.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Kavo
{

HyperlinkWidget::HyperlinkWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener)
{
    mHandCursor = true;
}

void HyperlinkWidget::Draw(Graphics* g)
{
    Font* font = EnsureFont(10, false);
    if (font == nullptr) return;
    int labelWidth = font->StringWidth(mLabel);
    int x = (mWidth - labelWidth) / 2;
    int y = (font->GetAscent() + mHeight) / 2 - 1;
    g->SetFont(font);
    g->SetColor(mIsOver ? mLinkOverColor : mLinkColor);
    g->DrawString(mLabel, x, y);
    for (int i = 0; i < mUnderlineRows; ++i)
        g->FillRect(x, y + mUnderlineGap + i, labelWidth, 1);
}

void HyperlinkWidget::MouseEnter()
{
    WidgetRef<HyperlinkWidget> self(this);
    ButtonWidget::MouseEnter();
    if (self) MarkDirtyFull();
}

void HyperlinkWidget::MouseLeave()
{
    WidgetRef<HyperlinkWidget> self(this);
    ButtonWidget::MouseLeave();
    if (self) MarkDirtyFull();
}

} // namespace Kavo
