#pragma once

#include "base/Color.h"
#include "base/Rect.h"

#include <string>

namespace Kavo
{

class Graphics;

// What all text is measured and drawn through. Metrics are in pixels.
class Font
{
public:
    int ascent = 0;            // from the top of a text line to the baseline
    int ascentPadding = 0;     // extra space above the ascent that layout may subtract
    int height = 0;            // from the top to the bottom of a text line
    int lineSpacingOffset = 0; // added to height between consecutive lines

    Font() = default;
    Font(const Font& other) = default;
    Font& operator=(const Font& other) = default;
    virtual ~Font() = default;

    virtual int GetAscent() { return ascent; }
    virtual int GetAscentPadding() { return ascentPadding; }
    virtual int GetDescent() { return height - ascent; }
    virtual int GetHeight() { return height; }
    virtual int GetLineSpacingOffset() { return lineSpacingOffset; }
    virtual int GetLineSpacing() { return height + lineSpacingOffset; }
    // Width of a narrow (Windows-1252) string; 0 in the base.
    virtual int StringWidth(const std::string& text);
    virtual int CharWidth(char c);
    // The advance of c after previous; the base ignores previous.
    virtual int CharWidthKern(char c, char previous);
    // Draws with the baseline at y and the left edge at x (coordinates of g), limited to clip.
    // The base draws nothing.
    virtual void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                            const Rect& clip);
    // A new heap copy of the same kind, owned by the caller.
    virtual Font* Duplicate() = 0;
};

} // namespace Kavo
