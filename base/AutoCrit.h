#pragma once

#include "base/CriticalSection.h"

namespace Kavo
{

// Holds a critical section for the lifetime of a scope.
class AutoCrit
{
public:
    explicit AutoCrit(CriticalSection& section) : mSection(section) { mSection.Enter(); }
    ~AutoCrit() { mSection.Leave(); }
    AutoCrit(const AutoCrit&) = delete;
    AutoCrit& operator=(const AutoCrit&) = delete;

private:
    CriticalSection& mSection;
};

} // namespace Kavo
