#pragma once

namespace Kavo
{

// Told the slider's value (0.0 to 1.0) while its thumb is dragged and on every release. Not owned.
class SliderListener
{
public:
    virtual ~SliderListener() = default;

    virtual void SliderVal(int id, double value)
    {
        (void)id;
        (void)value;
    }
};

} // namespace Kavo
