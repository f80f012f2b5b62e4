#include "puzzle/BoardDialogPopup.h"

#include "app/KavoAppBase.h"
#include "puzzle/BoardPopupListener.h"

namespace Kavo
{

BoardDialogPopup::BoardDialogPopup(BoardPopupListener* listener, int popupId, const std::string& header,
                                   const std::string& message, bool oneButton)
    : YesNoDialog(header, message, nullptr, oneButton, popupId), BoardPopup(listener, popupId)
{
    mDialogListener = nullptr; // the popup's listener hears of the buttons
}

bool BoardDialogPopup::Show()
{
    gKavoApp->AddDialogWithId(mPopupId, this);
    return true;
}

void BoardDialogPopup::Withdraw()
{
    gKavoApp->KillDialogPtr(this);
}

void BoardDialogPopup::Close(int result)
{
    gKavoApp->KillDialogPtr(this);
    if (mListener != nullptr) mListener->OnPopupClosed(mPopupId, result);
}

} // namespace Kavo
