#include "puzzle/WantRetryPrompt.h"

namespace Kavo
{

WantRetryPrompt::WantRetryPrompt(BoardPopupListener* listener, int popupId)
    : YesNoDialog(std::string(), std::string(), nullptr, false, popupId), BoardPopup(listener, popupId)
{
}

bool WantRetryPrompt::Show()
{
    return false;
}

void WantRetryPrompt::Withdraw() {}

void WantRetryPrompt::ButtonDepress(int id)
{
    (void)id;
}

} // namespace Kavo
