#pragma once

#include <cstdint>

namespace Kavo
{

// The display's pixel layout, the base of the display object. All 0 after construction; the
// display fills it when it sets a mode. Software images read it to build and undo their
// premultiplied pixels in the display's layout.
class NativeDisplay
{
public:
    uint32_t redMask = 0, greenMask = 0, blueMask = 0; // channel masks
    int redBits = 0, greenBits = 0, blueBits = 0;      // channel widths in bits
    int redShift = 0, greenShift = 0, blueShift = 0;   // bit position of each channel's lowest bit

    NativeDisplay() = default;
    virtual ~NativeDisplay() = default;

    // 8 bits per channel: red at bit 16, green at 8, blue at 0.
    void SetLayout8888()
    {
        redMask = 0xFF0000;
        greenMask = 0xFF00;
        blueMask = 0xFF;
        redBits = greenBits = blueBits = 8;
        redShift = 16;
        greenShift = 8;
        blueShift = 0;
    }
};

} // namespace Kavo
