#pragma once

#include "base/Rect.h"
#include "puzzle/BoardDialogPopup.h"
#include "widgets/CheckboxListener.h"

namespace Kavo
{

class Board;
class Checkbox;

// A hint about a rule of the level, one per hint bit (HintFlag), with a "do not show again"
// check box (id 1) for most hints, shown from the dialog's 15th update. 450 x 300 at
// ((screen width - 450) / 2, 150). Its button logs "hint_ok" and reports (popup id, 1000).
// When a box that was shown is destroyed, the hint bit is set in the player's disabled hints
// (through the board host) when the check box is checked, and cleared when it is not; a box
// that never showed leaves them alone.
//
// Show flags: 10 for hintCheckpoint (waits for the end of the level), else 6 (waits for play
// state 0; the board goes on).
class BoardHintBox : public BoardDialogPopup, public CheckboxListener
{
public:
    // board: the board whose bonus the bonus hints show (may be null).
    BoardHintBox(BoardPopupListener* listener, Board* board, int popupId, int hintBit);
    ~BoardHintBox() override;

    // The header and message text ids of a hint bit; false for a bit without texts.
    static bool HintTexts(int hintBit, int& headerId, int& messageId);
    // Whether the hint offers "do not show again".
    static bool OffersCheckbox(int hintBit);

    bool Show() override;
    int GetShowFlags() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using YesNoDialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Update() override;
    void Draw(Graphics* g) override;
    // Where the hint's example picture stands in the box; empty for a hint without one.
    Rect ExampleRect();
    void ButtonDepress(int id) override;
    void CheckboxChecked(int id, bool checked) override;

    Board* mBoard; // not owned
    int mHintBit;
    Checkbox* mCheckbox = nullptr; // owned; null when the hint offers none
    bool mShown = false;           // Show put it on the screen
};

} // namespace Kavo
