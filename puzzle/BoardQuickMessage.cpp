#include "puzzle/BoardQuickMessage.h"

namespace Kavo
{

BoardQuickMessage::BoardQuickMessage(BoardPopupListener* listener, int popupId, const std::string& header,
                                     const std::string& message)
    : BoardDialogPopup(listener, popupId, header, message, true)
{
}

void BoardQuickMessage::ButtonDepress(int id)
{
    YesNoDialog::ButtonDepress(id);
    if (id == ID_YES) Close(ID_YES);
}

} // namespace Kavo
