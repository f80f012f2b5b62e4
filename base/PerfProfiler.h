#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Kavo
{

// A profiler of named sections on the processor's cycle stamps. While it runs, StartSection
// and StopSection note events cheaply; Stop folds them into per-section totals and Report
// lists them. Sections nest: only the outermost start and stop of a name are timed.
class PerfProfiler
{
public:
    struct Section
    {
        int calls = 0;
        int depth = 0;
        uint64_t startStamp = 0;
        double total = 0.0;   // cycles while running, milliseconds after Stop
        double longest = 0.0; // the same
    };

    // Clears everything and starts counting.
    void Start();
    // Folds the pending events and converts the times to milliseconds.
    void Stop();
    bool IsRunning() const { return mRunning; }

    // Events are noted only while running.
    void StartSection(const char* name);
    void StopSection(const char* name);
    // Folds the pending events into the sections (called by Stop; the time spent here is
    // not counted in the total).
    void ProcessEvents();

    // "Total Time: ..." then one line per section in name order.
    std::string Report() const;

    double TotalMilliseconds() const { return mTotal; }
    const std::map<std::string, Section>& Sections() const { return mSections; }

    static PerfProfiler& Global();

private:
    struct Event
    {
        const char* name;
        uint64_t stamp;
        bool start;
    };

    bool mRunning = false;
    uint64_t mStartStamp = 0;
    uint64_t mExcluded = 0; // cycles spent folding events
    double mTotal = 0.0;
    std::map<std::string, Section> mSections;
    std::vector<Event> mEvents;
};

} // namespace Kavo
