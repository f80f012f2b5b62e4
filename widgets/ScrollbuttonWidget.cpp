#include "widgets/ScrollbuttonWidget.h"

#include "graphics/Graphics.h"

namespace Kavo
{

ScrollbuttonWidget::ScrollbuttonWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

ScrollbuttonWidget::~ScrollbuttonWidget() = default;

void ScrollbuttonWidget::Draw(Graphics* g)
{
    g->SetColor(Color(212, 212, 212));
    g->FillRect(0, 0, mWidth, mHeight);

    int offset = 0;
    if (IsButtonDown())
    {
        g->SetColor(Color(132, 132, 132));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
        offset = 1;
    }
    else
    {
        g->SetColor(Color::White);
        g->FillRect(1, 1, mWidth - 2, 1);
        g->FillRect(1, 1, 1, mHeight - 2);
        g->SetColor(Color::Black);
        g->FillRect(0, mHeight - 1, mWidth, 1);
        g->FillRect(mWidth - 1, 0, 1, mHeight);
        g->SetColor(Color(132, 132, 132));
        g->FillRect(1, mHeight - 2, mWidth - 2, 1);
        g->FillRect(mWidth - 2, 1, 1, mHeight - 2);
    }

    g->SetColor(mDisabled ? Color(132, 132, 132) : Color::Black);
    bool vertical = !mHorizontal && mArrowType != ARROW_LEFT && mArrowType != ARROW_RIGHT;
    for (int i = 0; i < 4; ++i)
    {
        if (vertical)
        {
            bool up = mArrowType == ARROW_UP || (mArrowType == ARROW_BY_ID && mId == 0);
            int y = up ? (mHeight - 4) / 2 + i + offset : (mHeight - 4) / 2 - i + offset + 3;
            g->FillRect(mWidth / 2 - i + offset - 1, y, 2 * i + 1, 1);
        }
        else
        {
            bool left = mArrowType == ARROW_LEFT || (mArrowType == ARROW_BY_ID && mId == 0);
            int x = left ? (mWidth - 4) / 2 + i + offset : (mWidth - 4) / 2 - i + offset + 3;
            g->FillRect(x, mHeight / 2 - i + offset - 1, 1, 2 * i + 1);
        }
    }
}

} // namespace Kavo
