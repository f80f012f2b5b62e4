#include "puzzle/SilentBoardHost.h"

namespace Kavo
{

void SilentBoardHost::LevelOver(int, const std::string&, int, int, int, bool) {}
void SilentBoardHost::PlayMusicTrack(int) {}
void SilentBoardHost::RecordTopLevelReached(int) {}
void SilentBoardHost::SetGuiFlags(int) {}
void SilentBoardHost::SetDisabledHints(int) {}

} // namespace Kavo
