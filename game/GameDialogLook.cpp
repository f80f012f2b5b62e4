#include "game/GameDialogLook.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "widgets/Dialog.h"

namespace Kavo
{

namespace
{

constexpr int kInsetY = 22;
constexpr int kSpaceAfterHeader = 30;
constexpr int kTitleDrop = 20;

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

void DrawGameDialog(Graphics* g, int width, int height, const std::string& title)
{
    g->SetColor(Color::Black);
    g->FillRect(0, 0, width, height);
    if (IMAGE_DIALOG_BOX != nullptr) g->DrawImageStretched(IMAGE_DIALOG_BOX, 0, 0, width, height);
    if (title.empty() || FONT_LABEL == nullptr) return;
    g->SetFont(FONT_LABEL);
    g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
    g->DrawString(title, (width - g->StringWidth(title)) / 2, FONT_LABEL->GetHeight() + kTitleDrop);
}

} // namespace Kavo
