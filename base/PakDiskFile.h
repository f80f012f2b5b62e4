#pragma once

#include "base/PakInterfaceBase.h"

// Disk files behind a PakFileHandle: what the archive serves for names it does not hold,
// and what the wrappers use when no archive interface is registered. Each behaves as the
// standard stream function of the same role, except that a text-mode handle never yields
// carriage returns from PakDiskGetChar and PakDiskGetLine (as archived files do not).
namespace Kavo
{

// True when the mode holds no "b".
bool PakIsTextMode(const char* mode);

// fgets over a character source (next() gives a byte, or -1 at the end): bytes through the
// next line feed, at most size - 1 of them, then a terminating zero. nullptr when the end
// came before any byte.
template <class NextChar>
char* PakReadLine(char* buffer, int size, NextChar next)
{
    if (!buffer || size < 1) return nullptr;
    int stored = 0;
    bool any = false;
    while (stored < size - 1)
    {
        int c = next();
        if (c < 0) break;
        any = true;
        buffer[stored++] = char(c);
        if (c == '\n') break;
    }
    buffer[stored] = '\0';
    return any || size == 1 ? buffer : nullptr;
}

// nullptr when the file cannot be opened (the name is found without regard to case).
PakFileHandle* PakDiskOpen(const char* name, const char* mode);
int PakDiskClose(PakFileHandle* handle);
int PakDiskSeek(PakFileHandle* handle, long offset, int origin);
long PakDiskTell(PakFileHandle* handle);
size_t PakDiskRead(void* buffer, size_t size, size_t count, PakFileHandle* handle);
int PakDiskGetChar(PakFileHandle* handle);
int PakDiskUngetChar(int c, PakFileHandle* handle);
char* PakDiskGetLine(char* buffer, int size, PakFileHandle* handle);
int PakDiskAtEnd(PakFileHandle* handle);

} // namespace Kavo
