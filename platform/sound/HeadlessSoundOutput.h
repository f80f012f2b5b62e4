#pragma once

#include <cstdint>
#include <vector>

namespace platform
{

// An audio output without a device: while it lives it is the process's sound output (the last
// one made wins; the destructor restores the one before). The mixer moves on with the platform
// clock (see SoundOutput::Sync) and whatever a test pulls:
//
//   platform::FakeClock clock;
//   platform::HeadlessSoundOutput output;
//   ... play buffers ...
//   std::vector<int16_t> samples = output.Pull(441); // 10 ms, interleaved left, right
//   clock.Advance(1000);                             // a second later every short sound ended
class HeadlessSoundOutput
{
public:
    HeadlessSoundOutput();
    ~HeadlessSoundOutput();
    HeadlessSoundOutput(const HeadlessSoundOutput&) = delete;
    HeadlessSoundOutput& operator=(const HeadlessSoundOutput&) = delete;

    // Mixes the next frames of output (interleaved stereo). Pulled frames count as time played:
    // the clock moves the voices on only past what was pulled.
    std::vector<int16_t> Pull(int frames);
    // Moves the voices on to the clock's time.
    void CatchUp();

    // The output in use, or nullptr.
    static HeadlessSoundOutput* Installed();

private:
    HeadlessSoundOutput* mPrevious;
    uint64_t mStartCounter;
    uint64_t mFramesDone = 0;
};

} // namespace platform
