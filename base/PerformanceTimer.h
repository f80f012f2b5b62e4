#pragma once

#include <cstdint>

namespace Kavo
{

// A stopwatch on the high-resolution counter.
class PerformanceTimer
{
public:
    void Start();
    // Freezes the duration; does nothing when not running.
    void Stop();
    // Milliseconds from Start to Stop, or to now while running.
    double GetDuration();
    bool IsRunning() const { return mRunning; }

    // The process-wide timer.
    static PerformanceTimer& Global();

private:
    uint64_t mStart = 0;
    double mDuration = 0.0;
    bool mRunning = false;
};

} // namespace Kavo
