#include "game/CreditsDialog.h"

#include "app/KavoAppBase.h"
#include "base/Logger.h"
#include "base/StringTable.h"
#include "game/GameDialogLook.h"
#include "graphics/Graphics.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kInsetX = 65;
constexpr int kButtonHeight = 35;
constexpr int kSectionsTop = 70;
constexpr int kAfterHeading = 10;
constexpr int kAfterBody = 60;
constexpr int kLeastAfterBody = 8;
constexpr int kButtonGap = 8; // kept free above the close button
constexpr int kSections = 3;
constexpr int kLeftAligned = 2;

} // namespace

CreditsDialog::CreditsDialog()
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kDialogId, true, std::string(), std::string(),
             std::string(), BUTTONS_NONE),
      mCloseButton(new FancyButton(ID_OK, this, FancyButton::kDialogStyle))
{
    ApplyGameDialogLook(*this, kInsetX);
    mCloseButton->mLabel = StringTable::GetString(209);
    Resize(199, 100, 402, 402);
}

CreditsDialog::~CreditsDialog()
{
    delete mCloseButton;
}

void CreditsDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    manager->AddWidget(mCloseButton);
}

void CreditsDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mCloseButton);
}

void CreditsDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    mCloseButton->Resize(x + mContentInsets.mLeft, y + height - mContentInsets.mBottom - kButtonHeight,
                         width - mContentInsets.mLeft - mContentInsets.mRight, kButtonHeight);
}

void CreditsDialog::Draw(Graphics* g)
{
    DrawGameDialog(g, 0, 0, mWidth, mHeight, StringTable::GetString(152));
    if (FONT_EXCITED == nullptr || FONT_TEXT == nullptr) return;
    Rect area(mContentInsets.mLeft, mContentInsets.mTop + kSectionsTop,
              mWidth - mContentInsets.mLeft - mContentInsets.mRight,
              mHeight - mContentInsets.mTop - mContentInsets.mBottom);

    // The sections stand 60 pixels apart where there is room; with our fonts the three of them
    // rarely leave that much above the button, so the gaps shrink to share what is left.
    int used = 0;
    for (int section = 0; section < kSections; ++section)
    {
        g->SetFont(FONT_EXCITED);
        used +=
            g->GetWordWrappedHeight(area.mWidth, StringTable::GetString(153 + 2 * section)) + kAfterHeading;
        g->SetFont(FONT_TEXT);
        used += g->GetWordWrappedHeight(area.mWidth, StringTable::GetString(154 + 2 * section));
    }
    const int room = mCloseButton->mY - mY - kButtonGap - area.mY - used;
    const int gap = std::clamp(room / (kSections - 1), kLeastAfterBody, kAfterBody);

    for (int section = 0; section < kSections; ++section)
    {
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        g->SetFont(FONT_EXCITED);
        area.mY += g->WriteWordWrapped(area, StringTable::GetString(153 + 2 * section), -1, kLeftAligned) +
                   kAfterHeading;
        g->SetColor(Color::White);
        g->SetFont(FONT_TEXT);
        area.mY +=
            g->WriteWordWrapped(area, StringTable::GetString(154 + 2 * section), -1, kLeftAligned) + gap;
    }
}

void CreditsDialog::ButtonDepress(int id)
{
    Dialog::ButtonDepress(id);
    if (id != ID_OK) return;
    if (Logger* log = Logger::Instance()) log->LogControl("credits_ok", std::string());
    if (gKavoApp != nullptr) gKavoApp->KillDialogPtr(this);
}

} // namespace Kavo
