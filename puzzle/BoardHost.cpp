#include "puzzle/BoardHost.h"

#include "puzzle/SilentBoardHost.h"

namespace Kavo
{

namespace
{
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
