#pragma once

#include "base/Color.h"
#include "widgets/Insets.h"
#include "widgets/WidgetContainer.h"
#include "widgets/WidgetRef.h"

#include <string>
#include <vector>

namespace Kavo
{

class Font;
class Image;
class WidgetAppServices;

// The base of every visible element: a tree node with visibility, enabling, focus, a colour table,
// insets, tab order, the input handlers the widget manager calls and text-drawing helpers.
//
// Mouse coordinates handed to the handlers are relative to the widget. Buttons: 0 left, 1 right,
// 2 middle. Click counts as the manager receives them: 1 left click, 2 left double click, -1 right
// click, -2 right double click, 3 middle click.
//
// A widget deleted while it is in the tree leaves it first: its parent, the manager's focus, over,
// down and modal slots and the deferred overlays forget it.
class Widget : public WidgetContainer
{
public:
    // --- State ---
    bool mVisible = true;
    bool mMouseVisible = true; // takes part in hit testing
    bool mDisabled = false;
    bool mHasFocus = false;
    bool mIsDown = false; // a mouse button pressed on it is held (set by the manager)
    bool mIsOver = false; // the mouse is over it (set by the manager)

    std::vector<Color> mColors; // meaning of each index: see the control
    Insets mInsets;             // the part of the rectangle that takes the mouse
    bool mHandCursor = false;   // the hand cursor shows while the mouse is over it
    bool mWantsFocus = false;
    WidgetRef<Widget> mTabPrev; // Shift+Tab moves the focus here
    WidgetRef<Widget> mTabNext; // Tab moves the focus here

    Widget();
    ~Widget() override;

    void Update() override;

    // --- Look and geometry ---
    virtual void OrderInManagerChanged();
    virtual void SetVisible(bool visible);
    // Rows of red, green, blue, alpha.
    virtual void SetColors(const int table[][4], int count);
    // Rows of red, green, blue; alpha 255.
    virtual void SetColors(const int table[][3], int count);
    virtual void SetColor(int index, const Color& color);
    virtual const Color& GetColor(int index, const Color& fallback);
    // Opaque black past the end of the table.
    virtual const Color& GetColor(int index);
    virtual void SetDisabled(bool disabled);
    // Hand (on) or arrow cursor, when attached to a manager.
    virtual void ShowFinger(bool on);
    virtual void Resize(const Rect& rect);
    virtual void Resize(int x, int y, int width, int height);
    virtual void Move(int x, int y);
    virtual bool WantsFocus();

    // --- Overlays: drawn after the whole screen, see DeferOverlay ---
    virtual void DrawOverlay(Graphics* g, int priority);
    virtual void DrawOverlay(Graphics* g);

    // --- Input ---
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(char c);
    // Tab (Shift+Tab) moves the focus to mTabNext (mTabPrev).
    virtual void KeyDown(int keyCode);
    virtual void KeyUp(int keyCode);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void MouseMove(int x, int y);
    virtual void MouseDown(int x, int y, int button, int clickCount);
    // Maps the manager's click count to a button and a count of 1 or 2.
    virtual void MouseDown(int x, int y, int clickCount);
    virtual void MouseUp(int x, int y, int button, int clickCount);
    // Calls MouseUp(x, y), then the four-argument form with the mapped button.
    virtual void MouseUp(int x, int y, int clickCount);
    virtual void MouseUp(int x, int y);
    virtual void MouseDrag(int x, int y);
    virtual void MouseWheel(int delta);
    // Whether a point inside the rectangle (relative to the widget) belongs to the widget.
    virtual bool IsPointVisible(int x, int y);

    // --- Text ---
    // Draws s centred horizontally with its baseline at y, in colour2 shifted by shadowOffset, then
    // in colour1; returns the rectangle covered.
    virtual Rect WriteCenteredLine(Graphics* g, int y, const std::string& s, const Color& colour1,
                                   const Color& colour2, const Point& shadowOffset);
    virtual Rect WriteCenteredLine(Graphics* g, int y, const std::string& s);
    // The drawing context's WriteString with colour tags honoured; returns the width.
    virtual int WriteString(Graphics* g, const std::string& s, int x, int y, int width = -1,
                            int justification = 0, bool drawString = true, int offset = 0, int length = -1);
    // The drawing context's WriteWordWrapped with colour tags honoured; returns the height.
    virtual int WriteWordWrapped(Graphics* g, const Rect& rect, const std::string& s, int lineSpacing = -1,
                                 int justification = -1);
    virtual int GetWordWrappedHeight(Graphics* g, int width, const std::string& s, int lineSpacing = -1);
    // Decimal digits of n; 1 for anything below 10.
    virtual int GetNumDigits(int n);
    // Draws number with digits cut from strip (0 to 9 side by side), spacing pixels apart.
    virtual void WriteNumberFromStrip(Graphics* g, int number, int x, int y, Image* strip, int spacing);

    // x in [mX, mX + mWidth) and y in [mY, mY + mHeight), in the parent's coordinates.
    virtual bool Contains(int x, int y);
    virtual Rect GetInsetRect();

    // --- Not virtual ---
    // Asks the manager to call DrawOverlay(g, priority) once the screen has been drawn; lower
    // priorities first.
    void DeferOverlay(int priority = 0);
    // Places the widget relative to reference by the bits of flags (a table in the .cpp).
    void LayoutByFlags(int flags, Widget* reference, int left, int top, int width, int height);
    // The manager's application services, or the current ones when not attached; may be null.
    WidgetAppServices* GetApp();
    // A new system font for the application, or null.
    Font* CreateDefaultFont(int pointSize, bool bold);
    // Application cursor 0 arrow, 1 hand, 2 drag, 3 text beam.
    void SetAppCursor(int number);
};

// The bits of Widget::LayoutByFlags, applied from the lowest up; each sees the results of the ones
// before. "ref" is the reference rectangle, at (0, 0) when the reference is the widget's parent.
enum LayoutFlags
{
    LAY_SetWidthFromRef = 0x1,  // width = ref width + width
    LAY_SetHeightFromRef = 0x2, // height = ref height + height
    LAY_SetLeft = 0x10,         // x = left
    LAY_SetTop = 0x20,          // y = top
    LAY_SetWidth = 0x40,        // width = width
    LAY_SetHeight = 0x80,       // height = height
    LAY_Above = 0x100,          // y = ref y - height + top
    LAY_Below = 0x200,          // y = ref bottom + top
    LAY_Right = 0x400,          // x = ref right + left
    LAY_Left = 0x800,           // x = ref x - width + left
    LAY_SameLeft = 0x1000,      // x = ref x + left
    LAY_SameRight = 0x2000,     // x = ref right - width + left
    LAY_SameTop = 0x4000,       // y = ref y + top
    LAY_SameBottom = 0x8000,    // y = ref bottom - height + top
    LAY_GrowToRight = 0x10000,  // width = ref right - x + width
    LAY_GrowToLeft = 0x20000,   // width = ref x - x + width
    LAY_GrowToTop = 0x40000,    // height = ref y - y + height
    LAY_GrowToBottom = 0x80000, // height = ref bottom - y + height
    LAY_HCenter = 0x100000,     // x = (ref width - width) / 2 + ref x + left
    LAY_VCenter = 0x200000,     // y = (ref height - height) / 2 + ref y + top
};

} // namespace Kavo
