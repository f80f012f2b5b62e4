#pragma once

#include <cstdint>
#include <string>

// Fixed-width numbers stored low byte first, the order of every binary file the program reads and
// writes (the data archive, the settings store, saved games, image files), whatever the machine's
// own order. Header-only, so that any folder can use it.
namespace platform
{

// The number in the bytes at p (2, 4 or 8 of them).
inline uint16_t LoadLE16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t LoadLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t LoadLE64(const uint8_t* p)
{
    return uint64_t(LoadLE32(p)) | uint64_t(LoadLE32(p + 4)) << 32;
}

// Writes the number into the 4 bytes at p.
inline void StoreLE32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(value >> (8 * i));
}

// Appends the number's 2, 4 or 8 bytes to out.
inline void AppendLE16(std::string& out, uint16_t value)
{
    out += char(uint8_t(value));
    out += char(uint8_t(value >> 8));
}

inline void AppendLE32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += char(uint8_t(value >> (8 * i)));
}

inline void AppendLE64(std::string& out, uint64_t value)
{
    AppendLE32(out, uint32_t(value));
    AppendLE32(out, uint32_t(value >> 32));
}

} // namespace platform
