#pragma once

#include "puzzle/BoardHost.h"

namespace Kavo
{

// The host that answers while no game is installed: it does nothing, and reports no flags, no
// hints turned off, no stars and no background preloader. Programs without a game (benchmarks)
// derive from it and override what they need.
class SilentBoardHost : public BoardHost
{
public:
    void LevelOver(int gameMode, const std::string& challengeKey, int score, int level, int extra,
                   bool retry) override;
    void PlayMusicTrack(int track) override;
    void ShowMainMenu() override {}
    void RecordTopLevelReached(int level) override;
    int GetGuiFlags() override { return 0; }
    void SetGuiFlags(int flags) override;
    int GetDisabledHints() override { return 0; }
    void SetDisabledHints(int hints) override;
    bool TwinklingStarsOn() override { return false; }
    BackgroundLoader* GetBackgroundLoader() override { return nullptr; }
};

} // namespace Kavo
