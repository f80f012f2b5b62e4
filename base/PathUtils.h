#pragma once

#include <string>

// File name and folder helpers. Both "\" and "/" count as separators.
namespace Kavo
{

inline bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The name after the last separator, without its extension: "data\img\ball.png" -> "ball".
std::string GetFileName(const std::string& path);
// The part before the last separator; empty when there is none.
std::string GetFileDir(const std::string& path);
// Without one final separator.
std::string RemoveTrailingSlash(const std::string& path);
// With "\" appended unless it already ends in a separator; empty stays empty.
std::string AddTrailingSlash(const std::string& path);

// True when a file or folder of exactly this name exists (found without regard to case).
// "*" and "?" in the name are ordinary characters, not wildcards.
bool FileExists(const std::string& path);
// Creates every folder along the path; folders that exist are no error. True when the
// whole path exists as a folder afterwards.
bool MakeDirectories(const std::string& path);
// Removes a folder with all its files and subfolders. Names shorter than two characters
// are refused. True when the folder is gone.
bool DeleteTree(const std::string& folder);

// Joins a path found in a data file with the folder of that file: an absolute path or one
// with a drive letter is returned unchanged; otherwise each element follows the base, "."
// is skipped and ".." removes the base's last folder.
std::string FontDataStringHelper(const std::string& path, const std::string& baseFolder);

// The folder where per-user data is written, ending in a separator; empty until set.
std::string GetAppDataFolder();
void SetAppDataFolder(const std::string& path);

} // namespace Kavo
