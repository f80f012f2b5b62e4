#pragma once

#include "widgets/Dialog.h"

#include <string>

namespace Kavo
{

class DialogListener;
class FancyButton;

// The game's message box: a modal dialog on IMAGE_DIALOG_BOX with a header (FONT_LABEL,
// yellow), word-wrapped text (FONT_TEXT, white) and one button (id 1000, text 203) or two
// (1000 text 205, 1001 text 206) in the dialog look. It opens over 15 updates, growing from
// its centre with the buttons hidden (SOUND_ZOOMOUT plays as it is added). A press disables
// both buttons before the listener hears of it. Placed at (225, 150), 350 x 234, until resized.
//
// Button layout inside the content insets (45, 22, 45, 22), 35 pixels high at the bottom:
// one button spans the content width; two are each 2/5 of it, a fifth apart, left-aligned.
class YesNoDialog : public Dialog
{
public:
    static constexpr int kOpeningUpdates = 15;
    static constexpr int kButtonHeight = 35;

    // listener: where the buttons are reported (the application's listener when null).
    YesNoDialog(const std::string& header, const std::string& text, DialogListener* listener, bool oneButton,
                int dialogId);
    ~YesNoDialog() override;

    void SetYesButtonLabel(const std::string& label);
    // Nothing on a one-button dialog.
    void SetNoButtonLabel(const std::string& label);
    void DestroyButtons();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Update() override;
    void Draw(Graphics* g) override;
    // The full dialog was drawn (false while opening).
    bool DrawDialog(Graphics* g);
    // Where the text is written, inside the dialog (its height 0: the text takes what it needs),
    // and the bottom of the text's last line there.
    Rect TextArea() const;
    int TextBottom();
    // IMAGE_DIALOG_BOX stretched over box (black without the picture).
    static void DrawBox(Graphics* g, const Rect& box);
    void ButtonDepress(int id) override;

    FancyButton* mFirstButton = nullptr;  // id 1000, owned
    FancyButton* mSecondButton = nullptr; // id 1001, two-button form only, owned
    int mOpeningCounter = 0;
    bool mOpeningAnimation = true;
};

} // namespace Kavo
