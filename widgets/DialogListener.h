#pragma once

namespace Kavo
{

// Told when a dialog's button (1000 affirmative, 1001 the other) goes down and when it is released
// over itself. Not owned; both operations do nothing unless overridden.
class DialogListener
{
public:
    virtual ~DialogListener() = default;

    virtual void DialogButtonPress(int dialogId, int buttonId)
    {
        (void)dialogId;
        (void)buttonId;
    }
    virtual void DialogButtonDepress(int dialogId, int buttonId)
    {
        (void)dialogId;
        (void)buttonId;
    }
};

} // namespace Kavo
