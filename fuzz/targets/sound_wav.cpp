// Sound effects from WAVE files (PCM, with the wave cache's dependency chunk).
#include "fuzz/SoundTarget.h"

KAVO_FUZZ_TARGET(sound_wav)
{
    return fuzz::LoadSound(data, size, ".wav");
}
