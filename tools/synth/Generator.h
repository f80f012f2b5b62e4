#pragma once

#include <string>

// The command line every content generator takes:
//   <name> <content folder> <game folder> [--preview <folder>]
namespace synth
{

struct GeneratorFolders
{
    std::string output;  // the generator's own folder below the content or the game folder, ending in "/"
    std::string preview; // where pictures to look at go, ending in "/"; empty without --preview
};

// Reads the command line and makes the generator's folder (subfolder below the content folder, or
// below the game folder when inGameFolder) and the preview folder. On a wrong command line or a
// folder that cannot be made, says so on stderr and returns false.
bool StartGenerator(int argc, char** argv, const char* name, const char* subfolder, bool inGameFolder,
                    GeneratorFolders& folders);

} // namespace synth
