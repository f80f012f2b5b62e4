#pragma once

#include "base/CriticalSection.h"

#include <cstddef>
#include <map>
#include <string>

namespace Kavo
{

// Remembers live allocations by address with the source place that made them, and writes
// the ones never freed to "mem_leaks.txt". Nothing is recorded unless code calls Record;
// the report at exit is off unless switched on.
class LeakTracker
{
public:
    struct Allocation
    {
        std::string file;
        int line = 0;
        size_t size = 0;
    };

    ~LeakTracker();

    void Record(const void* address, size_t size, const char* file, int line);
    void Forget(const void* address);

    // Writes the report into the working folder (and each leak to the debugger output).
    // False when the file cannot be written.
    bool DumpUnfreedMemory(const char* fileName = "mem_leaks.txt");

    // Whether the report is written when the tracker is destroyed at exit.
    void SetReportAtExit(bool report) { mReportAtExit = report; }
    bool ReportAtExit() const { return mReportAtExit; }

    size_t Count();

    static LeakTracker& Global();

private:
    CriticalSection mLock;
    std::map<const void*, Allocation> mAllocations;
    bool mReportAtExit = false;
};

// The global tracker's report.
bool DumpUnfreedMemory();

} // namespace Kavo
