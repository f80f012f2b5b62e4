#pragma once

#include "crash/LogicalAddress.h"

#include <map>
#include <string>

namespace Kavo
{

// One line-number entry of a link map: the source file of its block and the line.
struct SourceLine
{
    std::string file;
    int line = 0;
};

using LineTable = std::map<LogicalAddress, SourceLine>;

} // namespace Kavo
