// The older bitmap fonts: a widths file beside a glyph strip, then the font measured and drawn.
#include "fuzz/FontTarget.h"

KAVO_FUZZ_TARGET(fontwidths)
{
    const std::string path = fuzz::WriteInput("font.widths", data, size);
    fuzz::FontStripHost host;
    Kavo::ImageFont font(host.Strip(), path);
    fuzz::UseFont(font);
    return 0;
}
