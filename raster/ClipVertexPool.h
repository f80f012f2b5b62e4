#pragma once

#include "base/TriVertex.h"

namespace Kavo
{

// Room for the corners that clipping one triangle creates (at most 8 for a triangle; the rest is
// headroom), so that drawing allocates nothing. Emptied at the start of every triangle.
class ClipVertexPool
{
public:
    static constexpr int kCapacity = 64;

    void Reset() { mCount = 0; }
    int Count() const { return mCount; }
    // The next free record, or null when the pool is full.
    TriVertex* Take() { return mCount < kCapacity ? &mRecords[mCount++] : nullptr; }

private:
    TriVertex mRecords[kCapacity];
    int mCount = 0;
};

} // namespace Kavo
