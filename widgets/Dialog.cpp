#include "widgets/Dialog.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/DialogButton.h"
#include "widgets/DialogListener.h"
#include "widgets/WidgetAppServices.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

std::string Dialog::sYesString = "YES";
std::string Dialog::sNoString = "NO";
std::string Dialog::sOkString = "OK";
std::string Dialog::sCancelString = "CANCEL";

namespace
{
constexpr int kDefaultButtonHeight = 24;
constexpr int kDragMargin = 8; // how far a dragged dialog may leave the screen
} // namespace

Dialog::Dialog(Image* componentImage, Image* buttonComponentImage, int id, bool isModal,
               const std::string& header, const std::string& lines, const std::string& footer, int buttonMode)
    : mComponentImage(componentImage), mHeader(header), mFooter(footer), mLines(lines),
      mButtonMode(buttonMode),
      mButtonHeight(buttonComponentImage != nullptr ? buttonComponentImage->GetHeight()
                                                    : kDefaultButtonHeight),
      mId(id), mIsModal(isModal), mWaitState(std::make_shared<WaitState>())
{
    WidgetAppServices* app = WidgetAppServices::Current();
    mDialogListener = app != nullptr ? app->GetDialogListener() : nullptr;

    if (buttonMode == BUTTONS_YES_NO || buttonMode == BUTTONS_OK_CANCEL)
    {
        mYesButton = new DialogButton(buttonComponentImage, ID_YES, this);
        mYesButton->mLabel = buttonMode == BUTTONS_YES_NO ? sYesString : sOkString;
        mNoButton = new DialogButton(buttonComponentImage, ID_NO, this);
        mNoButton->mLabel = buttonMode == BUTTONS_YES_NO ? sNoString : sCancelString;
    }
    else if (buttonMode == BUTTONS_FOOTER)
    {
        mYesButton = new DialogButton(buttonComponentImage, ID_YES, this);
        mYesButton->mLabel = footer;
    }

    mOverlayPriority = 1;

    int buttonText = buttonComponentImage != nullptr ? 255 : 0;
    const int colors[NUM_COLORS][3] = {
        {255, 255, 255},
        {255, 255, 0},
        {255, 255, 255},
        {buttonText, buttonText, buttonText},
        {buttonText, buttonText, buttonText},
        {80, 80, 80},
        {255, 255, 255},
    };
    SetColors(colors, NUM_COLORS);
}

Dialog::~Dialog()
{
    mWaitState->mAlive = false;
    // Leave the tree while this is still a dialog, so the buttons leave the manager with it.
    if (mParent != nullptr) mParent->RemoveWidget(this);
    delete mYesButton;
    delete mNoButton;
}

void Dialog::EnsureFonts()
{
    if (!mHeaderFont) mHeaderFont.reset(CreateDefaultFont(14, false));
    if (!mLinesFont) mLinesFont.reset(CreateDefaultFont(12, false));
}

void Dialog::SetButtonFont(Font* font)
{
    if (mYesButton != nullptr) mYesButton->SetFont(font);
    if (mNoButton != nullptr) mNoButton->SetFont(font);
}

void Dialog::SetHeaderFont(Font* font)
{
    mHeaderFont.reset(font != nullptr ? font->Duplicate() : nullptr);
}

void Dialog::SetLinesFont(Font* font)
{
    mLinesFont.reset(font != nullptr ? font->Duplicate() : nullptr);
}

int Dialog::GetPreferredHeight(int width)
{
    EnsureFonts();
    int height =
        mContentInsets.mTop + mBackgroundInsets.mTop + mContentInsets.mBottom + mBackgroundInsets.mBottom;
    bool somethingBefore = false;
    if (!mHeader.empty() && mHeaderFont)
    {
        height += mHeaderFont->GetHeight() - mHeaderFont->GetAscentPadding();
        somethingBefore = true;
    }
    if (!mLines.empty() && mLinesFont)
    {
        if (!mHeader.empty()) height += mSpaceAfterHeader;
        Graphics g;
        g.SetFont(mLinesFont.get());
        int textWidth = width - mContentInsets.mRight - mContentInsets.mLeft - mBackgroundInsets.mRight -
                        mBackgroundInsets.mLeft - 4;
        height +=
            g.GetWordWrappedHeight(textWidth, mLines, mLinesFont->GetLineSpacing() + mLineSpacingOffset);
        somethingBefore = true;
    }
    if (!mFooter.empty() && mButtonMode != BUTTONS_FOOTER && mHeaderFont)
    {
        if (somethingBefore) height += 8;
        height += mHeaderFont->GetLineSpacing();
        somethingBefore = true;
    }
    if (mYesButton != nullptr)
    {
        if (somethingBefore) height += 8;
        height += 8 + mButtonHeight;
    }
    return height;
}

bool Dialog::IsModal()
{
    return mIsModal;
}

int Dialog::WaitForResult(bool autoKill)
{
    // The loop's steps run arbitrary code: the dialog may be killed and deleted by any of them.
    // From then on only the shared state and the services are touched.
    std::shared_ptr<WaitState> state = mWaitState;
    WidgetAppServices* app = GetApp();
    // A step runs first; the wait goes on while the program runs and the dialog, still on the
    // screen, has no result.
    if (app != nullptr)
        while (app->UpdateAppStep() && state->mAlive && mManager != nullptr && state->mResult == kNoResult)
        {
        }
    if (autoKill && state->mAlive && app != nullptr) app->KillDialog(mId);
    return state->mResult;
}

void Dialog::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    if (mYesButton != nullptr) manager->AddWidget(mYesButton);
    if (mNoButton != nullptr) manager->AddWidget(mNoButton);
}

void Dialog::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mYesButton != nullptr) manager->RemoveWidget(mYesButton);
    if (mNoButton != nullptr) manager->RemoveWidget(mNoButton);
}

void Dialog::OrderInManagerChanged()
{
    if (mParent == nullptr) return;
    if (mYesButton != nullptr) mParent->PutInfront(mYesButton, this);
    if (mNoButton != nullptr) mParent->PutInfront(mNoButton, this);
}

void Dialog::SetColor(int index, const Color& color)
{
    Widget::SetColor(index, color);
    int buttonIndex = index == COLOR_BUTTON_TEXT ? 0 : index == COLOR_BUTTON_TEXT_HI ? 1 : -1;
    if (buttonIndex < 0) return;
    if (mYesButton != nullptr) mYesButton->SetColor(buttonIndex, color);
    if (mNoButton != nullptr) mNoButton->SetColor(buttonIndex, color);
}

void Dialog::Draw(Graphics* g)
{
    EnsureFonts();
    Rect box(mBackgroundInsets.mLeft, mBackgroundInsets.mTop,
             mWidth - mBackgroundInsets.mLeft - mBackgroundInsets.mRight,
             mHeight - mBackgroundInsets.mTop - mBackgroundInsets.mBottom);
    if (mComponentImage != nullptr)
    {
        g->DrawImageBox(box, mComponentImage);
    }
    else
    {
        g->SetColor(GetColor(COLOR_OUTLINE));
        g->DrawRect(12, 12, mWidth - 25, mHeight - 25);
        g->SetColor(GetColor(COLOR_BKG));
        g->FillRect(13, 13, mWidth - 26, mHeight - 26);
        g->SetColor(Color(0, 0, 0, 128));
        g->FillRect(mWidth - 12, 24, 12, mHeight - 36);
        g->FillRect(24, mHeight - 12, mWidth - 24, 12);
    }

    int y = mContentInsets.mTop + mBackgroundInsets.mTop;
    if (!mHeader.empty() && mHeaderFont)
    {
        g->SetFont(mHeaderFont.get());
        g->SetColor(GetColor(COLOR_HEADER));
        int padding = mHeaderFont->GetAscentPadding();
        WriteCenteredLine(g, y - padding + mHeaderFont->GetAscent(), mHeader);
        y = y - padding + mHeaderFont->GetHeight() + mSpaceAfterHeader;
    }

    int linesHeight = 0;
    if (mLinesFont)
    {
        g->SetFont(mLinesFont.get());
        g->SetColor(GetColor(COLOR_LINES));
        Rect area(mBackgroundInsets.mLeft + 2 + mContentInsets.mLeft, y,
                  mWidth - mContentInsets.mRight - mBackgroundInsets.mLeft - mContentInsets.mLeft -
                      mBackgroundInsets.mRight - 4,
                  0);
        linesHeight =
            WriteWordWrapped(g, area, mLines, mLinesFont->GetLineSpacing() + mLineSpacingOffset, mTextAlign);
    }

    if (!mFooter.empty() && mButtonMode != BUTTONS_FOOTER && mHeaderFont)
    {
        g->SetFont(mHeaderFont.get());
        g->SetColor(GetColor(COLOR_FOOTER));
        WriteCenteredLine(g, y + linesHeight + 8 + mHeaderFont->GetLineSpacing(), mFooter);
    }
}

void Dialog::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    int top = y + height - mContentInsets.mBottom - mBackgroundInsets.mBottom - mButtonHeight;
    int left = x + mBackgroundInsets.mLeft + mContentInsets.mLeft;
    if (mYesButton != nullptr && mNoButton != nullptr)
    {
        int buttonWidth = (width - mBackgroundInsets.mLeft - mContentInsets.mLeft - mContentInsets.mRight -
                           mBackgroundInsets.mRight - 2 * mButtonSidePadding - mButtonHorzSpacing) /
                          2;
        mYesButton->Resize(left + mButtonSidePadding, top, buttonWidth, mButtonHeight);
        mNoButton->Resize(mYesButton->mX + buttonWidth + mButtonHorzSpacing, top, buttonWidth, mButtonHeight);
    }
    else if (mYesButton != nullptr)
    {
        mYesButton->Resize(left, top,
                           width - mContentInsets.mRight - mBackgroundInsets.mRight -
                               mBackgroundInsets.mLeft - mContentInsets.mLeft,
                           mButtonHeight);
    }
}

void Dialog::MouseDown(int x, int y, int button, int clickCount)
{
    Widget::MouseDown(x, y, button, clickCount);
    if (clickCount != 1) return;
    SetAppCursor(2);
    mDragging = true;
    mDragMouseX = x;
    mDragMouseY = y;
}

void Dialog::MouseUp(int x, int y, int button, int clickCount)
{
    Widget::MouseUp(x, y, button, clickCount);
    if (!mDragging) return;
    SetAppCursor(0);
    mDragging = false;
}

void Dialog::MouseDrag(int x, int y)
{
    Widget::MouseDrag(x, y);
    if (!mDragging) return;
    int screenWidth = mManager != nullptr ? mManager->mWidth : 0;
    int screenHeight = mManager != nullptr ? mManager->mHeight : 0;
    int newX = std::min(std::max(mX - mDragMouseX + x, -kDragMargin), screenWidth - mWidth + kDragMargin);
    int newY = std::min(std::max(mY - mDragMouseY + y, -kDragMargin), screenHeight - mHeight + kDragMargin);
    // Where the dialog was held back, the grab point slides so the dialog follows again as soon
    // as the mouse comes back.
    mDragMouseX = std::max(std::min(mX - newX + x, mWidth - 9), kDragMargin);
    mDragMouseY = std::max(std::min(mY - newY + y, mHeight - 9), kDragMargin);
    Move(newX, newY);
}

void Dialog::ButtonPress(int id)
{
    if ((id == ID_YES || id == ID_NO) && mDialogListener != nullptr)
        mDialogListener->DialogButtonPress(mId, id);
}

void Dialog::ButtonDepress(int id)
{
    if (id != ID_YES && id != ID_NO) return;
    SetResult(id);
    if (mDialogListener != nullptr) mDialogListener->DialogButtonDepress(mId, id);
}

} // namespace Kavo
