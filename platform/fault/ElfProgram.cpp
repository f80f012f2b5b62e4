#include "platform/fault/ElfProgram.h"

#include <dwarf.h>
#include <elfutils/libdw.h>
#include <fcntl.h>
#include <gelf.h>
#include <unistd.h>

namespace platform
{

namespace
{

void ReadFunctions(Elf* elf, std::vector<ElfFunction>& functions)
{
    for (Elf64_Word wanted : {SHT_SYMTAB, SHT_DYNSYM})
    {
        Elf_Scn* section = nullptr;
        while ((section = elf_nextscn(elf, section)) != nullptr)
        {
            GElf_Shdr header;
            if (!gelf_getshdr(section, &header) || header.sh_type != wanted || header.sh_entsize == 0)
                continue;
            Elf_Data* data = elf_getdata(section, nullptr);
            if (!data) continue;
            size_t count = header.sh_size / header.sh_entsize;
            for (size_t i = 0; i < count; ++i)
            {
                GElf_Sym symbol;
                if (!gelf_getsym(data, int(i), &symbol)) break;
                if (GELF_ST_TYPE(symbol.st_info) != STT_FUNC || symbol.st_value == 0) continue;
                if (symbol.st_shndx == SHN_UNDEF || symbol.st_shndx >= SHN_LORESERVE) continue;
                const char* name = elf_strptr(elf, header.sh_link, symbol.st_name);
                if (!name || !*name) continue;
                functions.push_back({uint32_t(symbol.st_shndx), symbol.st_value, name});
            }
        }
        if (!functions.empty()) return;
    }
}

void ReadLines(Elf* elf, std::vector<ElfLineRow>& rows)
{
    Dwarf* dwarf = dwarf_begin_elf(elf, DWARF_C_READ, nullptr);
    if (!dwarf) return;
    Dwarf_CU* unit = nullptr;
    Dwarf_Die unitDie;
    while (dwarf_get_units(dwarf, unit, &unit, nullptr, nullptr, &unitDie, nullptr) == 0)
    {
        Dwarf_Lines* lines = nullptr;
        size_t count = 0;
        if (dwarf_getsrclines(&unitDie, &lines, &count) != 0) continue;
        // Relative file names count from the folder the unit was compiled in.
        Dwarf_Attribute attribute;
        const char* compiledIn =
            dwarf_attr(&unitDie, DW_AT_comp_dir, &attribute) ? dwarf_formstring(&attribute) : nullptr;
        for (size_t i = 0; i < count; ++i)
        {
            Dwarf_Line* line = dwarf_onesrcline(lines, i);
            bool endSequence = false;
            Dwarf_Addr address = 0;
            int number = 0;
            if (!line || dwarf_lineendsequence(line, &endSequence) != 0 || endSequence) continue;
            if (dwarf_lineaddr(line, &address) != 0 || dwarf_lineno(line, &number) != 0 || address == 0)
                continue;
            const char* file = dwarf_linesrc(line, nullptr, nullptr);
            if (!file) continue;
            std::string name = file;
            if (file[0] != '/' && compiledIn && *compiledIn) name = std::string(compiledIn) + "/" + file;
            rows.push_back({address, name, number});
        }
    }
    dwarf_end(dwarf);
}

} // namespace

bool ReadElfProgram(const std::string& path, std::vector<ElfFunction>& functions,
                    std::vector<ElfLineRow>& lines, std::string& error)
{
    functions.clear();
    lines.clear();
    elf_version(EV_CURRENT);
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        error = "cannot open " + path;
        return false;
    }
    Elf* elf = elf_begin(fd, ELF_C_READ_MMAP, nullptr);
    if (!elf || elf_kind(elf) != ELF_K_ELF)
    {
        if (elf) elf_end(elf);
        close(fd);
        error = path + " is not an ELF file";
        return false;
    }
    ReadFunctions(elf, functions);
    ReadLines(elf, lines);
    elf_end(elf);
    close(fd);
    return true;
}

} // namespace platform
