#pragma once

#include <cstdint>

// Answers about the system the program runs on. Linux counts as a modern system: not the
// Windows 95 family, and new enough that per-user data lives in the application-data folder.
namespace Kavo
{

bool IsWindows9x();
bool IsWindowsVista();

// Processor cycles per second, measured over 10 ms of the high-resolution counter.
uint64_t GetCpuSpeed();
// Measured once and kept; never less than 1.
uint64_t GetCachedCpuSpeed();

} // namespace Kavo
