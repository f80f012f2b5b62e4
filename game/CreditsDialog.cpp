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

namespace Kavo
{

namespace
{

constexpr int kInsetX = 65;
constexpr int kButtonHeight = 35;
constexpr int kSectionsTop = 70;
constexpr int kAfterHeading = 10;
constexpr int kAfterBody = 60;
constexpr int kLeftAligned = 2;

} // namespace

CreditsDialog::CreditsDialog()
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kDialogId, true, std::string(), std::string(),
             std::string(), BUTTONS_NONE),
      mCloseButton(new FancyButton(ID_OK, this, FancyButton::kDialogStyle))
{
    mContentInsets = Insets(kInsetX, 22, kInsetX, 22);
    mSpaceAfterHeader = 30;
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
    DrawGameDialog(g, mWidth, mHeight, StringTable::GetString(152));
    Rect area(mContentInsets.mLeft, mContentInsets.mTop + kSectionsTop,
              mWidth - mContentInsets.mLeft - mContentInsets.mRight,
              mHeight - mContentInsets.mTop - mContentInsets.mBottom);
    for (int section = 0; section < 3; ++section)
    {
        if (FONT_EXCITED != nullptr)
        {
            g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
            g->SetFont(FONT_EXCITED);
            area.mY +=
                g->WriteWordWrapped(area, StringTable::GetString(153 + 2 * section), -1, kLeftAligned) +
                kAfterHeading;
        }
        if (FONT_TEXT != nullptr)
        {
            g->SetColor(Color::White);
            g->SetFont(FONT_TEXT);
            area.mY +=
                g->WriteWordWrapped(area, StringTable::GetString(154 + 2 * section), -1, kLeftAligned) +
                kAfterBody;
        }
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
