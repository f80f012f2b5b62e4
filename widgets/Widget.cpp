#include "widgets/Widget.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/KeyCodes.h"
#include "widgets/MouseButton.h"
#include "widgets/WidgetAppServices.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <cstdlib>

namespace Kavo
{

namespace
{
const Color kDefaultColor; // opaque black, for indices past the end of a colour table
}

Widget::Widget() = default;

Widget::~Widget()
{
    if (mParent != nullptr) mParent->RemoveWidget(this);
}

void Widget::Update()
{
    ++mUpdateCount;
}

void Widget::OrderInManagerChanged() {}

void Widget::SetVisible(bool visible)
{
    if (mVisible == visible) return;
    mVisible = visible;
    if (visible)
        MarkDirty();
    else
        MarkDirtyFull();
    if (mManager != nullptr) mManager->RecheckMouse();
}

void Widget::SetColors(const int table[][4], int count)
{
    mColors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(table[i][0], table[i][1], table[i][2], table[i][3]));
    MarkDirty();
}

void Widget::SetColors(const int table[][3], int count)
{
    mColors.clear();
    for (int i = 0; i < count; ++i)
        SetColor(i, Color(table[i][0], table[i][1], table[i][2]));
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color)
{
    if (index < 0) return;
    if (size_t(index) >= mColors.size()) mColors.resize(size_t(index) + 1);
    mColors[size_t(index)] = color;
    MarkDirty();
}

const Color& Widget::GetColor(int index, const Color& fallback)
{
    if (index < 0 || size_t(index) >= mColors.size()) return fallback;
    return mColors[size_t(index)];
}

const Color& Widget::GetColor(int index)
{
    return GetColor(index, kDefaultColor);
}

void Widget::SetDisabled(bool disabled)
{
    if (mDisabled == disabled) return;
    mDisabled = disabled;
    WidgetRef<Widget> self(this);
    if (disabled && mManager != nullptr) mManager->WidgetRemoved(this);
    if (!self) return;
    MarkDirty();
    if (!disabled && mManager != nullptr)
    {
        Point abs = GetAbsPos();
        Rect area(abs.mX, abs.mY, mWidth, mHeight);
        if (area.Contains(mManager->mLastMouseX, mManager->mLastMouseY))
            mManager->MouseMove(mManager->mLastMouseX, mManager->mLastMouseY);
    }
}

void Widget::ShowFinger(bool on)
{
    if (mManager != nullptr) SetAppCursor(on ? 1 : 0);
}

void Widget::Resize(const Rect& rect)
{
    Resize(rect.mX, rect.mY, rect.mWidth, rect.mHeight);
}

void Widget::Resize(int x, int y, int width, int height)
{
    if (mX == x && mY == y && mWidth == width && mHeight == height) return;
    MarkDirtyFull();
    mX = x;
    mY = y;
    mWidth = width;
    mHeight = height;
    MarkDirty();
    if (mManager != nullptr) mManager->RecheckMouse();
}

void Widget::Move(int x, int y)
{
    Resize(x, y, mWidth, mHeight);
}

bool Widget::WantsFocus()
{
    return mWantsFocus;
}

void Widget::DrawOverlay(Graphics* g, int priority)
{
    (void)priority;
    DrawOverlay(g);
}

void Widget::DrawOverlay(Graphics* g)
{
    (void)g;
}

void Widget::GotFocus()
{
    mHasFocus = true;
}

void Widget::LostFocus()
{
    mHasFocus = false;
}

void Widget::KeyChar(char c)
{
    (void)c;
}

void Widget::KeyDown(int keyCode)
{
    if (keyCode != KEYCODE_TAB || mManager == nullptr) return;
    Widget* next = mManager->IsKeyDown(KEYCODE_SHIFT) ? mTabPrev.Get() : mTabNext.Get();
    if (next != nullptr) mManager->SetFocus(next);
}

void Widget::KeyUp(int keyCode)
{
    (void)keyCode;
}

void Widget::MouseEnter() {}

void Widget::MouseLeave() {}

void Widget::MouseMove(int x, int y)
{
    (void)x;
    (void)y;
}

void Widget::MouseDown(int x, int y, int button, int clickCount)
{
    (void)x;
    (void)y;
    (void)button;
    (void)clickCount;
}

void Widget::MouseDown(int x, int y, int clickCount)
{
    MouseDown(x, y, ButtonOfClick(clickCount).index, ClicksOf(clickCount));
}

void Widget::MouseUp(int x, int y, int button, int clickCount)
{
    (void)x;
    (void)y;
    (void)button;
    (void)clickCount;
}

void Widget::MouseUp(int x, int y, int clickCount)
{
    WidgetRef<Widget> self(this);
    MouseUp(x, y);
    if (!self) return;
    MouseUp(x, y, ButtonOfClick(clickCount).index, ClicksOf(clickCount));
}

void Widget::MouseUp(int x, int y)
{
    (void)x;
    (void)y;
}

void Widget::MouseDrag(int x, int y)
{
    (void)x;
    (void)y;
}

void Widget::MouseWheel(int delta)
{
    (void)delta;
}

bool Widget::IsPointVisible(int x, int y)
{
    (void)x;
    (void)y;
    return true;
}

Rect Widget::WriteCenteredLine(Graphics* g, int y, const std::string& s, const Color& colour1,
                               const Color& colour2, const Point& shadowOffset)
{
    Font* font = g->GetFont();
    if (font == nullptr) return Rect();
    int width = font->StringWidth(s);
    int x = (mWidth - width) / 2;
    g->SetColor(colour2);
    g->DrawString(s, x + shadowOffset.mX, y + shadowOffset.mY);
    g->SetColor(colour1);
    g->DrawString(s, x, y);
    return Rect(x + std::min(shadowOffset.mX, 0), y + std::min(shadowOffset.mY, 0) - font->GetAscent(),
                width + std::abs(shadowOffset.mX), font->GetHeight() + std::abs(shadowOffset.mY));
}

Rect Widget::WriteCenteredLine(Graphics* g, int y, const std::string& s)
{
    Font* font = g->GetFont();
    if (font == nullptr) return Rect();
    int width = font->StringWidth(s);
    int x = (mWidth - width) / 2;
    g->DrawString(s, x, y);
    return Rect(x, y - font->GetAscent(), width, font->GetHeight());
}

int Widget::WriteString(Graphics* g, const std::string& s, int x, int y, int width, int justification,
                        bool drawString, int offset, int length)
{
    bool colored = g->writeColoredString;
    g->writeColoredString = true;
    int result = g->WriteString(s, x, y, width, justification, drawString, offset, length, -1);
    g->writeColoredString = colored;
    return result;
}

int Widget::WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& s, int lineSpacing,
                             int justification)
{
    bool colored = g->writeColoredString;
    g->writeColoredString = true;
    int result = g->WriteWordWrapped(rect, s, lineSpacing, justification);
    g->writeColoredString = colored;
    return result;
}

int Widget::GetWordWrappedHeight(Graphics* g, int width, const std::string& s, int lineSpacing)
{
    return g->GetWordWrappedHeight(width, s, lineSpacing);
}

int Widget::GetNumDigits(int n)
{
    if (n < 10) return 1;
    int digits = 0;
    for (long long divisor = 1; n >= divisor; divisor *= 10)
        ++digits;
    return digits;
}

void Widget::WriteNumberFromStrip(Graphics* g, int number, int x, int y, Image* strip, int spacing)
{
    if (strip == nullptr || number < 0) return;
    int digitWidth = strip->GetWidth() / 10;
    if (digitWidth <= 0) return;

    int digits = GetNumDigits(number);
    int divisor = 1;
    for (int i = 1; i < digits; ++i)
        divisor *= 10;
    int pos = 0;
    for (; divisor > 0; divisor /= 10)
    {
        int digit = (number / divisor) % 10;
        Graphics clipped(*g);
        clipped.ClipRect(x + pos, y, digitWidth, strip->GetHeight());
        clipped.DrawImage(strip, x + pos - digit * digitWidth, y);
        pos += digitWidth + spacing;
    }
}

bool Widget::Contains(int x, int y)
{
    return x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight;
}

Rect Widget::GetInsetRect()
{
    return Rect(mX + mInsets.mLeft, mY + mInsets.mTop, mWidth - mInsets.mLeft - mInsets.mRight,
                mHeight - mInsets.mTop - mInsets.mBottom);
}

void Widget::DeferOverlay(int priority)
{
    if (mManager != nullptr) mManager->DeferOverlay(this, priority);
}

void Widget::LayoutByFlags(int flags, Widget* reference, int left, int top, int width, int height)
{
    int refX = reference->mX;
    int refY = reference->mY;
    if (reference == mParent)
    {
        refX = 0;
        refY = 0;
    }
    int refWidth = reference->mWidth;
    int refHeight = reference->mHeight;
    int refRight = refX + refWidth;
    int refBottom = refY + refHeight;

    int newX = mX;
    int newY = mY;
    int newWidth = mWidth;
    int newHeight = mHeight;

    if (flags & LAY_SetWidthFromRef) newWidth = refWidth + width;
    if (flags & LAY_SetHeightFromRef) newHeight = refHeight + height;
    if (flags & LAY_SetLeft) newX = left;
    if (flags & LAY_SetTop) newY = top;
    if (flags & LAY_SetWidth) newWidth = width;
    if (flags & LAY_SetHeight) newHeight = height;
    if (flags & LAY_Above) newY = refY - newHeight + top;
    if (flags & LAY_Below) newY = refBottom + top;
    if (flags & LAY_Right) newX = refRight + left;
    if (flags & LAY_Left) newX = refX - newWidth + left;
    if (flags & LAY_SameLeft) newX = refX + left;
    if (flags & LAY_SameRight) newX = refRight - newWidth + left;
    if (flags & LAY_SameTop) newY = refY + top;
    if (flags & LAY_SameBottom) newY = refBottom - newHeight + top;
    if (flags & LAY_GrowToRight) newWidth = refRight - newX + width;
    if (flags & LAY_GrowToLeft) newWidth = refX - newX + width;
    if (flags & LAY_GrowToTop) newHeight = refY - newY + height;
    if (flags & LAY_GrowToBottom) newHeight = refBottom - newY + height;
    if (flags & LAY_HCenter) newX = (refWidth - newWidth) / 2 + refX + left;
    if (flags & LAY_VCenter) newY = (refHeight - newHeight) / 2 + refY + top;

    Resize(newX, newY, newWidth, newHeight);
}

WidgetAppServices* Widget::GetApp()
{
    if (mManager != nullptr && mManager->mApp != nullptr) return mManager->mApp;
    return WidgetAppServices::Current();
}

void Widget::SetAppCursor(int number)
{
    if (WidgetAppServices* app = GetApp()) app->SetCursor(number);
}

Font* Widget::CreateDefaultFont(int pointSize, bool bold)
{
    WidgetAppServices* app = GetApp();
    return app != nullptr ? app->CreateSysFont("Arial Unicode MS", pointSize, bold) : nullptr;
}

} // namespace Kavo
