#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The file system as the rest of the program sees it. Paths may use "\" or "/" as the
// separator, and a name is found whatever its case on the disk: "Properties\Resources.XML"
// opens properties/resources.xml. When several names differ only in case, an exact match wins,
// then the first in the folder's sorted order.
namespace platform
{

// Times in nanoseconds since 1970-01-01 UTC.
struct FileTimes
{
    int64_t lastWrite = 0;
    int64_t lastAccess = 0;
};

struct FileEntry
{
    std::string name; // the name as stored on the disk, without its folder
    bool isDirectory = false;
    uint64_t size = 0;
    FileTimes times;
};

// "\" becomes "/"; nothing else changes.
std::string NormalizePath(std::string_view path);

// The path as it exists on the disk: each element is matched without regard to case.
// Elements that do not exist are kept as given (so a new file can be created there).
std::string ResolvePath(std::string_view path);

// True when the exact name (no wildcards) exists, as a file or a folder.
bool PathExists(std::string_view path);
bool IsDirectory(std::string_view path);

// Lists the entries of a folder that match the last element of the pattern, without
// regard to case. "*" matches any run of characters, "?" one character, and "*.*" any
// name, also one without a dot. A pattern without wildcards finds that one entry.
// "." and ".." are never listed. The result is sorted by name.
std::vector<FileEntry> FindFiles(std::string_view pattern);

// Wildcard test used by FindFiles, exposed for the archive's own listing.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// Creates one folder; true when it exists afterwards.
bool MakeDirectory(std::string_view path);
// Creates every folder along the path; folders that exist are no error. True when the whole path
// exists as a folder afterwards.
bool MakeDirectories(std::string_view path);
// Removes an empty folder.
bool RemoveDirectory(std::string_view path);
// Removes a file (not a folder).
bool RemoveFile(std::string_view path);
// Renames, replacing an existing target file.
bool RenameFile(std::string_view from, std::string_view to);

bool GetFileTimes(std::string_view path, FileTimes& times);
bool GetFileSize(std::string_view path, uint64_t& size);

// Opens a file with fopen's mode; the name is resolved as above. nullptr on failure, and for a
// folder, and for a device or pipe opened only for reading.
std::FILE* OpenFile(std::string_view path, const char* mode);

// Why ReadFile gave nothing.
enum class ReadFailure
{
    None,
    CannotOpen,     // missing, or not allowed
    NotRegularFile, // a folder, device, pipe or socket: refused without waiting on it
    TooLarge,       // more bytes than the reader's limit
    ReadError,
};
// A few words for messages: "is not a regular file", "is too large" ...
const char* ReadFailureText(ReadFailure failure);
constexpr uint64_t kDefaultReadLimit = uint64_t(256) << 20;
// Reads a whole regular file of at most limit bytes. False, with the reason in failure when one
// is given, when it cannot be opened or read, is not a regular file or holds more than limit
// bytes; contents is then unchanged.
bool ReadFile(std::string_view path, std::string& contents, uint64_t limit = kDefaultReadLimit,
              ReadFailure* failure = nullptr);
// Writes a whole file through a temporary file in the same folder, flushed to the disk and
// renamed over the target, so the target is either the old or the new contents, never a mix.
// Temporary files that writers of the same target left when they died are removed first.
bool WriteFileAtomically(std::string_view path, std::string_view contents);

// The per-user data folder ($XDG_DATA_HOME, else ~/.local/share), ending in "/".
std::string DataFolder();
// The folder holding the running program, ending in "/".
std::string ProgramFolder();
// The running program's file with its folder (empty when it cannot be told).
std::string ProgramPath();
// The working folder, ending in "/"; SetCurrentFolder changes it.
std::string CurrentFolder();
bool SetCurrentFolder(std::string_view path);

} // namespace platform
