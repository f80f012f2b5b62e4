// kavopak: packs folders into one data archive, or lists what an archive holds.
#include "base/PakInterface.h"
#include "base/PakWriter.h"
#include "base/StringUtils.h"
#include "platform/files/Files.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: kavopak pack <archive> <folder> [<folder> ...]\n"
                         "       kavopak list <archive>\n");
    return 2;
}

std::string FormatFileTime(uint64_t fileTime)
{
    if (fileTime < Kavo::kPakFileTimeOf1970) return "-";
    std::time_t seconds = std::time_t((fileTime - Kavo::kPakFileTimeOf1970) / 10000000ull);
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::gmtime(&seconds)) == 0) return "-";
    return text;
}

// Every folder's files are stored under their paths below that folder; folders that do not exist
// are skipped (a generator may have written nothing yet).
int Pack(const std::string& archive, const std::vector<std::string>& folders)
{
    Kavo::PakWriter writer;
    std::string message;
    for (const std::string& folder : folders)
    {
        if (!platform::IsDirectory(folder)) continue;
        if (!writer.AddFolder(folder, message))
        {
            std::fprintf(stderr, "kavopak: %s\n", message.c_str());
            return 1;
        }
    }
    if (!writer.WriteFile(archive))
    {
        std::fprintf(stderr, "kavopak: cannot write %s\n", archive.c_str());
        return 1;
    }
    std::printf("kavopak: %zu files packed into %s\n", writer.FileCount(), archive.c_str());
    return 0;
}

int List(const std::string& archive)
{
    Kavo::PakInterface pak;
    if (!pak.LoadPakIndex(archive))
    {
        std::fprintf(stderr, "kavopak: %s is not a readable data archive\n", archive.c_str());
        return 1;
    }
    const std::string self = Kavo::StringToUpper(archive);
    for (const auto& [key, record] : pak.GetFiles())
    {
        if (key == self) continue;
        std::printf("%10llu  %s  %s\n", static_cast<unsigned long long>(record.size),
                    FormatFileTime(record.fileTime).c_str(), record.name.c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "pack" && argc >= 4) return Pack(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    if (command == "list" && argc == 3) return List(argv[2]);
    return Usage();
}
