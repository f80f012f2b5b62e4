// PNG files through libpng, every colour type and depth.
#include "fuzz/ImageTarget.h"

KAVO_FUZZ_TARGET(png)
{
    return fuzz::ReadImage(data, size, ".png", ImageLib::LoadPNG);
}
