#include "puzzle/BoardQuickMessage.h"

namespace Kavo
{

BoardQuickMessage::BoardQuickMessage(BoardPopupListener* listener, int popupId, const std::string& header,
                                     const std::string& message)
    : YesNoDialog(header, message, nullptr, true, popupId), BoardPopup(listener, popupId)
{
}

bool BoardQuickMessage::Show()
{
    return false;
}

void BoardQuickMessage::Withdraw() {}

void BoardQuickMessage::ButtonDepress(int id)
{
    (void)id;
}

} // namespace Kavo
