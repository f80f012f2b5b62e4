#include "platform/fault/SymbolReader.h"

#include <cstdlib>
#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <unistd.h>

namespace platform
{

class SymbolSession
{
public:
    Dwfl* dwfl = nullptr;
};

namespace
{

char* gDebugInfoPath = nullptr;
const Dwfl_Callbacks kCallbacks = {dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr,
                                   &gDebugInfoPath};

} // namespace

SymbolReader::SymbolReader()
{
    Dwfl* dwfl = dwfl_begin(&kCallbacks);
    if (!dwfl) return;
    if (dwfl_linux_proc_report(dwfl, getpid()) != 0 || dwfl_report_end(dwfl, nullptr, nullptr) != 0)
    {
        dwfl_end(dwfl);
        return;
    }
    mSession = new SymbolSession;
    mSession->dwfl = dwfl;
}

SymbolReader::~SymbolReader()
{
    if (!mSession) return;
    dwfl_end(mSession->dwfl);
    delete mSession;
}

bool SymbolReader::FindSymbol(uint64_t address, std::string& name, uint64_t& displacement) const
{
    if (!mSession) return false;
    Dwfl_Module* module = dwfl_addrmodule(mSession->dwfl, Dwarf_Addr(address));
    if (!module) return false;
    GElf_Off offset = 0;
    GElf_Sym symbol;
    const char* found =
        dwfl_module_addrinfo(module, Dwarf_Addr(address), &offset, &symbol, nullptr, nullptr, nullptr);
    if (!found || !*found) return false;
    name = found;
    displacement = offset;
    return true;
}

bool SymbolReader::FindSourceLine(uint64_t address, std::string& file, int& line, uint64_t& lineAddress) const
{
    if (!mSession) return false;
    Dwfl_Module* module = dwfl_addrmodule(mSession->dwfl, Dwarf_Addr(address));
    if (!module) return false;
    Dwfl_Line* entry = dwfl_module_getsrc(module, Dwarf_Addr(address));
    if (!entry) return false;
    Dwarf_Addr start = 0;
    int number = 0;
    const char* source = dwfl_lineinfo(entry, &start, &number, nullptr, nullptr, nullptr);
    if (!source) return false;
    // Relative file names count from the folder the unit was compiled in.
    const char* compiledIn = dwfl_line_comp_dir(entry);
    file = source[0] != '/' && compiledIn && *compiledIn ? std::string(compiledIn) + "/" + source : source;
    line = number;
    lineAddress = start;
    return true;
}

std::string DemangleSymbol(const std::string& name)
{
    // Only function names: the demangler would read "f" as the type "float".
    if (name.compare(0, 2, "_Z") != 0) return std::string();
    int status = 0;
    char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
    if (status != 0 || !readable) return std::string();
    std::string text = readable;
    std::free(readable);
    return text;
}

} // namespace platform
