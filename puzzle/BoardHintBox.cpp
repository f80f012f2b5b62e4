#include "puzzle/BoardHintBox.h"

namespace Kavo
{

BoardHintBox::BoardHintBox(BoardPopupListener* listener, Board* board, int popupId, int hintBit)
    : YesNoDialog(std::string(), std::string(), nullptr, true, popupId), BoardPopup(listener, popupId),
      mBoard(board), mHintBit(hintBit)
{
}

BoardHintBox::~BoardHintBox() = default;

bool BoardHintBox::HintTexts(int hintBit, int& headerId, int& messageId)
{
    (void)hintBit;
    headerId = messageId = 0;
    return false;
}

bool BoardHintBox::OffersCheckbox(int hintBit)
{
    (void)hintBit;
    return false;
}

bool BoardHintBox::Show()
{
    return false;
}

int BoardHintBox::GetShowFlags()
{
    return 6;
}

void BoardHintBox::Withdraw() {}

void BoardHintBox::AddedToManager(WidgetManager* manager)
{
    YesNoDialog::AddedToManager(manager);
}

void BoardHintBox::RemovedFromManager(WidgetManager* manager)
{
    YesNoDialog::RemovedFromManager(manager);
}

void BoardHintBox::Resize(int x, int y, int width, int height)
{
    YesNoDialog::Resize(x, y, width, height);
}

void BoardHintBox::Update()
{
    YesNoDialog::Update();
}

void BoardHintBox::Draw(Graphics* g)
{
    YesNoDialog::Draw(g);
}

void BoardHintBox::ButtonDepress(int id)
{
    (void)id;
}

void BoardHintBox::CheckboxChecked(int id, bool checked)
{
    (void)id;
    (void)checked;
}

} // namespace Kavo
