#pragma once

#include "platform/display/DisplayTypes.h"

#include <cstdint>

// Rows of a display surface's pixels (16 or 32 bits) turned into opaque 0xFFRRGGBB words, a row
// at a time, as the screen is shown. Each channel becomes 0..255 as ChannelByte makes it (the
// field's top bits repeated into the low ones). Every bit of that result is a copy of one bit of
// the pixel, so a table for each byte of the pixel, ORed together, gives it exactly: two lookups
// a 16-bit pixel, four a 32-bit one, and a plain copy for 0x00RRGGBB.
namespace platform
{

class RowConverter
{
public:
    // A format of 16 or 32 bits per pixel (other formats convert to black).
    explicit RowConverter(const PixelFormat& format);

    // count pixels from in (rows of the format's pixels, any alignment) into out.
    void ToArgb(const uint8_t* in, uint32_t* out, int count) const;
    // The format's pixels are 0x??RRGGBB already: a row is a copy with alpha set.
    bool IsCopy() const { return mCopy; }

private:
    int mBytes = 0;
    bool mCopy = false;
    uint32_t mTables[4][256] = {};
};

} // namespace platform
