#pragma once

namespace Kavo
{

// Distances in pixels from the four edges of a rectangle inwards.
class Insets
{
public:
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;

    Insets() = default;
    Insets(int left, int top, int right, int bottom) : mLeft(left), mTop(top), mRight(right), mBottom(bottom)
    {
    }
    bool operator==(const Insets& other) const = default;
};

} // namespace Kavo
