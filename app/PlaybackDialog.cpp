#include "app/PlaybackDialog.h"

#include "graphics/Font.h"
#include "widgets/WidgetAppServices.h"

namespace Kavo
{

namespace
{
constexpr int kFrame = 20;    // from the dialog's edge (its shadow included) to the controls
constexpr int kTitleGap = 6;  // between the title and the controls
constexpr int kPointSize = 8; // of every text of the dialog
} // namespace

PlaybackDialog::PlaybackDialog(const std::string& title, int clientWidth, int clientHeight)
    : Dialog(nullptr, nullptr, 0, true, title, "", "", BUTTONS_NONE)
{
    mDialogListener = nullptr;
    WidgetAppServices* app = WidgetAppServices::Current();
    mFont.reset(app != nullptr ? app->CreateSysFont("Tahoma", kPointSize, false) : nullptr);
    SetHeaderFont(mFont.get());
    SetLinesFont(mFont.get());
    mTitleHeight = mFont ? mFont->GetHeight() : 0;
    mContentInsets = Insets(kFrame, kFrame - 4, kFrame, kFrame);
    Resize(0, 0, clientWidth + 2 * kFrame, clientHeight + kFrame - 4 + mTitleHeight + kTitleGap + kFrame);
}

PlaybackDialog::~PlaybackDialog() = default;

Rect PlaybackDialog::GetClientRect()
{
    int top = mContentInsets.mTop + mTitleHeight + kTitleGap;
    return Rect(mContentInsets.mLeft, top, mWidth - mContentInsets.mLeft - mContentInsets.mRight,
                mHeight - top - mContentInsets.mBottom);
}

} // namespace Kavo
