#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Kavo
{

// Builds a data archive in the format PakInterface reads (see app/PakInterface.h): the
// packer tool makes "main.pak" with it, and tests make their fixtures.
class PakWriter
{
public:
    // Adds one file under its stored name (a relative path; "/" is stored as "\"). False,
    // with nothing added, for an empty name, a name over 255 bytes or data over 4 GiB - 1.
    bool AddFile(const std::string& name, std::string data, uint64_t fileTime = 0);
    // Adds every file below a folder (subfolders too, in name order), named by their paths
    // relative to it, with their modification times. False when the folder cannot be read
    // or a file cannot be added; message then says which.
    bool AddFolder(const std::string& folder, std::string& message);

    // The whole archive, scrambled.
    std::string Build() const;
    // Writes Build() to a file atomically.
    bool WriteFile(const std::string& path) const;

    size_t FileCount() const { return mFiles.size(); }

private:
    struct File
    {
        std::string name;
        std::string data;
        uint64_t fileTime;
    };
    bool AddFolderBelow(const std::string& folder, const std::string& prefix, std::string& message);

    std::vector<File> mFiles;
};

} // namespace Kavo
