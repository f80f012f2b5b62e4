#include "tools/art/Catalogue.h"

namespace Art
{

std::vector<ImageSpec> ImageCatalogue()
{
    std::vector<ImageSpec> images;
    AddPieceImages(images);
    AddInterfaceImages(images);
    AddMenuImages(images);
    AddTitleImages(images);
    AddSceneImages(images);
    AddTutorialImages(images);
    return images;
}

} // namespace Art
