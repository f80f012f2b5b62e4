// Symbol lookup in a link map: reading "*.map" and rewriting the report's logical addresses.
#include "crash/CrashHandler.h"

#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "crash/LogicalAddress.h"
#include "crash/SourceLine.h"
#include "platform/fault/SymbolReader.h"
#include "platform/files/Files.h"

#include <cstdio>

namespace Kavo
{

namespace
{

// A map line holds at most 4095 characters; longer lines are skipped whole.
constexpr size_t kMaxMapLine = 4095;
// The name with its distance and source line, as inserted into the report.
constexpr size_t kMaxNameText = 4095;

// Reads a file line by line, each at most kMaxMapLine characters without its line end (a CR
// before the LF is dropped); a longer line is passed over to its end.
class MapLineReader
{
public:
    explicit MapLineReader(std::FILE* file) : mFile(file) {}

    bool Next(std::string& line)
    {
        for (;;)
        {
            line.clear();
            bool tooLong = false;
            int c = 0;
            bool any = false;
            while ((c = std::getc(mFile)) != EOF)
            {
                any = true;
                if (c == '\n') break;
                if (line.size() < kMaxMapLine + 1)
                    line.push_back(char(c));
                else
                    tooLong = true;
            }
            if (!any) return false;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() > kMaxMapLine) tooLong = true;
            if (!tooLong) return true;
        }
    }

private:
    std::FILE* mFile;
};

bool ReadAddress(std::string_view section, std::string_view offset, LogicalAddress& address)
{
    return CrashHandler::ParseHex(section, address.section) && CrashHandler::ParseHex(offset, address.offset);
}

void ReadMap(std::FILE* file, SymbolTable& symbols, LineTable& lines)
{
    MapLineReader reader(file);
    std::string line;
    std::string currentFile;
    while (reader.Next(line))
    {
        std::string_view text(line);
        if (text.size() > 22 && text[5] == ':')
        {
            LogicalAddress address;
            size_t end = text.find(' ', 21);
            if (ReadAddress(text.substr(1, 4), text.substr(6, 8), address) && text[20] == ' ' &&
                end != std::string_view::npos)
                symbols[address] = std::string(text.substr(21, end - 21));
        }
        else if (text.substr(0, 12) == "Line numbers")
        {
            size_t open = text.find('(');
            size_t close = text.rfind(')');
            size_t start = open == std::string_view::npos ? 0 : open + 1;
            size_t end = close == std::string_view::npos ? text.size() : close;
            currentFile = end > start ? std::string(text.substr(start, end - start)) : std::string();
        }
        else if (text.size() == 80 && !currentFile.empty())
        {
            for (size_t k = 0; k < 4; ++k)
            {
                std::string_view entry = text.substr(20 * k, 20);
                LogicalAddress address;
                if (ReadAddress(entry.substr(7, 4), entry.substr(12, 8), address))
                    lines[address] =
                        SourceLine{currentFile, StringToIntBase10(std::string(entry.substr(0, 6)))};
            }
        }
    }
}

// The entry at or nearest below address in its own section; null when there is none, or when
// address lies above the table's last entry.
template <typename Table>
const typename Table::value_type* FindBelow(const Table& table, const LogicalAddress& address)
{
    auto it = table.lower_bound(address);
    if (it == table.end()) return nullptr;
    if (address < it->first)
    {
        if (it == table.begin()) return nullptr;
        --it;
    }
    return it->first.section == address.section ? &*it : nullptr;
}

} // namespace

bool CrashHandler::ParseHex(std::string_view text, uint32_t& value)
{
    value = 0;
    for (char c : text)
    {
        int digit = HexDigitValue(c);
        if (digit < 0) return false;
        value = (value << 4) | uint32_t(digit);
    }
    return true;
}

void CrashHandler::LookupMapFile(std::string& report)
{
    std::vector<platform::FileEntry> maps = platform::FindFiles("*.map");
    if (maps.empty()) return;
    std::FILE* file = platform::OpenFile(maps.front().name, "rb");
    if (!file) return;
    SymbolTable symbols;
    LineTable lines;
    ReadMap(file, symbols, lines);
    std::fclose(file);
    if (symbols.empty()) return;

    size_t p = 4;
    while (p < report.size())
    {
        if (report[p] != ':')
        {
            ++p;
            continue;
        }
        std::string_view text(report);
        LogicalAddress address;
        if (!ReadAddress(text.substr(p - 4, 4), text.substr(p + 1, 8), address))
        {
            ++p;
            continue;
        }
        const SymbolTable::value_type* symbol = FindBelow(symbols, address);
        if (!symbol)
        {
            ++p;
            continue;
        }
        std::string name = platform::DemangleSymbol(symbol->second);
        if (name.empty()) name = symbol->second;
        if (name.size() > kMaxNameText) name.resize(kMaxNameText);
        uint32_t distance = address.offset - symbol->first.offset;
        if (distance != 0) name += StrFormat("+0x%X", distance);
        if (const LineTable::value_type* line = FindBelow(lines, address))
            name += StrFormat("\r\n    %s line %d +0x%X", line->second.file.c_str(), line->second.line,
                              address.offset - line->first.offset);
        if (name.size() > kMaxNameText) name.resize(kMaxNameText);
        // The inserted text is not scanned again: a name that holds an address of its own
        // would otherwise be rewritten without end.
        size_t start = p - 4;
        report.replace(start, std::min<size_t>(13, report.size() - start), name);
        p = start + name.size() + 4;
    }
}

} // namespace Kavo
