#pragma once

#include "widgets/Dialog.h"
#include "widgets/DialogListener.h"
#include "widgets/ListListener.h"

#include <string>

namespace Kavo
{

class FancyButton;
class GameApp;
class ListWidget;
class ScrollbarWidget;

// The players (dialog 112, 402 x 402 at (199, 100)): the stored players in a sorted list (id
// 25, with its scroll bar 29), the current player selected.
//
// | id   | button       | acts                                                            |
// |------|--------------|-----------------------------------------------------------------|
// | 1000 | Done         | with a selected line: switches to that player and closes        |
// | 23   | New Player   | closes and opens the name dialog (101)                          |
// | 24   | Delete       | with a selected line: asks first (dialog 104, texts 110 / 111); |
// |      |              | yes erases the player's record and saved game                   |
//
// Done and Delete are disabled while no line is selected. Deleting the current player leaves the
// game without a named player (and without a game to save or resume).
class AccountManagerDialog : public Dialog, public ListListener, public DialogListener
{
public:
    static constexpr int kDialogId = 112;
    static constexpr int kConfirmDialogId = 104;
    enum ControlId
    {
        kCreateButton = 23,
        kDeleteButton = 24,
        kPlayerList = 25,
        kScrollbar = 29,
    };

    AccountManagerDialog(GameApp* app, const std::string& currentName);
    ~AccountManagerDialog() override;

    void RefreshList();
    void UpdateButtons();
    // The selected line's text, "" for none.
    std::string SelectedName();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void ButtonDepress(int id) override;

    void ListClicked(int id, int line, int clickCount) override;
    using DialogListener::DialogButtonPress;
    void DialogButtonDepress(int dialogId, int buttonId) override;

    GameApp* mApp; // not owned
    ListWidget* mList;
    FancyButton* mCreateButton;
    FancyButton* mDeleteButton;
    FancyButton* mOkButton;
    ScrollbarWidget* mScrollbar;
    std::string mCurrentName;

private:
    void DeletePlayer(const std::string& name);
};

} // namespace Kavo
