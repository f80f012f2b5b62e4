#include "graphics/Color.h"

namespace Kavo
{

const Color Color::Black(0, 0, 0, 255);
const Color Color::White(255, 255, 255, 255);

Color Color::ColorFromARGB(uint32_t argb)
{
    int alpha = int((argb >> 24) & 0xFF);
    return Color(int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF),
                 alpha == 0 ? 255 : alpha);
}

uint32_t Color::ToInt() const
{
    return (((((uint32_t(mAlpha) << 8) | uint32_t(mRed)) << 8) | uint32_t(mGreen)) << 8) | uint32_t(mBlue);
}

bool Color::IsWhite() const
{
    return *this == White;
}

} // namespace Kavo
