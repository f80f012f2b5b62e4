#pragma once

#include <cstdint>
#include <string>

namespace platform
{

class SymbolSession;

// Symbol names and source lines of the code of the running process, from the symbol tables
// and debugging information of its loaded objects (read when the reader is made). For the
// crash watcher and tests, never for a signal handler.
class SymbolReader
{
public:
    SymbolReader();
    ~SymbolReader();
    SymbolReader(const SymbolReader&) = delete;
    SymbolReader& operator=(const SymbolReader&) = delete;

    // False when the process's objects could not be read.
    bool Ready() const { return mSession != nullptr; }
    // The symbol holding address, as the object file spells it (mangled), and the distance of
    // address from its start; false when no symbol holds it.
    bool FindSymbol(uint64_t address, std::string& name, uint64_t& displacement) const;
    // The source file and line of the code at address, and the address where that line's code
    // starts; false when no line table covers it.
    bool FindSourceLine(uint64_t address, std::string& file, int& line, uint64_t& lineAddress) const;

private:
    SymbolSession* mSession = nullptr;
};

// A mangled C++ name ("_Z...") in its readable form; empty for any other name.
std::string DemangleSymbol(const std::string& name);

} // namespace platform
