#pragma once

#include "base/Rect.h"
#include "graphics/Font.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace textcheck
{

// One text drawn: its words, the rectangle its visible pixels cover and, row by row, the span
// they cover (a rectangle one pixel high), in the coordinates of the image it was drawn into.
struct DrawnText
{
    std::string text;
    Kavo::Rect ink;
    std::vector<Kavo::Rect> rows;
};

// While it lives, every font id of the game draws through a font of its own that writes down
// each text drawn with the rectangle of its visible pixels (measured by drawing the text alone)
// and then draws it as the font would; the ids get their fonts back at the end.
class TextRecorder
{
public:
    TextRecorder();
    ~TextRecorder();
    TextRecorder(const TextRecorder&) = delete;
    TextRecorder& operator=(const TextRecorder&) = delete;

    // The texts drawn since the last Clear.
    const std::vector<DrawnText>& Drawn() const { return mDrawn; }
    void Clear() { mDrawn.clear(); }
    // Written down by the fonts.
    void Add(Kavo::Font* font, const std::string& text, int x, int baseline);

private:
    std::vector<DrawnText> mDrawn;
    std::vector<std::pair<Kavo::Font**, Kavo::Font*>> mReplaced; // each id and its own font
    std::vector<std::unique_ptr<Kavo::Font>> mFonts;             // the writing fonts
    // The rows of visible pixels of a text, from its left edge and its baseline; measured once
    // per font and text.
    std::map<std::pair<Kavo::Font*, std::string>, std::vector<Kavo::Rect>> mInk;
};

} // namespace textcheck
