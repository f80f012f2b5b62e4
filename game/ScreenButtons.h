#pragma once

namespace Kavo
{

class ButtonWidget;
class Checkbox;
class CheckboxListener;
class Image;

// The picture buttons of the full-window screens, all with the pointing-hand cursor, and the
// checkboxes of the game's screens and dialogs.

// The same picture in every look, at (x, y) in the given size (the picture's size for a size
// below 0).
void PlaceImageButton(ButtonWidget* button, Image* image, int x, int y, int width = -1, int height = -1);
// The main-menu button over the frame's main-menu piece at (11, 489): invisible until the mouse
// is over it, then IMAGE_MAINMENUBTN_HILIGHT (also while pressed).
void PlaceMainMenuButton(ButtonWidget* button);
// A new checkbox drawn from IMAGE_CHECKBOX: its left half unchecked, its right half checked.
Checkbox* NewPictureCheckbox(int id, CheckboxListener* listener);

} // namespace Kavo
