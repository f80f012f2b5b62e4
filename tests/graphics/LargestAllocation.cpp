#include "tests/graphics/LargestAllocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{

std::atomic<size_t> gLargest{0};

void* Allocate(size_t size)
{
    size_t seen = gLargest.load(std::memory_order_relaxed);
    while (size > seen && !gLargest.compare_exchange_weak(seen, size, std::memory_order_relaxed))
    {
    }
    return std::malloc(size ? size : 1);
}

} // namespace

namespace GraphicsTest
{

void ResetLargestAllocation()
{
    gLargest = 0;
}

size_t LargestAllocation()
{
    return gLargest;
}

} // namespace GraphicsTest

// Every form of the plain operators, so that what one of them allocates another frees.
void* operator new(size_t size)
{
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size)
{
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
