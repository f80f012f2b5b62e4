#include "game/GameDialogLook.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "widgets/Dialog.h"

namespace Kavo
{

namespace
{

constexpr int kInsetY = 22;
constexpr int kSpaceAfterHeader = 30;
constexpr int kTitleDrop = 20;
// The rule under the title: the middle of a line a pixel wide along row 64 of the box
// picture's 300 rows (the art's), stretched with the box.
constexpr int kPictureHeight = 300;
constexpr int kRuleRow = 64;

} // namespace

void ApplyGameDialogLook(Dialog& dialog, int insetX)
{
    dialog.mContentInsets = Insets(insetX, kInsetY, insetX, kInsetY);
    dialog.mSpaceAfterHeader = kSpaceAfterHeader;
    if (FONT_TEXT != nullptr)
    {
        dialog.SetHeaderFont(FONT_TEXT);
        dialog.SetLinesFont(FONT_TEXT);
        dialog.SetButtonFont(FONT_TEXT);
    }
    dialog.SetColor(Dialog::COLOR_HEADER, Color(255, 255, 0));
    dialog.SetColor(Dialog::COLOR_LINES, Color(255, 255, 0));
}

void DrawGameDialog(Graphics* g, int x, int y, int width, int height, const std::string& title)
{
    YesNoDialog::DrawBox(g, Rect(x, y, width, height));
    if (title.empty() || FONT_LABEL == nullptr) return;
    g->SetFont(FONT_LABEL);
    g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
    g->DrawString(title, x + (width - g->StringWidth(title)) / 2, y + FONT_LABEL->GetHeight() + kTitleDrop);
}

int GameDialogBelowRule(int height)
{
    // The rule's lower edge, half a row under its middle, stretched, and the row after it.
    return ((2 * kRuleRow + 1) * height + kPictureHeight - 1) / (2 * kPictureHeight) + 1;
}

} // namespace Kavo
