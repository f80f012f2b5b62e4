#pragma once

#include "base/Buffer.h"

#include <cstdint>
#include <string>
#include <vector>

// Demo files: a recording of everything that entered a run, replayed update by update.
//
//   u32 magic 0x42BEEF78, u32 format version (2; 1 has no marker block), u32 random seed,
//   u16 version length and the product version text, [u32 marker block length, marker block:
//   u32 count, then per marker a string name and a u32 update count], u32 final update count,
//   then the event stream to the end of the file. All numbers little-endian.
namespace Kavo
{

// A named point of a demo.
struct DemoMarker
{
    std::string name;
    int updateCount = 0;
};

struct DemoFileContents
{
    uint32_t formatVersion = 2;
    uint32_t seed = 0;
    std::string version;
    std::vector<DemoMarker> markers;
    uint32_t finalUpdateCount = 0;
    Buffer events; // read position at 0 after reading
};

constexpr uint32_t kDemoMagic = 0x42BEEF78;

// Reads a demo file for the program whose product version is productVersion. The file is
// hostile input: every length and count is checked against what is left. False with one of
// the texts "Demo file not found: " + path, "Invalid demo file.", or
// "This demo file appears to be for '" + version + "'".
bool ReadDemoFile(const std::string& path, const std::string& productVersion, DemoFileContents& demo,
                  std::string& error);

// Writes the file (format version 2) atomically; false when it cannot be written.
bool WriteDemoFile(const std::string& path, const DemoFileContents& demo);

} // namespace Kavo
