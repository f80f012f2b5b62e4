#pragma once

#include <string>

namespace Kavo
{

// The game's texts by number, read once from "properties\strings.txt": one entry per line,
// the number, "=", the text (blanks and tabs after the "=" skipped; the two characters "\n"
// become a line feed). A later line with the same number replaces the earlier text.
class StringTable
{
public:
    // Reads "properties\strings.txt" from the working folder. A missing file is reported in a
    // message box captioned "Missing File" ("Could not open properties\strings.txt. No text
    // available!"), the result is false and the table keeps what it had.
    static bool Load();
    // The same for any file.
    static bool LoadFile(const std::string& path);

    // The text of number with "%1" to "%3" replaced by the inserts, following the escapes of
    // message texts: "%%" a percent sign, "%n" a line feed, "%t" a tab, "%r" a carriage
    // return, "%0" ends the text, "%." "%!" and "% " give that character, and "%1!5s!" pads
    // an insert as printf would. A missing number gives "<<string N not found>>"; a text that
    // cannot be formatted (an insert above 3, a format other than a text's, a result of 2048
    // characters or more) gives "<<error formatting string N: code>>".
    static std::string GetString(int number, const std::string& insert1 = std::string(),
                                 const std::string& insert2 = std::string(),
                                 const std::string& insert3 = std::string());

    static constexpr const char* kDefaultPath = "properties\\strings.txt";
    static constexpr int kMaxLine = 4095;      // longer lines are read as several lines
    static constexpr int kMaxFormatted = 2048; // formatted texts, terminator included
};

} // namespace Kavo
