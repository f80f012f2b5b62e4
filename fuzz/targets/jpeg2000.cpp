// JPEG 2000 codestreams and files through the codec module.
#include "fuzz/ImageTarget.h"

KAVO_FUZZ_TARGET(jpeg2000)
{
    static const bool loaded = (ImageLib::InitJPEG2000(), true);
    (void)loaded;
    return fuzz::ReadImage(data, size, ".j2k", ImageLib::LoadJPEG2000);
}
