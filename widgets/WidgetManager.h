#pragma once

#include "base/Rect.h"
#include "widgets/DirtyRegion.h"
#include "widgets/FlagsMod.h"
#include "widgets/WidgetContainer.h"

#include <climits>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace Kavo
{

class Graphics;
class Image;
class Widget;
class WidgetAppServices;

// The root of the widget tree and the one door through which input enters the toolkit. The
// application object owns one and feeds it: replayed window messages become the mouse, wheel, key
// and focus calls below, each update tick calls UpdateFrame, each drawn frame DrawScreen.
//
// It keeps the dirty region, the part of the screen image that changed since the last frame (in
// screen-image coordinates, a short list of rectangles, see DirtyRegion), and each frame draws
// there what lies in it: for each rectangle, the visible top-level widgets that meet it, from the
// topmost one that hides everything below it up, each clipped to the rectangle, then the deferred
// overlays, clipped the same way. The rectangles drawn are handed on for presenting.
//
// It tracks the widget under the mouse (over), the one that took the last mouse-down (down) and
// the one with the keyboard focus; keeps a stack of modal layers whose flags cut input to what
// lies below them; draws the overlays widgets defer to the end of the frame; and maps window
// mouse positions to screen coordinates.
//
// Every widget call may run arbitrary code (listeners delete widgets, open dialogs, move the
// focus). A widget that leaves the tree is cleared from the over, down, focus and modal slots in
// one place (WidgetRemoved), and the manager reads those slots again after each call out.
class WidgetManager : public WidgetContainer
{
public:
    // A modal layer as AddBaseModal found things, to be restored by RemoveBaseModal.
    struct ModalRecord
    {
        Widget* mWidget = nullptr;        // the widget made modal (compared, never followed)
        Widget* mPrevBaseModal = nullptr; // cleared when that widget leaves the manager
        Widget* mPrevFocus = nullptr;     // cleared when that widget leaves the manager
        FlagsMod mPrevBelowModalFlagsMod;
    };

    struct DeferredOverlay
    {
        Widget* mWidget = nullptr; // cleared once drawn or when the widget leaves
        int mPriority = 0;
    };

    Widget* mCtrlTabWidget = nullptr;  // gets the Tab character while Ctrl is held
    Graphics* mDrawGraphics = nullptr; // the context DrawScreen draws with, while it runs
    WidgetAppServices* mApp = nullptr;
    Image* mScreenImage = nullptr;
    Widget* mPopupWidget = nullptr; // removed when a mouse button goes down outside it
    std::vector<DeferredOverlay> mDeferredOverlays;
    int mMinOverlayPriority = INT_MAX; // lowest priority still pending
    bool mAppHasFocus = true;          // the application window has the input focus
    Widget* mFocusWidget = nullptr;
    Widget* mDownWidget = nullptr;
    Widget* mOverWidget = nullptr;
    Widget* mBaseModalWidget = nullptr;
    FlagsMod mNoFocusFlagMods;    // applied to the default flags while the window lacks focus
    FlagsMod mBelowModalFlagMods; // applied to widgets below the base modal widget
    FlagsMod mDefaultBelowModalFlagMods{0, WIDGETFLAGS_ALLOW_MOUSE | WIDGETFLAGS_ALLOW_FOCUS};
    std::vector<ModalRecord> mModalStack;
    Rect mDrawRect;  // where the game screen lies in the screen image
    Rect mMouseRect; // where it lies in the window's mouse coordinates
    bool mMouseInWindow = false;
    int mLastMouseX = 0; // screen coordinates
    int mLastMouseY = 0;
    int mHeldButtons = 0;        // the bits (MouseButton::bit) of the buttons whose press went to mDownWidget
    int mPressedButtons = 0;     // the same bits for the buttons physically down
    uint32_t mLastInputTick = 0; // mUpdateCount at the last input call
    uint8_t mKeyDown[255] = {};  // 1 while that key code is down
    int mLastDownButton = 0;     // MouseButton::code of the last button down
    int mDefaultFlags = kDefaultWidgetFlags;
    int mUpdateDepth = 0; // raised while an update pass runs (fades wait for 0)

    explicit WidgetManager(WidgetAppServices* app);
    ~WidgetManager() override;

    // --- Called by the application object ---
    // The game screen's rectangle in window (mouse) and screen-image (draw) coordinates; the
    // manager's own size is the draw rectangle plus its offset on both sides.
    void Resize(const Rect& mouseRect, const Rect& drawRect);
    // Window coordinates to screen coordinates.
    void RemapMouse(int& x, int& y);
    // One update tick of every widget the flags allow; true when something became dirty.
    bool UpdateFrame();
    bool UpdateFrameF(float fraction);
    // Draws the dirty region (every widget and overlay in it), then empties it; true when anything
    // was drawn. What is marked while drawing is kept for the next frame.
    bool DrawScreen();
    // The rectangles of the screen image the last DrawScreen drew, in screen-image coordinates;
    // empty when it drew nothing.
    const std::vector<Rect>& DrawnRects() const { return mDrawnRects; }
    // The dirty region as it stands, in screen-image coordinates.
    const std::vector<Rect>& DirtyRects() const { return mDirtyRegion.Rects(); }

    bool MouseDown(int x, int y, int clickCount);
    bool MouseUp(int x, int y, int clickCount);
    // The mouse moved; a drag while buttons are held.
    bool MousePosition(int x, int y);
    bool MouseExit(int x, int y);
    bool MouseWheel(int delta);
    bool KeyChar(char c);
    bool KeyDown(int keyCode);
    bool KeyUp(int keyCode);
    void GotAppFocus();
    void LostAppFocus();
    // Releases the held buttons of the down widget and forgets it.
    void ClearDownWidget();

    // Adds a widget beneath the modal layer (the lowest modal widget in the manager and all in
    // front of it), on top of all that lies below the layer: a screen shown while a dialog is
    // open leaves the dialog on top and modal (a screen keeps its own widgets directly in front
    // of itself, AddWidgetInfront). Without a modal layer, as AddWidget.
    void AddWidgetBelowModal(Widget* widget);
    // The lowest widget of the modal layer, or null when none is open.
    Widget* LowestModalWidget();

    void AddBaseModal(Widget* widget);
    void AddBaseModalWithFlags(Widget* widget, const FlagsMod& belowFlagsMod);
    void RemoveBaseModal(Widget* widget);
    void RemovePopup();

    // --- Called by widgets ---
    // A widget below a modal layer that keeps the focus to itself is not focused now: it gets
    // the focus when the layer closes.
    void SetFocus(Widget* widget) override;
    void WidgetRemoved(Widget* widget) override;
    void DeferOverlay(Widget* widget, int priority);
    // Brings the over widget up to date after the tree changed under the mouse.
    void RecheckMouse();
    // The widget taking the mouse at (x, y), with the point relative to it; null when none does.
    Widget* GetWidgetAt(int x, int y, int* widgetX = nullptr, int* widgetY = nullptr);
    bool IsKeyDown(int keyCode) const;
    int GetWidgetFlags() const;
    // The mouse moved without buttons held (also replayed after changes under the mouse).
    void MouseMove(int x, int y);
    void MouseDrag(int x, int y);

    // --- Called by the tree ---
    // Clears every other reference to a widget that leaves the manager: the saved modal records,
    // the Ctrl+Tab and popup widgets and the deferred overlays.
    void ForgetWidget(Widget* widget);
    // Draws the deferred overlays of the lowest priorities, up to (not including) bound.
    void FlushDeferredOverlays(int bound);
    // Adds a rectangle in the manager's coordinates (those of the top-level widgets) to the dirty
    // region, cut to the manager's area once it has one.
    void AddDirtyRect(const Rect& rect);
    // A node's Draw is running in this DrawScreen: its FrameDrawn is called at the end.
    void NoteDrawn(WidgetContainer* node);

private:
    DirtyRegion mDirtyRegion;
    std::vector<Rect> mDrawnRects;
    std::vector<std::pair<WidgetContainer*, std::weak_ptr<const void>>> mDrawnNodes;

    ModalFlags BuildModalFlags() const;
    // Draws one rectangle of the region (screen-image coordinates) with g clipped to it; false
    // when no widget meets it.
    bool DrawArea(Graphics& g, const Rect& area);
    // The widget's rectangle in screen-image coordinates.
    Rect ScreenRectOf(Widget* widget) const;
    void SetBaseModal(Widget* widget, const FlagsMod& belowFlagsMod);
    Widget* FindWidgetAt(WidgetContainer* container, int x, int y, int flags, bool& claimed, int& widgetX,
                         int& widgetY);
    // While a widget holds the mouse, a drag makes only it the over widget: entered when the point
    // is on it, left when not. A further press or a release moves the mouse as a free move does,
    // so the widget under it is entered.
    void HoverWhileHeld(int x, int y);
    void EnterWidget(Widget* widget);
    void LeaveWidget(Widget* widget);
    // The over widget, if any, is forgotten and leaves.
    void ForgetOverWidget();
    // The down widget, if any, is forgotten and gets a mouse-up for each button it still holds.
    void ForgetDownWidget();
    // Sends widget a mouse-up for each button of `buttons`, at the last mouse position.
    void ReleaseButtons(Widget* widget, int buttons);
    // A Graphics copy for drawing widget: moved by the draw rectangle and the widget's position.
    void PrepareWidgetGraphics(Graphics& g, Widget* widget) const;
};

} // namespace Kavo
