#pragma once

#include "graphics/Font.h"

#include <memory>
#include <string>

namespace platform
{
class SystemFont;
}

namespace Kavo
{

class FontHost;
class Image;
class MemoryImage;

// A font installed on the system, chosen by face name ("Arial", "Tahoma", ...): the nearest
// installed face stands in for one that is missing. Text is anti-aliased in the requested
// colour; the colour's alpha is not used.
class SysFont : public Font
{
public:
    // Draws text straight onto a display surface; false when the image has none (the text then
    // goes through the software path). Installed by the display.
    using SurfaceTextDrawer = bool (*)(SysFont& font, Graphics* g, int x, int y, const std::string& text,
                                       const Color& color, const Rect& clip);
    static void SetSurfaceTextDrawer(SurfaceTextDrawer drawer);

    std::unique_ptr<platform::SystemFont> font; // null when no font is installed at all
    FontHost* app = nullptr;
    bool drawShadow = false;   // a black copy one pixel right and down under the text
    bool simulateBold = false; // the text (and shadow) drawn again one pixel to the right

    // pointSize at 96 dots per inch.
    SysFont(const std::string& face, int pointSize, bool bold = false, bool italic = false,
            bool underline = false);
    // Regular weight, for the application (charSet: the face's character set; faces are
    // chosen by name and cover Windows-1252 whatever it holds).
    SysFont(FontHost* app, const std::string& face, int pointSize, int charSet);
    // The same face and size; drawShadow and simulateBold start false.
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    // Width of the widest line of text, without kerning.
    int StringWidth(const std::string& text) override;
    // Baseline at y. Drawn into an image of the text and blitted through g, so g's translation,
    // clip and draw mode apply; nothing for a context without a destination.
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

private:
    void Init(FontHost* host, const std::string& face, int pointSize, bool bold, bool italic, bool underline);
    std::unique_ptr<MemoryImage> lineImage; // the one image of the text, kept between lines
};

} // namespace Kavo
