#pragma once

namespace Kavo
{

// One row of a filled shape: columns mX to mX + mWidth - 1 of row mY. The member order
// (y before x) is part of the interface: arrays of spans are handed over as they are.
struct Span
{
    int mY = 0;
    int mX = 0;
    int mWidth = 0;
};

} // namespace Kavo
