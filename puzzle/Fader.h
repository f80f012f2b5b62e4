#pragma once

#include "base/Color.h"

#include <cstdint>
#include <memory>

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
//
// The frames a fade runs take the player's input: a click may start a fade again, take the
// owner out of the widget manager or delete it. The fade reads nothing of a deleted owner (its
// destructor clears a guard the running fade holds), ends once its owner has left the manager,
// and its result tells the caller whether to go on.
class Fader
{
public:
    explicit Fader(Widget* owner);
    ~Fader();
    Fader(const Fader&) = delete;
    Fader& operator=(const Fader&) = delete;

    // Runs the fade and returns whether the caller may go on with what follows it. False when
    // the owner was deleted meanwhile (the caller, often the owner's own member, returns at once
    // without touching it), when the owner, shown when the fade began, left the widget manager
    // (something else moved on), and when a fade of this fader already runs (the call comes from
    // inside that fade's frames; the fade's own caller goes on once it ends). True, running no
    // step, inside an update pass of the widget manager (a fade never starts from an update or
    // draw) and for steps below 1; true when it stops early because the application is closing.
    [[nodiscard]] bool FadeIn(int steps, const Color& colour);
    [[nodiscard]] bool FadeOut(int steps, const Color& colour);
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
    Widget* owner;        // not owned; the fader is part of it (a base or a member)

private:
    bool Fade(int steps, const Color& colour, bool in);

    std::shared_ptr<bool> mAlive; // false once this fader (and so its owner) is destroyed
};

} // namespace Kavo
