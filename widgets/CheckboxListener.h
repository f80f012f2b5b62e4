#pragma once

namespace Kavo
{

// Told when a check box changes through a click. Not owned.
class CheckboxListener
{
public:
    virtual ~CheckboxListener() = default;

    virtual void CheckboxChecked(int id, bool checked)
    {
        (void)id;
        (void)checked;
    }
};

} // namespace Kavo
