#pragma once

#include "base/Rect.h"

#include <cstddef>
#include <string>
#include <vector>

namespace Kavo
{

class Font;
class Graphics;

// A text of many lines in a crash window, wrapped at words to its width: a plain notice, the
// report in a box with a scroll bar, or the box the user types into. Text is Windows-1252 with
// '\n' between lines ("\r\n" given is taken as '\n').
//
// | input                  | plain | read-only box                 | editable box                  |
// |------------------------|-------|-------------------------------|-------------------------------|
// | Up, Down               |       | scroll a line                 | caret a line up or down       |
// | Page Up, Page Down     |       | scroll a page                 | caret a page up or down       |
// | Home, End              |       | to the top, to the end        | caret to its line's ends      |
// | Ctrl+Home, Ctrl+End    |       | to the top, to the end        | caret to the text's ends      |
// | Left, Right            |       |                               | caret a character             |
// | a character, Return    |       |                               | typed at the caret ('\n')     |
// | Backspace, Delete      |       |                               | the character before, after   |
// | wheel                  |       | three lines a notch           | three lines a notch           |
// | press in the text      |       |                               | caret to the character there  |
// | press in the bar       |       | line arrows, page in the track, the thumb dragged             |
class CrashTextBox
{
public:
    enum class Style
    {
        Plain,    // no border, no scroll bar, no input
        ReadOnly, // border and scroll bar; scrolls
        Editable, // border and scroll bar; the user types
    };

    static constexpr int kScrollBarWidth = 16;
    static constexpr int kWheelLines = 3;

    CrashTextBox(Style style, Font& font);

    void SetRect(const Rect& rect);
    const Rect& GetRect() const { return mRect; }
    void SetText(const std::string& text);
    const std::string& GetText() const { return mText; }
    // At most this many characters can be typed (the text given keeps its length).
    void SetMaxLength(size_t maxLength) { mMaxLength = maxLength; }
    Style GetStyle() const { return mStyle; }
    void SetFocused(bool focused) { mFocused = focused; }

    // key: a virtual-key code or 0; character: typed, or 0. True when the box used the key.
    bool KeyDown(int key, char character, bool ctrl);
    // Points in window coordinates; button 1 is the left one.
    void ButtonDown(int x, int y);
    void PointerMove(int x, int y);
    void ButtonUp();
    void Wheel(int notches);

    void Draw(Graphics& g);

    // --- The layout, for the tests ---
    struct Line
    {
        size_t start;  // index in the text
        size_t length; // characters shown (the break's blank or '\n' not counted)
    };
    const std::vector<Line>& Lines() const { return mLines; }
    int TopLine() const { return mTop; }
    int VisibleLines() const;
    size_t Caret() const { return mCaret; }
    // The text's area (inside the border, left of the scroll bar).
    Rect TextArea() const;
    // The scroll bar's thumb; empty for a plain box.
    Rect Thumb() const;
    int LastTop() const;

    // The text wrapped at words into lines no wider than width (a word wider than that is
    // cut between characters); one line at least.
    static std::vector<Line> Wrap(const std::string& text, Font& font, int width);

private:
    void Rewrap();
    void ScrollTo(int top);
    int LineOf(size_t index) const;
    void KeepCaretVisible();
    void MoveCaretToLine(int line, int column);
    size_t IndexAt(int x, int y);
    Rect Bar() const;

    Style mStyle;
    Font* mFont;
    Rect mRect;
    std::string mText;
    std::vector<Line> mLines;
    int mTop = 0;
    size_t mCaret = 0;
    size_t mMaxLength = std::string::npos;
    bool mFocused = false;
    bool mDraggingThumb = false;
    int mDragOffset = 0;
};

} // namespace Kavo
