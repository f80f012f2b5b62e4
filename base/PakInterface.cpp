#include "base/PakInterface.h"

#include "base/PakDiskFile.h"
#include "base/PakFile.h"
#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/system/DebugOutput.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Kavo
{

namespace
{

// True when text begins with folder, letters compared without regard to case and "/" and "\"
// taken as the same.
bool StartsWithFolder(const std::string& text, const std::string& folder)
{
    if (folder.empty() || text.size() < folder.size()) return false;
    for (size_t i = 0; i < folder.size(); ++i)
    {
        char a = text[i], b = folder[i];
        if (IsPathSeparator(a) && IsPathSeparator(b)) continue;
        if (platform::AsciiUpper(a) != platform::AsciiUpper(b)) return false;
    }
    return true;
}

bool IsReadMode(const char* mode)
{
    std::string m = StringToLower(mode);
    return m == "r" || m == "rb" || m == "rt";
}

// Keeps a position that was set from outside within the file, so no read leaves it.
void ClampPosition(PakFileHandle* handle)
{
    handle->position = std::clamp<int64_t>(handle->position, 0, int64_t(handle->record->size));
}

uint64_t Remaining(const PakFileHandle* handle)
{
    return handle->record->size - uint64_t(handle->position);
}

PakFindResult ResultFromDisk(const platform::FileEntry& entry)
{
    PakFindResult result;
    result.attributes = entry.isDirectory ? PakFindResult::kAttributeDirectory : 0;
    result.lastWriteTime = PakFileTimeFromUnixNanoseconds(entry.times.lastWrite);
    result.lastAccessTime = PakFileTimeFromUnixNanoseconds(entry.times.lastAccess);
    result.creationTime = result.lastWriteTime;
    result.size = entry.size;
    result.fileName = entry.name;
    return result;
}

} // namespace

PakInterface::PakInterface()
{
    if (!GetPakInterfacePointer()) SetPakInterfacePointer(this);
}

PakInterface::~PakInterface()
{
    if (GetPakInterfacePointer() == this) SetPakInterfacePointer(nullptr);
}

bool PakInterface::NormalizePakPath(const std::string& name, std::string& out)
{
    out.clear();
    size_t i = 0;
    if (!name.empty() && IsPathSeparator(name[0]))
    {
        std::string current = platform::CurrentFolder();
        if (StartsWithFolder(name, current)) i = current.size();
    }
    for (; i < name.size(); ++i)
    {
        char c = name[i];
        if (IsPathSeparator(c))
        {
            if (out.empty() || out.back() != '\\') out += '\\';
            continue;
        }
        bool parentElement = c == '.' && i + 1 < name.size() && name[i + 1] == '.' &&
                             (i + 2 == name.size() || IsPathSeparator(name[i + 2]));
        if (parentElement && !out.empty() && out.back() == '\\')
        {
            // Drop the last element written, never going before the first character.
            out.pop_back();
            size_t previous = out.rfind('\\');
            out.resize(previous == std::string::npos ? 0 : previous + 1);
            ++i;
            while (i + 1 < name.size() && IsPathSeparator(name[i + 1]))
                ++i;
            continue;
        }
        out += platform::AsciiUpper(c);
    }
    if (out.size() > kMaxPathLength)
    {
        out.clear();
        return false;
    }
    return true;
}

bool PakInterface::LoadPakIndex(const std::string& fileName)
{
    auto archive = std::make_unique<PakArchive>();
    archive->fileName = fileName;
    if (!archive->mapping.Open(fileName)) return false;
    const PakArchive* owner = archive.get();
    const uint64_t fileSize = owner->mapping.Size();
    mArchives.push_back(std::move(archive));

    // The archive itself, so its index reads (descrambled) like any archived file.
    PakFileRecord& self = mFiles[StringToUpper(fileName)];
    self = PakFileRecord{owner, fileName, 0, 0, fileSize};
    platform::FileTimes times;
    if (platform::GetFileTimes(fileName, times))
        self.fileTime = PakFileTimeFromUnixNanoseconds(times.lastWrite);

    PakFileHandle index;
    index.record = &self;
    auto readBytes = [&](void* buffer, size_t n) { return Read(buffer, 1, n, &index) == n; };

    uint8_t header[8];
    if (!readBytes(header, sizeof header) || platform::LoadLE32(header) != kMagic ||
        platform::LoadLE32(header + 4) != kVersion)
    {
        platform::DebugOutput("Not a data archive: " + fileName + "\n");
        return false;
    }

    struct Entry
    {
        std::string name;
        uint64_t size;
        uint64_t fileTime;
    };
    std::vector<Entry> entries;
    bool ended = false;
    for (;;)
    {
        uint8_t flags = 0, length = 0;
        if (!readBytes(&flags, 1)) break;
        if (flags & kEndOfIndex)
        {
            ended = true;
            break;
        }
        if (!readBytes(&length, 1)) break;
        std::string name(length, '\0');
        if (length > 0 && !readBytes(name.data(), length)) break;
        uint8_t fields[12];
        if (!readBytes(fields, sizeof fields)) break;
        entries.push_back(Entry{std::move(name), platform::LoadLE32(fields), platform::LoadLE64(fields + 4)});
    }
    if (!ended)
    {
        platform::DebugOutput("Data archive index cut short: " + fileName + "\n");
        return false;
    }

    // Offsets run from the byte after the index; entries that would reach past the end of
    // the file are dropped (their neighbours are still good).
    const uint64_t indexEnd = uint64_t(index.position);
    uint64_t offset = 0;
    for (Entry& entry : entries)
    {
        uint64_t start = indexEnd + offset;
        offset += entry.size;
        if (start > fileSize || entry.size > fileSize - start)
        {
            platform::DebugOutput("Data archive entry past the end of the file dropped: " + entry.name +
                                  "\n");
            continue;
        }
        std::string key = StringToUpper(entry.name);
        mFiles[key] = PakFileRecord{owner, std::move(entry.name), entry.fileTime, start, entry.size};
    }
    return true;
}

uint8_t PakInterface::ByteAt(const PakFileHandle* handle, uint64_t position)
{
    const PakFileRecord* record = handle->record;
    return record->archive->mapping.Data()[record->start + position] ^ kScrambleKey;
}

PakFileHandle* PakInterface::Open(const char* name, const char* mode)
{
    if (!name || !mode) return nullptr;
    if (IsReadMode(mode))
    {
        std::string key;
        if (NormalizePakPath(name, key))
        {
            auto found = mFiles.find(key);
            if (found != mFiles.end())
            {
                PakFileHandle* handle = new PakFileHandle;
                handle->record = &found->second;
                handle->textMode = PakIsTextMode(mode);
                return handle;
            }
        }
    }
    return PakDiskOpen(name, mode);
}

int PakInterface::Close(PakFileHandle* handle)
{
    if (!handle) return -1;
    if (!handle->record) return PakDiskClose(handle);
    delete handle;
    return 0;
}

int PakInterface::Seek(PakFileHandle* handle, long offset, int origin)
{
    if (!handle) return -1;
    if (!handle->record) return PakDiskSeek(handle, offset, origin);
    const int64_t size = int64_t(handle->record->size);
    int64_t base;
    switch (origin)
    {
    case kPakSeekSet:
        base = 0;
        break;
    case kPakSeekCur:
        base = handle->position;
        break;
    case kPakSeekEnd:
        base = size;
        break;
    default:
        return 0;
    }
    // Clamp first so the sum cannot overflow.
    int64_t step = std::clamp<int64_t>(offset, -size - 1, size + 1);
    handle->position = std::clamp<int64_t>(base + step, 0, size);
    return 0;
}

long PakInterface::Tell(PakFileHandle* handle)
{
    if (!handle) return -1;
    if (!handle->record) return PakDiskTell(handle);
    return long(handle->position);
}

size_t PakInterface::Read(void* buffer, size_t size, size_t count, PakFileHandle* handle)
{
    if (!handle) return 0;
    if (!handle->record) return PakDiskRead(buffer, size, count, handle);
    if (size == 0 || count == 0 || !buffer) return 0;
    uint64_t wanted = count > std::numeric_limits<uint64_t>::max() / size
                          ? std::numeric_limits<uint64_t>::max()
                          : uint64_t(size) * count;
    ClampPosition(handle);
    uint64_t n = std::min(wanted, Remaining(handle));
    const uint8_t* source =
        handle->record->archive->mapping.Data() + handle->record->start + uint64_t(handle->position);
    uint8_t* target = static_cast<uint8_t*>(buffer);
    // Eight bytes at a time, then the rest.
    constexpr uint64_t kWordKey = 0x0101010101010101ull * kScrambleKey;
    uint64_t i = 0;
    for (; i + 8 <= n; i += 8)
    {
        uint64_t word;
        std::memcpy(&word, source + i, 8);
        word ^= kWordKey;
        std::memcpy(target + i, &word, 8);
    }
    for (; i < n; ++i)
        target[i] = source[i] ^ kScrambleKey;
    handle->position += int64_t(n);
    return size_t(n / size);
}

int PakInterface::GetChar(PakFileHandle* handle)
{
    if (!handle) return -1;
    if (!handle->record) return PakDiskGetChar(handle);
    ClampPosition(handle);
    while (Remaining(handle) > 0)
    {
        uint8_t byte = ByteAt(handle, uint64_t(handle->position++));
        if (byte == '\r' && handle->textMode) continue;
        return byte;
    }
    return -1;
}

int PakInterface::UngetChar(int c, PakFileHandle* handle)
{
    if (!handle || c < 0) return -1;
    if (!handle->record) return PakDiskUngetChar(c, handle);
    ClampPosition(handle);
    if (handle->position > 0) --handle->position;
    return c;
}

char* PakInterface::GetLine(char* buffer, int size, PakFileHandle* handle)
{
    if (!handle) return nullptr;
    if (!handle->record) return PakDiskGetLine(buffer, size, handle);
    return PakReadLine(buffer, size, [this, handle] { return GetChar(handle); });
}

int PakInterface::AtEnd(PakFileHandle* handle)
{
    if (!handle) return 1;
    if (!handle->record) return PakDiskAtEnd(handle);
    ClampPosition(handle);
    return Remaining(handle) == 0 ? 1 : 0;
}

bool PakInterface::MatchNextPakEntry(PakFindData* search, PakFindResult* result)
{
    size_t star = search->pattern.find('*');
    if (star == std::string::npos) return false;
    const std::string prefix = search->pattern.substr(0, star);
    const std::string suffix = search->pattern.substr(star + 1);

    // Keys that begin with the prefix are neighbours in key order.
    auto it = search->archiveStarted ? mFiles.upper_bound(search->lastKey) : mFiles.lower_bound(prefix);
    for (; it != mFiles.end(); ++it)
    {
        const std::string& key = it->first;
        if (key.compare(0, prefix.size(), prefix) != 0) break;
        std::string_view rest = std::string_view(key).substr(prefix.size());
        if (!suffix.empty() && suffix != ".*" && !rest.ends_with(suffix)) continue;

        const PakFileRecord& record = it->second;
        result->attributes =
            rest.find('\\') != std::string_view::npos ? PakFindResult::kAttributeDirectory : 0;
        result->creationTime = result->lastAccessTime = result->lastWriteTime = record.fileTime;
        result->size = record.size;
        size_t slash = record.name.rfind('\\');
        result->fileName = slash == std::string::npos ? record.name : record.name.substr(slash + 1);
        search->lastKey = key;
        search->archiveStarted = true;
        return true;
    }
    return false;
}

bool PakInterface::NextDiskMatch(PakFindData* search, PakFindResult* result)
{
    if (!search->diskStarted)
    {
        search->diskStarted = true;
        for (const platform::FileEntry& entry : platform::FindFiles(search->diskPattern))
            search->diskMatches.push_back(ResultFromDisk(entry));
    }
    if (search->diskNext >= search->diskMatches.size()) return false;
    *result = search->diskMatches[search->diskNext++];
    return true;
}

PakFindData* PakInterface::FindFirst(const char* pattern, PakFindResult* result)
{
    if (!pattern || !result) return nullptr;
    auto search = std::make_unique<PakFindData>();
    bool archived = NormalizePakPath(pattern, search->pattern);
    search->diskPattern = archived ? search->pattern : std::string(pattern);
    if ((archived && MatchNextPakEntry(search.get(), result)) || NextDiskMatch(search.get(), result))
        return search.release();
    return nullptr;
}

bool PakInterface::FindNext(PakFindData* search, PakFindResult* result)
{
    if (!search || !result) return false;
    if (!search->diskStarted && MatchNextPakEntry(search, result)) return true;
    return NextDiskMatch(search, result);
}

bool PakInterface::FindClose(PakFindData* search)
{
    delete search;
    return true;
}

} // namespace Kavo
