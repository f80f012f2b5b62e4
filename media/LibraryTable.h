#pragma once

#include "platform/system/Library.h"
#include "platform/window/Window.h"

#include <string>

namespace Kavo
{

// Binding the entry points of a run-time music module by name. A missing module or entry is
// reported once, in a message box captioned "Error", when the table is made.
class LibraryTable
{
public:
    // The module, or nullptr after the box "Can't find <fileName>.".
    static platform::LibraryHandle Load(const char* path, const char* fileName);

    // Binds entry to the module's entry point of that name; false when it is absent.
    template <typename Function>
    static bool Bind(platform::LibraryHandle module, Function& entry, const char* name)
    {
        entry = reinterpret_cast<Function>(platform::GetProcAddress(module, name));
        return entry != nullptr;
    }

    // The box "<what> function not found in <fileName>".
    static void ReportMissing(const std::string& what, const char* fileName);
};

} // namespace Kavo
