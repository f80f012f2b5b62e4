#pragma once

namespace Kavo
{

// A change to a flags word: bits to add, then bits to remove.
class FlagsMod
{
public:
    int mAddFlags = 0;
    int mRemoveFlags = 0;

    FlagsMod() = default;
    FlagsMod(int addFlags, int removeFlags) : mAddFlags(addFlags), mRemoveFlags(removeFlags) {}

    int Apply(int flags) const { return (flags | mAddFlags) & ~mRemoveFlags; }
    bool operator==(const FlagsMod& other) const = default;
};

} // namespace Kavo
