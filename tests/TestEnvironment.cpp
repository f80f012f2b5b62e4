// Linked into every test program: whoever starts it, from whatever folder, a test program runs in
// its own scratch folder under the build tree, with SDL's dummy drivers, and keeps its per-user data
// and its single-instance locks in that folder.
#include "platform/files/Files.h"
#include "tests/HeadlessEnvironment.h"

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
        UseHeadlessEnvironment(work);
    }
} gTestEnvironment;

} // namespace
