#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Run-time libraries by their Windows file names ("ddraw.dll", "dsound.dll", ...). Each is a
// module built into the program: a name and a table of entry points looked up by name. The
// environment variable KAVO_MISSING_LIBRARIES (file names separated by ',' or ';', any case)
// marks modules as absent, so every "library missing" path can be run.
namespace platform
{

struct LibraryModule;
using LibraryHandle = const LibraryModule*;

// Adds (or replaces) a module. Call before the first LoadLibrary of that name.
void RegisterLibrary(std::string_view fileName, std::vector<std::pair<std::string, void*>> entryPoints);

// The module, or nullptr when it is unknown or marked absent. A path before the name is ignored.
LibraryHandle LoadLibrary(std::string_view fileName);
// The entry point, or nullptr when the module has none of that name (exact case).
void* GetProcAddress(LibraryHandle library, std::string_view name);
// Handles stay valid for the whole run; this only marks the end of use.
void FreeLibrary(LibraryHandle library);

} // namespace platform
