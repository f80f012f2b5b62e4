#pragma once

#include <cstddef>

// The graphics tests replace the program's operator new and delete (with malloc and free) to
// note the largest single request, so a test can see how much memory a reader asked for.
namespace GraphicsTest
{

void ResetLargestAllocation();
// The largest request since the last reset, in bytes.
size_t LargestAllocation();

} // namespace GraphicsTest
