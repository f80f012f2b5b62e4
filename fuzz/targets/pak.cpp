// The data archive: its index, then every file it holds read whole, byte by byte and with seeks
// from its end, and a search over its names.
#include "base/PakInterface.h"
#include "fuzz/FuzzTarget.h"

#include <vector>

KAVO_FUZZ_TARGET(pak)
{
    const std::string path = fuzz::WriteInput("input.pak", data, size);
    Kavo::PakInterface pak; // the process's own interface stays the registered one
    if (!pak.LoadPakIndex(path)) return 0;
    std::vector<std::string> names;
    for (const auto& [key, record] : pak.GetFiles())
        names.push_back(record.name);
    for (const std::string& name : names)
    {
        Kavo::PakFileHandle* file = pak.Open(name.c_str(), "rb");
        if (!file) continue;
        char buffer[256];
        while (pak.Read(buffer, 1, sizeof buffer, file) == sizeof buffer)
        {
        }
        pak.Seek(file, -3, Kavo::kPakSeekEnd);
        while (pak.GetChar(file) >= 0)
        {
        }
        pak.UngetChar('x', file);
        (void)pak.AtEnd(file);
        pak.Close(file);
        file = pak.Open(name.c_str(), "r"); // text mode: lines without carriage returns
        if (!file) continue;
        while (pak.GetLine(buffer, sizeof buffer, file))
        {
        }
        pak.Close(file);
    }
    Kavo::PakFindResult result;
    if (Kavo::PakFindData* search = pak.FindFirst((fuzz::Folder() + "*").c_str(), &result))
    {
        while (pak.FindNext(search, &result))
        {
        }
        pak.FindClose(search);
    }
    return 0;
}
