#pragma once

#include "game/TutorialScreenListener.h"
#include "widgets/CheckboxListener.h"
#include "widgets/Dialog.h"
#include "widgets/SliderListener.h"

namespace Kavo
{

class Checkbox;
class FancyButton;
class GameApp;
class Slider;
class TutorialScreen;

// The options (dialog 100, 402 x 402 at (199, 100)):
//
// | id   | control               | takes effect                    | event name          |
// |------|-----------------------|---------------------------------|---------------------|
// | 0    | music volume slider   | at once, while it moves         | options_musicvolume |
// | 1    | sound volume slider   | at once; a release plays a move | options_soundvolume |
// | 3    | 3D acceleration box   | on OK                           | options_3d          |
// | 2    | full screen box       | on OK                           | options_fullscreen  |
// | 7    | twinkling stars box   | at once                         |                     |
// | 5    | "How to Play" button  | shows the tutorial as help      | options_help        |
// | 6    | "Credits" button      | closes, opens the credits (102) | options_credits     |
// | 1000 | "Done" button         | switches the screen mode, closes| options_ok          |
//
// A slider logs only when it is let go (not while dragged). Checking 3D on hardware that failed
// the 3D test unchecks it again with notice 212/213; on hardware not recommended for it, notice
// 214/215 and the box stays checked; unchecking full screen where no window is possible checks
// it again with notice 216/217 (notices are one-button dialogs 104). Opening the dialog sets the
// boxes without telling anyone.
class OptionsDialog : public Dialog,
                      public SliderListener,
                      public CheckboxListener,
                      public TutorialScreenListener
{
public:
    static constexpr int kDialogId = 100;
    enum ControlId
    {
        kMusicSlider = 0,
        kSoundSlider = 1,
        kFullScreenBox = 2,
        k3DBox = 3,
        kHelpButton = 5,
        kCreditsButton = 6,
        kStarsBox = 7,
    };

    explicit OptionsDialog(GameApp* app);
    ~OptionsDialog() override;

    // The screen mode changed by other means: the box follows (telling the listener of a change).
    void SetFullScreenChecked(bool checked);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Draw(Graphics* g) override;
    void ButtonDepress(int id) override;

    void SliderVal(int id, double value) override;
    void CheckboxChecked(int id, bool checked) override;
    void OnTutorialFinished() override;
    void SetSkipTutorial() override {}
    void ClearSkipTutorial() override {}

    GameApp* mApp; // not owned
    Slider* mMusicSlider;
    Slider* mSoundSlider;
    Checkbox* m3DBox;
    Checkbox* mFullScreenBox;
    Checkbox* mStarsBox;
    FancyButton* mHelpButton;
    FancyButton* mCreditsButton;
    FancyButton* mOkButton;
    TutorialScreen* mHelpScreen = nullptr; // owned while help shows

private:
    void ShowNotice(int header, int text);
};

} // namespace Kavo
