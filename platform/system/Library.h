#pragma once

#include <string_view>

// Run-time libraries. The program looks modules up by their Windows file names
// ("j2k-codec.dll") and their entry points by name; on Linux each such module is a stand-in
// built into the program. The environment variable KAVO_MISSING_LIBRARIES (names separated by
// ";" or ",", compared without regard to case) marks modules as missing, so that every
// "library absent" path can run.
namespace platform
{

class Library;
using LibraryHandle = Library*;
using EntryPoint = void (*)();

// The module of that file name; nullptr when there is no such module or it is marked missing.
// Every successful load must be matched by one FreeLibrary.
LibraryHandle LoadLibrary(std::string_view fileName);
// The named entry point of a loaded module, or nullptr. Callers cast it to the entry point's
// own type.
EntryPoint GetProcAddress(LibraryHandle library, const char* name);
void FreeLibrary(LibraryHandle library);

} // namespace platform
