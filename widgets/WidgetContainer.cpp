#include "widgets/WidgetContainer.h"

#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"
#include "widgets/WidgetRef.h"

#include <algorithm>
#include <vector>

namespace Kavo
{

WidgetContainer::WidgetContainer()
    : mUpdateIterator(mChildren.end()), mLifeToken(std::make_shared<const int>(0))
{
}

WidgetContainer::~WidgetContainer()
{
    // The children are not deleted, but none of them may keep pointing here.
    while (!mChildren.empty())
        WidgetContainer::RemoveWidget(mChildren.front());
}

Rect WidgetContainer::GetRect()
{
    return Rect(mX, mY, mWidth, mHeight);
}

bool WidgetContainer::IsOpaque()
{
    return false;
}

bool WidgetContainer::Intersects(WidgetContainer* other)
{
    return other->mX + other->mWidth > mX && other->mY + other->mHeight > mY && other->mX < mX + mWidth &&
           other->mY < mY + mHeight;
}

// Moves forward past children of lower z-order, then back past children of higher z-order, and
// inserts there: the list stays sorted and, among equal z-orders, the requested place holds.
void WidgetContainer::InsertByZOrder(Widget* widget, WidgetList::iterator start)
{
    WidgetList::iterator it = start;
    while (it != mChildren.end() && (*it)->mZOrder < widget->mZOrder)
        ++it;
    while (it != mChildren.begin() && (*std::prev(it))->mZOrder > widget->mZOrder)
        --it;
    mChildren.insert(it, widget);
}

bool WidgetContainer::UnlinkChild(Widget* widget)
{
    WidgetList::iterator it = std::find(mChildren.begin(), mChildren.end(), widget);
    if (it == mChildren.end()) return false;
    if (it == mUpdateIterator)
    {
        ++mUpdateIterator;
        mUpdateIteratorMoved = true;
    }
    mChildren.erase(it);
    return true;
}

void WidgetContainer::AddWidget(Widget* widget)
{
    LinkWidget(widget, nullptr, false);
}

void WidgetContainer::AddWidgetBehind(Widget* widget, Widget* reference)
{
    LinkWidget(widget, reference, false);
}

void WidgetContainer::AddWidgetInfront(Widget* widget, Widget* reference)
{
    LinkWidget(widget, reference, true);
}

void WidgetContainer::LinkWidget(Widget* widget, Widget* reference, bool inFront)
{
    if (widget == nullptr || HasWidget(widget)) return;
    if (widget->mParent != nullptr) widget->mParent->RemoveWidget(widget);

    // Found after the old parent let go: its callbacks may have changed the list.
    WidgetList::iterator place = std::find(mChildren.begin(), mChildren.end(), reference);
    if (inFront && place != mChildren.end()) ++place;
    InsertByZOrder(widget, place);
    widget->mManager = mManager;
    widget->mParent = this;
    if (mManager != nullptr)
    {
        widget->AddedToManager(mManager);
        widget->MarkDirtyFull();
        mManager->RecheckMouse();
    }
    MarkDirty();
}

void WidgetContainer::DetachFromManager(Widget* widget)
{
    WidgetManager* manager = widget->mManager;
    WidgetList children = widget->mChildren; // the callbacks below may reorder the list
    for (Widget* child : children)
        if (widget->HasWidget(child) && child->mManager != nullptr) DetachFromManager(child);

    WidgetRef<Widget> ref(widget);
    manager->WidgetRemoved(widget);
    manager->ForgetWidget(widget);
    if (!ref) return;
    widget->RemovedFromManager(manager);
    if (!ref) return;
    widget->MarkDirtyFull(); // the area it covered, while it still knows where that lies
    widget->mManager = nullptr;
}

void WidgetContainer::RemoveWidget(Widget* widget)
{
    if (widget == nullptr || !HasWidget(widget)) return;
    WidgetRef<Widget> ref(widget);
    if (widget->mManager != nullptr) DetachFromManager(widget);
    // The detach callbacks may have removed the widget already, or even deleted it.
    if (!ref) return;
    if (widget->mParent == this) widget->mParent = nullptr;
    UnlinkChild(widget);
}

bool WidgetContainer::HasWidget(Widget* widget)
{
    return std::find(mChildren.begin(), mChildren.end(), widget) != mChildren.end();
}

void WidgetContainer::WidgetRemoved(Widget* widget)
{
    (void)widget;
}

void WidgetContainer::RemoveAllWidgets(bool doDelete, bool recursive)
{
    while (!mChildren.empty())
    {
        Widget* child = mChildren.front();
        WidgetRef<Widget> ref(child);
        RemoveWidget(child);
        if (!ref) continue;
        if (HasWidget(child)) UnlinkChild(child); // an override that refused to let go
        if (recursive) child->RemoveAllWidgets(doDelete, recursive);
        if (doDelete) delete child;
    }
}

void WidgetContainer::SetFocus(Widget* widget)
{
    (void)widget;
}

namespace
{

// Depth-first walk in list order; returns 1 when a is met first, 2 when b is, 0 when neither.
int FindFirstOf(WidgetContainer* node, Widget* a, Widget* b)
{
    for (Widget* child : node->mChildren)
    {
        if (child == a) return 1;
        if (child == b) return 2;
        if (int found = FindFirstOf(child, a, b)) return found;
    }
    return 0;
}

} // namespace

bool WidgetContainer::IsBelow(Widget* a, Widget* b)
{
    return FindFirstOf(this, a, b) == 1;
}

void WidgetContainer::MarkAllDirty()
{
    // The manager's own mark adds no region (it draws nothing itself): its whole area is added
    // here, so what no widget covers is shown again too.
    AddToDirtyRegion(Rect(0, 0, mWidth, mHeight));
    MarkDirty();
    for (Widget* child : mChildren)
    {
        child->mDirty = true;
        child->MarkAllDirty();
    }
}

void WidgetContainer::BringToFront(Widget* widget)
{
    if (!UnlinkChild(widget)) return;
    InsertByZOrder(widget, mChildren.end());
    widget->OrderInManagerChanged();
}

void WidgetContainer::BringToBack(Widget* widget)
{
    if (!UnlinkChild(widget)) return;
    InsertByZOrder(widget, mChildren.begin());
    widget->OrderInManagerChanged();
}

void WidgetContainer::PutBehind(Widget* widget, Widget* reference)
{
    if (widget == reference || !HasWidget(reference) || !UnlinkChild(widget)) return;
    InsertByZOrder(widget, std::find(mChildren.begin(), mChildren.end(), reference));
    widget->OrderInManagerChanged();
}

void WidgetContainer::PutInfront(Widget* widget, Widget* reference)
{
    if (widget == reference || !HasWidget(reference) || !UnlinkChild(widget)) return;
    InsertByZOrder(widget, std::next(std::find(mChildren.begin(), mChildren.end(), reference)));
    widget->OrderInManagerChanged();
}

Point WidgetContainer::GetAbsPos()
{
    if (mParent == nullptr) return Point(mX, mY);
    Point parent = mParent->GetAbsPos();
    return Point(mX + parent.mX, mY + parent.mY);
}

void WidgetContainer::AddToDirtyRegion(const Rect& rect)
{
    WidgetManager* manager = mManager;
    if (manager == nullptr) return;
    Rect area = rect;
    for (WidgetContainer* node = this; node != manager; node = node->mParent)
    {
        if (node == nullptr) return; // not linked up to the manager
        area = area.Intersection(Rect(0, 0, node->mWidth, node->mHeight));
        if (area.mWidth <= 0 || area.mHeight <= 0) return;
        area.mX += node->mX;
        area.mY += node->mY;
    }
    manager->AddDirtyRect(area);
}

void WidgetContainer::PropagateDirty()
{
    if (mParent != nullptr)
        mParent->MarkDirty(this);
    else
        mDirty = true;
}

void WidgetContainer::PropagateDirtyFull()
{
    if (mParent != nullptr)
        mParent->MarkDirtyFull(this);
    else
        mDirty = true;
}

void WidgetContainer::MarkDirty()
{
    if (mManager != this) AddToDirtyRegion(Rect(0, 0, mWidth, mHeight));
    PropagateDirty();
}

void WidgetContainer::MarkDirtyFull()
{
    if (mManager != this) AddToDirtyRegion(Rect(0, 0, mWidth, mHeight));
    PropagateDirtyFull();
}

void WidgetContainer::MarkDirtyRect(const Rect& rect)
{
    Rect part = rect.Intersection(Rect(0, 0, mWidth, mHeight));
    if (part.mWidth <= 0 || part.mHeight <= 0) return;
    if (mManager != this) AddToDirtyRegion(part);
    PropagateDirty();
}

void WidgetContainer::MarkDirty(WidgetContainer* child)
{
    if (child->mDirty) return;
    PropagateDirty();
    child->mDirty = true;
    if (mParent != nullptr) return;

    // At the top: what lies above the child is drawn over it, so it must be drawn again too.
    if (!child->IsOpaque())
    {
        MarkDirtyFull(child);
        return;
    }
    WidgetList::iterator it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end()) return;
    for (++it; it != mChildren.end(); ++it)
    {
        Widget* above = *it;
        if (above->mVisible && above->Intersects(child)) MarkDirty(above);
    }
}

void WidgetContainer::MarkDirtyFull(WidgetContainer* child)
{
    PropagateDirtyFull();
    child->mDirty = true;
    if (mParent != nullptr) return;

    WidgetList::iterator childIt = std::find(mChildren.begin(), mChildren.end(), child);
    if (childIt == mChildren.end()) return;

    // Below the child: repaint what shows through, down to the first opaque sibling that covers
    // the child's visible area completely.
    Rect area = child->GetRect().Intersection(Rect(0, 0, mWidth, mHeight));
    for (WidgetList::iterator it = childIt; it != mChildren.begin();)
    {
        Widget* below = *--it;
        if (!below->mVisible) continue;
        if (below->IsOpaque() && below->Contains(area.mX, area.mY) &&
            below->Contains(area.mX + area.mWidth - 1, area.mY + area.mHeight - 1))
        {
            below->PropagateDirty();
            break;
        }
        if (below->Intersects(child)) MarkDirty(below);
    }
    // The child itself and everything above it that overlaps it.
    for (WidgetList::iterator it = childIt; it != mChildren.end(); ++it)
    {
        Widget* above = *it;
        if (above->mVisible && above->Intersects(child)) MarkDirty(above);
    }
}

void WidgetContainer::AddedToManager(WidgetManager* manager)
{
    WidgetList children = mChildren;
    for (Widget* child : children)
    {
        child->mManager = manager;
        child->AddedToManager(manager);
    }
    MarkDirty();
}

void WidgetContainer::RemovedFromManager(WidgetManager* manager)
{
    // Children detached on the way here (depth first) no longer have a manager and are skipped,
    // so no child hears of its removal twice.
    WidgetList children = mChildren;
    for (Widget* child : children)
    {
        if (!HasWidget(child) || child->mManager == nullptr) continue;
        manager->WidgetRemoved(child);
        child->RemovedFromManager(manager);
        child->mManager = nullptr;
    }
    if (manager->mPopupWidget == this) manager->mPopupWidget = nullptr;
}

void WidgetContainer::Update() {}

void WidgetContainer::UpdateAll(ModalFlags& flags)
{
    ModalFlagsScope scope(flags, mFlagMods);
    if (flags.GetFlags() & WIDGETFLAGS_MARK_DIRTY) MarkDirty();
    WidgetManager* manager = mManager;
    if (manager == nullptr) return;

    // Any call below may delete this node (a listener, a nested dialog loop); the token tells.
    std::weak_ptr<const void> alive = GetLifeToken();
    ++manager->mUpdateDepth;
    if ((flags.GetFlags() & WIDGETFLAGS_UPDATE) && mLastManagerTick != manager->mUpdateCount)
    {
        mLastManagerTick = manager->mUpdateCount;
        Update();
    }
    if (!alive.expired())
    {
        mUpdateIterator = mChildren.begin();
        while (mUpdateIterator != mChildren.end())
        {
            Widget* child = *mUpdateIterator;
            mUpdateIteratorMoved = false;
            if (child == manager->mBaseModalWidget) flags.mReachedModal = true;
            child->UpdateAll(flags);
            if (alive.expired()) break;
            if (!mUpdateIteratorMoved) ++mUpdateIterator;
        }
        if (!alive.expired()) mUpdateIteratorMoved = true;
    }
    --manager->mUpdateDepth;
}

void WidgetContainer::UpdateF(float fraction)
{
    (void)fraction;
}

void WidgetContainer::UpdateFAll(ModalFlags& flags, float fraction)
{
    ModalFlagsScope scope(flags, mFlagMods);
    std::weak_ptr<const void> alive = GetLifeToken();
    if (flags.GetFlags() & WIDGETFLAGS_UPDATE) UpdateF(fraction);
    if (alive.expired()) return;

    mUpdateIterator = mChildren.begin();
    while (mUpdateIterator != mChildren.end())
    {
        Widget* child = *mUpdateIterator;
        mUpdateIteratorMoved = false;
        if (mManager != nullptr && child == mManager->mBaseModalWidget) flags.mReachedModal = true;
        child->UpdateFAll(flags, fraction);
        if (alive.expired()) return;
        if (!mUpdateIteratorMoved) ++mUpdateIterator;
    }
    mUpdateIteratorMoved = true;
}

void WidgetContainer::Draw(Graphics* g)
{
    (void)g;
}

void WidgetContainer::DrawAll(ModalFlags& flags, Graphics* g)
{
    if (mManager != nullptr && mManager->mMinOverlayPriority < mOverlayPriority)
        mManager->FlushDeferredOverlays(mOverlayPriority);

    ModalFlagsScope scope(flags, mFlagMods);
    int inForce = flags.GetFlags();
    if (mClipsToBounds && (inForce & WIDGETFLAGS_CLIP)) g->ClipRect(0, 0, mWidth, mHeight);
    if ((inForce & WIDGETFLAGS_DRAW) && mManager != nullptr) mManager->NoteDrawn(this);

    if (mChildren.empty())
    {
        if (inForce & WIDGETFLAGS_DRAW) Draw(g);
        return;
    }

    if (inForce & WIDGETFLAGS_DRAW)
    {
        g->PushState();
        Draw(g);
        g->PopState();
    }
    for (Widget* child : mChildren)
    {
        if (!child->mVisible) continue;
        if (mManager != nullptr && child == mManager->mBaseModalWidget) flags.mReachedModal = true;
        Graphics childGraphics(*g);
        childGraphics.Translate(child->mX, child->mY);
        // A child that draws only inside its rectangle is left out where that lies outside the clip.
        Rect shown = childGraphics.clipRect.Intersection(Rect(int(childGraphics.transX) - 1,
                                                              int(childGraphics.transY) - 1,
                                                              child->mWidth + 2, child->mHeight + 2));
        bool outside = child->mClipsToBounds &&
                       (child->mFlagMods.Apply(flags.GetFlags()) & WIDGETFLAGS_CLIP) &&
                       (shown.mWidth <= 0 || shown.mHeight <= 0);
        if (!outside) child->DrawAll(flags, &childGraphics);
        child->mDirty = false;
    }
}

void WidgetContainer::FrameDrawn() {}

void WidgetContainer::SysColorChangedAll()
{
    SysColorChanged();
    WidgetList children = mChildren;
    for (Widget* child : children)
        child->SysColorChangedAll();
}

void WidgetContainer::SysColorChanged() {}

} // namespace Kavo
