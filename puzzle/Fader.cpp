#include "puzzle/Fader.h"

#include "app/KavoAppBase.h"
#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

Fader::Fader(Widget* ownerWidget) : owner(ownerWidget), mAlive(std::make_shared<bool>(true)) {}

Fader::~Fader()
{
    *mAlive = false;
}

bool Fader::FadeIn(int steps, const Color& colour)
{
    return Fade(steps, colour, true);
}

bool Fader::FadeOut(int steps, const Color& colour)
{
    return Fade(steps, colour, false);
}

bool Fader::Fade(int steps, const Color& colour, bool in)
{
    if (fading) return false;
    KavoAppBase* app = gKavoApp;
    if (app == nullptr) return true;
    if (app->mWidgetManager != nullptr && app->mWidgetManager->mUpdateDepth != 0) return true;
    const std::shared_ptr<bool> alive = mAlive; // outlives this fader
    const bool owned = owner != nullptr;
    const bool shown = owned && owner->mManager != nullptr;
    bool goOn = true;
    fadeProgress = 0.0f;
    fadeColour = colour;
    fading = true;
    fadingIn = in;
    fadeSteps = steps;
    for (fadeStep = 1; fadeStep <= fadeSteps; ++fadeStep)
    {
        const bool running = app->UpdateApp();
        if (!*alive) return false; // nothing of this fader or its owner may be read any more
        if (shown && owner->mManager == nullptr)
        {
            goOn = false;
            break;
        }
        if (!running) break;
        fadeProgress = float(fadeStep) / float(fadeSteps);
        if (owned) owner->MarkDirty();
    }
    fading = false;
    if (owned) owner->MarkDirty(); // without the fade's colour from now on
    return goOn;
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
