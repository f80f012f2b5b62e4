// Sound effects from AU files: 8-bit linear and mu-law.
#include "fuzz/SoundTarget.h"

KAVO_FUZZ_TARGET(sound_au)
{
    return fuzz::LoadSound(data, size, ".au");
}
