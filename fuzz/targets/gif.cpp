// GIF files: the first frame, its palette and transparent index.
#include "fuzz/ImageTarget.h"

KAVO_FUZZ_TARGET(gif)
{
    return fuzz::ReadImage(data, size, ".gif", ImageLib::LoadGIF);
}
