#pragma once

#include <cstdint>

// A 256-entry palette of an 8-bit surface (a texture in the 3D device's palettised format).
namespace platform
{

class DisplayPalette
{
public:
    // entries: 256 words 0xAARRGGBB; withAlpha: the entries' alpha counts (else opaque).
    DisplayPalette(const uint32_t* entries, bool withAlpha);

    // The 256 entries as 0xAARRGGBB words.
    const uint32_t* Entries() const { return mEntries; }
    void SetEntries(const uint32_t* entries);
    bool HasAlpha() const { return mWithAlpha; }

private:
    uint32_t mEntries[256] = {};
    bool mWithAlpha = false;
};

} // namespace platform
