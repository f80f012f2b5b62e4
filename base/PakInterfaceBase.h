#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The file access every loader goes through: files come out of the data archive when it
// holds them, else from the disk. The free functions of app/PakFile.h are the usual way in.
namespace Kavo
{

struct PakFileRecord;
struct PakFindData;

// An open file. For an archived file the record is set and the position counts bytes from
// the start of the file's data; for a disk file the stream is set instead. The caller owns
// it until it is closed.
struct PakFileHandle
{
    const PakFileRecord* record = nullptr;
    int64_t position = 0;
    std::FILE* stream = nullptr;
    // Opened without "b" in the mode: reading a character or a line drops carriage returns.
    bool textMode = false;
};

// One match of a file search.
struct PakFindResult
{
    static constexpr uint32_t kAttributeDirectory = 0x10;

    uint32_t attributes = 0; // 0, or kAttributeDirectory for a folder
    // Times in 100-nanosecond steps since 1601-01-01 UTC.
    uint64_t creationTime = 0;
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t size = 0;
    std::string fileName; // without its folder
};

// 1970-01-01 UTC as archives store times: in 100-nanosecond steps since 1601-01-01 UTC.
constexpr uint64_t kPakFileTimeOf1970 = 116444736000000000;

// A time in nanoseconds since 1970-01-01 UTC (as platform::FileTimes holds it) in the
// 100-nanosecond steps since 1601 that archives store.
inline uint64_t PakFileTimeFromUnixNanoseconds(int64_t nanoseconds)
{
    int64_t steps = nanoseconds / 100 + int64_t(kPakFileTimeOf1970);
    return steps < 0 ? 0 : uint64_t(steps);
}

// Origins of Seek, as fseek numbers them.
constexpr int kPakSeekSet = 0;
constexpr int kPakSeekCur = 1;
constexpr int kPakSeekEnd = 2;

class PakInterfaceBase
{
public:
    virtual ~PakInterfaceBase() = default;

    // Kept free for later use; returns 0.
    virtual int Reserved0(int, int) { return 0; }
    // Opens a file; nullptr when it is neither archived nor on the disk.
    virtual PakFileHandle* Open(const char* name, const char* mode) = 0;
    // Closes and frees the handle; 0.
    virtual int Close(PakFileHandle* handle) = 0;
    // As fseek: origin kPakSeekSet, kPakSeekCur or kPakSeekEnd. An archived file's position
    // stays within 0 to its size.
    virtual int Seek(PakFileHandle* handle, long offset, int origin) = 0;
    virtual long Tell(PakFileHandle* handle) = 0;
    // As fread: whole elements read.
    virtual size_t Read(void* buffer, size_t size, size_t count, PakFileHandle* handle) = 0;
    // The next byte (0 to 255), or -1 at the end.
    virtual int GetChar(PakFileHandle* handle) = 0;
    // Steps back over the last byte read; returns c (-1 is refused and changes nothing).
    virtual int UngetChar(int c, PakFileHandle* handle) = 0;
    // Kept free for later use; returns its first argument.
    virtual void* Reserved8(void* first, int, int) { return first; }
    // As fgets: up to size - 1 bytes, through the next line feed; nullptr at the end.
    virtual char* GetLine(char* buffer, int size, PakFileHandle* handle) = 0;
    // Non-zero at the end of the file.
    virtual int AtEnd(PakFileHandle* handle) = 0;
    // Starts a search (archived matches first, then the disk's); nullptr when nothing matches.
    virtual PakFindData* FindFirst(const char* pattern, PakFindResult* result) = 0;
    // The next match; false when there is none left.
    virtual bool FindNext(PakFindData* search, PakFindResult* result) = 0;
    // Ends a search and frees it; true.
    virtual bool FindClose(PakFindData* search) = 0;
};

} // namespace Kavo
