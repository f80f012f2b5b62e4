#include "game/ScreenButtons.h"

#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"

namespace Kavo
{

void PlaceImageButton(ButtonWidget* button, Image* image, int x, int y, int width, int height)
{
    button->mNormalImage = image;
    button->mOverImage = image;
    button->mDownImage = image;
    button->mNoFrame = true;
    button->mHandCursor = true;
    button->Resize(x, y, width < 0 ? ImageWidth(image) : width, height < 0 ? ImageHeight(image) : height);
}

void PlaceMainMenuButton(ButtonWidget* button)
{
    Image* hilight = IMAGE_MAINMENUBTN_HILIGHT;
    PlaceImageButton(button, nullptr, 11, 489, ImageWidth(hilight), ImageHeight(hilight));
    button->mOverImage = hilight;
    button->mDownImage = hilight;
}

Checkbox* NewPictureCheckbox(int id, CheckboxListener* listener)
{
    Image* image = IMAGE_CHECKBOX;
    auto* box = new Checkbox(image, image, id, listener);
    const int half = ImageWidth(image) / 2;
    box->mUncheckedRect = Rect(0, 0, half, ImageHeight(image));
    box->mCheckedRect = Rect(half, 0, half, ImageHeight(image));
    return box;
}

} // namespace Kavo
