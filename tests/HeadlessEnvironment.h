#pragma once

// For programs that run without a desktop or a player's files, the test programs and the fuzz
// targets: SDL's dummy drivers (unless the caller chose others), and per-user data and
// single-instance locks kept in the folder.
#include <cstdlib>
#include <string>

inline void UseHeadlessEnvironment(const std::string& folder)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("XDG_DATA_HOME", (folder + "/xdg-data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}
