#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a link map lists of a program file: its allocated sections, its functions and the rows
// of its line tables. Read by the build's map writer, after the program is linked.
namespace platform
{

struct ElfFunction
{
    uint32_t section = 0; // ELF section index
    uint64_t address = 0; // link-time address
    std::string name;     // as the symbol table spells it (mangled)
};

struct ElfLineRow
{
    uint64_t address = 0; // link-time address where the line's code starts
    std::string file;     // the source file's path (relative ones joined to their unit's folder)
    int line = 0;
};

// The functions of the file's symbol table (its dynamic symbols when it has none) and the
// line rows of its debugging information (none when it has none). False with a reason when
// the file cannot be read as ELF.
bool ReadElfProgram(const std::string& path, std::vector<ElfFunction>& functions,
                    std::vector<ElfLineRow>& lines, std::string& error);

} // namespace platform
