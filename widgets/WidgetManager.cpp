#include "widgets/WidgetManager.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/KeyCodes.h"
#include "widgets/MouseButton.h"
#include "widgets/Widget.h"
#include "widgets/WidgetAppServices.h"
#include "widgets/WidgetRef.h"

#include <algorithm>
#include <cstdint>

namespace Kavo
{

WidgetManager::WidgetManager(WidgetAppServices* app) : mApp(app)
{
    mManager = this; // top-level widgets find the manager through their parent's link
}

WidgetManager::~WidgetManager()
{
    RemoveAllWidgets(false, false);
    mModalStack.clear();
    mDeferredOverlays.clear();
}

void WidgetManager::Resize(const Rect& mouseRect, const Rect& drawRect)
{
    mMouseRect = mouseRect;
    mDrawRect = drawRect;
    mWidth = drawRect.mWidth + 2 * drawRect.mX;
    mHeight = drawRect.mHeight + 2 * drawRect.mY;
}

void WidgetManager::RemapMouse(int& x, int& y)
{
    // Before the first Resize there is no mapping; the point is left as it is rather than divided
    // by a zero-sized rectangle.
    if (mMouseRect.mWidth > 0)
        x = int(int64_t(x - mMouseRect.mX) * mDrawRect.mWidth / mMouseRect.mWidth + mDrawRect.mX);
    if (mMouseRect.mHeight > 0)
        y = int(int64_t(y - mMouseRect.mY) * mDrawRect.mHeight / mMouseRect.mHeight + mDrawRect.mY);
}

int WidgetManager::GetWidgetFlags() const
{
    return mAppHasFocus ? mDefaultFlags : mNoFocusFlagMods.Apply(mDefaultFlags);
}

ModalFlags WidgetManager::BuildModalFlags() const
{
    ModalFlags flags;
    flags.mAboveFlags = GetWidgetFlags();
    flags.mBelowFlags = mBelowModalFlagMods.Apply(flags.mAboveFlags);
    flags.mReachedModal = mBaseModalWidget == nullptr;
    return flags;
}

bool WidgetManager::UpdateFrame()
{
    ModalFlags flags = BuildModalFlags();
    ++mUpdateCount;
    mLastManagerTick = mUpdateCount;
    UpdateAll(flags);
    return mDirty;
}

bool WidgetManager::UpdateFrameF(float fraction)
{
    ModalFlags flags = BuildModalFlags();
    UpdateFAll(flags, fraction);
    return mDirty;
}

void WidgetManager::PrepareWidgetGraphics(Graphics& g, Widget* widget) const
{
    Point pos = widget->GetAbsPos();
    g.Translate(pos.mX - mDrawRect.mX, pos.mY - mDrawRect.mY);
    bool is3D = mApp != nullptr && mApp->Is3DAccelerated();
    g.SetFastStretch(!is3D);
    g.SetLinearBlend(is3D);
}

Rect WidgetManager::ScreenRectOf(Widget* widget) const
{
    return Rect(widget->mX - mDrawRect.mX, widget->mY - mDrawRect.mY, widget->mWidth, widget->mHeight);
}

void WidgetManager::AddDirtyRect(const Rect& rect)
{
    Rect area = rect;
    if (mWidth > 0 && mHeight > 0) area = area.Intersection(Rect(0, 0, mWidth, mHeight));
    if (area.mWidth <= 0 || area.mHeight <= 0) return;
    mDirtyRegion.Add(Rect(area.mX - mDrawRect.mX, area.mY - mDrawRect.mY, area.mWidth, area.mHeight));
    mDirty = true;
}

void WidgetManager::NoteDrawn(WidgetContainer* node)
{
    if (mDrawGraphics == nullptr) return; // a draw outside DrawScreen
    for (const auto& drawn : mDrawnNodes)
        if (drawn.first == node) return;
    mDrawnNodes.emplace_back(node, node->GetLifeToken());
}

bool WidgetManager::DrawArea(Graphics& g, const Rect& area)
{
    ModalFlags flags = BuildModalFlags();
    std::vector<Widget*> topLevel(mChildren.begin(), mChildren.end()); // drawing must not change the tree
    const size_t modal =
        size_t(std::find(topLevel.begin(), topLevel.end(), mBaseModalWidget) - topLevel.begin());

    // The topmost widget that hides everything below it in the area starts the drawing.
    size_t start = 0;
    for (size_t i = topLevel.size(); i-- > 0;)
    {
        Widget* widget = topLevel[i];
        int inForce = widget->mFlagMods.Apply(flags.mReachedModal || i >= modal ? flags.mAboveFlags
                                                                                : flags.mBelowFlags);
        if (widget->mVisible && (inForce & WIDGETFLAGS_DRAW) &&
            DirtyRegion::Holds(ScreenRectOf(widget), area) && widget->IsOpaque())
        {
            start = i;
            break;
        }
    }

    Graphics areaGraphics(g);
    areaGraphics.ClipRect(area.mX, area.mY, area.mWidth, area.mHeight);
    mDrawGraphics = &areaGraphics;
    bool drawn = false;
    for (size_t i = 0; i < topLevel.size(); ++i)
    {
        Widget* widget = topLevel[i];
        if (!HasWidget(widget)) continue;
        if (widget == mBaseModalWidget) flags.mReachedModal = true;
        if (i < start || !widget->mVisible) continue;
        Rect met = ScreenRectOf(widget).Intersection(area);
        if (met.mWidth <= 0 || met.mHeight <= 0) continue;
        Graphics widgetGraphics(areaGraphics);
        PrepareWidgetGraphics(widgetGraphics, widget);
        widget->DrawAll(flags, &widgetGraphics);
        drawn = true;
    }
    FlushDeferredOverlays(INT_MAX);
    mDeferredOverlays.clear();
    mMinOverlayPriority = INT_MAX;
    mDrawGraphics = nullptr;
    return drawn;
}

bool WidgetManager::DrawScreen()
{
    mDrawnRects.clear();
    mMinOverlayPriority = INT_MAX;
    mDeferredOverlays.clear();
    // What is marked from here on (by a draw, or by what a draw finishes) waits for the next frame.
    std::vector<Rect> region = mDirtyRegion.Take();
    if (mScreenImage != nullptr)
    {
        const Rect bounds(0, 0, mScreenImage->GetWidth(), mScreenImage->GetHeight());
        for (Rect& area : region)
            area = area.Intersection(bounds);
        std::erase_if(region, [](const Rect& area) { return area.mWidth <= 0 || area.mHeight <= 0; });
    }
    // Rectangles that fill much of their bounding box are drawn as that box, in one pass.
    if (region.size() > 1)
    {
        Rect box = region.front();
        int64_t area = 0;
        for (const Rect& part : region)
        {
            box = DirtyRegion::BoundingBox(box, part);
            area += DirtyRegion::Area(part);
        }
        if (2 * area >= DirtyRegion::Area(box)) region.assign(1, box);
    }
    bool drawn = false;
    if (!region.empty())
    {
        Graphics g(mScreenImage);
        bool locked = mApp != nullptr && mScreenImage != nullptr && mApp->BeginScreenDraw(mScreenImage);
        for (const Rect& area : region)
            if (DrawArea(g, area))
            {
                drawn = true;
                mDrawnRects.push_back(area);
            }
        if (locked) mApp->EndScreenDraw(mScreenImage);
    }
    // Nothing else needs drawing for the marks made before this frame.
    for (Widget* widget : mChildren)
        if (widget->mVisible) widget->mDirty = false;

    std::vector<std::pair<WidgetContainer*, std::weak_ptr<const void>>> nodes;
    nodes.swap(mDrawnNodes);
    for (const auto& [node, alive] : nodes)
        if (!alive.expired()) node->FrameDrawn();
    mDirty = !mDirtyRegion.Empty();
    return drawn;
}

void WidgetManager::DeferOverlay(Widget* widget, int priority)
{
    mDeferredOverlays.push_back({widget, priority});
    mMinOverlayPriority = std::min(mMinOverlayPriority, priority);
}

void WidgetManager::FlushDeferredOverlays(int bound)
{
    if (mDrawGraphics == nullptr) return;
    for (;;)
    {
        int current = mMinOverlayPriority;
        int nextMin = INT_MAX;
        // By index: an overlay may defer another one, which grows the array.
        for (size_t i = 0; i < mDeferredOverlays.size(); ++i)
        {
            Widget* widget = mDeferredOverlays[i].mWidget;
            int priority = mDeferredOverlays[i].mPriority;
            if (widget == nullptr) continue;
            if (priority != current)
            {
                nextMin = std::min(nextMin, priority);
                continue;
            }
            mDeferredOverlays[i].mWidget = nullptr;
            Graphics g(*mDrawGraphics);
            PrepareWidgetGraphics(g, widget);
            widget->DrawOverlay(&g, priority);
        }
        mMinOverlayPriority = nextMin;
        if (nextMin == INT_MAX)
        {
            mDeferredOverlays.clear();
            return;
        }
        if (nextMin >= bound) return;
    }
}

// --- Hit testing ---

Widget* WidgetManager::FindWidgetAt(WidgetContainer* container, int x, int y, int flags, bool& claimed,
                                    int& widgetX, int& widgetY)
{
    flags = container->mFlagMods.Apply(flags);
    bool belowModal = false;
    for (auto it = container->mChildren.rbegin(); it != container->mChildren.rend(); ++it)
    {
        Widget* child = *it;
        int childFlags = child->mFlagMods.Apply(flags);
        if (belowModal) childFlags = mBelowModalFlagMods.Apply(childFlags);

        if ((childFlags & WIDGETFLAGS_ALLOW_MOUSE) && child->mVisible)
        {
            Widget* found =
                FindWidgetAt(child, x - child->mX, y - child->mY, childFlags, claimed, widgetX, widgetY);
            if (found != nullptr) return found;
            if (claimed) return nullptr;

            if (child->mMouseVisible && child->GetInsetRect().Contains(x, y))
            {
                claimed = true;
                if (!child->IsPointVisible(x - child->mX, y - child->mY)) return nullptr;
                widgetX = x - child->mX;
                widgetY = y - child->mY;
                return child;
            }
        }
        if (child == mBaseModalWidget) belowModal = true;
    }
    return nullptr;
}

Widget* WidgetManager::GetWidgetAt(int x, int y, int* widgetX, int* widgetY)
{
    bool claimed = false;
    int relX = 0, relY = 0;
    Widget* widget = FindWidgetAt(this, x, y, GetWidgetFlags(), claimed, relX, relY);
    if (widget != nullptr && widget->mDisabled) widget = nullptr;
    if (widgetX != nullptr) *widgetX = widget ? relX : 0;
    if (widgetY != nullptr) *widgetY = widget ? relY : 0;
    return widget;
}

// --- Mouse ---

void WidgetManager::EnterWidget(Widget* widget)
{
    WidgetRef<Widget> ref(widget);
    widget->mIsOver = true;
    widget->MouseEnter();
    if (ref && mOverWidget == widget && widget->mHandCursor) widget->ShowFinger(true);
}

void WidgetManager::LeaveWidget(Widget* widget)
{
    WidgetRef<Widget> ref(widget);
    widget->mIsOver = false;
    widget->MouseLeave();
    if (ref && widget->mHandCursor) widget->ShowFinger(false);
}

void WidgetManager::MouseMove(int x, int y)
{
    int oldX = mLastMouseX;
    int oldY = mLastMouseY;
    mLastMouseX = x;
    mLastMouseY = y;
    int widgetX, widgetY;
    Widget* widget = GetWidgetAt(x, y, &widgetX, &widgetY);

    if (widget == mOverWidget)
    {
        if (widget != nullptr && (x != oldX || y != oldY)) widget->MouseMove(widgetX, widgetY);
        return;
    }

    WidgetRef<Widget> ref(widget);
    if (Widget* old = mOverWidget)
    {
        mOverWidget = nullptr;
        LeaveWidget(old);
        // The leave handler may have changed the tree, or handled the move itself.
        if (mOverWidget != nullptr || (widget != nullptr && (!ref || widget->mManager != this))) return;
    }
    mOverWidget = widget;
    if (widget == nullptr) return;
    EnterWidget(widget);
    if (ref && mOverWidget == widget) widget->MouseMove(widgetX, widgetY);
}

bool WidgetManager::MousePosition(int x, int y)
{
    mLastInputTick = mUpdateCount;
    if (mHeldButtons != 0)
    {
        MouseDrag(x, y);
        return true;
    }
    mMouseInWindow = true;
    MouseMove(x, y);
    return true;
}

void WidgetManager::MouseDrag(int x, int y)
{
    mLastInputTick = mUpdateCount;
    mMouseInWindow = true;
    mLastMouseX = x;
    mLastMouseY = y;

    if (mOverWidget != mDownWidget) ForgetOverWidget();
    Widget* down = mDownWidget;
    if (down == nullptr) return;

    WidgetRef<Widget> ref(down);
    Point pos = down->GetAbsPos();
    down->MouseDrag(x - pos.mX, y - pos.mY);
    if (!ref || mDownWidget != down) return;
    HoverWhileHeld(x, y);
}

void WidgetManager::HoverWhileHeld(int x, int y)
{
    mLastMouseX = x;
    mLastMouseY = y;
    Widget* down = mDownWidget;
    if (GetWidgetAt(x, y) == down)
    {
        if (mOverWidget != down)
        {
            mOverWidget = down;
            EnterWidget(down);
        }
    }
    else
    {
        ForgetOverWidget();
    }
}

bool WidgetManager::MouseDown(int x, int y, int clickCount)
{
    mLastInputTick = mUpdateCount;
    const MouseButton button = ButtonOfClick(clickCount);
    mPressedButtons |= button.bit;

    MouseMove(x, y);
    if (mPopupWidget != nullptr)
    {
        Point pos = mPopupWidget->GetAbsPos();
        if (!Rect(pos.mX, pos.mY, mPopupWidget->mWidth, mPopupWidget->mHeight).Contains(x, y)) RemovePopup();
    }

    int widgetX, widgetY;
    Widget* target = GetWidgetAt(x, y, &widgetX, &widgetY);
    if (mDownWidget != nullptr)
    {
        // A further button while one is held goes to the held widget, at the point relative to it.
        target = mDownWidget;
        Point pos = target->GetAbsPos();
        widgetX = x - pos.mX;
        widgetY = y - pos.mY;
    }

    mHeldButtons |= button.bit;
    mLastDownButton = button.code;
    mDownWidget = target;
    if (target == nullptr) return true;

    WidgetRef<Widget> ref(target);
    if (target->WantsFocus()) SetFocus(target);
    if (!ref || mDownWidget != target) return true;
    target->mIsDown = true;
    target->MouseDown(widgetX, widgetY, clickCount);
    return true;
}

bool WidgetManager::MouseUp(int x, int y, int clickCount)
{
    mLastInputTick = mUpdateCount;
    const int bit = ButtonOfClick(clickCount).bit;
    mPressedButtons &= ~bit;

    if (mDownWidget != nullptr && (mHeldButtons & bit))
    {
        Widget* widget = mDownWidget;
        mHeldButtons &= ~bit;
        if (mHeldButtons == 0) mDownWidget = nullptr;
        widget->mIsDown = false;
        Point pos = widget->GetAbsPos();
        widget->MouseUp(x - pos.mX, y - pos.mY, clickCount);
    }
    else
    {
        mHeldButtons &= ~bit;
    }
    MouseMove(x, y);
    return true;
}

bool WidgetManager::MouseExit(int x, int y)
{
    (void)x;
    (void)y;
    mLastInputTick = mUpdateCount;
    mMouseInWindow = false;
    ForgetOverWidget();
    return true;
}

bool WidgetManager::MouseWheel(int delta)
{
    mLastInputTick = mUpdateCount;
    if (mFocusWidget != nullptr) mFocusWidget->MouseWheel(delta);
    return true;
}

void WidgetManager::ReleaseButtons(Widget* widget, int buttons)
{
    WidgetRef<Widget> ref(widget);
    for (const MouseButton& button : kMouseButtons)
    {
        if (!(buttons & button.bit)) continue;
        if (!ref) return;
        widget->mIsDown = false;
        Point pos = widget->GetAbsPos();
        widget->MouseUp(mLastMouseX - pos.mX, mLastMouseY - pos.mY, button.clickCount);
    }
}

void WidgetManager::ClearDownWidget()
{
    if (mHeldButtons != 0) ForgetDownWidget();
}

void WidgetManager::ForgetOverWidget()
{
    Widget* old = mOverWidget;
    if (old == nullptr) return;
    mOverWidget = nullptr;
    LeaveWidget(old);
}

void WidgetManager::ForgetDownWidget()
{
    Widget* down = mDownWidget;
    if (down == nullptr) return;
    int held = mHeldButtons;
    mDownWidget = nullptr;
    mHeldButtons = 0;
    ReleaseButtons(down, held);
}

void WidgetManager::RecheckMouse()
{
    if (mDownWidget == nullptr)
    {
        if (mMouseInWindow) MouseMove(mLastMouseX, mLastMouseY);
        return;
    }
    if (mOverWidget != nullptr && GetWidgetAt(mLastMouseX, mLastMouseY) != mDownWidget) ForgetOverWidget();
}

// --- Keys and focus ---

bool WidgetManager::IsKeyDown(int keyCode) const
{
    return keyCode >= 0 && keyCode < 255 && mKeyDown[keyCode] != 0;
}

bool WidgetManager::KeyChar(char c)
{
    mLastInputTick = mUpdateCount;
    if (c == KEYCODE_TAB && IsKeyDown(KEYCODE_CONTROL))
    {
        if (mCtrlTabWidget != nullptr) mCtrlTabWidget->KeyChar(c);
        return true;
    }
    if (mFocusWidget != nullptr) mFocusWidget->KeyChar(c);
    return true;
}

bool WidgetManager::KeyDown(int keyCode)
{
    mLastInputTick = mUpdateCount;
    if (keyCode >= 0 && keyCode < 255) mKeyDown[keyCode] = 1;
    if (mFocusWidget != nullptr) mFocusWidget->KeyDown(keyCode);
    return true;
}

bool WidgetManager::KeyUp(int keyCode)
{
    mLastInputTick = mUpdateCount;
    if (keyCode >= 0 && keyCode < 255) mKeyDown[keyCode] = 0;
    if (keyCode == KEYCODE_TAB && IsKeyDown(KEYCODE_CONTROL)) return true;
    if (mFocusWidget != nullptr) mFocusWidget->KeyUp(keyCode);
    return true;
}

void WidgetManager::SetFocus(Widget* widget)
{
    if (widget == mFocusWidget) return;
    // Below a modal layer that keeps the focus to itself, the widget takes it once the layer
    // closes (a screen shown while a dialog is open), and the dialog's focus stays.
    if (widget != nullptr && widget->mManager == this && mBaseModalWidget != nullptr &&
        !mModalStack.empty() && (mBelowModalFlagMods.mRemoveFlags & WIDGETFLAGS_ALLOW_FOCUS) &&
        IsBelow(widget, mBaseModalWidget))
    {
        mModalStack.front().mPrevFocus = widget;
        return;
    }
    WidgetRef<Widget> ref(widget);
    if (Widget* old = mFocusWidget)
    {
        mFocusWidget = nullptr;
        old->LostFocus();
    }
    if (widget == nullptr || !ref || widget->mManager != this || mFocusWidget != nullptr) return;
    mFocusWidget = widget;
    if (mAppHasFocus) widget->GotFocus();
}

void WidgetManager::GotAppFocus()
{
    if (mAppHasFocus) return;
    mAppHasFocus = true;
    if (mFocusWidget != nullptr) mFocusWidget->GotFocus();
}

void WidgetManager::LostAppFocus()
{
    if (!mAppHasFocus) return;
    mPressedButtons = 0;
    for (int key = 0; key < 255; ++key)
        if (mKeyDown[key]) KeyUp(key);
    mAppHasFocus = false;
    if (mFocusWidget != nullptr) mFocusWidget->LostFocus();
}

// --- Widgets leaving ---

void WidgetManager::WidgetRemoved(Widget* widget)
{
    if (widget == mOverWidget) ForgetOverWidget();
    if (widget == mDownWidget) ForgetDownWidget();
    if (widget == mFocusWidget)
    {
        mFocusWidget = nullptr;
        widget->LostFocus();
    }
    if (widget == mBaseModalWidget) mBaseModalWidget = nullptr;
}

void WidgetManager::ForgetWidget(Widget* widget)
{
    for (ModalRecord& record : mModalStack)
    {
        if (record.mPrevBaseModal == widget) record.mPrevBaseModal = nullptr;
        if (record.mPrevFocus == widget) record.mPrevFocus = nullptr;
    }
    // The manager's other references to a widget that leaves it.
    if (widget == mCtrlTabWidget) mCtrlTabWidget = nullptr;
    if (widget == mPopupWidget) mPopupWidget = nullptr;
    for (DeferredOverlay& overlay : mDeferredOverlays)
        if (overlay.mWidget == widget) overlay.mWidget = nullptr;
}

// --- Modal layers ---

void WidgetManager::SetBaseModal(Widget* widget, const FlagsMod& belowFlagsMod)
{
    mBaseModalWidget = widget;
    mBelowModalFlagMods = belowFlagsMod;
    if (widget == nullptr) return;

    if (belowFlagsMod.mRemoveFlags & WIDGETFLAGS_ALLOW_MOUSE)
    {
        if (mOverWidget != nullptr && IsBelow(mOverWidget, widget)) ForgetOverWidget();
        if (mDownWidget != nullptr && IsBelow(mDownWidget, widget)) ForgetDownWidget();
    }
    if ((belowFlagsMod.mRemoveFlags & WIDGETFLAGS_ALLOW_FOCUS) && mFocusWidget != nullptr &&
        IsBelow(mFocusWidget, widget))
    {
        Widget* focus = mFocusWidget;
        mFocusWidget = nullptr;
        focus->LostFocus();
    }
}

Widget* WidgetManager::LowestModalWidget()
{
    // The base modal widget and the earlier ones its layers lie over (each record keeps the base
    // before it, cleared when that one leaves).
    auto modal = [this](Widget* child)
    {
        if (child == mBaseModalWidget) return true;
        for (const ModalRecord& record : mModalStack)
            if (record.mPrevBaseModal == child) return true;
        return false;
    };
    if (mBaseModalWidget == nullptr) return nullptr;
    for (Widget* child : mChildren)
        if (modal(child)) return child;
    return nullptr;
}

void WidgetManager::AddWidgetBelowModal(Widget* widget)
{
    AddWidgetBehind(widget, LowestModalWidget());
}

void WidgetManager::AddBaseModal(Widget* widget)
{
    AddBaseModalWithFlags(widget, mDefaultBelowModalFlagMods);
}

void WidgetManager::AddBaseModalWithFlags(Widget* widget, const FlagsMod& belowFlagsMod)
{
    mModalStack.push_back({widget, mBaseModalWidget, mFocusWidget, mBelowModalFlagMods});
    SetBaseModal(widget, belowFlagsMod);
}

void WidgetManager::RemoveBaseModal(Widget* widget)
{
    if (mModalStack.empty() || mModalStack.back().mWidget != widget) return;
    while (!mModalStack.empty())
    {
        ModalRecord record = mModalStack.back();
        mModalStack.pop_back();
        bool last = record.mPrevBaseModal != nullptr || mModalStack.empty();
        SetBaseModal(record.mPrevBaseModal, record.mPrevBelowModalFlagsMod);
        if (mFocusWidget == nullptr && record.mPrevFocus != nullptr && record.mPrevFocus->mManager == this)
        {
            mFocusWidget = record.mPrevFocus;
            mFocusWidget->GotFocus();
        }
        if (last) break;
    }
}

void WidgetManager::RemovePopup()
{
    Widget* popup = mPopupWidget;
    if (popup == nullptr) return;
    mPopupWidget = nullptr;
    if (popup->mParent != nullptr) popup->mParent->RemoveWidget(popup);
}

} // namespace Kavo
