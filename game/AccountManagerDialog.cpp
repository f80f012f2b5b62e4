#include "game/AccountManagerDialog.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "game/GameApp.h"
#include "game/GameDialogLook.h"
#include "game/NameDialog.h"
#include "game/UserKeyName.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/WidgetManager.h"

#include <vector>

namespace Kavo
{

namespace
{

constexpr int kInsetX = 50;
constexpr int kButtonHeight = 35;
constexpr int kBelowRule = 7;    // between the title's rule and the list
constexpr int kListBottom = 280; // from the dialog's top
constexpr int kScrollbarWidth = 16;

void Log(const char* event, const std::string& detail = std::string())
{
    if (Logger* log = Logger::Instance()) log->LogControl(event, detail);
}

} // namespace

AccountManagerDialog::AccountManagerDialog(GameApp* app, const std::string& currentName)
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kDialogId, true, std::string(), std::string(),
             std::string(), BUTTONS_NONE),
      mApp(app), mList(new ListWidget(kPlayerList, FONT_TEXT, this)),
      mCreateButton(new FancyButton(kCreateButton, this, FancyButton::kDialogStyle)),
      mDeleteButton(new FancyButton(kDeleteButton, this, FancyButton::kDialogStyle)),
      mOkButton(new FancyButton(ID_OK, this, FancyButton::kDialogStyle)),
      mScrollbar(new ScrollbarWidget(kScrollbar, mList)), mCurrentName(currentName)
{
    ApplyGameDialogLook(*this, kInsetX);
    // Light names on a dark well, the selection in the title yellow.
    static const int kListColors[ListWidget::NUM_COLORS][3] = {
        {16, 16, 40}, {252, 244, 35}, {255, 255, 255}, {252, 244, 35}, {70, 70, 150}, {255, 255, 255},
    };
    mList->SetColors(kListColors, ListWidget::NUM_COLORS);
    mList->mScrollbar.Reset(mScrollbar);
    mScrollbar->SetInvisIfNoScroll(true);
    mCreateButton->mLabel = StringTable::GetString(106);
    mDeleteButton->mLabel = StringTable::GetString(107);
    mOkButton->mLabel = StringTable::GetString(209);
    RefreshList();
    Resize(199, 100, 402, 402);
}

AccountManagerDialog::~AccountManagerDialog()
{
    delete mList;
    delete mScrollbar;
    delete mCreateButton;
    delete mDeleteButton;
    delete mOkButton;
}

// ---------------------------------------------------------------- the list

void AccountManagerDialog::RefreshList()
{
    mList->RemoveAll();
    std::vector<std::string> names;
    ListUserNames(names);
    for (const std::string& name : names)
        mList->AddLine(name, true);
    const std::string current = UserKeyName(mCurrentName);
    int selected = -1;
    for (int line = 0; line < mList->GetLineCount(); ++line)
        if (!current.empty() && UserKeyName(mList->GetLine(line)) == current) selected = line;
    mList->SetSelect(selected);
    UpdateButtons();
}

void AccountManagerDialog::UpdateButtons()
{
    const bool selected = mList->mSelectIdx >= 0;
    mDeleteButton->SetDisabled(!selected);
    mOkButton->SetDisabled(!selected);
    mCreateButton->SetDisabled(false);
}

std::string AccountManagerDialog::SelectedName()
{
    return mList->mSelectIdx >= 0 ? mList->GetLine(mList->mSelectIdx) : std::string();
}

void AccountManagerDialog::ListClicked(int id, int line, int clickCount)
{
    (void)clickCount;
    if (id != kPlayerList) return;
    Log("accountdlg_list", std::to_string(line));
    mList->SetSelect(line);
    UpdateButtons();
}

// ---------------------------------------------------------------- life in the widget manager

void AccountManagerDialog::AddedToManager(WidgetManager* manager)
{
    if (Logger* log = Logger::Instance())
    {
        log->PushScreen();
        log->SetScreen("accountdlg");
    }
    Dialog::AddedToManager(manager);
    manager->AddWidget(mList);
    manager->AddWidget(mCreateButton);
    manager->AddWidget(mDeleteButton);
    manager->AddWidget(mOkButton);
    manager->AddWidget(mScrollbar);
}

void AccountManagerDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mList);
    manager->RemoveWidget(mCreateButton);
    manager->RemoveWidget(mDeleteButton);
    manager->RemoveWidget(mOkButton);
    manager->RemoveWidget(mScrollbar);
    if (Logger* log = Logger::Instance()) log->PopScreen();
}

void AccountManagerDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    const int inner = width - 2 * kInsetX;
    const int fifth = inner / 5;
    const int listTop = GameDialogBelowRule(height) + kBelowRule;
    const int listHeight = kListBottom - listTop;
    mList->Resize(x + kInsetX, y + listTop, inner, listHeight);
    mScrollbar->ResizeScrollbar(mList->mX + mList->mWidth - kScrollbarWidth, mList->mY, kScrollbarWidth,
                                listHeight);
    const int buttonTop = y + kListBottom + 16;
    mCreateButton->Resize(x + kInsetX, buttonTop, 2 * fifth + 20, kButtonHeight);
    mDeleteButton->Resize(mCreateButton->mX + mCreateButton->mWidth + fifth - 40, buttonTop, 2 * fifth + 20,
                          kButtonHeight);
    mOkButton->Resize(x + kInsetX, y + height - 22 - kButtonHeight, inner, kButtonHeight);
}

void AccountManagerDialog::Draw(Graphics* g)
{
    DrawGameDialog(g, 0, 0, mWidth, mHeight, StringTable::GetString(109));
}

// ---------------------------------------------------------------- buttons

void AccountManagerDialog::ButtonDepress(int id)
{
    switch (id)
    {
    case ID_OK:
    {
        Log("accountdlg_ok");
        const std::string name = SelectedName();
        if (mList->mSelectIdx < 0) return;
        Dialog::ButtonDepress(ID_OK);
        GameApp* app = mApp;
        app->SwitchUser(name);
        app->KillDialogPtr(this);
        return;
    }
    case kCreateButton:
    {
        Log("accountdlg_create");
        GameApp* app = mApp;
        app->KillDialogPtr(this);
        app->AddDialogWithId(NameDialog::kDialogId, new NameDialog(std::string()));
        return;
    }
    case kDeleteButton:
    {
        Log("accountdlg_delete");
        const std::string name = SelectedName();
        if (mList->mSelectIdx < 0) return;
        auto* confirm = new YesNoDialog(StringTable::GetString(110, name), StringTable::GetString(111, name),
                                        this, false, kConfirmDialogId);
        mApp->AddDialogWithId(kConfirmDialogId, confirm);
        return;
    }
    default:
        return;
    }
}

void AccountManagerDialog::DialogButtonDepress(int dialogId, int buttonId)
{
    if (dialogId == kConfirmDialogId && buttonId == ID_YES && mList->mSelectIdx >= 0)
        DeletePlayer(SelectedName());
    mApp->KillDialog(dialogId);
}

void AccountManagerDialog::DeletePlayer(const std::string& name)
{
    const bool current = UserKeyName(mApp->mPlayer.GetName()) == UserKeyName(name);
    DeleteUserFromRegistry(name);
    if (current) mApp->ForgetCurrentPlayer();
    mApp->RemoveSavedGameOf(name);
    RefreshList();
}

} // namespace Kavo
