#include "tools/synth/Generator.h"

#include "platform/files/Files.h"

#include <cstdio>

namespace synth
{

bool StartGenerator(int argc, char** argv, const char* name, const char* subfolder, bool inGameFolder,
                    GeneratorFolders& folders)
{
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--preview"))
    {
        std::fprintf(stderr, "usage: %s <content folder> <game folder> [--preview <folder>]\n", name);
        return false;
    }
    folders.output = std::string(argv[inGameFolder ? 2 : 1]) + "/" + subfolder + "/";
    folders.preview = argc == 5 ? std::string(argv[4]) + "/" : "";
    for (const std::string& folder : {folders.output, folders.preview})
        if (!folder.empty() && !platform::MakeDirectories(folder))
        {
            std::fprintf(stderr, "%s: cannot make %s\n", name, folder.c_str());
            return false;
        }
    return true;
}

} // namespace synth
