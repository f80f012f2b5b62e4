// Sound effects from Ogg Vorbis files through the integer decoder.
#include "fuzz/SoundTarget.h"

KAVO_FUZZ_TARGET(sound_ogg)
{
    return fuzz::LoadSound(data, size, ".ogg");
}
