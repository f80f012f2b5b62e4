#include "platform/system/LibraryModules.h"

#include "platform/files/AsciiCase.h"

#include <cstdlib>
#include <cstring>
#include <list>
#include <string>

namespace platform
{

class Library
{
public:
    const char* fileName;
    const LibraryEntry* (*entries)();
    const LibraryEntry* table = nullptr; // an override's entries, in place of entries()

    const LibraryEntry* Entries() const { return table ? table : entries(); }
};

namespace
{

// The display and the version reader are part of the program: their modules are present
// (unless marked missing) and their entry points stand for that presence.
void PresentOnly() {}

const LibraryEntry* DisplayEntries()
{
    static const LibraryEntry entries[] = {
        {"DirectDrawCreate", PresentOnly}, {"DirectDrawCreateEx", PresentOnly}, {nullptr, nullptr}};
    return entries;
}

// The adapter identity the 3D test reads comes from the display module: the module is there
// and names its one entry point.
const LibraryEntry* Display3DEntries()
{
    static const LibraryEntry entries[] = {{"Direct3DCreate8", PresentOnly}, {nullptr, nullptr}};
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

// The crash report's stack walker and symbol reader (platform/fault/StackWalk.h,
// platform/fault/SymbolReader.h), under the names the report binds.
const LibraryEntry* ImageHelpEntries()
{
    static const LibraryEntry entries[] = {{"SymInitialize", PresentOnly},
                                           {"SymSetOptions", PresentOnly},
                                           {"SymCleanup", PresentOnly},
                                           {"UnDecorateSymbolName", PresentOnly},
                                           {"StackWalk", PresentOnly},
                                           {"SymFunctionTableAccess", PresentOnly},
                                           {"SymGetModuleBase", PresentOnly},
                                           {"SymGetSymFromAddr", PresentOnly},
                                           {nullptr, nullptr}};
    return entries;
}

Library gModules[] = {
    {"j2k-codec.dll", Jpeg2000CodecEntries},
    {"ddraw.dll", DisplayEntries},
    {"d3d8.dll", Display3DEntries},
    {"dsound.dll", SoundDeviceEntries},
    {"bass.dll", BassEntries},
    {"fmod.dll", FModEntries},
    {"version.dll", VersionEntries},
    {"IMAGEHLP.DLL", ImageHelpEntries},
};

std::list<Library>& Overrides()
{
    static std::list<Library> overrides;
    return overrides;
}

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
    for (Library& module : Overrides())
        if (EqualIgnoringCase(module.fileName, fileName)) return &module;
    for (Library& module : gModules)
        if (EqualIgnoringCase(module.fileName, fileName)) return &module;
    return nullptr;
}

EntryPoint GetProcAddress(LibraryHandle library, const char* name)
{
    if (!library || !name) return nullptr;
    for (const LibraryEntry* e = library->Entries(); e->name; ++e)
        if (std::strcmp(e->name, name) == 0) return e->function;
    return nullptr;
}

void FreeLibrary(LibraryHandle) {}

void OverrideLibrary(const char* fileName, const LibraryEntry* entries)
{
    std::list<Library>& overrides = Overrides();
    overrides.remove_if([fileName](const Library& m) { return EqualIgnoringCase(m.fileName, fileName); });
    if (entries) overrides.push_back(Library{fileName, nullptr, entries});
}

} // namespace platform
