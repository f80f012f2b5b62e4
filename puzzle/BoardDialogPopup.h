#pragma once

#include "puzzle/BoardPopup.h"
#include "puzzle/YesNoDialog.h"

namespace Kavo
{

// An in-board popup that is a yes/no dialog: shown through the application's dialog list under
// its popup id, closed there, and reporting its button to the popup's listener rather than to a
// dialog listener.
class BoardDialogPopup : public YesNoDialog, public BoardPopup
{
public:
    BoardDialogPopup(BoardPopupListener* listener, int popupId, const std::string& header,
                     const std::string& message, bool oneButton);

    bool Show() override;
    void Withdraw() override;

protected:
    // Closes the dialog and tells the listener (popup id, result).
    void Close(int result);
};

} // namespace Kavo
