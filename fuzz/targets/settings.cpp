// The settings store's file image. What is read is written again, and the written image must read
// back to the same image: the store loses nothing it accepted.
#include "fuzz/FuzzTarget.h"
#include "platform/files/Registry.h"

#include <cstdio>
#include <cstdlib>

KAVO_FUZZ_TARGET(settings)
{
    platform::RegistryStore store;
    std::string error;
    if (!store.Deserialize(fuzz::AsText(data, size), error)) return 0;
    const std::string image = store.Serialize();
    platform::RegistryStore again;
    if (!again.Deserialize(image, error) || again.Serialize() != image)
    {
        std::fprintf(stderr, "a settings image read back differently: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
