#include "platform/Library.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace platform
{

struct LibraryModule
{
    std::string name;
    std::map<std::string, void*> entryPoints;
};

namespace
{

std::string FoldCase(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return folded;
}

// Stands in for an entry point whose presence is all that callers check.
void PresentOnly() {}

struct Modules
{
    std::mutex lock;
    std::map<std::string, std::unique_ptr<LibraryModule>> byName; // folded file name

    Modules()
    {
        // The display, the sound device and the version reader are part of the program.
        void* present = reinterpret_cast<void*>(&PresentOnly);
        Add("ddraw.dll", {{"DirectDrawCreate", present}, {"DirectDrawCreateEx", present}});
        Add("dsound.dll", {{"DirectSoundCreate", present}});
        Add("version.dll", {{"GetFileVersionInfoSizeA", present},
                            {"GetFileVersionInfoA", present},
                            {"VerQueryValueA", present}});
    }

    void Add(std::string_view fileName, std::vector<std::pair<std::string, void*>> entryPoints)
    {
        auto module = std::make_unique<LibraryModule>();
        module->name = std::string(fileName);
        for (auto& entry : entryPoints)
            module->entryPoints[entry.first] = entry.second;
        byName[FoldCase(fileName)] = std::move(module);
    }
};

Modules& AllModules()
{
    static Modules modules;
    return modules;
}

bool MarkedMissing(const std::string& foldedName)
{
    const char* list = std::getenv("KAVO_MISSING_LIBRARIES");
    if (!list) return false;
    std::string folded = FoldCase(list);
    size_t start = 0;
    while (start <= folded.size())
    {
        size_t end = folded.find_first_of(",;", start);
        if (end == std::string::npos) end = folded.size();
        std::string item = folded.substr(start, end - start);
        while (!item.empty() && item.front() == ' ')
            item.erase(item.begin());
        while (!item.empty() && item.back() == ' ')
            item.pop_back();
        if (item == foldedName) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

void RegisterLibrary(std::string_view fileName, std::vector<std::pair<std::string, void*>> entryPoints)
{
    Modules& modules = AllModules();
    std::lock_guard<std::mutex> guard(modules.lock);
    modules.Add(fileName, std::move(entryPoints));
}

LibraryHandle LoadLibrary(std::string_view fileName)
{
    size_t slash = fileName.find_last_of("\\/");
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    std::string folded = FoldCase(fileName);
    if (MarkedMissing(folded)) return nullptr;
    Modules& modules = AllModules();
    std::lock_guard<std::mutex> guard(modules.lock);
    auto it = modules.byName.find(folded);
    return it == modules.byName.end() ? nullptr : it->second.get();
}

void* GetProcAddress(LibraryHandle library, std::string_view name)
{
    if (!library) return nullptr;
    auto it = library->entryPoints.find(std::string(name));
    return it == library->entryPoints.end() ? nullptr : it->second;
}

void FreeLibrary(LibraryHandle) {}

} // namespace platform
