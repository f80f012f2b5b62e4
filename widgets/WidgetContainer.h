#pragma once

#include "base/Point.h"
#include "base/Rect.h"
#include "widgets/FlagsMod.h"
#include "widgets/ModalFlags.h"

#include <cstdint>
#include <list>
#include <memory>

namespace Kavo
{

class Graphics;
class Widget;
class WidgetManager;

// A node of the widget tree: an ordered list of child widgets (not owned), the links to its parent
// and to the widget manager, a rectangle, dirty marking, and the update and draw passes that walk
// the tree under the ModalFlags. Coordinates of a child are relative to its parent; a top-level
// widget's are in the manager's space.
//
// A container that is destroyed while it is in the tree first leaves it (Widget's destructor), and
// it unlinks the children it still holds, so no parent, child or manager keeps a pointer to it.
class WidgetContainer
{
public:
    using WidgetList = std::list<Widget*>;

    // --- Tree ---
    WidgetList mChildren;                 // ascending mZOrder: front = bottom of the z-order
    WidgetManager* mManager = nullptr;    // the manager the node is attached to
    WidgetContainer* mParent = nullptr;   // top-level widgets have the manager as parent
    bool mUpdateIteratorMoved = false;    // a removal already moved mUpdateIterator on
    WidgetList::iterator mUpdateIterator; // the child an update pass is in; end() outside a pass
    uint32_t mLastManagerTick = 0;        // the manager's update count when Update last ran
    uint32_t mUpdateCount = 0;            // incremented by Update (the manager's: by UpdateFrame)

    // --- Geometry and drawing ---
    bool mDirty = false;
    int mX = 0;
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
    bool mClipsToBounds = true; // clip drawing to the own rectangle when flag 8 is on
    FlagsMod mFlagMods;         // applied to the flags handed to this node and its subtree
    int mOverlayPriority = 0;   // deferred overlays below this priority are drawn before this node
    int mZOrder = 0;

    WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;
    virtual ~WidgetContainer();

    virtual Rect GetRect();
    // The rectangles overlap (touching edges do not count).
    virtual bool Intersects(WidgetContainer* other);
    // Whether Draw, as the node stands now, covers every pixel of its rectangle with opaque
    // colour, whatever lay there before. The manager starts a partial redraw at the topmost
    // widget that answers yes and holds the whole area, and draws nothing below it; a node
    // that answers yes without covering its rectangle shows the last frame there, its own
    // translucent pixels blended over it again. No, unless a class knows it covers: a screen
    // with an opaque background picture, a control filled with an opaque colour.
    virtual bool IsOpaque();

    // --- Children ---
    // Adds on top of the children of the same or lower z-order; nothing when already a child. A
    // widget that has another parent leaves it first.
    virtual void AddWidget(Widget* widget);
    // The same, directly behind reference, or directly in front of it; on top when reference is
    // null or not a child. The z-order still comes first.
    virtual void AddWidgetBehind(Widget* widget, Widget* reference);
    virtual void AddWidgetInfront(Widget* widget, Widget* reference);
    // Unlinks without deleting; nothing when not a child. Safe during an update pass.
    virtual void RemoveWidget(Widget* widget);
    virtual bool HasWidget(Widget* widget);
    // Called on the manager when a widget leaves it or is disabled.
    virtual void WidgetRemoved(Widget* widget);
    // Removes every child, deleting it when doDelete, emptying it first when recursive.
    virtual void RemoveAllWidgets(bool doDelete = false, bool recursive = false);
    // Implemented by the manager.
    virtual void SetFocus(Widget* widget);
    // True when a is met before b in a depth-first walk from the bottom of the z-order.
    virtual bool IsBelow(Widget* a, Widget* b);
    virtual void MarkAllDirty();
    virtual void BringToFront(Widget* widget);
    virtual void BringToBack(Widget* widget);
    virtual void PutBehind(Widget* widget, Widget* reference);
    virtual void PutInfront(Widget* widget, Widget* reference);
    virtual Point GetAbsPos();

    // --- Dirty marking ---
    // The manager keeps the part of the screen to draw again (its dirty region) and draws there
    // whatever lies in it, from the topmost widget that hides the rest up; the marks below add to
    // the region and set the dirty flags of the nodes on the way up to the manager, and of the
    // top-level widgets the change touches.
    //
    // A child changed inside its rectangle (the flags only: the region is added by whoever
    // marked).
    virtual void MarkDirty(WidgetContainer* child);
    // The whole own area changed.
    virtual void MarkDirty();
    // A child's whole area must be redrawn, with what lies below it (it moved, hid or left).
    virtual void MarkDirtyFull(WidgetContainer* child);
    virtual void MarkDirtyFull();
    // Only a part of the own area changed: rect in the own coordinates, cut to the own area.
    // The flags are set as by MarkDirty.
    void MarkDirtyRect(const Rect& rect);

    // --- Attachment ---
    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);

    // --- Passes ---
    virtual void Update();
    virtual void UpdateAll(ModalFlags& flags);
    virtual void UpdateF(float fraction);
    virtual void UpdateFAll(ModalFlags& flags, float fraction);
    virtual void Draw(Graphics* g);
    virtual void DrawAll(ModalFlags& flags, Graphics* g);
    // Called once after each frame in which Draw ran, however many parts of the dirty region it
    // was drawn for: Draw itself must leave the node as it found it (it may run once for each
    // part), and what drawing finishes (an animation shown at its end and then dropped) is done
    // here.
    virtual void FrameDrawn();
    virtual void SysColorChangedAll();
    virtual void SysColorChanged();

    // A token that lives exactly as long as this node (see WidgetRef).
    std::weak_ptr<const void> GetLifeToken() const { return mLifeToken; }

protected:
    // Places widget by z-order, searching from start (see the .cpp).
    void InsertByZOrder(Widget* widget, WidgetList::iterator start);
    void LinkWidget(Widget* widget, Widget* reference, bool inFront);
    // Unlinks a child, moving an update pass on past it; returns false when it is not a child.
    bool UnlinkChild(Widget* widget);
    // Detaches widget and its subtree from the manager, depth first.
    static void DetachFromManager(Widget* widget);
    // The dirty flags of MarkDirty and MarkDirtyFull without adding to the region: the chain up
    // the tree and the walks over the top-level widgets mark with these.
    void PropagateDirty();
    void PropagateDirtyFull();
    // Adds rect (own coordinates) to the manager's dirty region, cut to the own area and to the
    // areas of the ancestors; nothing outside a manager.
    void AddToDirtyRegion(const Rect& rect);

private:
    std::shared_ptr<const int> mLifeToken;
};

} // namespace Kavo
