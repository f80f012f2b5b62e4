#pragma once

#include "widgets/ButtonListener.h"
#include "widgets/Insets.h"
#include "widgets/Widget.h"

#include <memory>
#include <string>

namespace Kavo
{

class DialogButton;
class DialogListener;
class Font;
class Image;

// The message dialog: a header line, word-wrapped body text, an optional footer line and up to two
// buttons along the bottom, in a box cut from a component image (or a plain frame with a drop
// shadow). It can be dragged, and WaitForResult runs the application's loop until one of its
// buttons is released over itself.
//
// The buttons are top-level widgets of the manager beside the dialog (kept directly in front of
// it), owned by the dialog. Button 1000 is the affirmative one, 1001 the other; the dialog's
// listener (the application's, by default) hears of both by the dialog's id.
class Dialog : public Widget, public ButtonListener
{
public:
    enum ButtonMode
    {
        BUTTONS_NONE = 0,
        BUTTONS_YES_NO = 1,
        BUTTONS_OK_CANCEL = 2,
        BUTTONS_FOOTER = 3, // one button labelled with the footer
    };

    enum
    {
        ID_YES = 1000,
        ID_NO = 1001,
        ID_OK = 1000,
        ID_CANCEL = 1001,
    };

    // Colour indices.
    enum
    {
        COLOR_HEADER = 0,
        COLOR_LINES = 1,
        COLOR_FOOTER = 2,
        COLOR_BUTTON_TEXT = 3,    // also the buttons' colour 0
        COLOR_BUTTON_TEXT_HI = 4, // also the buttons' colour 1
        COLOR_BKG = 5,            // frame fill without a component image
        COLOR_OUTLINE = 6,        // frame outline without a component image
        NUM_COLORS = 7,
    };

    static constexpr int kNoResult = 0x7fffffff;

    // The button labels; the program may replace them before dialogs are made.
    static std::string sYesString;
    static std::string sNoString;
    static std::string sOkString;
    static std::string sCancelString;

    DialogListener* mDialogListener;
    Image* mComponentImage;             // not owned; may be null
    DialogButton* mYesButton = nullptr; // owned
    DialogButton* mNoButton = nullptr;  // owned
    std::string mHeader;
    std::string mFooter;
    std::string mLines;
    int mButtonMode;
    std::unique_ptr<Font> mHeaderFont; // made on first use when none was set
    std::unique_ptr<Font> mLinesFont;
    int mTextAlign = 0;         // justification of the body text
    int mLineSpacingOffset = 0; // added to the body font's line spacing
    int mButtonHeight;
    Insets mBackgroundInsets;              // the box is drawn inside them
    Insets mContentInsets{24, 24, 24, 24}; // text and buttons lie inside these too
    int mSpaceAfterHeader = 10;
    bool mDragging = false;
    int mDragMouseX = 0; // the grab point inside the dialog
    int mDragMouseY = 0;
    int mId;
    bool mIsModal;
    int mButtonHorzSpacing = 8;
    int mButtonSidePadding = 0;

    Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool isModal,
           const std::string& header, const std::string& lines, const std::string& footer, int buttonMode);
    ~Dialog() override;

    virtual void SetButtonFont(Font* font);
    virtual void SetHeaderFont(Font* font);
    virtual void SetLinesFont(Font* font);
    // The height the dialog needs at this width.
    virtual int GetPreferredHeight(int width);
    virtual bool IsModal();
    // Runs steps of the application's loop (at least one) until a button is released, the dialog
    // leaves the manager or the program stops; with autoKill the application then kills the dialog. Returns
    // the button id, or kNoResult. Safe when the dialog is deleted while it waits.
    virtual int WaitForResult(bool autoKill = true);

    // The id of the button released over itself, or kNoResult.
    int GetResult() const { return mWaitState->mResult; }
    void SetResult(int result) { mWaitState->mResult = result; }

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    void OrderInManagerChanged() override;
    void SetColor(int index, const Color& color) override;
    using Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;

    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;

private:
    // What WaitForResult needs to read after a step of the loop, which may delete the dialog.
    struct WaitState
    {
        int mResult = kNoResult;
        bool mAlive = true;
    };
    std::shared_ptr<WaitState> mWaitState;

    void EnsureFonts();
};

} // namespace Kavo
