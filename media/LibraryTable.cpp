#include "media/LibraryTable.h"

namespace Kavo
{

platform::LibraryHandle LibraryTable::Load(const char* path, const char* fileName)
{
    platform::LibraryHandle module = platform::LoadLibrary(path);
    if (!module)
        platform::MessageBox(std::string("Can't find ") + fileName + ".", "Error", platform::MB_ICONERROR);
    return module;
}

void LibraryTable::ReportMissing(const std::string& what, const char* fileName)
{
    platform::MessageBox(what + " function not found in " + fileName, "Error", platform::MB_ICONERROR);
}

} // namespace Kavo
