#pragma once

#include <cstdint>

namespace Kavo
{

// A colour as four ints, each meaningful from 0 to 255; nothing clamps them.
// Packed form: 0xAARRGGBB. Header-only, so the rasteriser can use it without linking graphics.
class Color
{
public:
    int mRed = 0;
    int mGreen = 0;
    int mBlue = 0;
    int mAlpha = 255;

    Color() = default; // opaque black
    Color(int red, int green, int blue, int alpha = 255)
        : mRed(red), mGreen(green), mBlue(blue), mAlpha(alpha)
    {
    }

    static Color ColorRGB(int red, int green, int blue) { return Color(red, green, blue); }
    static Color ColorFromRGBArray(const int rgb[3]) { return Color(rgb[0], rgb[1], rgb[2]); }
    // An alpha byte of 0 is read as 255: 0x00RRGGBB is the opaque colour RRGGBB.
    static Color ColorFromARGB(uint32_t argb)
    {
        int alpha = int((argb >> 24) & 0xFF);
        return Color(int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF),
                     alpha == 0 ? 255 : alpha);
    }

    int GetRed() const { return mRed; }
    int GetGreen() const { return mGreen; }
    int GetBlue() const { return mBlue; }
    int GetAlpha() const { return mAlpha; }

    // Packs without masking: bits of a component above 255 spill into the byte above it.
    uint32_t ToInt() const
    {
        return (((((uint32_t(mAlpha) << 8) | uint32_t(mRed)) << 8) | uint32_t(mGreen)) << 8) |
               uint32_t(mBlue);
    }

    bool IsWhite() const;
    bool operator==(const Color& other) const = default;

    static const Color Black; // (0, 0, 0, 255)
    static const Color White; // (255, 255, 255, 255): drawing with it means "not colourised"
};

inline const Color Color::Black(0, 0, 0, 255);
inline const Color Color::White(255, 255, 255, 255);

inline bool Color::IsWhite() const
{
    return *this == White;
}

} // namespace Kavo
