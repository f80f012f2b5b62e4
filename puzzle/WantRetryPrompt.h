#pragma once

#include "puzzle/BoardDialogPopup.h"

namespace Kavo
{

// The question whether to try a lost game again: header text 291, message text 294, buttons
// 292 (yes, 1000) and 293 (no, 1001), at (225, 175), 350 x 184. Either button closes it and
// reports (popup id, button id).
class WantRetryPrompt : public BoardDialogPopup
{
public:
    WantRetryPrompt(BoardPopupListener* listener, int popupId);

    void ButtonDepress(int id) override;
};

} // namespace Kavo
