#pragma once

#include <functional>
#include <string_view>

// Where the program's debugger output goes: diagnostics a player never sees (loop
// statistics, load times). Dropped unless KAVO_DEBUG_OUTPUT is set in the environment,
// in which case it goes to stderr; tests can install a sink of their own.
namespace platform
{

void DebugOutput(std::string_view text);

// Installs a receiver for all debugger output (an empty function restores the default).
void SetDebugOutputSink(std::function<void(std::string_view)> sink);

} // namespace platform
