#include "base/LeakTracker.h"

#include "base/AutoCrit.h"
#include "base/StringUtils.h"
#include "platform/files/Files.h"
#include "platform/system/Clock.h"
#include "platform/system/DebugOutput.h"

#include <ctime>

namespace Kavo
{

LeakTracker::~LeakTracker()
{
    if (mReportAtExit) DumpUnfreedMemory();
}

void LeakTracker::Record(const void* address, size_t size, const char* file, int line)
{
    AutoCrit lock(mLock);
    mAllocations[address] = Allocation{file ? file : "", line, size};
}

void LeakTracker::Forget(const void* address)
{
    AutoCrit lock(mLock);
    mAllocations.erase(address);
}

size_t LeakTracker::Count()
{
    AutoCrit lock(mLock);
    return mAllocations.size();
}

bool LeakTracker::DumpUnfreedMemory(const char* fileName)
{
    AutoCrit lock(mLock);
    std::FILE* file = platform::OpenFile(fileName, "w");
    if (!file) return false;

    std::time_t now = std::time(nullptr);
    std::tm local = platform::Clock::LocalTime(now);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, "%a %b %e %H:%M:%S %Y\n", &local);
    std::fprintf(file, "Memory Leak Report for %s\n", stamp);

    size_t total = 0;
    for (const auto& [address, allocation] : mAllocations)
    {
        std::string line = StrFormat("%s(%d) : Leak %zu byte%s\n", allocation.file.c_str(), allocation.line,
                                     allocation.size, allocation.size == 1 ? "" : "s");
        std::fputs(line.c_str(), file);
        platform::DebugOutput(line);
        total += allocation.size;
    }
    std::fprintf(file, "-----------------------------------------------------------\n");
    std::fprintf(file, "Total Unfreed: %zu bytes (%zuKB)\n\n", total, total / 1024);
    return std::fclose(file) == 0;
}

LeakTracker& LeakTracker::Global()
{
    static LeakTracker tracker;
    return tracker;
}

bool DumpUnfreedMemory()
{
    return LeakTracker::Global().DumpUnfreedMemory();
}

} // namespace Kavo
