#pragma once

#include <cstdint>
#include <string>

namespace platform
{

// The audio output the mixer plays through: opened by its first user (a sound device, a music
// module) and closed by the last. It is the headless output a test installed, else the audio
// device through SDL at 44,100 Hz 16-bit stereo; under SDL's "dummy" audio driver (headless
// runs) a headless output that moves on with the platform clock.
class SoundOutput
{
public:
    // False with the reason when there is no output. The first failure of the process is written
    // to stderr, and the audio device is not tried again: the program plays silently.
    static bool Acquire(std::string& error);
    static void Release();
    static bool IsOpen();

    // A headless output catches up with the platform clock; called before a voice's state is
    // read, so that sounds end on time without an audio thread.
    static void Sync();

    // The system mixer's master volume, 0 to 65535, kept as a value of the process (the program
    // never changes the desktop's own volume).
    static uint32_t MasterVolume();
    static void SetMasterVolume(uint32_t volume);
};

} // namespace platform
