// Stack walk and symbol lookup: the symbol library, logical addresses and the two walks.
#include "crash/CrashHandler.h"

#include "base/StringUtils.h"
#include "platform/fault/ModuleMap.h"
#include "platform/fault/SymbolReader.h"
#include "platform/system/Library.h"

#include <cstring>
#include <filesystem>
#include <memory>

namespace Kavo
{

namespace
{

platform::LibraryHandle gImageHelp = nullptr;
std::unique_ptr<platform::SymbolReader> gSymbols;

const char* const kImageHelpEntries[] = {"SymInitialize",        "SymSetOptions",    "SymCleanup",
                                         "UnDecorateSymbolName", "StackWalk",        "SymFunctionTableAccess",
                                         "SymGetModuleBase",     "SymGetSymFromAddr"};

// Lengths that keep every frame line within its 2048-byte line: a symbol's readable name is
// cut to 255 characters, a module's path to 259, a source path to 1024.
constexpr size_t kMaxSymbolName = 255;
constexpr size_t kMaxModulePath = 259;
constexpr size_t kMaxSourcePath = 1024;

std::string Cut(std::string text, size_t length)
{
    if (text.size() > length) text.resize(length);
    return text;
}

std::string ModuleLine(uint64_t pc, uint32_t& section, uint32_t& offset)
{
    char module[kMaxModulePath + 1] = "";
    section = 0;
    offset = 0;
    CrashHandler::GetLogicalAddress(pc, module, sizeof(module), section, offset);
    return CrashHandler::GetFileNamePart(module);
}

} // namespace

bool CrashHandler::LoadImageHelp()
{
    gImageHelp = platform::LoadLibrary("IMAGEHLP.DLL");
    if (!gImageHelp) return false;
    for (const char* name : kImageHelpEntries)
        if (!platform::GetProcAddress(gImageHelp, name)) return false;
    gSymbols = std::make_unique<platform::SymbolReader>();
    return gSymbols->Ready();
}

void CrashHandler::UnloadImageHelp()
{
    gSymbols.reset();
    if (gImageHelp) platform::FreeLibrary(gImageHelp);
    gImageHelp = nullptr;
}

bool CrashHandler::GetLogicalAddress(uint64_t address, char* modulePath, size_t capacity, uint32_t& section,
                                     uint32_t& offset)
{
    platform::ModuleInfo module;
    if (capacity == 0 || !platform::ModuleMap::FindModule(address, module)) return false;
    size_t length = std::min(module.path.size(), capacity - 1);
    std::memcpy(modulePath, module.path.data(), length);
    modulePath[length] = '\0';
    return platform::ModuleMap::FindSection(module, address, section, offset);
}

std::string CrashHandler::WalkStack(const platform::CrashRecord& record)
{
    using u64 = unsigned long long;
    std::string text;
    int count = std::min(record.unwindFrameCount, platform::kMaxCrashFrames);
    for (int i = 0; i < count; ++i)
    {
        const platform::CrashFrame& frame = record.unwindFrames[i];
        if (frame.frame == 0 || frame.pc == 0) return text;
        // A return address points after its call: its symbol and line are those of the call.
        uint64_t lookup = i == 0 ? frame.pc : frame.pc - 1;
        std::string name;
        uint64_t displacement = 0;
        if (gSymbols && gSymbols->FindSymbol(lookup, name, displacement))
        {
            std::string readable = platform::DemangleSymbol(name);
            name = Cut(readable.empty() ? name : readable, kMaxSymbolName);
            text += StrFormat("%016llX %016llX %s+%llX\r\n", u64(frame.frame), u64(frame.pc), name.c_str(),
                              u64(displacement + (frame.pc - lookup)));
            std::string file;
            int line = 0;
            uint64_t lineAddress = 0;
            if (gSymbols->FindSourceLine(lookup, file, line, lineAddress))
            {
                file = Cut(std::filesystem::path(file).lexically_normal().string(), kMaxSourcePath);
                text +=
                    StrFormat("    %s line %d +0x%llX\r\n", file.c_str(), line, u64(frame.pc - lineAddress));
            }
        }
        else
        {
            uint32_t section = 0, offset = 0;
            std::string module = ModuleLine(frame.pc, section, offset);
            text += StrFormat("%016llX %016llX %04X:%08X %s\r\n", u64(frame.frame), u64(frame.pc), section,
                              offset, module.c_str());
        }
        text += StrFormat("Params: %016llX %016llX %016llX %016llX\r\n", u64(frame.params[0]),
                          u64(frame.params[1]), u64(frame.params[2]), u64(frame.params[3]));
        text += "\r\n";
    }
    if (record.unwindError < 0) text += StrFormat("StackWalk failed (error %d)\r\n", record.unwindError);
    return text;
}

std::string CrashHandler::WalkFrames(const platform::CrashRecord& record)
{
    using u64 = unsigned long long;
    std::string text;
    int count = std::min(record.pointerFrameCount, platform::kMaxCrashFrames);
    platform::CrashFrame first;
    first.pc = record.registers.rip;
    first.frame = record.registers.rbp;
    for (int i = 0; i < std::max(count, 1); ++i)
    {
        const platform::CrashFrame& frame = count > 0 ? record.pointerFrames[i] : first;
        uint32_t section = 0, offset = 0;
        std::string module = ModuleLine(frame.pc, section, offset);
        text += StrFormat("%016llX  %016llX  %04X:%08X %s\r\n", u64(frame.pc), u64(frame.frame), section,
                          offset, module.c_str());
    }
    return text;
}

} // namespace Kavo
