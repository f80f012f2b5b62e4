#include "base/PakFile.h"

#include "base/PakDiskFile.h"
#include "base/PakInterface.h"

#include <atomic>

namespace Kavo
{

namespace
{

// The process-wide slot through which any code finds the archive interface. Constant
// initialised, so it is ready before any static constructor runs.
std::atomic<PakInterfaceBase*> gPakInterfacePointer{nullptr};

// Created before main; registers itself in the slot above.
PakInterface gProcessPakInterface;

} // namespace

PakInterfaceBase* GetPakInterfacePointer()
{
    return gPakInterfacePointer.load(std::memory_order_acquire);
}

PakInterfaceBase* SetPakInterfacePointer(PakInterfaceBase* pakInterface)
{
    return gPakInterfacePointer.exchange(pakInterface, std::memory_order_acq_rel);
}

PakInterface& GetProcessPakInterface()
{
    return gProcessPakInterface;
}

PakFileHandle* PakFOpen(const char* name, const char* mode)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->Open(name, mode);
    return PakDiskOpen(name, mode);
}

int PakFClose(PakFileHandle* handle)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->Close(handle);
    return PakDiskClose(handle);
}

int PakFSeek(PakFileHandle* handle, long offset, int origin)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->Seek(handle, offset, origin);
    return PakDiskSeek(handle, offset, origin);
}

long PakFTell(PakFileHandle* handle)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->Tell(handle);
    return PakDiskTell(handle);
}

size_t PakFRead(void* buffer, size_t size, size_t count, PakFileHandle* handle)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->Read(buffer, size, count, handle);
    return PakDiskRead(buffer, size, count, handle);
}

int PakFGetc(PakFileHandle* handle)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->GetChar(handle);
    return PakDiskGetChar(handle);
}

int PakUngetc(int c, PakFileHandle* handle)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->UngetChar(c, handle);
    return PakDiskUngetChar(c, handle);
}

int PakFEof(PakFileHandle* handle)
{
    if (PakInterfaceBase* pak = GetPakInterfacePointer()) return pak->AtEnd(handle);
    return PakDiskAtEnd(handle);
}

bool PakReadWholeFile(const std::string& path, std::string& contents, size_t limit)
{
    PakFileHandle* file = PakFOpen(path.c_str(), "rb");
    if (!file) return false;
    contents.clear();
    char buffer[65536];
    while (contents.size() <= limit)
    {
        size_t n = PakFRead(buffer, 1, sizeof buffer, file);
        if (n == 0) break;
        contents.append(buffer, n);
    }
    PakFClose(file);
    return true;
}

} // namespace Kavo
