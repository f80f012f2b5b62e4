#pragma once

#include "graphics/DataElement.h"
#include "graphics/ListDataElement.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Kavo
{

// Reader of the description language of bitmap fonts: a file of commands, each a command word
// followed by parameters (quoted strings, bare words, numbers, parenthesised lists), with named
// values ("defines") that later commands refer to. Subclasses interpret the commands.
//
//     Define Digits ("0" "1" "2");    # a comment line starts with '#'
//     LayerSetCharWidths Main Digits (7, 7, 8);
class DescParser
{
public:
    // mFlags bits.
    static constexpr int kSemicolonEnds = 1;      // ';' outside quotes ends a command
    static constexpr int kUnindentedLineEnds = 2; // a line starting in the first column ends one

    // Lists nested deeper than this are refused, so hostile input cannot exhaust the stack.
    static constexpr int kMaxListDepth = 64;

    int mFlags = kSemicolonEnds;
    std::string mError;
    int mCurrentLine = 0; // 1-based line where the command being read starts; 0 outside LoadFile
    std::string mCurrentCommand;
    // Upper-case name -> value; the parser owns the values.
    std::map<std::string, std::unique_ptr<DataElement>> mDefines;

    DescParser() = default;
    virtual ~DescParser();
    DescParser(const DescParser&) = delete;
    DescParser& operator=(const DescParser&) = delete;

    // Stores the text in mError and returns false; subclasses also report it.
    virtual bool Error(const std::string& text);
    // The value defined under the name (any case), or null.
    virtual DataElement* FindDefine(const std::string& name);
    // Interprets one command (its first element is the command word).
    virtual bool HandleCommand(ListDataElement& params) = 0;

    // Reads and runs a whole description file through the archive. False when it cannot be
    // opened (no error is reported then) or when a command failed; reading stops at the first
    // failed command, and the commands before it keep their effect.
    bool LoadFile(const std::string& fileName);

    // Tokenises one command and hands it to HandleCommand; a blank command succeeds.
    bool ParseLine(const std::string& command);
    // Tokenises text from *position (0 when null) into out. Inside a list the call ends at the
    // matching ')'. Errors: "Unexpected List End", "Unexpected List Start", "Unterminated
    // Single Quotes", "Unterminated Double Quotes", "Unterminated List".
    bool ParseList(const std::string& text, ListDataElement& out, bool inList, int* position = nullptr);

    // 'it''s' -> it's; text not starting with a quote is returned as it is.
    static std::string Unquote(const std::string& text);
    // Copies source into target, unquoting strings and replacing define names by their values.
    bool Dereference(ListDataElement& source, ListDataElement& target);

    bool DataToString(DataElement* source, std::string& out);
    bool DataToList(DataElement* source, ListDataElement& out);
    bool DataToStringVector(DataElement* source, std::vector<std::string>& out);
    bool DataToIntVector(DataElement* source, std::vector<int>& out);
    bool DataToDoubleVector(DataElement* source, std::vector<double>& out);
    // A single value's text as stored; a list as "(a, b, (c, d))".
    static std::string DataElementToString(const DataElement* element);

    // Replaces a define, taking the value over.
    void SetDefine(const std::string& name, DataElement* value);

protected:
    // The command reader of LoadFile, over the file's bytes.
    bool ReadCommands(std::string_view contents);

private:
    bool ParseListAt(const std::string& text, ListDataElement& out, bool inList, size_t& position, int depth);
    bool DereferenceAt(ListDataElement& source, ListDataElement& target, int depth);
};

} // namespace Kavo
