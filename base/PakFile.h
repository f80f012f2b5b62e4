#pragma once

#include "base/PakInterfaceBase.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The file wrappers every loader reads through. Each forwards to the process's registered
// archive interface, so names are served from the data archive first and the disk second;
// with no interface registered they go to the disk directly. They behave as the standard
// stream functions of the same names without "Pak".
namespace Kavo
{

class PakInterface;

// The interface the wrappers use (nullptr when none is registered). The process's own
// PakInterface registers itself before main runs.
PakInterfaceBase* GetPakInterfacePointer();
// Registers an interface (nullptr: none) and returns the one it replaces.
PakInterfaceBase* SetPakInterfacePointer(PakInterfaceBase* pakInterface);

// The process's own archive interface, where the application loads "main.pak".
PakInterface& GetProcessPakInterface();

PakFileHandle* PakFOpen(const char* name, const char* mode);
int PakFClose(PakFileHandle* handle);
int PakFSeek(PakFileHandle* handle, long offset, int origin);
long PakFTell(PakFileHandle* handle);
size_t PakFRead(void* buffer, size_t size, size_t count, PakFileHandle* handle);
int PakFGetc(PakFileHandle* handle);
int PakUngetc(int c, PakFileHandle* handle);
int PakFEof(PakFileHandle* handle);

// Reads a whole file through the wrappers into contents, stopping once more than limit bytes
// have come in. False when the file cannot be opened.
bool PakReadWholeFile(const std::string& path, std::string& contents, size_t limit = SIZE_MAX);

} // namespace Kavo
