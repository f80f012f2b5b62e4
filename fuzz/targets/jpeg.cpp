// JPEG files through libjpeg: grey, colour and CMYK.
#include "fuzz/ImageTarget.h"

KAVO_FUZZ_TARGET(jpeg)
{
    return fuzz::ReadImage(data, size, ".jpg", ImageLib::LoadJPEG);
}
