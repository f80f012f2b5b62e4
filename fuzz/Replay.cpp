// fuzz_replay <target> <folder or file>...: feeds a fuzz target every saved input, as CTest does
// for each target with its corpus and its crash inputs, so they are re-run on every change without
// libFuzzer. Fails when the target is unknown or no input was found.
#include "fuzz/FuzzTarget.h"

#include "platform/files/Files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace
{

std::map<std::string, fuzz::TargetFunction>& Targets()
{
    static std::map<std::string, fuzz::TargetFunction> targets;
    return targets;
}

} // namespace

fuzz::Registration::Registration(const char* name, TargetFunction function)
{
    Targets()[name] = function;
}

int main(int argc, char** argv)
{
    if (argc < 2 || !Targets().count(argv[1]))
    {
        std::fprintf(stderr, "usage: fuzz_replay <target> <folder or file>...\ntargets:");
        for (const auto& [name, function] : Targets())
            std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    const fuzz::TargetFunction target = Targets()[argv[1]];
    fuzz::UseFolderOfTarget(argv[1]);

    std::vector<std::filesystem::path> inputs;
    for (int i = 2; i < argc; ++i)
    {
        const std::filesystem::path path = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
        {
            for (const auto& entry : std::filesystem::directory_iterator(path, error))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    inputs.push_back(entry.path());
        }
        else if (std::filesystem::is_regular_file(path, error))
            inputs.push_back(path);
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty())
    {
        std::fprintf(stderr, "no saved input for %s\n", argv[1]);
        return 1;
    }

    for (const auto& input : inputs)
    {
        std::string data;
        if (!platform::ReadFile(input.string(), data))
        {
            std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
            return 1;
        }
        std::fprintf(stderr, "%s\n", input.string().c_str());
        target(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    }
    std::printf("%s: %zu inputs replayed\n", argv[1], inputs.size());
    return 0;
}
