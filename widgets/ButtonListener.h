#pragma once

namespace Kavo
{

// Told about a button's events by the id the button was made with. Not owned by the button;
// every operation does nothing unless overridden.
class ButtonListener
{
public:
    virtual ~ButtonListener() = default;

    // A mouse button went down on the button; clickCount is 1, or 2 for a double click.
    virtual void ButtonPress(int id, int clickCount)
    {
        (void)clickCount;
        ButtonPress(id);
    }
    virtual void ButtonPress(int id) { (void)id; }
    // Released over the button while the window has the focus: the button was clicked.
    virtual void ButtonDepress(int id) { (void)id; }
    // Every update while the button is held and the mouse is over it.
    virtual void ButtonDownTick(int id) { (void)id; }
    virtual void ButtonMouseEnter(int id) { (void)id; }
    virtual void ButtonMouseLeave(int id) { (void)id; }
    // x, y relative to the button.
    virtual void ButtonMouseMove(int id, int x, int y)
    {
        (void)id;
        (void)x;
        (void)y;
    }
};

} // namespace Kavo
