#pragma once

#include "crash/CrashButton.h"
#include "crash/CrashFont.h"
#include "crash/CrashTextBox.h"
#include "graphics/MemoryImage.h"

#include <memory>
#include <string>
#include <vector>

namespace Kavo
{

// The contents of one crash window, drawn into a picture of its own: a notice, an optional
// text box (the report, or the user's text) and a row of buttons, laid out for the window's
// size. The picture is a software image that belongs to no application (nothing registers
// it), so the dialog runs on any thread.
//
// The keyboard: Tab and Shift+Tab move the focus (the box, then each button that can be
// pressed), Left and Right move it between the buttons; Return or Space presses the focused
// button; Return in the report, or Ctrl+Return in the user's box, presses the default button;
// Escape presses the last button (Close Now, Abort, Cancel). Other keys go to the box.
// The mouse: a button is pressed where it is let go over the button it went down on.
class CrashDialog
{
public:
    enum class Box
    {
        None,
        Report,   // read-only, in the fixed face
        UserText, // typed into, in the normal face; it has the focus first
    };
    struct Button
    {
        std::string label;
        bool enabled = true;
    };
    struct Spec
    {
        std::string notice;
        bool noticeBold = false;
        Box box = Box::None;
        std::string boxText;
        std::vector<Button> buttons; // the last one cancels
        int defaultButton = 0;       // has the focus first, unless there is a user's box
    };
    static constexpr int kNoButton = -1;

    CrashDialog(const Spec& spec, int width, int height);

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    void SetNotice(const std::string& text);
    // The box's text, its lines ending in "\r\n".
    std::string BoxText() const;

    // Each returns the index of the button pressed by the input, or kNoButton.
    int Key(int key, char character, bool shift, bool ctrl);
    int ButtonDown(int x, int y, int button);
    int ButtonUp(int x, int y, int button);
    void PointerMove(int x, int y);
    void Wheel(int notches);

    // The picture, drawn again: width x height pixels 0xFFRRGGBB.
    const uint32_t* Draw();

    // --- For the tests ---
    const std::vector<CrashButton>& Buttons() const { return mButtons; }
    const CrashTextBox& Notice() const { return mNotice; }
    const CrashTextBox* TextBox() const { return mBox.get(); }
    // The focused control: -1 the box, 0 and up a button.
    int Focus() const { return mFocus; }

private:
    void Layout();
    void SetFocus(int focus);
    // The next control that can take the focus, step +1 or -1 from the current one.
    int NextFocus(int step) const;
    int Press(int button) const;

    int mWidth, mHeight;
    CrashFont mNormal, mBold, mFixed;
    CrashTextBox mNotice;
    std::unique_ptr<CrashTextBox> mBox;
    std::vector<CrashButton> mButtons;
    int mDefault = 0;
    int mFocus = 0;
    int mHeld = -1; // the button the pointer went down on
    MemoryImage mPicture{nullptr};
};

} // namespace Kavo
