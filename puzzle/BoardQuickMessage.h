#pragma once

#include "puzzle/BoardPopup.h"
#include "puzzle/YesNoDialog.h"

namespace Kavo
{

// A one-button message over the board (show flags 1: the board's picture is hidden behind it).
// Its button closes it and reports (popup id, 1000).
class BoardQuickMessage : public YesNoDialog, public BoardPopup
{
public:
    BoardQuickMessage(BoardPopupListener* listener, int popupId, const std::string& header,
                      const std::string& message);

    bool Show() override;
    int GetShowFlags() override { return kHidesBoard; }
    void Withdraw() override;
    void ButtonDepress(int id) override;
};

} // namespace Kavo
