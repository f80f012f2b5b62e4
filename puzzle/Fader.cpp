#include "puzzle/Fader.h"

#include "app/KavoAppBase.h"
#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

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
    KavoAppBase* app = gKavoApp;
    if (fading || app == nullptr) return;
    if (app->mWidgetManager != nullptr && app->mWidgetManager->mUpdateDepth != 0) return;
    fadeProgress = 0.0f;
    fadeColour = colour;
    fading = true;
    fadingIn = in;
    fadeSteps = steps;
    for (fadeStep = 1; fadeStep <= fadeSteps; ++fadeStep)
    {
        if (!app->UpdateApp()) break;
        fadeProgress = float(fadeStep) / float(fadeSteps);
        if (owner != nullptr) owner->MarkDirty();
    }
    fading = false;
    if (owner != nullptr) owner->MarkDirty(); // without the fade's colour from now on
}

void Fader::Draw(Graphics* g, int x, int y, int w, int h)
{
    if (!fading) return;
    float share = fadingIn ? 1.0f - fadeProgress : fadeProgress;
    Color saved = g->GetColor();
    g->SetColor(Color(fadeColour.mRed, fadeColour.mGreen, fadeColour.mBlue, int(share * 255.0f + 0.5f)));
    g->FillRect(x, y, w, h);
    g->SetColor(saved);
}

void Fader::DeferOverlay()
{
    if (fading && owner != nullptr) owner->DeferOverlay(0);
}

} // namespace Kavo
