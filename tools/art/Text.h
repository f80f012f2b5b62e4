#pragma once

#include "tools/art/Canvas.h"

#include <memory>
#include <string>
#include <vector>

namespace platform
{
class SystemFont;
}

// Lettering for the art: lines of a system face (DejaVu, Liberation) rendered through the
// platform's font module into coverage masks, and the styled text of logos, badges and the
// tutorial's explanations built on them. Text is Windows-1252.
namespace Art
{

struct Face
{
    std::string family = "DejaVu Sans";
    int pixelHeight = 16;
    int weight = 400;
    bool italic = false;
    float tracking = 0; // extra pixels after every character
};

class TextRenderer
{
public:
    explicit TextRenderer(const Face& face);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    bool Valid() const { return mFont != nullptr; }
    int Ascent() const;
    int Descent() const;
    int LineHeight() const;
    int Advance(unsigned char c);
    int Kerning(unsigned char previous, unsigned char c);
    int Width(const std::string& text);
    // Splits text into lines no wider than width (words are never broken; "\n" forces a break).
    std::vector<std::string> Wrap(const std::string& text, int width);
    // Coverage of one line in the alpha of white pixels, the top of the line at (x, y).
    void DrawLine(Canvas& mask, float x, float y, const std::string& text);
    // Coverage of a single character with its pen at (x, y) (top of the line).
    void DrawChar(Canvas& mask, int x, int y, unsigned char c);
    platform::SystemFont& Font() { return *mFont; }

private:
    Face mFace;
    std::unique_ptr<platform::SystemFont> mFont;
};

// How lettering is dressed: a fill from the top to the bottom of the line, an outline, a soft
// shadow and an outer glow. Widths and radii are in pixels; a zero width leaves that part out.
struct TextLook
{
    Rgba fillTop = Colour(1, 1, 1);
    Rgba fillBottom = Colour(1, 1, 1);
    float outline = 0;
    Rgba outlineColour = Colour(0.02f, 0.02f, 0.08f);
    float shadowBlur = 0;
    float shadowX = 0, shadowY = 0;
    Rgba shadowColour = Colour(0, 0, 0, 0.7f);
    float glow = 0;
    Rgba glowColour = Colour(0.4f, 0.7f, 1.0f, 0.8f);
    float shine = 0; // strength of a light band along the upper half of the letters
};

enum class Align
{
    Left,
    Centre,
    Right
};

// Lays text out word-wrapped in the rectangle (x, y, width) and draws it dressed as look says,
// line after line lineSpacing pixels apart (the face's line height when 0). Returns the height used.
int DrawText(Canvas& target, const Face& face, const std::string& text, float x, float y, float width,
             Align align, const TextLook& look, float lineSpacing = 0);
// The largest pixel height, up to the face's own, at which the text fits in the width.
int FitPixelHeight(const Face& face, const std::string& text, float width);
// One line dressed, on a canvas just large enough for it and its effects; baseline and left say
// where the pen line starts inside that canvas.
Canvas TextImage(const Face& face, const std::string& text, const TextLook& look, int* left = nullptr,
                 int* top = nullptr);

} // namespace Art
