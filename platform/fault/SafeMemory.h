#pragma once

#include <cstddef>
#include <cstdint>

namespace platform
{

// Copies count bytes at address into out without ever faulting: false (out undefined) when any
// of them cannot be read. Async-signal-safe: system calls only, no lock, no allocation.
bool SafeRead(uint64_t address, void* out, size_t count);

} // namespace platform
