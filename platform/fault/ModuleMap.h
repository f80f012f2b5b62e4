#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform
{

// One allocated section of a module's file: its ELF section index (1 for the first header
// after the null one), its link-time address and size, and its name.
struct ModuleSection
{
    uint32_t number = 0;
    uint64_t address = 0;
    uint64_t size = 0;
    std::string name;
};

// One loaded ELF object: its file, the distance between its link-time and its run-time
// addresses, the run-time address ranges of its loaded segments, and its sections.
struct ModuleInfo
{
    std::string path;
    uint64_t bias = 0;
    std::vector<std::pair<uint64_t, uint64_t>> ranges; // [start, end)
    std::vector<ModuleSection> sections;
};

// The loaded objects of the process with the section tables of their files, so that a code
// address can be given as module, section and offset. Read when the crash handlers are
// installed and again on a miss; never from a signal handler. Thread-safe.
class ModuleMap
{
public:
    // Adds the objects loaded now that are not known yet.
    static void Refresh();
    // A copy of the object whose loaded segments hold address; false when none does (a miss
    // reads the loaded objects once more first).
    static bool FindModule(uint64_t address, ModuleInfo& module);
    // The section holding address within module: start <= address - bias <= start + size, both
    // ends inclusive, the first such section in the file's order. offset counts from the
    // section's start. False when none holds it (section and offset are then left alone).
    static bool FindSection(const ModuleInfo& module, uint64_t address, uint32_t& section, uint32_t& offset);
    // The section headers of an ELF file (allocated, non-empty sections only); false when the
    // file cannot be read as 64-bit ELF. Every size read from the file is checked.
    static bool ReadSections(const std::string& path, std::vector<ModuleSection>& sections);
};

} // namespace platform
