#include "platform/LibraryModules.h"

#include "platform/AsciiCase.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace platform
{

class Library
{
public:
    const char* fileName;
    const LibraryEntry* (*entries)();
};

namespace
{

// The display, the sound device and the version reader are part of the program: their
// modules are present (unless marked missing) and their entry points stand for that presence.
void PresentOnly() {}

const LibraryEntry* DisplayEntries()
{
    static const LibraryEntry entries[] = {
        {"DirectDrawCreate", PresentOnly}, {"DirectDrawCreateEx", PresentOnly}, {nullptr, nullptr}};
    return entries;
}

const LibraryEntry* SoundEntries()
{
    static const LibraryEntry entries[] = {{"DirectSoundCreate", PresentOnly}, {nullptr, nullptr}};
    return entries;
}

const LibraryEntry* VersionEntries()
{
    static const LibraryEntry entries[] = {{"GetFileVersionInfoSizeA", PresentOnly},
                                           {"GetFileVersionInfoA", PresentOnly},
                                           {"VerQueryValueA", PresentOnly},
                                           {nullptr, nullptr}};
    return entries;
}

Library gModules[] = {
    {"j2k-codec.dll", Jpeg2000CodecEntries},
    {"ddraw.dll", DisplayEntries},
    {"dsound.dll", SoundEntries},
    {"version.dll", VersionEntries},
};

bool MarkedMissing(std::string_view fileName)
{
    const char* missing = std::getenv("KAVO_MISSING_LIBRARIES");
    if (!missing) return false;
    std::string_view list(missing);
    while (!list.empty())
    {
        size_t end = list.find_first_of(";,");
        std::string_view item = list.substr(0, end);
        if (EqualIgnoringCase(item, fileName)) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

} // namespace

LibraryHandle LoadLibrary(std::string_view fileName)
{
    // A path may come with the name: only the file name counts.
    size_t slash = fileName.find_last_of("\\/");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    if (MarkedMissing(fileName)) return nullptr;
    for (Library& module : gModules)
        if (EqualIgnoringCase(module.fileName, fileName)) return &module;
    return nullptr;
}

EntryPoint GetProcAddress(LibraryHandle library, const char* name)
{
    if (!library || !name) return nullptr;
    for (const LibraryEntry* e = library->entries(); e->name; ++e)
        if (std::strcmp(e->name, name) == 0) return e->function;
    return nullptr;
}

void FreeLibrary(LibraryHandle) {}

} // namespace platform
