#include "puzzle/WantRetryPrompt.h"

#include "app/KavoAppBase.h"
#include "base/StringTable.h"
#include "puzzle/BoardPopupListener.h"

namespace Kavo
{

WantRetryPrompt::WantRetryPrompt(BoardPopupListener* listener, int popupId)
    : YesNoDialog(StringTable::GetString(291), StringTable::GetString(294), nullptr, false, popupId),
      BoardPopup(listener, popupId)
{
    mDialogListener = nullptr; // the popup's listener hears of the buttons
    SetYesButtonLabel(StringTable::GetString(292));
    SetNoButtonLabel(StringTable::GetString(293));
    Resize(225, 175, 350, 184);
}

bool WantRetryPrompt::Show()
{
    gKavoApp->AddDialogWithId(mPopupId, this);
    return true;
}

void WantRetryPrompt::Withdraw()
{
    gKavoApp->KillDialogPtr(this);
}

void WantRetryPrompt::ButtonDepress(int id)
{
    YesNoDialog::ButtonDepress(id);
    if (id != ID_YES && id != ID_NO) return;
    gKavoApp->KillDialogPtr(this);
    if (mListener != nullptr) mListener->OnPopupClosed(mPopupId, id);
}

} // namespace Kavo
