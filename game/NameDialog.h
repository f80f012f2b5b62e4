#pragma once

#include "widgets/Dialog.h"
#include "widgets/EditListener.h"

#include <string>

namespace Kavo
{

class EditWidget;
class FancyButton;

// Asks the player for a name (dialog 101, modal, 300 x 200 at (250, 125)). Its OK button
// (1000, text 203) is enabled only while the name is valid: not empty once blanks, tabs, line
// feeds and returns are trimmed from both ends. The field takes at most 12 characters: ASCII
// letters and digits, ".", "'", the blank and any byte from 128 up. OK (or Enter on a valid
// name) tells the dialog's listener, the game application, which reads GetName.
class NameDialog : public Dialog, public EditListener
{
public:
    static constexpr int kDialogId = 101;
    static constexpr int kMaxChars = 12;

    explicit NameDialog(const std::string& initialName);
    ~NameDialog() override;

    // The field's text as typed (not trimmed).
    std::string GetName() const;
    static bool IsValidName(const std::string& name);
    static bool IsAllowedChar(char c);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void ButtonDepress(int id) override;

    bool AllowChar(int id, char c) override;
    bool AllowText(int id, const std::string& text) override;
    void EditWidgetText(int id, const std::string& text) override;

    EditWidget* mNameField; // owned
    FancyButton* mOkButton; // owned

private:
    void UpdateOkButton(const std::string& text);
};

} // namespace Kavo
