#include "fuzz/FuzzTarget.h"

#include "platform/files/Files.h"
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

namespace
{

std::string MadeFolder(const std::string& path)
{
    platform::MakeDirectories(path);
    return path;
}

std::string& FolderPath()
{
    static std::string folder = MadeFolder(std::string(KAVO_FUZZ_WORKDIR) + "/");
    return folder;
}

} // namespace

const std::string& Folder()
{
    return FolderPath();
}

void UseFolderOfTarget(const std::string& name)
{
    FolderPath() = MadeFolder(std::string(KAVO_FUZZ_WORKDIR) + "/" + name + "/");
    UseHeadlessEnvironment(FolderPath());
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
