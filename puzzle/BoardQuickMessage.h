#pragma once

#include "puzzle/BoardDialogPopup.h"

namespace Kavo
{

// A one-button message over the board (show flags 1: the board's picture is hidden behind it).
// Its button closes it and reports (popup id, 1000).
class BoardQuickMessage : public BoardDialogPopup
{
public:
    BoardQuickMessage(BoardPopupListener* listener, int popupId, const std::string& header,
                      const std::string& message);

    int GetShowFlags() override { return kHidesBoard; }
    void ButtonDepress(int id) override;
};

} // namespace Kavo
