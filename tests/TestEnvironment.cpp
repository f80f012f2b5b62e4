// Linked into every test program: whoever starts it, from whatever folder, a test program runs in
// its own scratch folder under the build tree, with SDL's dummy drivers, and keeps its per-user data
// and its single-instance locks in that folder.
#include "platform/Files.h"

#include <cstdlib>
#include <string>

namespace
{

struct TestEnvironment
{
    TestEnvironment()
    {
        const std::string work = KAVO_TEST_WORKDIR;
        platform::MakeDirectory(work);
        platform::SetCurrentFolder(work);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("XDG_DATA_HOME", (work + "/xdg-data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", work.c_str(), 1);
    }
} gTestEnvironment;

} // namespace
