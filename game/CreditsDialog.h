#pragma once

#include "widgets/Dialog.h"

namespace Kavo
{

class FancyButton;

// Who made the game (dialog 102, opened from the options dialog): the title (text 152) and three
// sections, each a heading (153, 155, 157; FONT_EXCITED, yellow) above a word-wrapped body (154,
// 156, 158; FONT_TEXT, white), laid out downwards, 60 pixels apart where there is room and
// closer where there is not; one button (1000, "Done") closes it.
class CreditsDialog : public Dialog
{
public:
    static constexpr int kDialogId = 102;

    CreditsDialog();
    ~CreditsDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void ButtonDepress(int id) override;

    FancyButton* mCloseButton; // id 1000, owned
};

} // namespace Kavo
