// Bitmap font descriptions: the command language read into layers, then the font measured and
// drawn.
#include "fuzz/FontTarget.h"

KAVO_FUZZ_TARGET(fontdesc)
{
    const std::string path = fuzz::WriteInput("font.txt", data, size);
    fuzz::FontStripHost host;
    Kavo::ImageFont font(&host, path);
    fuzz::UseFont(font);
    return 0;
}
