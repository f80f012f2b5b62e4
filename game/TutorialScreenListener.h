#pragma once

namespace Kavo
{

// What the tutorial screen tells whoever showed it: the game application before a game, or
// the options dialog when the player asks for help. Not owned.
class TutorialScreenListener
{
public:
    virtual ~TutorialScreenListener() = default;

    // The OK button was pressed.
    virtual void OnTutorialFinished() = 0;
    // The "skip this next time" box was checked or unchecked.
    virtual void SetSkipTutorial() = 0;
    virtual void ClearSkipTutorial() = 0;
};

} // namespace Kavo
