#pragma once

#include "app/PlaybackDialog.h"
#include "widgets/EditListener.h"

#include <string>

namespace Kavo
{

class ButtonWidget;
class EditWidget;

// The "Jump To Time" dialog of demo playback: an edit field for a time before the end ("90",
// "1:30" or "0:1:30"), the default button "Ok" (also Enter in the field) and "Cancel".
class JumpToTimeDialog : public PlaybackDialog, public EditListener
{
public:
    // Button ids, which are also the results.
    enum
    {
        ID_OK_BUTTON = RESULT_OK,
        ID_CANCEL_BUTTON = RESULT_CANCEL,
    };
    // Text beyond this many characters is not kept.
    static constexpr int kMaxChars = 500;

    // The field starts with text, all of it selected.
    explicit JumpToTimeDialog(const std::string& text);
    ~JumpToTimeDialog() override;

    const std::string& GetText() const;
    EditWidget* GetEdit() { return mEdit; }
    Widget* GetInitialFocus() override;

    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    using Dialog::ButtonDepress;
    void ButtonDepress(int id) override;
    void EditWidgetText(int id, const std::string& text) override;

private:
    EditWidget* mEdit = nullptr;           // owned
    ButtonWidget* mOkButton = nullptr;     // owned
    ButtonWidget* mCancelButton = nullptr; // owned
};

} // namespace Kavo
