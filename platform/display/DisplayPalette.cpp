#include "platform/display/DisplayPalette.h"

#include <cstring>

namespace platform
{

DisplayPalette::DisplayPalette(const uint32_t* entries, bool withAlpha) : mWithAlpha(withAlpha)
{
    SetEntries(entries);
}

void DisplayPalette::SetEntries(const uint32_t* entries)
{
    if (entries) std::memcpy(mEntries, entries, sizeof(mEntries));
    if (!mWithAlpha)
        for (uint32_t& entry : mEntries)
            entry |= 0xFF000000u;
}

} // namespace platform
