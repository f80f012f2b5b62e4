// kavoreg: sets one value in a settings file of the program, for scripts that prepare a player
// (the screenshots of screens a new player cannot reach at once).
//
//   kavoreg <settings file> <key path> <value name> int <number>
//   kavoreg <settings file> <key path> <value name> text <text>
#include "base/TextHelpers.h"
#include "platform/files/LittleEndian.h"
#include "platform/files/Registry.h"

#include <cstdio>
#include <string>

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: kavoreg <settings file> <key path> <value name> int|text <value>\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 6) return Usage();
    const std::string file = argv[1], key = argv[2], name = argv[3], kind = argv[4], value = argv[5];
    platform::RegistryStore store;
    if (store.Open(file) == platform::RegistryStore::LoadResult::Damaged)
    {
        std::fprintf(stderr, "kavoreg: %s is damaged: %s\n", file.c_str(), store.LoadError().c_str());
        return 1;
    }
    bool written = false;
    store.BeginBatch(); // the key and its value: one rewrite of the file
    if (kind == "int")
    {
        std::string data;
        platform::AppendLE32(data, uint32_t(Kavo::StringToIntBase10(value)));
        written = store.CreateKey(key) && store.SetValue(key, name, platform::kRegDword, data);
    }
    else if (kind == "text")
    {
        written = store.CreateKey(key) && store.SetValue(key, name, platform::kRegString, value);
    }
    else
    {
        return Usage();
    }
    written = store.EndBatch() && written;
    if (!written)
    {
        std::fprintf(stderr, "kavoreg: could not write %s\\%s in %s\n", key.c_str(), name.c_str(),
                     file.c_str());
        return 1;
    }
    return 0;
}
