#include "base/PathUtils.h"

#include "base/SystemInfo.h"
#include "platform/files/Files.h"

#include <vector>

namespace Kavo
{

namespace
{

size_t LastSeparator(const std::string& path)
{
    return path.find_last_of("\\/");
}

std::string gAppDataFolder;

} // namespace

std::string GetFileName(const std::string& path)
{
    size_t slash = LastSeparator(path);
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= start) return path.substr(start, dot - start);
    return path.substr(start);
}

std::string GetFileDir(const std::string& path)
{
    size_t slash = LastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string RemoveTrailingSlash(const std::string& path)
{
    if (!path.empty() && IsPathSeparator(path.back())) return path.substr(0, path.size() - 1);
    return path;
}

std::string AddTrailingSlash(const std::string& path)
{
    if (path.empty() || IsPathSeparator(path.back())) return path;
    return path + '\\';
}

bool FileExists(const std::string& path)
{
    return platform::PathExists(path);
}

bool MakeDirectories(const std::string& path)
{
    return platform::MakeDirectories(path);
}

bool DeleteTree(const std::string& folder)
{
    if (folder.size() < 2) return false;
    std::string base = AddTrailingSlash(folder);
    for (const platform::FileEntry& entry : platform::FindFiles(base + "*.*"))
    {
        if (entry.isDirectory)
            DeleteTree(base + entry.name);
        else
            platform::RemoveFile(base + entry.name);
    }
    platform::RemoveDirectory(RemoveTrailingSlash(base));
    return !platform::PathExists(RemoveTrailingSlash(base));
}

std::string FontDataStringHelper(const std::string& path, const std::string& baseFolder)
{
    bool hasDrive = path.size() >= 2 && path[1] == ':';
    if (hasDrive || (!path.empty() && IsPathSeparator(path[0]))) return path;

    char separator = baseFolder.find('/') != std::string::npos ? '/' : '\\';
    std::string result = baseFolder;
    if (!result.empty() && !IsPathSeparator(result.back())) result += separator;

    // Folders of the base that ".." may remove: those after a drive or a root separator.
    size_t keep = 0;
    if (result.size() >= 2 && result[1] == ':') keep = 2;
    if (keep < result.size() && IsPathSeparator(result[keep])) ++keep;

    size_t pos = 0;
    while (pos <= path.size())
    {
        size_t end = path.find_first_of("\\/", pos);
        if (end == std::string::npos) end = path.size();
        std::string element = path.substr(pos, end - pos);
        bool last = end == path.size();
        if (element == "..")
        {
            // Drop the last folder of what has been built, unless nothing is left to drop.
            size_t cut =
                result.size() > keep ? result.find_last_of("\\/", result.size() - 2) : std::string::npos;
            std::string lastFolder =
                result.size() > keep ? result.substr(cut == std::string::npos || cut < keep ? keep : cut + 1)
                                     : std::string();
            if (!lastFolder.empty() && RemoveTrailingSlash(lastFolder) != "..")
                result.erase(cut == std::string::npos || cut < keep ? keep : cut + 1);
            else
                result += std::string("..") + separator;
        }
        else if (element != "." && !element.empty())
        {
            result += element;
            if (!last) result += separator;
        }
        pos = end + 1;
    }
    return result;
}

std::string GetAppDataFolder()
{
    return gAppDataFolder;
}

void SetAppDataFolder(const std::string& path)
{
    if (!IsWindowsVista()) return;
    gAppDataFolder = path;
    if (gAppDataFolder.empty() || !IsPathSeparator(gAppDataFolder.back())) gAppDataFolder += '\\';
}

} // namespace Kavo
