// JPEG 2000 through the codec module, looked up by name at run time.
#include "graphics/ImageLib.h"

namespace ImageLib
{

void InitJPEG2000() {}
void CloseJPEG2000() {}

std::unique_ptr<Image> LoadJPEG2000(const std::string&)
{
    return nullptr;
}

} // namespace ImageLib
