#pragma once

#include <string>

namespace platform
{

// The running system as the kernel names it: "Linux", its release ("6.1.0-13-amd64") and the
// machine ("x86_64"). Empty texts when it cannot be asked.
struct SystemVersion
{
    std::string system;
    std::string release;
    std::string machine;
};

SystemVersion GetSystemVersion();

} // namespace platform
