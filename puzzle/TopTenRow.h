#pragma once

#include "base/Color.h"
#include "base/Rect.h"

#include <string>
#include <vector>

namespace Kavo
{

class Font;
class Graphics;

// A text style (font and colour) that lays a text out as a block of lines centred in a
// rectangle; the top-ten list keeps one with FONT_EXCITED and the title yellow for its tip.
class TopTenRow
{
public:
    TopTenRow(Font* font, const Color& colour);

    // Draws the lines laid out last, one line height apart.
    void Draw(Graphics* g);

    // The layout of the last SplitTextToLines.
    int mLeft = 0; // x of the widest line; each line is centred on the block
    int mTop = 0;
    int mLineCount = 0;
    int mLineHeight = 0;
    int mWidest = 0;
    Font* mFont; // not owned
    Color mColour;
    std::vector<std::string> mLines;
};

// Splits text into lines at the separator character (126, "~", by default, runs of it making no
// empty lines), keeps them in style and centres the block in rect: top = y + (h - lines x
// font height) / 2, left = x + (w - widest line) / 2. Returns the lines joined by line feeds.
std::string SplitTextToLines(TopTenRow& style, const std::string& text, const Rect& rect,
                             int separator = '~');

} // namespace Kavo
