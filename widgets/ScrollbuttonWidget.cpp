#include "widgets/ScrollbuttonWidget.h"

#include "graphics/Graphics.h"

namespace Kavo
{

ScrollbuttonWidget::ScrollbuttonWidget(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

ScrollbuttonWidget::~ScrollbuttonWidget() = default;

void ScrollbuttonWidget::DrawRaisedBox(Graphics* g, int x, int y, int width, int height)
{
    g->SetColor(Color(212, 212, 212));
    g->FillRect(x, y, width, height);
    g->SetColor(Color::White);
    g->FillRect(x + 1, y + 1, width - 2, 1);
    g->FillRect(x + 1, y + 1, 1, height - 2);
    g->SetColor(Color::Black);
    g->FillRect(x, y + height - 1, width, 1);
    g->FillRect(x + width - 1, y, 1, height);
    g->SetColor(Color(132, 132, 132));
    g->FillRect(x + 1, y + height - 2, width - 2, 1);
    g->FillRect(x + width - 2, y + 1, 1, height - 2);
}

void ScrollbuttonWidget::Draw(Graphics* g)
{
    int offset = 0;
    if (IsButtonDown())
    {
        g->SetColor(Color(212, 212, 212));
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetColor(Color(132, 132, 132));
        g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
        offset = 1;
    }
    else
    {
        DrawRaisedBox(g, 0, 0, mWidth, mHeight);
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
