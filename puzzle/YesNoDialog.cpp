#include "puzzle/YesNoDialog.h"

#include "puzzle/FancyButton.h"

namespace Kavo
{

YesNoDialog::YesNoDialog(const std::string& header, const std::string& text, DialogListener* listener,
                         bool oneButton, int dialogId)
    : Dialog(nullptr, nullptr, dialogId, true, header, text, std::string(), BUTTONS_NONE)
{
    (void)listener;
    (void)oneButton;
}

YesNoDialog::~YesNoDialog()
{
    DestroyButtons();
}

void YesNoDialog::SetYesButtonLabel(const std::string& label)
{
    (void)label;
}

void YesNoDialog::SetNoButtonLabel(const std::string& label)
{
    (void)label;
}

void YesNoDialog::DestroyButtons()
{
    delete mFirstButton;
    delete mSecondButton;
    mFirstButton = nullptr;
    mSecondButton = nullptr;
}

void YesNoDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
}

void YesNoDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
}

void YesNoDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
}

void YesNoDialog::Update() {}

void YesNoDialog::Draw(Graphics* g)
{
    DrawDialog(g);
}

bool YesNoDialog::DrawDialog(Graphics* g)
{
    (void)g;
    return true;
}

void YesNoDialog::ButtonDepress(int id)
{
    Dialog::ButtonDepress(id);
}

} // namespace Kavo
