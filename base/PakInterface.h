#pragma once

#include "base/PakInterfaceBase.h"
#include "platform/files/MappedFile.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Kavo
{

// One archive file, mapped for the life of the interface.
struct PakArchive
{
    std::string fileName;
    platform::MappedFile mapping;
};

// One file held in an archive.
struct PakFileRecord
{
    const PakArchive* archive = nullptr;
    std::string name;      // as stored in the index, case kept
    uint64_t fileTime = 0; // 100-nanosecond steps since 1601-01-01 UTC
    uint64_t start = 0;    // offset of the data in the archive file
    uint64_t size = 0;
};

// A running search: archived matches in key order first, then the disk's.
struct PakFindData
{
    std::string pattern; // normalised (empty when the pattern was too long for the archive)
    std::string diskPattern;
    bool archiveStarted = false;
    std::string lastKey; // the last archived match
    bool diskStarted = false;
    std::vector<PakFindResult> diskMatches;
    size_t diskNext = 0;
};

// Serves files out of data archives ("main.pak"), falling back to the disk for names the
// archives do not hold.
//
// Archive format. Every byte of the file is stored XOR kScrambleKey; after descrambling,
// numbers are little-endian:
//   header  u32 magic kMagic, u32 version 0
//   index   records, each: u8 flags (kEndOfIndex set: the index ends here, nothing else
//           follows in this record), u8 name length, the name (backslashes, no terminator),
//           u32 size, u64 file time (100-ns steps since 1601)
//   data    the files' data, one after another in index order, from the byte after the
//           one that ended the index
// An archive whose index is cut short is refused; an entry whose data would run past the
// end of the file is dropped. Nothing is ever read outside the mapped file.
class PakInterface : public PakInterfaceBase
{
public:
    static constexpr uint8_t kScrambleKey = 0xB3;
    static constexpr uint32_t kMagic = 0xBAC04AC0;
    static constexpr uint32_t kVersion = 0;
    static constexpr uint8_t kEndOfIndex = 0x80;
    // Longest name, after normalising, that can be looked up in an archive.
    static constexpr size_t kMaxPathLength = 259;

    // Registers itself as the process's interface when none is registered yet.
    PakInterface();
    // Unregisters itself when it is the registered one.
    ~PakInterface() override;
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // Maps an archive and enters its files, replacing entries of the same name from earlier
    // archives. False when the file cannot be mapped, has a wrong magic or version, or its
    // index is cut short; then no file of it is entered. The archive file itself is entered
    // under its own name (upper case), reading as the whole descrambled file.
    bool LoadPakIndex(const std::string& fileName);

    // The key a name is looked up by: relative to the current folder when it lies inside
    // it, runs of "/" and "\" as one "\", ".." elements folded, ASCII letters in upper case.
    // False, with out empty, when the result would be longer than kMaxPathLength.
    static bool NormalizePakPath(const std::string& name, std::string& out);

    // Every archived file by key, in key order.
    const std::map<std::string, PakFileRecord>& GetFiles() const { return mFiles; }

    int Reserved0(int, int) override { return 0; }
    PakFileHandle* Open(const char* name, const char* mode) override;
    int Close(PakFileHandle* handle) override;
    int Seek(PakFileHandle* handle, long offset, int origin) override;
    long Tell(PakFileHandle* handle) override;
    size_t Read(void* buffer, size_t size, size_t count, PakFileHandle* handle) override;
    int GetChar(PakFileHandle* handle) override;
    int UngetChar(int c, PakFileHandle* handle) override;
    char* GetLine(char* buffer, int size, PakFileHandle* handle) override;
    int AtEnd(PakFileHandle* handle) override;
    PakFindData* FindFirst(const char* pattern, PakFindResult* result) override;
    bool FindNext(PakFindData* search, PakFindResult* result) override;
    bool FindClose(PakFindData* search) override;

private:
    // The next archived entry after search->lastKey that matches the pattern.
    bool MatchNextPakEntry(PakFindData* search, PakFindResult* result);
    bool NextDiskMatch(PakFindData* search, PakFindResult* result);
    // The byte at the handle's position, descrambled; the caller checks the position.
    static uint8_t ByteAt(const PakFileHandle* handle, uint64_t position);

    std::vector<std::unique_ptr<PakArchive>> mArchives;
    std::map<std::string, PakFileRecord> mFiles;
};

} // namespace Kavo
