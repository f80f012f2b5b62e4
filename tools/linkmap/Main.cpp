// Writes the link map of a linked program in the layout its crash reports read: one line per
// function, "<space>SSSS:OOOOOOOO", spaces to column 20, the mangled name from column 21 and
// the address after a space; then per source file a "Line numbers for (<file>) segment .text"
// block of 80-character rows, four "%6d SSSS:OOOOOOOO" entries each (the last row padded with
// blanks, which the reader skips). Section numbers are the program file's ELF section indices
// and offsets count from the section's start, as the crash handler gives code addresses.
#include "platform/fault/ElfProgram.h"
#include "platform/fault/ModuleMap.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace
{

struct Entry
{
    uint32_t section = 0;
    uint32_t offset = 0;
    int line = 0;

    bool operator<(const Entry& other) const
    {
        return std::tie(section, offset) < std::tie(other.section, other.offset);
    }
};

// The section holding a link-time address (start inclusive, end exclusive); false for none.
bool Locate(const std::vector<platform::ModuleSection>& sections, uint64_t address, uint32_t& section,
            uint32_t& offset)
{
    for (const platform::ModuleSection& s : sections)
        if (address >= s.address && address - s.address < s.size)
        {
            section = s.number;
            offset = uint32_t(address - s.address);
            return true;
        }
    return false;
}

// The source path without "." and ".." steps, and relative to the source folder when inside it.
std::string SourceName(const std::string& file, const std::filesystem::path& root)
{
    std::filesystem::path path = std::filesystem::path(file).lexically_normal();
    std::filesystem::path relative = path.lexically_relative(root);
    if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
    return path.generic_string();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: kavolinkmap <program> <map file> <source folder>\n");
        return 2;
    }
    const std::string program = argv[1];
    std::vector<platform::ModuleSection> sections;
    std::vector<platform::ElfFunction> functions;
    std::vector<platform::ElfLineRow> rows;
    std::string error;
    if (!platform::ModuleMap::ReadSections(program, sections) ||
        !platform::ReadElfProgram(program, functions, rows, error))
    {
        std::fprintf(stderr, "kavolinkmap: %s\n",
                     error.empty() ? ("cannot read " + program).c_str() : error.c_str());
        return 1;
    }

    std::map<Entry, const platform::ElfFunction*> symbols;
    for (const platform::ElfFunction& function : functions)
    {
        Entry entry;
        if (function.name.find(' ') != std::string::npos) continue;
        if (Locate(sections, function.address, entry.section, entry.offset)) symbols[entry] = &function;
    }
    const std::filesystem::path root = std::filesystem::path(argv[3]).lexically_normal();
    std::map<std::string, std::vector<Entry>> lines;
    for (const platform::ElfLineRow& row : rows)
    {
        Entry entry;
        entry.line = row.line;
        if (row.line < 0 || row.line > 999999 || !Locate(sections, row.address, entry.section, entry.offset))
            continue;
        lines[SourceName(row.file, root)].push_back(entry);
    }

    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out)
    {
        std::fprintf(stderr, "kavolinkmap: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, " %s\n\n  Address         Publics by Value\n\n",
                 std::filesystem::path(program).filename().string().c_str());
    for (const auto& [entry, function] : symbols)
        std::fprintf(out, " %04X:%08X       %s %016llX\n", entry.section, entry.offset,
                     function->name.c_str(), static_cast<unsigned long long>(function->address));
    for (auto& [file, entries] : lines)
    {
        std::sort(entries.begin(), entries.end());
        std::fprintf(out, "\nLine numbers for (%s) segment .text\n\n", file.c_str());
        for (size_t i = 0; i < entries.size(); i += 4)
        {
            std::string row;
            for (size_t k = i; k < i + 4; ++k)
            {
                char text[32] = "                    ";
                if (k < entries.size())
                    std::snprintf(text, sizeof(text), "%6d %04X:%08X", entries[k].line, entries[k].section,
                                  entries[k].offset);
                row += text;
            }
            std::fprintf(out, "%s\n", row.c_str());
        }
    }
    bool ok = std::fclose(out) == 0;
    return ok ? 0 : 1;
}
