#include "platform/files/Files.h"

#include "platform/files/AsciiCase.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{

namespace
{

// Names in one folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir))
    {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool StatPath(const std::string& path, struct stat& st)
{
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

int64_t ToNanoseconds(const timespec& ts)
{
    return int64_t(ts.tv_sec) * 1000000000ll + int64_t(ts.tv_nsec);
}

FileEntry MakeEntry(const std::string& folder, const std::string& name)
{
    FileEntry entry;
    entry.name = name;
    struct stat st
    {
    };
    if (StatPath(folder + name, st))
    {
        entry.isDirectory = S_ISDIR(st.st_mode);
        entry.size = entry.isDirectory ? 0 : uint64_t(st.st_size);
        entry.times.lastWrite = ToNanoseconds(st.st_mtim);
        entry.times.lastAccess = ToNanoseconds(st.st_atim);
    }
    return entry;
}

bool GlobMatch(std::string_view pattern, std::string_view name)
{
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n])))
        {
            ++p;
            ++n;
        }
        else if (p < pattern.size() && pattern[p] == '*')
        {
            starP = p++;
            starN = n;
        }
        else if (starP != std::string_view::npos)
        {
            p = starP + 1;
            n = ++starN;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool HasWildcards(std::string_view s)
{
    return s.find_first_of("*?") != std::string_view::npos;
}

void SplitFolder(const std::string& path, std::string& folder, std::string& name)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
    {
        folder.clear();
        name = path;
    }
    else
    {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
}

} // namespace

std::string NormalizePath(std::string_view path)
{
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string ResolvePath(std::string_view path)
{
    std::string normal = NormalizePath(path);
    if (normal.empty()) return normal;

    std::string resolved;
    size_t pos = 0;
    if (normal[0] == '/')
    {
        resolved = "/";
        pos = 1;
    }
    bool found = true; // every element so far exists on the disk
    while (pos <= normal.size())
    {
        size_t end = normal.find('/', pos);
        if (end == std::string::npos) end = normal.size();
        std::string element = normal.substr(pos, end - pos);
        bool last = end == normal.size();
        if (!element.empty())
        {
            std::string candidate = resolved + element;
            struct stat st
            {
            };
            if (found && !StatPath(candidate, st) && element != "." && element != "..")
            {
                found = false;
                for (const std::string& name : ListFolder(resolved))
                {
                    if (EqualIgnoringCase(name, element))
                    {
                        candidate = resolved + name;
                        found = true;
                        break;
                    }
                }
            }
            resolved = candidate;
        }
        if (!last && !resolved.empty() && resolved.back() != '/') resolved += '/';
        pos = end + 1;
    }
    return resolved;
}

bool PathExists(std::string_view path)
{
    struct stat st
    {
    };
    return StatPath(ResolvePath(path), st);
}

bool IsDirectory(std::string_view path)
{
    struct stat st
    {
    };
    return StatPath(ResolvePath(path), st) && S_ISDIR(st.st_mode);
}

bool WildcardMatch(std::string_view pattern, std::string_view name)
{
    if (GlobMatch(pattern, name)) return true;
    // "name.*" also finds "name" when it has no extension, so "*.*" finds every name.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return GlobMatch(pattern.substr(0, pattern.size() - 2), name);
    return false;
}

std::vector<FileEntry> FindFiles(std::string_view pattern)
{
    std::string folder, name;
    SplitFolder(NormalizePath(pattern), folder, name);
    std::vector<FileEntry> entries;
    if (name.empty()) return entries;
    if (!folder.empty()) folder = ResolvePath(folder);
    if (!folder.empty() && folder.back() != '/') folder += '/';

    if (!HasWildcards(name))
    {
        std::string resolved = ResolvePath(folder + name);
        struct stat st
        {
        };
        if (StatPath(resolved, st))
        {
            std::string stored, ignored;
            SplitFolder(resolved, ignored, stored);
            entries.push_back(MakeEntry(folder, stored));
        }
        return entries;
    }

    for (const std::string& candidate : ListFolder(folder))
        if (WildcardMatch(name, candidate)) entries.push_back(MakeEntry(folder, candidate));
    return entries;
}

bool MakeDirectory(std::string_view path)
{
    std::string resolved = ResolvePath(path);
    if (resolved.empty()) return false;
    if (::mkdir(resolved.c_str(), 0755) == 0) return true;
    struct stat st
    {
    };
    return errno == EEXIST && StatPath(resolved, st) && S_ISDIR(st.st_mode);
}

bool MakeDirectories(std::string_view path)
{
    std::string normal = NormalizePath(path);
    if (normal.empty()) return false;
    for (size_t i = 1; i < normal.size(); ++i)
        if (normal[i] == '/' && normal[i - 1] != '/') MakeDirectory(normal.substr(0, i));
    return MakeDirectory(normal);
}

bool RemoveDirectory(std::string_view path)
{
    std::string resolved = ResolvePath(path);
    return !resolved.empty() && ::rmdir(resolved.c_str()) == 0;
}

bool RemoveFile(std::string_view path)
{
    std::string resolved = ResolvePath(path);
    struct stat st
    {
    };
    if (!StatPath(resolved, st) || S_ISDIR(st.st_mode)) return false;
    return ::unlink(resolved.c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to)
{
    std::string source = ResolvePath(from);
    std::string target = ResolvePath(to);
    return !source.empty() && !target.empty() && ::rename(source.c_str(), target.c_str()) == 0;
}

bool GetFileTimes(std::string_view path, FileTimes& times)
{
    struct stat st
    {
    };
    if (!StatPath(ResolvePath(path), st)) return false;
    times.lastWrite = ToNanoseconds(st.st_mtim);
    times.lastAccess = ToNanoseconds(st.st_atim);
    return true;
}

bool GetFileSize(std::string_view path, uint64_t& size)
{
    struct stat st
    {
    };
    if (!StatPath(ResolvePath(path), st) || S_ISDIR(st.st_mode)) return false;
    size = uint64_t(st.st_size);
    return true;
}

std::FILE* OpenFile(std::string_view path, const char* mode)
{
    std::string resolved = ResolvePath(path);
    if (resolved.empty()) return nullptr;
    struct stat st
    {
    };
    bool exists = StatPath(resolved, st);
    if (exists && S_ISDIR(st.st_mode)) return nullptr;
    // A device or pipe opened for reading would never end, or never open.
    bool reading = mode[0] == 'r' && !std::strchr(mode, '+');
    if (exists && reading && !S_ISREG(st.st_mode)) return nullptr;
    return std::fopen(resolved.c_str(), mode);
}

const char* ReadFailureText(ReadFailure failure)
{
    switch (failure)
    {
    case ReadFailure::None:
        return "was read";
    case ReadFailure::CannotOpen:
        return "cannot be opened";
    case ReadFailure::NotRegularFile:
        return "is not a regular file";
    case ReadFailure::TooLarge:
        return "is too large";
    case ReadFailure::ReadError:
        return "cannot be read";
    }
    return "cannot be read";
}

bool ReadFile(std::string_view path, std::string& contents, uint64_t limit, ReadFailure* failure)
{
    ReadFailure ignored;
    ReadFailure& why = failure ? *failure : ignored;
    why = ReadFailure::None;
    std::string resolved = ResolvePath(path);
    // Not blocking: a pipe opens at once, and is then refused with every other kind of file
    // that is not a regular one.
    int fd = resolved.empty() ? -1 : ::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return (why = ReadFailure::CannotOpen, false);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        why = ReadFailure::NotRegularFile;
    else if (uint64_t(st.st_size) > limit)
        why = ReadFailure::TooLarge;
    std::string data;
    if (why == ReadFailure::None)
    {
        data.reserve(size_t(st.st_size));
        char chunk[65536];
        // The file may grow while it is read: what passes the limit is refused all the same.
        while (why == ReadFailure::None)
        {
            ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0)
                why = ReadFailure::ReadError;
            else if (got == 0)
                break;
            else if (data.size() + size_t(got) > limit)
                why = ReadFailure::TooLarge;
            else
                data.append(chunk, size_t(got));
        }
    }
    ::close(fd);
    if (why != ReadFailure::None) return false;
    contents = std::move(data);
    return true;
}

namespace
{

// Temporary files of a target are named "<target>.tmp-<writer's process id>-XXXXXX" (earlier
// writers left "<target>.tmp-XXXXXX"). Those of writers that are gone are removed when the
// next write of the target starts; those of a live process, this one included, are left alone.
void RemoveStaleTemporaryFiles(const std::string& target)
{
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string prefix = target.substr(folder.size()) + ".tmp-";
    for (const std::string& name : ListFolder(folder))
    {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        std::string_view rest = std::string_view(name).substr(prefix.size());
        size_t dash = rest.find('-');
        bool stale = dash == std::string_view::npos && rest.size() == 6;
        if (dash != std::string_view::npos && dash > 0 && rest.size() - dash - 1 == 6 &&
            std::all_of(rest.begin(), rest.begin() + long(dash), [](char c) { return c >= '0' && c <= '9'; }))
        {
            long pid = std::strtol(std::string(rest.substr(0, dash)).c_str(), nullptr, 10);
            stale = pid > 0 && pid != long(::getpid()) && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
        }
        if (stale) ::unlink((folder + name).c_str());
    }
}

} // namespace

bool WriteFileAtomically(std::string_view path, std::string_view contents)
{
    std::string target = ResolvePath(path);
    if (target.empty()) return false;
    RemoveStaleTemporaryFiles(target);
    std::string temp = target + ".tmp-" + std::to_string(::getpid()) + "-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    const char* data = contents.data();
    size_t left = contents.size();
    bool ok = true;
    while (left > 0)
    {
        ssize_t wrote = ::write(fd, data, left);
        if (wrote < 0)
        {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        data += wrote;
        left -= size_t(wrote);
    }
    ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

namespace
{
std::string WithSlash(std::string s)
{
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}
} // namespace

std::string DataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return WithSlash(xdg);
    const char* home = std::getenv("HOME");
    if (home && home[0]) return WithSlash(std::string(home) + "/.local/share");
    return WithSlash(CurrentFolder() + ".local/share");
}

std::string ProgramPath()
{
    char buffer[PATH_MAX];
    ssize_t got = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return got <= 0 ? std::string() : std::string(buffer, size_t(got));
}

std::string ProgramFolder()
{
    std::string exe = ProgramPath();
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? CurrentFolder() : exe.substr(0, slash + 1);
}

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return "./";
    return WithSlash(buffer);
}

bool SetCurrentFolder(std::string_view path)
{
    std::string resolved = ResolvePath(path);
    return !resolved.empty() && ::chdir(resolved.c_str()) == 0;
}

} // namespace platform
