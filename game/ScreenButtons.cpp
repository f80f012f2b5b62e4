#include "game/ScreenButtons.h"

#include "graphics/Image.h"
#include "puzzle/ResourceIds.h"
#include "widgets/ButtonWidget.h"

namespace Kavo
{

namespace
{

int WidthOf(Image* image)
{
    return image != nullptr ? image->GetWidth() : 0;
}

int HeightOf(Image* image)
{
    return image != nullptr ? image->GetHeight() : 0;
}

} // namespace

void PlaceImageButton(ButtonWidget* button, Image* image, int x, int y, int width, int height)
{
    button->mNormalImage = image;
    button->mOverImage = image;
    button->mDownImage = image;
    button->mNoFrame = true;
    button->mHandCursor = true;
    button->Resize(x, y, width < 0 ? WidthOf(image) : width, height < 0 ? HeightOf(image) : height);
}

void PlaceMainMenuButton(ButtonWidget* button)
{
    Image* hilight = IMAGE_MAINMENUBTN_HILIGHT;
    PlaceImageButton(button, nullptr, 11, 489, WidthOf(hilight), HeightOf(hilight));
    button->mOverImage = hilight;
    button->mDownImage = hilight;
}

} // namespace Kavo
