#include "puzzle/BoardQuickMessage.h"

#include "app/KavoAppBase.h"
#include "puzzle/BoardPopupListener.h"

namespace Kavo
{

BoardQuickMessage::BoardQuickMessage(BoardPopupListener* listener, int popupId, const std::string& header,
                                     const std::string& message)
    : YesNoDialog(header, message, nullptr, true, popupId), BoardPopup(listener, popupId)
{
    mDialogListener = nullptr; // the popup's listener hears of the button
}

bool BoardQuickMessage::Show()
{
    gKavoApp->AddDialogWithId(mPopupId, this);
    return true;
}

void BoardQuickMessage::Withdraw()
{
    gKavoApp->KillDialogPtr(this);
}

void BoardQuickMessage::ButtonDepress(int id)
{
    YesNoDialog::ButtonDepress(id);
    if (id != ID_YES) return;
    gKavoApp->KillDialogPtr(this);
    if (mListener != nullptr) mListener->OnPopupClosed(mPopupId, ID_YES);
}

} // namespace Kavo
