#pragma once

#include "widgets/Widget.h"

#include <memory>
#include <string>

namespace Kavo
{

class ButtonListener;
class Font;
class Image;

// The push button: a framed box with a label, or a set of image looks (normal, over, down,
// disabled), each either its own image or a rectangle of the normal image.
//
// What reaches the listener (with the id given at construction):
//
// | event                        | condition                             | listener call         |
// |------------------------------|---------------------------------------|-----------------------|
// | the mouse enters             |                                       | ButtonMouseEnter      |
// | the mouse moves over it      |                                       | ButtonMouseMove(x, y) |
// | the mouse leaves             |                                       | ButtonMouseLeave      |
// | a mouse button goes down     | any button                            | ButtonPress(count)    |
// | the mouse button goes up     | over the button, window has the focus | ButtonDepress         |
// | every update                 | held and over the button              | ButtonDownTick        |
//
// The pressed look is drawn when IsButtonDown() differs from mInverted:
//
// | mIsDown | mIsOver | mDisabled | IsButtonDown |
// |---------|---------|-----------|--------------|
// | true    | true    | false     | true         |
// | true    | false   | any       | false        |
// | any     | any     | true      | false        |
// | false   | any     | any       | false        |
//
// mOverFade (0 to 1) is the strength of the over look while it fades: on leaving with a
// fade-out step it starts from 1 and loses the step each update; while over with a fade-in step
// it gains the step each update.
class ButtonWidget : public Widget
{
public:
    // Colour indices.
    enum
    {
        COLOR_LABEL = 0,
        COLOR_LABEL_HILITE = 1, // while the mouse is over or the button is pressed
        COLOR_DARK_OUTLINE = 2,
        COLOR_LIGHT_OUTLINE = 3,
        COLOR_MEDIUM_OUTLINE = 4,
        COLOR_BKG = 5,
        NUM_COLORS = 6,
    };

    int mId;
    std::string mLabel;
    int mLabelAlign = 0; // 0 centred, 1 right, other values left
    std::unique_ptr<Font> mFont;
    Image* mNormalImage = nullptr; // the images are not owned
    Image* mOverImage = nullptr;
    Image* mDownImage = nullptr;
    Image* mDisabledImage = nullptr;
    Rect mNormalRect; // looks cut from mNormalImage, used when their width is not 0
    Rect mOverRect;
    Rect mDownRect;
    Rect mDisabledRect;
    bool mInverted = false; // draw the pressed look when not pressed and the other way round
    bool mNoDraw = false;
    bool mNoFrame = false;
    ButtonListener* mButtonListener;
    double mOverFade = 0.0;
    double mFadeOutStep = 0.0; // per update; 0 ends the over look at once
    double mFadeInStep = 0.0;  // per update; 0 shows the over look at once

    ButtonWidget(int id, ButtonListener* listener);
    ~ButtonWidget() override;

    // Draws rect of mNormalImage at (x, y), or the whole image when rect has no width.
    virtual void DrawButtonImage(Graphics* g, Image* image, const Rect& rect, int x, int y);
    // Keeps its own copy of font.
    virtual void SetFont(Font* font);
    virtual bool IsButtonDown();

    void Update() override;
    void Draw(Graphics* g) override;
    // The framed look with an opaque background covers the button; picture looks need not (a
    // pressed look without a picture of its own is drawn a pixel down and right).
    bool IsOpaque() override;
    void SetDisabled(bool disabled) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;

    bool HasNormalLook() const { return mNormalImage != nullptr || mNormalRect.mWidth != 0; }
    bool HasOverLook() const { return mOverImage != nullptr || mOverRect.mWidth != 0; }
    bool HasDownLook() const { return mDownImage != nullptr || mDownRect.mWidth != 0; }
    bool HasDisabledLook() const { return mDisabledImage != nullptr || mDisabledRect.mWidth != 0; }

protected:
    // The label font, made on first use when the button has none; may be null.
    Font* EnsureFont(int pointSize, bool bold);
    // Marks dirty when entering or leaving changes what is drawn.
    void MarkDirtyIfHoverShows();
};

} // namespace Kavo
