#pragma once

#include <bit>
#include <cstdint>

namespace platform
{

// One colour channel of a packed pixel under a contiguous mask: the mask, its lowest bit and its
// width. The one description of a channel that the surfaces, the screen, the surface road's
// blitters and the crash windows' pictures all read pixels through.
struct PixelChannel
{
    uint32_t mask = 0;
    int shift = 0; // the mask's lowest bit
    int bits = 0;  // the mask's width (0 without a mask)

    constexpr PixelChannel() = default;
    constexpr explicit PixelChannel(uint32_t m)
        : mask(m), shift(m ? std::countr_zero(m) : 0), bits(m ? 32 - std::countl_zero(m) - shift : 0)
    {
    }

    // The field of a pixel, 0 to 2^bits - 1.
    constexpr uint32_t Field(uint32_t pixel) const { return (pixel & mask) >> shift; }

    // The field as 0..255: its top bits, repeated into the low ones when it is narrower than 8.
    constexpr uint32_t Byte(uint32_t pixel) const
    {
        if (bits == 0) return 0;
        const uint32_t v = Field(pixel);
        if (bits >= 8) return (v >> (bits - 8)) & 0xFF;
        uint32_t out = 0;
        int filled = 0;
        while (filled < 8)
        {
            out = (out << bits) | v;
            filled += bits;
        }
        return (out >> (filled - 8)) & 0xFF;
    }

    // The field as 0..255 by shifting alone: a narrower field's low bits stay 0.
    constexpr uint32_t ShiftedByte(uint32_t pixel) const
    {
        const uint32_t v = Field(pixel);
        return (bits <= 8 ? v << (8 - bits) : v >> (bits - 8)) & 0xFF;
    }

    // A 0..255 value placed in the field: its top bits.
    constexpr uint32_t Put(uint32_t value) const
    {
        if (bits == 0) return 0;
        const uint32_t v = bits >= 8 ? (value & 0xFF) << (bits - 8) : (value & 0xFF) >> (8 - bits);
        return (v << shift) & mask;
    }
};

} // namespace platform
