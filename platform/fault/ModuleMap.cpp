#include "platform/fault/ModuleMap.h"

#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <mutex>
#include <unistd.h>

namespace platform
{

namespace
{

// Larger section tables or name tables are taken for damaged files.
constexpr uint32_t kMaxSections = 65536;
constexpr uint64_t kMaxNameTable = 16u << 20;

struct Modules
{
    std::mutex lock;
    std::vector<ModuleInfo> list;
};

Modules& GetModules()
{
    static Modules modules;
    return modules;
}

bool ReadAt(int fd, uint64_t offset, void* out, size_t count)
{
    size_t done = 0;
    while (done < count)
    {
        ssize_t got = pread(fd, static_cast<char*>(out) + done, count - done, off_t(offset + done));
        if (got <= 0) return false;
        done += size_t(got);
    }
    return true;
}

std::string ProgramPath()
{
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return length > 0 ? std::string(path, size_t(length)) : std::string();
}

int AddLoadedObject(dl_phdr_info* info, size_t, void* data)
{
    auto* found = static_cast<std::vector<ModuleInfo>*>(data);
    ModuleInfo module;
    module.path = info->dlpi_name && *info->dlpi_name ? info->dlpi_name : ProgramPath();
    module.bias = info->dlpi_addr;
    for (int i = 0; i < info->dlpi_phnum; ++i)
    {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD) continue;
        uint64_t start = module.bias + header.p_vaddr;
        module.ranges.emplace_back(start, start + header.p_memsz);
    }
    if (!module.ranges.empty()) found->push_back(std::move(module));
    return 0;
}

bool Holds(const ModuleInfo& module, uint64_t address)
{
    for (const auto& range : module.ranges)
        if (address >= range.first && address < range.second) return true;
    return false;
}

bool FindLocked(Modules& modules, uint64_t address, ModuleInfo& module)
{
    for (const ModuleInfo& known : modules.list)
        if (Holds(known, address))
        {
            module = known;
            return true;
        }
    return false;
}

void RefreshLocked(Modules& modules)
{
    std::vector<ModuleInfo> loaded;
    dl_iterate_phdr(AddLoadedObject, &loaded);
    for (ModuleInfo& candidate : loaded)
    {
        bool known = false;
        for (const ModuleInfo& module : modules.list)
            known = known || (module.bias == candidate.bias && module.path == candidate.path);
        if (known) continue;
        ModuleMap::ReadSections(candidate.path, candidate.sections);
        modules.list.push_back(std::move(candidate));
    }
}

} // namespace

void ModuleMap::Refresh()
{
    Modules& modules = GetModules();
    std::lock_guard<std::mutex> guard(modules.lock);
    RefreshLocked(modules);
}

bool ModuleMap::FindModule(uint64_t address, ModuleInfo& module)
{
    Modules& modules = GetModules();
    std::lock_guard<std::mutex> guard(modules.lock);
    if (FindLocked(modules, address, module)) return true;
    RefreshLocked(modules);
    return FindLocked(modules, address, module);
}

bool ModuleMap::FindSection(const ModuleInfo& module, uint64_t address, uint32_t& section, uint32_t& offset)
{
    uint64_t linkAddress = address - module.bias;
    for (const ModuleSection& s : module.sections)
    {
        if (linkAddress >= s.address && linkAddress - s.address <= s.size)
        {
            section = s.number;
            offset = uint32_t(linkAddress - s.address);
            return true;
        }
    }
    return false;
}

bool ModuleMap::ReadSections(const std::string& path, std::vector<ModuleSection>& sections)
{
    sections.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = false;
    do
    {
        Elf64_Ehdr header;
        if (!ReadAt(fd, 0, &header, sizeof(header))) break;
        if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
            break;
        if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shoff == 0) break;
        Elf64_Shdr first;
        if (!ReadAt(fd, header.e_shoff, &first, sizeof(first))) break;
        uint64_t count = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
        uint32_t namesIndex = header.e_shstrndx != SHN_XINDEX ? header.e_shstrndx : first.sh_link;
        if (count == 0 || count > kMaxSections) break;
        std::vector<Elf64_Shdr> headers(count);
        if (!ReadAt(fd, header.e_shoff, headers.data(), count * sizeof(Elf64_Shdr))) break;
        std::string names;
        if (namesIndex < count && headers[namesIndex].sh_size <= kMaxNameTable)
        {
            names.resize(headers[namesIndex].sh_size);
            if (!ReadAt(fd, headers[namesIndex].sh_offset, names.data(), names.size())) names.clear();
        }
        for (uint32_t i = 1; i < count; ++i)
        {
            const Elf64_Shdr& s = headers[i];
            if (!(s.sh_flags & SHF_ALLOC) || s.sh_size == 0) continue;
            if ((s.sh_flags & SHF_TLS) && s.sh_type == SHT_NOBITS) continue;
            ModuleSection section;
            section.number = i;
            section.address = s.sh_addr;
            section.size = s.sh_size;
            if (s.sh_name < names.size()) section.name = names.c_str() + s.sh_name;
            sections.push_back(std::move(section));
        }
        ok = true;
    } while (false);
    close(fd);
    return ok;
}

} // namespace platform
