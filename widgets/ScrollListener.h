#pragma once

namespace Kavo
{

// Told the scroll bar's value (0 to maximum minus page size) whenever it is set. Not owned.
class ScrollListener
{
public:
    virtual ~ScrollListener() = default;

    virtual void ScrollPosition(int id, double position)
    {
        (void)id;
        (void)position;
    }
};

} // namespace Kavo
