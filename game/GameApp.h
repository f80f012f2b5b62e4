#pragma once

#include "app/KavoAppBase.h"

#include <memory>

namespace Kavo
{

class Logger;

// The game's application object. So far it sets the game's own start-up values over the
// framework's defaults and keeps the event log; its screens come later.
class GameApp : public KavoAppBase
{
public:
    GameApp();
    ~GameApp() override;

    void Initialize() override;
    void DeletingDestructor(int flags) override;

    // The twinkling-stars effect is wanted (a player setting).
    bool mTwinklingStars = false;
    // The music track last faded in; -1 none.
    int mMusicTrack = -1;
    // Whether the display decides 3D acceleration by its test.
    bool mAutoEnable3D = false;

private:
    std::unique_ptr<Logger> mLogger;
};

} // namespace Kavo
