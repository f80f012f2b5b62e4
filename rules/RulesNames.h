#pragma once

#include <span>
#include <string>

// The six name tables of the rules file: the flag names of GeneralConfigFlags (gcf),
// TileConfigFlags (tcf), SpecialButtonFlags (sbf) and HintsToShow (hint), the move types (mt)
// and the PieceRatio kinds (pr). Names are compared exactly, letter case included.
namespace Kavo
{

enum class RulesNameTable
{
    GeneralConfigFlags,
    TileConfigFlags,
    SpecialButtonFlags,
    MoveTypes,
    PieceRatioKinds,
    Hints,
};

struct RulesName
{
    const char* name;
    int value;
};

// Every row of a table.
std::span<const RulesName> GetRulesNames(RulesNameTable table);
// The value of the row named word, or fallback when no row has that name.
int ParseFlagWord(RulesNameTable table, const std::string& word, int fallback);

} // namespace Kavo
