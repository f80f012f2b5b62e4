#include "base/AutoCrit.h"
#include "base/LeakTracker.h"
#include "base/PerfProfiler.h"
#include "base/PerformanceTimer.h"
#include "base/Ratio.h"
#include "base/SystemInfo.h"
#include "platform/files/Files.h"
#include "platform/system/FakeClock.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{

using namespace Kavo;

TEST(Ratio, ReducesByTheGreatestCommonDivisor)
{
    struct Case
    {
        int n, d, rn, rd;
    } cases[] = {
        {640, 480, 4, 3}, {800, 600, 4, 3}, {1280, 720, 16, 9}, {7, 5, 7, 5}, {5, 0, 1, 0}, {-5, 0, 1, 0},
        {0, 7, 0, 1},     {-4, 6, -2, 3},   {4, -6, -2, 3},     {0, 0, 0, 0}, // no divisor: kept as given
                                                                              // instead of dividing by zero
    };
    for (const Case& c : cases)
    {
        Ratio r;
        r.Set(c.n, c.d);
        EXPECT_EQ(r.mNumerator, c.rn) << c.n << "/" << c.d;
        EXPECT_EQ(r.mDenominator, c.rd) << c.n << "/" << c.d;
    }
    EXPECT_EQ(Ratio(), Ratio(1, 1));
}

TEST(CriticalSection, IsReentrantAndExcludesOtherThreads)
{
    CriticalSection section;
    int counter = 0;
    {
        AutoCrit outer(section);
        AutoCrit inner(section); // the same thread enters again
        std::thread other([&] { EXPECT_FALSE(section.TryEnter()); });
        other.join();
        ++counter;
    }
    std::thread other(
        [&]
        {
            ASSERT_TRUE(section.TryEnter());
            ++counter;
            section.Leave();
        });
    other.join();
    EXPECT_EQ(counter, 2);
}

TEST(PerformanceTimer, MeasuresWithTheClock)
{
    platform::FakeClock clock;
    PerformanceTimer timer;
    timer.Start();
    clock.Advance(15);
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 15.0);
    clock.AdvanceMicroseconds(500);
    timer.Stop();
    clock.Advance(100);
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 15.5);
    EXPECT_FALSE(timer.IsRunning());
    timer.Stop(); // stopping twice changes nothing
    EXPECT_DOUBLE_EQ(timer.GetDuration(), 15.5);
}

TEST(PerfProfiler, NestedSectionsAndReport)
{
    double perMs = double(GetCachedCpuSpeed()) / 1000.0; // cycles per millisecond
    platform::FakeClock clock;                           // one cycle per microsecond
    PerfProfiler profiler;
    profiler.StartSection("ignored"); // not running: nothing noted
    profiler.Start();
    for (int i = 0; i < 2; ++i)
    {
        profiler.StartSection("draw");
        profiler.StartSection("draw"); // nested: counted as a call, timed once
        clock.AdvanceMicroseconds(300);
        profiler.StopSection("draw");
        clock.AdvanceMicroseconds(100 * (i + 1));
        profiler.StopSection("draw");
    }
    profiler.StartSection("update");
    clock.AdvanceMicroseconds(100);
    profiler.StopSection("update");
    profiler.Stop();
    EXPECT_FALSE(profiler.IsRunning());

    const auto& sections = profiler.Sections();
    ASSERT_EQ(sections.size(), 2u);
    const PerfProfiler::Section& draw = sections.at("draw");
    EXPECT_EQ(draw.calls, 4);
    EXPECT_NEAR(draw.total, 900.0 / perMs, 1e-9);
    EXPECT_NEAR(draw.longest, 500.0 / perMs, 1e-9);
    EXPECT_NEAR(profiler.TotalMilliseconds(), 1000.0 / perMs, 1e-9);

    std::string report = profiler.Report();
    EXPECT_EQ(report.rfind("Total Time: ", 0), 0u);
    EXPECT_NE(report.find("draw (4 calls, %90.00 time): "), std::string::npos) << report;
    EXPECT_NE(report.find("update (1 calls, %10.00 time): "), std::string::npos) << report;
    EXPECT_LT(report.find("draw ("), report.find("update ("));
}

TEST(LeakTracker, ReportListsUnfreedAllocations)
{
    LeakTracker tracker;
    int a = 0, b = 0, c = 0;
    tracker.Record(&a, 1, "widget.cpp", 10);
    tracker.Record(&b, 2048, "image.cpp", 20);
    tracker.Record(&c, 5, "gone.cpp", 30);
    tracker.Forget(&c);
    EXPECT_EQ(tracker.Count(), 2u);
    EXPECT_FALSE(tracker.ReportAtExit());

    ASSERT_TRUE(tracker.DumpUnfreedMemory("leaks-test.txt"));
    std::string text;
    ASSERT_TRUE(platform::ReadFile("leaks-test.txt", text));
    EXPECT_EQ(text.rfind("Memory Leak Report for ", 0), 0u);
    EXPECT_NE(text.find("widget.cpp(10) : Leak 1 byte\n"), std::string::npos) << text;
    EXPECT_NE(text.find("image.cpp(20) : Leak 2048 bytes\n"), std::string::npos);
    EXPECT_EQ(text.find("gone.cpp"), std::string::npos);
    EXPECT_NE(text.find("-----------------------------------------------------------\n"
                        "Total Unfreed: 2049 bytes (2KB)\n\n"),
              std::string::npos);
    platform::RemoveFile("leaks-test.txt");
}

} // namespace
