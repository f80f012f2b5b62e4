#pragma once

#include <string>

namespace platform
{

// Plays a sound file (PCM WAVE, Ogg Vorbis or MP3) once without waiting, as a system sound is
// played: a new one replaces the one still playing.
class SoundFilePlayer
{
public:
    // False when the file does not open or there is no sound output (nothing plays).
    static bool PlayAsync(const std::string& path);
    // Stops the sound and lets the output go.
    static void Stop();
};

} // namespace platform
