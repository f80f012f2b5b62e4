#include "puzzle/YesNoDialog.h"

#include "app/KavoAppBase.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

YesNoDialog::YesNoDialog(const std::string& header, const std::string& text, DialogListener* listener,
                         bool oneButton, int dialogId)
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, dialogId, true, header, text, std::string(), BUTTONS_NONE)
{
    mContentInsets = Insets(45, 22, 45, 22);
    mSpaceAfterHeader = 30;
    SetHeaderFont(FONT_LABEL);
    SetLinesFont(FONT_TEXT);
    SetButtonFont(FONT_LABEL);
    const Color yellow(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]);
    SetColor(COLOR_HEADER, yellow);
    SetColor(COLOR_LINES, Color(255, 255, 0));
    SetColor(COLOR_BUTTON_TEXT, yellow);
    SetColor(COLOR_BUTTON_TEXT_HI, yellow);
    mButtonHeight += 6;
    if (listener != nullptr) mDialogListener = listener;

    mFirstButton = new FancyButton(ID_YES, this, FancyButton::kDialogStyle);
    mFirstButton->mLabel = StringTable::GetString(oneButton ? 203 : 205);
    if (!oneButton)
    {
        mSecondButton = new FancyButton(ID_NO, this, FancyButton::kDialogStyle);
        mSecondButton->mLabel = StringTable::GetString(206);
    }
    Resize(225, 150, 350, 234);
}

YesNoDialog::~YesNoDialog()
{
    DestroyButtons();
}

void YesNoDialog::SetYesButtonLabel(const std::string& label)
{
    if (mFirstButton != nullptr) mFirstButton->mLabel = label;
}

void YesNoDialog::SetNoButtonLabel(const std::string& label)
{
    if (mSecondButton != nullptr) mSecondButton->mLabel = label;
}

void YesNoDialog::DestroyButtons()
{
    // A button still in the tree leaves it as it is deleted.
    delete mFirstButton;
    delete mSecondButton;
    mFirstButton = nullptr;
    mSecondButton = nullptr;
}

void YesNoDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    if (mOpeningAnimation)
    {
        if (mFirstButton != nullptr) mFirstButton->SetVisible(false);
        if (mSecondButton != nullptr) mSecondButton->SetVisible(false);
        if (gKavoApp != nullptr) gKavoApp->PlaySample(SOUND_ZOOMOUT);
    }
    if (mFirstButton != nullptr) manager->AddWidget(mFirstButton);
    if (mSecondButton != nullptr) manager->AddWidget(mSecondButton);
}

void YesNoDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    if (mFirstButton != nullptr) manager->RemoveWidget(mFirstButton);
    if (mSecondButton != nullptr) manager->RemoveWidget(mSecondButton);
}

void YesNoDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    int contentWidth = width - mContentInsets.mLeft - mContentInsets.mRight;
    int top = y + height - mContentInsets.mBottom - kButtonHeight;
    int left = x + mContentInsets.mLeft;
    if (mSecondButton == nullptr)
    {
        if (mFirstButton != nullptr) mFirstButton->Resize(left, top, contentWidth, kButtonHeight);
        return;
    }
    int fifth = contentWidth / 5;
    if (mFirstButton != nullptr) mFirstButton->Resize(left, top, 2 * fifth, kButtonHeight);
    mSecondButton->Resize(left + 3 * fifth, top, 2 * fifth, kButtonHeight);
}

void YesNoDialog::Update()
{
    ++mOpeningCounter;
    if (mOpeningAnimation && mOpeningCounter == kOpeningUpdates)
    {
        if (mFirstButton != nullptr) mFirstButton->SetVisible(true);
        if (mSecondButton != nullptr) mSecondButton->SetVisible(true);
    }
    // The box grows while it opens; then it stands still.
    if (mOpeningAnimation && mOpeningCounter <= kOpeningUpdates) MarkDirty();
}

void YesNoDialog::Draw(Graphics* g)
{
    DrawDialog(g);
}

void YesNoDialog::DrawBox(Graphics* g, const Rect& box)
{
    // The box is opaque inside its rounded rim: the screen shows around the rim's corners. Only
    // without it is the dialog filled black.
    if (Image* image = IMAGE_DIALOG_BOX)
    {
        g->DrawImageStretchedSrc(image, box, Rect(0, 0, image->GetWidth(), image->GetHeight()));
        return;
    }
    g->SetColor(Color::Black);
    g->FillRect(box);
}

bool YesNoDialog::DrawDialog(Graphics* g)
{
    if (mOpeningAnimation && mOpeningCounter < kOpeningUpdates)
    {
        double t = double(mOpeningCounter) / kOpeningUpdates;
        int a = int(Lerp(mWidth / 2, 0.0, t));
        int b = int(Lerp(mHeight / 2, 0.0, t));
        DrawBox(g, Rect(a, b, mWidth - 2 * a, mHeight - 2 * b));
        return false;
    }
    DrawBox(g, Rect(0, 0, mWidth, mHeight));
    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        g->DrawString(mHeader, (mWidth - g->StringWidth(mHeader)) / 2, FONT_LABEL->GetHeight() + 20);
    }
    if (FONT_TEXT != nullptr)
    {
        g->SetFont(FONT_TEXT);
        g->SetColor(Color::White);
        WriteWordWrapped(g, TextArea(), mLines, FONT_TEXT->GetLineSpacing() + mLineSpacingOffset, mTextAlign);
    }
    return true;
}

Rect YesNoDialog::TextArea() const
{
    return Rect(mBackgroundInsets.mLeft + mContentInsets.mLeft + 2, 80,
                mWidth - mContentInsets.mRight - mBackgroundInsets.mRight - mBackgroundInsets.mLeft -
                    mContentInsets.mLeft - 4,
                0);
}

int YesNoDialog::TextBottom()
{
    const Rect area = TextArea();
    if (FONT_TEXT == nullptr || mLines.empty()) return area.mY;
    Graphics measure;
    measure.SetFont(FONT_TEXT);
    return area.mY + GetWordWrappedHeight(&measure, area.mWidth, mLines,
                                          FONT_TEXT->GetLineSpacing() + mLineSpacingOffset);
}

void YesNoDialog::ButtonDepress(int id)
{
    if (id == ID_YES || id == ID_NO)
    {
        if (mFirstButton != nullptr) mFirstButton->SetDisabled(true);
        if (mSecondButton != nullptr) mSecondButton->SetDisabled(true);
    }
    Dialog::ButtonDepress(id);
}

} // namespace Kavo
