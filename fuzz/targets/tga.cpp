// TGA files: 32-bit uncompressed and the other layouts the reader knows.
#include "fuzz/ImageTarget.h"

KAVO_FUZZ_TARGET(tga)
{
    return fuzz::ReadImage(data, size, ".tga", ImageLib::LoadTGA);
}
