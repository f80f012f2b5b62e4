#include "widgets/Checkbox.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/CheckboxListener.h"

namespace Kavo
{

Checkbox::Checkbox(Image* uncheckedImage, Image* checkedImage, int id, CheckboxListener* listener)
    : mListener(listener), mId(id), mUncheckedImage(uncheckedImage), mCheckedImage(checkedImage)
{
    mHandCursor = true;
}

void Checkbox::SetChecked(bool checked, bool tellListener)
{
    mChecked = checked;
    WidgetRef<Checkbox> self(this);
    if (tellListener && mListener != nullptr) mListener->CheckboxChecked(mId, checked);
    if (self) MarkDirty();
}

bool Checkbox::IsChecked()
{
    return mChecked;
}

void Checkbox::Draw(Graphics* g)
{
    if (mCheckedRect.mWidth == 0 && mCheckedImage != nullptr && mUncheckedImage != nullptr)
    {
        g->DrawImage(mChecked ? mCheckedImage : mUncheckedImage, 0, 0);
    }
    else if (mCheckedRect.mWidth != 0 && mUncheckedImage != nullptr)
    {
        g->DrawImageSrc(mUncheckedImage, 0, 0, mChecked ? mCheckedRect : mUncheckedRect);
    }
    else if (mCheckedImage == nullptr && mUncheckedImage == nullptr)
    {
        g->SetColor(mOutlineColor);
        g->FillRect(0, 0, mWidth, mHeight);
        g->SetColor(mBackColor);
        g->FillRect(1, 1, mWidth - 2, mHeight - 2);
        if (mChecked)
        {
            g->SetColor(mCheckColor);
            g->DrawLine(1, 1, mWidth - 2, mHeight - 2);
            g->DrawLine(mWidth - 1, 1, 1, mHeight - 2);
        }
    }
}

bool Checkbox::IsOpaque()
{
    return mCheckedImage == nullptr && mUncheckedImage == nullptr && mOutlineColor.mAlpha == 255;
}

void Checkbox::MouseDown(int x, int y, int button, int clickCount)
{
    Widget::MouseDown(x, y, button, clickCount);
    SetChecked(!mChecked, true);
}

} // namespace Kavo
