#include "puzzle/Fader.h"

namespace Kavo
{

Fader::Fader(Widget* ownerWidget) : owner(ownerWidget) {}

void Fader::FadeIn(int steps, const Color& colour)
{
    Fade(steps, colour, true);
}

void Fader::FadeOut(int steps, const Color& colour)
{
    Fade(steps, colour, false);
}

void Fader::Fade(int steps, const Color& colour, bool in)
{
    (void)steps;
    (void)colour;
    (void)in;
}

void Fader::Draw(Graphics* g, int x, int y, int w, int h)
{
    (void)g;
    (void)x;
    (void)y;
    (void)w;
    (void)h;
}

void Fader::DeferOverlay() {}

} // namespace Kavo
