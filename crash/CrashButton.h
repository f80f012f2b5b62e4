#pragma once

#include "base/Rect.h"

#include <string>

namespace Kavo
{

class Font;
class Graphics;

// A push button of a crash window. It looks pressed while the pointer holds it down over it,
// shows the keyboard's focus with a blue rim, and greys its label when disabled.
class CrashButton
{
public:
    CrashButton(const std::string& label, bool enabled) : mLabel(label), mEnabled(enabled) {}

    Rect rect;
    bool focused = false;
    bool held = false; // pressed by the pointer, which is over it

    const std::string& Label() const { return mLabel; }
    bool Enabled() const { return mEnabled; }
    void Draw(Graphics& g, Font& font) const;

private:
    std::string mLabel;
    bool mEnabled;
};

} // namespace Kavo
