#include "app/JumpToTimeDialog.h"

#include "graphics/Font.h"
#include "widgets/ButtonWidget.h"
#include "widgets/EditWidget.h"

namespace Kavo
{

namespace
{
// 200 x 50 dialog units of the desktop's dialogs at 8 points, less the frame; the controls at
// their places in those units.
constexpr int kClientWidth = 285;
constexpr int kClientHeight = 57;
const Rect kEditRect(0, 0, 285, 24);
const Rect kOkRect(37, 33, 90, 24);
const Rect kCancelRect(142, 33, 90, 24);

ButtonWidget* MakeButton(int id, const std::string& label, ButtonListener* listener, Font* font)
{
    ButtonWidget* button = new ButtonWidget(id, listener);
    button->mLabel = label;
    if (font) button->SetFont(font);
    return button;
}
} // namespace

JumpToTimeDialog::JumpToTimeDialog(const std::string& text)
    : PlaybackDialog("Jump To Time", kClientWidth, kClientHeight)
{
    mEdit = new EditWidget(0, this);
    mEdit->mMaxChars = kMaxChars;
    if (GetFont()) mEdit->SetFont(GetFont());
    mEdit->SetText(text);
    mOkButton = MakeButton(ID_OK_BUTTON, "Ok", this, GetFont());
    mCancelButton = MakeButton(ID_CANCEL_BUTTON, "Cancel", this, GetFont());
    AddWidget(mEdit);
    AddWidget(mOkButton);
    AddWidget(mCancelButton);
    Resize(mX, mY, mWidth, mHeight);
}

JumpToTimeDialog::~JumpToTimeDialog()
{
    for (Widget* control :
         {static_cast<Widget*>(mCancelButton), static_cast<Widget*>(mOkButton), static_cast<Widget*>(mEdit)})
    {
        RemoveWidget(control);
        delete control;
    }
}

const std::string& JumpToTimeDialog::GetText() const
{
    return mEdit->mText;
}

Widget* JumpToTimeDialog::GetInitialFocus()
{
    return mEdit;
}

void JumpToTimeDialog::Resize(int x, int y, int width, int height)
{
    PlaybackDialog::Resize(x, y, width, height);
    if (!mEdit) return;
    Rect client = GetClientRect();
    auto place = [&](Widget* control, const Rect& r)
    { control->Resize(client.mX + r.mX, client.mY + r.mY, r.mWidth, r.mHeight); };
    place(mEdit, kEditRect);
    place(mOkButton, kOkRect);
    place(mCancelButton, kCancelRect);
}

void JumpToTimeDialog::ButtonDepress(int id)
{
    if (id == ID_OK_BUTTON || id == ID_CANCEL_BUTTON) End(id);
}

void JumpToTimeDialog::EditWidgetText(int id, const std::string& text)
{
    (void)id;
    (void)text;
    End(RESULT_OK);
}

} // namespace Kavo
