#include "puzzle/BoardHost.h"

namespace Kavo
{

namespace
{

class SilentBoardHost : public BoardHost
{
public:
    void LevelOver(int, const std::string&, int, int, int, bool) override {}
    void PlayMusicTrack(int) override {}
    void ShowMainMenu() override {}
    void RecordTopLevelReached(int) override {}
    int GetGuiFlags() override { return 0; }
    void SetGuiFlags(int) override {}
    int GetDisabledHints() override { return 0; }
    void SetDisabledHints(int) override {}
    bool TwinklingStarsOn() override { return false; }
    BackgroundLoader* GetBackgroundLoader() override { return nullptr; }
};

SilentBoardHost sSilentHost;
BoardHost* sHost = nullptr;

} // namespace

BoardHost& GetBoardHost()
{
    return sHost != nullptr ? *sHost : sSilentHost;
}

void SetBoardHost(BoardHost* host)
{
    sHost = host;
}

} // namespace Kavo
