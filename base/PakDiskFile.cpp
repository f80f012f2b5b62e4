#include "base/PakDiskFile.h"

#include "platform/files/Files.h"

#include <cstring>

namespace Kavo
{

bool PakIsTextMode(const char* mode)
{
    return mode && !std::strchr(mode, 'b') && !std::strchr(mode, 'B');
}

PakFileHandle* PakDiskOpen(const char* name, const char* mode)
{
    if (!name || !mode) return nullptr;
    std::string stdioMode;
    for (const char* m = mode; *m; ++m)
        if (*m != 't' && *m != 'T') stdioMode += *m;
    std::FILE* stream = platform::OpenFile(name, stdioMode.c_str());
    if (!stream) return nullptr;
    PakFileHandle* handle = new PakFileHandle;
    handle->stream = stream;
    handle->textMode = PakIsTextMode(mode);
    return handle;
}

int PakDiskClose(PakFileHandle* handle)
{
    if (!handle) return -1;
    int result = handle->stream ? std::fclose(handle->stream) : 0;
    delete handle;
    return result;
}

int PakDiskSeek(PakFileHandle* handle, long offset, int origin)
{
    if (!handle || !handle->stream) return -1;
    return std::fseek(handle->stream, offset, origin);
}

long PakDiskTell(PakFileHandle* handle)
{
    if (!handle || !handle->stream) return -1;
    return std::ftell(handle->stream);
}

size_t PakDiskRead(void* buffer, size_t size, size_t count, PakFileHandle* handle)
{
    if (!handle || !handle->stream || !buffer) return 0;
    return std::fread(buffer, size, count, handle->stream);
}

int PakDiskGetChar(PakFileHandle* handle)
{
    if (!handle || !handle->stream) return -1;
    int c = std::fgetc(handle->stream);
    while (handle->textMode && c == '\r')
        c = std::fgetc(handle->stream);
    return c;
}

int PakDiskUngetChar(int c, PakFileHandle* handle)
{
    if (!handle || !handle->stream || c < 0) return -1;
    return std::ungetc(c, handle->stream);
}

char* PakDiskGetLine(char* buffer, int size, PakFileHandle* handle)
{
    return PakReadLine(buffer, size, [handle] { return PakDiskGetChar(handle); });
}

int PakDiskAtEnd(PakFileHandle* handle)
{
    if (!handle || !handle->stream) return 1;
    return std::feof(handle->stream);
}

} // namespace Kavo
