#include "graphics/ActiveFontLayer.h"

#include "graphics/MemoryImage.h"

#include <algorithm>

namespace Kavo
{

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : baseLayer(other.baseLayer), scaledImage(other.scaledImage), ownsImage(other.ownsImage),
      spacing(other.spacing), order(other.order)
{
    std::copy(std::begin(other.scaledCharRects), std::end(other.scaledCharRects), scaledCharRects);
    std::copy(std::begin(other.placements), std::end(other.placements), placements);
    if (ownsImage && scaledImage) scaledImage = new MemoryImage(*other.scaledImage);
}

ActiveFontLayer& ActiveFontLayer::operator=(const ActiveFontLayer& other)
{
    if (this == &other) return *this;
    ActiveFontLayer copy(other);
    std::swap(baseLayer, copy.baseLayer);
    std::swap(scaledImage, copy.scaledImage);
    std::swap(ownsImage, copy.ownsImage);
    std::copy(std::begin(copy.scaledCharRects), std::end(copy.scaledCharRects), scaledCharRects);
    std::copy(std::begin(copy.placements), std::end(copy.placements), placements);
    spacing = copy.spacing;
    order = copy.order;
    return *this;
}

ActiveFontLayer::~ActiveFontLayer()
{
    if (ownsImage) delete scaledImage;
}

} // namespace Kavo
