#pragma once

#include "widgets/Dialog.h"

#include <memory>
#include <string>

namespace Kavo
{

class Font;

// A small modal dialog shown over a playing demo (see KavoAppBase::RunPlaybackDialog): a title
// over an area of controls, in the framework's dialog frame, all in 8 point "Tahoma". It reports
// to no listener: the playback reads its result and its controls when it has ended.
class PlaybackDialog : public Dialog
{
public:
    // Results.
    enum
    {
        RESULT_OK = 1,
        RESULT_CANCEL = 2,
    };

    // clientWidth x clientHeight pixels of controls below the title.
    PlaybackDialog(const std::string& title, int clientWidth, int clientHeight);
    ~PlaybackDialog() override;

    // Where the controls lie, relative to the dialog.
    Rect GetClientRect();
    // The dialog's font; null when no font can be made (text is then not drawn).
    Font* GetFont() { return mFont.get(); }
    // The control that takes the keyboard when the dialog opens; null for none.
    virtual Widget* GetInitialFocus() { return nullptr; }
    // Ends the dialog with a result (RESULT_OK, RESULT_CANCEL).
    void End(int result) { SetResult(result); }

protected:
    std::unique_ptr<Font> mFont;
    int mTitleHeight = 0;
};

} // namespace Kavo
