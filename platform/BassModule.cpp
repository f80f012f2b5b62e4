#include "platform/BassModule.h"
#include "platform/LibraryModules.h"
namespace platform
{
const LibraryEntry* BassEntries()
{
    static const LibraryEntry entries[] = {{nullptr, nullptr}};
    return entries;
}
const LibraryEntry* FModEntries()
{
    static const LibraryEntry entries[] = {{nullptr, nullptr}};
    return entries;
}
} // namespace platform
