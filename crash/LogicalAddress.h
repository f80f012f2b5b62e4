#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace Kavo
{

// Where a code address lies in its module: the section's number (its index in the module's
// section table) and the offset from the section's start. Written "%04X:%08X" in a crash
// report (13 characters), as link maps list code. Ordered by section, then offset.
struct LogicalAddress
{
    uint32_t section = 0;
    uint32_t offset = 0;

    bool operator<(const LogicalAddress& other) const
    {
        return section != other.section ? section < other.section : offset < other.offset;
    }
};

// A link map's symbols by logical address, names as the map spells them (mangled).
using SymbolTable = std::map<LogicalAddress, std::string>;

} // namespace Kavo
