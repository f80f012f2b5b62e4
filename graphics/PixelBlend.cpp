#include "graphics/PixelBlend.h"

namespace Kavo::PixelBlend
{

OverTables::OverTables()
{
    for (int i = 0; i < 256; ++i)
        for (int a = 0; a < 256; ++a)
        {
            outAlpha[i][a] = uint8_t(i + (255 - i) * a / 255);
            weight[i][a] = i == 0 ? 0 : uint8_t(std::min(255, 255 * a / i));
        }
}

const OverTables& GetOverTables()
{
    static const OverTables tables;
    return tables;
}

} // namespace Kavo::PixelBlend
