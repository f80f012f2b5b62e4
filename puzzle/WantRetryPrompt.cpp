#include "puzzle/WantRetryPrompt.h"

#include "base/StringTable.h"

namespace Kavo
{

WantRetryPrompt::WantRetryPrompt(BoardPopupListener* listener, int popupId)
    : BoardDialogPopup(listener, popupId, StringTable::GetString(291), StringTable::GetString(294), false)
{
    SetYesButtonLabel(StringTable::GetString(292));
    SetNoButtonLabel(StringTable::GetString(293));
    Resize(225, 175, 350, 184);
}

void WantRetryPrompt::ButtonDepress(int id)
{
    YesNoDialog::ButtonDepress(id);
    if (id == ID_YES || id == ID_NO) Close(id);
}

} // namespace Kavo
