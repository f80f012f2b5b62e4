#pragma once

#include <string>

namespace Kavo
{

class Dialog;
class Graphics;

// The look that the game's own dialogs (challenge info, credits, options, players) share: the
// box IMAGE_DIALOG_BOX stretched over the whole dialog (black without it), a title in FONT_LABEL and the
// title yellow, centred, with its baseline at the font's height + 20; FONT_TEXT for the header,
// lines and buttons, colours 0 and 1 yellow (255, 255, 0) and 30 pixels after the header.

// Sets the fonts, colours, insets (left and right insetX, top and bottom 22) and spacing.
void ApplyGameDialogLook(Dialog& dialog, int insetX);
// Stretches the box over the rectangle (the dialog's, or a smaller one while it opens) and
// writes the title (nothing for "").
void DrawGameDialog(Graphics* g, int x, int y, int width, int height, const std::string& title);
// The first row under the fine rule below the title of a box drawn height pixels high: the
// rule runs along row 64 of the box picture's 300 and is stretched with it.
int GameDialogBelowRule(int height);

} // namespace Kavo
