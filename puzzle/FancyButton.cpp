#include "puzzle/FancyButton.h"

namespace Kavo
{

FancyButton::FancyButton(int id, ButtonListener* listener, int style) : ButtonWidget(id, listener), mStyle(style)
{
}

void FancyButton::SetGreyed(bool greyed)
{
    mGreyed = greyed;
}

void FancyButton::Draw(Graphics* g)
{
    (void)g;
}

void FancyButton::MouseEnter()
{
    ButtonWidget::MouseEnter();
}

void FancyButton::MouseLeave()
{
    ButtonWidget::MouseLeave();
}

void FancyButton::MouseDown(int x, int y, int button, int clickCount)
{
    ButtonWidget::MouseDown(x, y, button, clickCount);
}

void FancyButton::MouseUp(int x, int y, int button, int clickCount)
{
    ButtonWidget::MouseUp(x, y, button, clickCount);
}

} // namespace Kavo
