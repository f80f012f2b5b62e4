#include "crash/CrashButton.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"

namespace Kavo
{

namespace
{

const Color kFace(225, 225, 225);
const Color kHeldFace(204, 228, 247);
const Color kRim(173, 173, 173);
const Color kFocusRim(0, 120, 215);
const Color kLabel(0, 0, 0);
const Color kDisabledLabel(160, 160, 160);

} // namespace

void CrashButton::Draw(Graphics& g, Font& font) const
{
    g.SetColor(held ? kHeldFace : kFace);
    g.FillRect(rect);
    g.SetColor(focused && mEnabled ? kFocusRim : kRim);
    g.DrawRect(rect.mX, rect.mY, rect.mWidth - 1, rect.mHeight - 1);
    if (focused && mEnabled) g.DrawRect(rect.mX + 1, rect.mY + 1, rect.mWidth - 3, rect.mHeight - 3);
    g.PushState();
    g.ClipRect(rect.mX + 2, rect.mY + 2, rect.mWidth - 4, rect.mHeight - 4);
    g.SetFont(&font);
    g.SetColor(mEnabled ? kLabel : kDisabledLabel);
    int x = rect.mX + (rect.mWidth - font.StringWidth(mLabel)) / 2;
    int y = rect.mY + (rect.mHeight - font.GetHeight()) / 2 + font.GetAscent();
    g.DrawString(mLabel, x, y);
    g.PopState();
}

} // namespace Kavo
