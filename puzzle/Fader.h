#pragma once

#include "base/Color.h"

#include <cstdint>

namespace Kavo
{

class Graphics;
class Widget;

// Fades its owner widget from a colour to the scene (FadeIn) or from the scene to a colour
// (FadeOut) in a number of steps, running the application's frames itself: the call returns
// when the fade is done. A base with data only, of the board and of several screens; each
// calls DeferOverlay at the end of its draw and Draw from its overlay pass.
//
// Step k of n runs one application step first and then sets the progress to k / n, so the
// frame of step k shows (k - 1) / n: a fade-in's first frame is fully covered, a fade-out's
// last frame shows (n - 1) / n of the colour.
class Fader
{
public:
    explicit Fader(Widget* owner);

    // Do nothing while a fade runs or while the widget manager is inside an update pass (so a
    // fade never starts from an update or draw); steps below 1 run no step. Stop early when the
    // application is closing.
    void FadeIn(int steps, const Color& colour);
    void FadeOut(int steps, const Color& colour);
    // While fading: fills the rectangle with the colour at the fade's alpha (1 - progress
    // fading in, progress fading out, of 255, rounded), keeping the context's colour.
    void Draw(Graphics* g, int x, int y, int w, int h);
    // While fading, asks the widget manager for the owner's overlay pass at priority 0.
    void DeferOverlay();

    Color fadeColour = Color::White;
    bool fading = false;
    bool fadingIn = false;
    float fadeProgress = 0.0f; // share of the fade done, 0 to 1
    int32_t fadeSteps = 0;
    int32_t fadeStep = 0; // from 1
    Widget* owner;        // not owned

private:
    void Fade(int steps, const Color& colour, bool in);
};

} // namespace Kavo
