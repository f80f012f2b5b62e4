#include "base/PakWriter.h"

#include "base/PakInterface.h"
#include "base/PathUtils.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"

#include <algorithm>

namespace Kavo
{

bool PakWriter::AddFile(const std::string& name, std::string data, uint64_t fileTime)
{
    if (name.empty() || name.size() > 255 || data.size() > 0xFFFFFFFFull) return false;
    std::string stored = name;
    std::replace(stored.begin(), stored.end(), '/', '\\');
    mFiles.push_back(File{std::move(stored), std::move(data), fileTime});
    return true;
}

bool PakWriter::AddFolder(const std::string& folder, std::string& message)
{
    if (!platform::IsDirectory(folder))
    {
        message = "Not a folder: " + folder;
        return false;
    }
    return AddFolderBelow(folder, "", message);
}

bool PakWriter::AddFolderBelow(const std::string& folder, const std::string& prefix, std::string& message)
{
    std::string base = folder;
    if (!IsPathSeparator(base.back())) base += '/';
    for (const platform::FileEntry& entry : platform::FindFiles(base + "*"))
    {
        std::string path = base + entry.name;
        std::string name = prefix + entry.name;
        if (entry.isDirectory)
        {
            if (!AddFolderBelow(path, name + "\\", message)) return false;
            continue;
        }
        std::string data;
        if (!platform::ReadFile(path, data))
        {
            message = "Cannot read " + path;
            return false;
        }
        if (!AddFile(name, std::move(data), PakFileTimeFromUnixNanoseconds(entry.times.lastWrite)))
        {
            message = "Cannot store " + path + " (name over 255 bytes or file over 4 GiB)";
            return false;
        }
    }
    return true;
}

std::string PakWriter::Build() const
{
    std::string out;
    platform::AppendLE32(out, PakInterface::kMagic);
    platform::AppendLE32(out, PakInterface::kVersion);
    for (const File& file : mFiles)
    {
        out += char(0);
        out += char(uint8_t(file.name.size()));
        out += file.name;
        platform::AppendLE32(out, uint32_t(file.data.size()));
        platform::AppendLE64(out, file.fileTime);
    }
    out += char(PakInterface::kEndOfIndex);
    for (const File& file : mFiles)
        out += file.data;
    for (char& c : out)
        c = char(uint8_t(c) ^ PakInterface::kScrambleKey);
    return out;
}

bool PakWriter::WriteFile(const std::string& path) const
{
    return platform::WriteFileAtomically(path, Build());
}

} // namespace Kavo
