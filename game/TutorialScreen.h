#pragma once

#include "game/TutorialScript.h"
#include "widgets/ButtonListener.h"
#include "widgets/CheckboxListener.h"
#include "widgets/Widget.h"

namespace Kavo
{

class Checkbox;
class FancyButton;
class TutorialScreenListener;

// How to play (screen 4): the tutorial picture with the scripted demonstration looping over it
// (times 0 to TutorialScript::kLastTime, then again from 0), an OK button and, when shown
// before a game, a "skip this next time" check box.
//
// | form       | OK label | check box | caption 253 |
// |------------|----------|-----------|-------------|
// | game start | 251      | yes       | yes         |
// | help       | 203      | no        | no          |
class TutorialScreen : public Widget, public ButtonListener, public CheckboxListener
{
public:
    static constexpr int kOkButtonId = 11;
    static constexpr int kSkipCheckboxId = 1;

    TutorialScreen(TutorialScreenListener* listener, bool gameStartForm);
    ~TutorialScreen() override;

    void CreateControls();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // The tutorial's background covers the screen when it is opaque and as large as the screen.
    bool IsOpaque() override;
    void ButtonDepress(int id) override;
    void CheckboxChecked(int id, bool checked) override;

    TutorialScreenListener* mListener; // not owned
    bool mGameStartForm;
    FancyButton* mOkButton = nullptr;  // owned
    Checkbox* mSkipCheckbox = nullptr; // owned
    TutorialActorList mActors;
    int mScriptTime = 0;

private:
    // An actor as the screen last marked it.
    struct ShownActor
    {
        bool visible = false;
        Rect area;
        std::vector<float> look;
    };
    // Marks the places of the actors whose look changed since the last call (all of the screen
    // when the script began again).
    void MarkChangedActors();
    std::vector<ShownActor> mShownActors;
    std::vector<float> mLookNow; // MarkChangedActors' room for an actor's look of now
};

} // namespace Kavo
