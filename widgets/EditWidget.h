#pragma once

#include "widgets/Widget.h"

#include <memory>
#include <string>
#include <vector>

namespace Kavo
{

class EditListener;
class Font;

// A single-line text field: editing with a blinking caret, mouse and keyboard selection,
// word-wise movement (Ctrl+Left / Ctrl+Right), the clipboard (Ctrl+C, Ctrl+X, Ctrl+V), one level
// of undo (Ctrl+Z; adjacent single-character edits form one step), a password mask, limits in
// characters and in pixels, horizontal scrolling, and a listener that may refuse keys, characters
// and whole texts.
//
// The display string is the text, or as many mPasswordChar as it has characters; measuring, hit
// testing, drawing and copying use it. The font is made on first use when none was set, so keys
// that arrive before the first draw are measured like the later ones.
class EditWidget : public Widget
{
public:
    // Colour indices.
    enum
    {
        COLOR_BKG = 0,
        COLOR_OUTLINE = 1,
        COLOR_TEXT = 2,
        COLOR_HILITE = 3, // selection and caret background
        COLOR_HILITE_TEXT = 4,
        NUM_COLORS = 5,
    };

    // A further font the text must fit into, with its own pixel limit (-1: mMaxPixels).
    struct WidthCheck
    {
        std::unique_ptr<Font> mFont;
        int mMaxPixels = -1;
    };

    int mId;
    std::string mText;
    std::string mMaskedText; // the display string while mPasswordChar is set
    std::unique_ptr<Font> mFont;
    std::vector<WidthCheck> mWidthCheckFonts;
    EditListener* mListener;
    bool mShowCaret = false; // the caret's blink phase
    bool mAlwaysShowSelection = false;
    bool mSelectingWords = false; // a multiple click is in progress
    int mCursorPos = 0;
    int mHilitePos = -1; // the other end of the selection, or -1
    int mBlinkTicks = 0;
    int mBlinkDelay = 40; // updates per caret phase
    int mLeftPos = 0;     // the first character shown
    int mMaxChars = -1;   // -1: no limit
    int mMaxPixels = -1;  // -1 or 0: no limit
    char mPasswordChar = 0;
    std::string mUndoText;
    int mUndoCursor = 0;
    int mUndoHilite = 0;
    int mLastModifyIdx = 0; // where the last single-character edit happened

    EditWidget(int id, EditListener* listener);
    ~EditWidget() override;

    // keyCode: a virtual-key code (0 for none); c: a typed character (0 for none).
    virtual void ProcessKey(int keyCode, char c);
    // Selects the word around the cursor.
    virtual void HiliteWord();
    // Keeps copies of both fonts; widthCheckFont (may be null) must fit the text too.
    virtual void SetFont(Font* font, Font* widthCheckFont = nullptr);
    // Selects the whole new text, the cursor at its end.
    virtual void SetText(const std::string& text, bool leftPosToZero = true);
    // Letters, digits, the underscore and the bytes 192 to 255.
    virtual bool IsPartOfWord(char c);
    // The character position for a point inside the field.
    virtual int GetCharAt(int x, int y);
    // Scrolls so that the caret is visible; a big jump moves 10 characters at a time.
    virtual void FocusCursor(bool bigJump);

    using WidgetContainer::MarkDirty;
    void MarkDirty() override;
    void Update() override;
    void Draw(Graphics* g) override;
    // It fills itself with its background colour first.
    bool IsOpaque() override;
    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    bool WantsFocus() override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char c) override;
    void KeyDown(int keyCode) override;
    void MouseEnter() override;
    void MouseLeave() override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    const std::string& GetDisplayString();
    bool HasSelection() const { return mHilitePos != -1 && mHilitePos != mCursorPos; }

private:
    Font* EnsureFont();
    int TextWidth(const std::string& text);
    // Width of display[from, to), 0 for an empty or reversed range.
    int DisplayWidth(int from, int to);
    // Removes the selection; the cursor goes to where it began.
    void DeleteSelection();
    // Cuts the text to the character and pixel limits.
    void ApplyLimits();
};

} // namespace Kavo
