#include "fuzz/FuzzTarget.h"

#include "platform/Files.h"
#include "tests/HeadlessEnvironment.h"

#include <cstdio>
#include <cstdlib>

namespace
{

// Like the test programs, a fuzz target runs with SDL's dummy drivers and keeps per-user data in
// its scratch folder. It stays in the folder it was started from: libFuzzer's paths are relative.
struct FuzzEnvironment
{
    FuzzEnvironment()
    {
        fuzz::Folder(); // made
        UseHeadlessEnvironment(KAVO_FUZZ_WORKDIR);
    }
} gFuzzEnvironment;

} // namespace

namespace fuzz
{

const std::string& Folder()
{
    static const std::string folder = []
    {
        std::string path = std::string(KAVO_FUZZ_WORKDIR) + "/";
        platform::MakeDirectories(path);
        return path;
    }();
    return folder;
}

std::string WriteInput(const std::string& name, const uint8_t* data, size_t size)
{
    return WriteInput(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

std::string WriteInput(const std::string& name, std::string_view contents)
{
    const std::string path = Folder() + name;
    std::FILE* file = platform::OpenFile(path, "wb");
    if (!file || std::fwrite(contents.data(), 1, contents.size(), file) != contents.size())
    {
        std::fprintf(stderr, "cannot write the fuzz input %s\n", path.c_str());
        std::abort();
    }
    std::fclose(file);
    return path;
}

} // namespace fuzz
