#pragma once

#include "crash/CrashFace.h"
#include "graphics/Font.h"

namespace Kavo
{

// A font over one of the compiled-in crash faces. It draws only into software images (the
// crash windows' pictures), blending its coverage in the colour straight into the pixels,
// with the context's translation and clip; it opens nothing and takes no lock.
class CrashFont : public Font
{
public:
    explicit CrashFont(const CrashFace& face);

    int StringWidth(const std::string& text) override;
    int CharWidth(char c) override;
    // Baseline at y; control characters draw nothing.
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

private:
    const CrashFace* mFace;
};

} // namespace Kavo
