#pragma once

#include "base/XMLParser.h"
#include "puzzle/GameRulesConfig.h"

#include <string>

// The rules files shipped in data/properties, for the tests that check and play them.
namespace KavoTest
{

inline const std::string kShippedProperties = std::string(KAVO_SOURCE_DIR) + "/data/properties/";

inline const char* const kModeRulesFiles[] = {"untimed_config.xml", "timed_config.xml",
                                              "untimed_hard_config.xml", "timed_hard_config.xml",
                                              "crazy_config.xml"};

// Loads a rules file; on failure error says why.
inline bool LoadRulesFile(const std::string& path, Kavo::GameRulesConfig& rules, std::string& error)
{
    Kavo::XMLParser parser;
    if (parser.OpenFile(path) && rules.LoadFromFile(parser)) return true;
    error = parser.GetErrorText() + " on line " + std::to_string(parser.GetCurrentLineNum());
    return false;
}

// The first level no game of these rules plays: the lower of the level requirements that end
// it (0 when none does).
inline int GameEndLevel(const Kavo::GameRulesConfig& rules)
{
    int end = 0;
    for (int requirement : {rules.nWinningLevelRequirement, rules.nLosingLevelRequirement})
        if (requirement > 0 && (end == 0 || requirement < end)) end = requirement;
    return end;
}

} // namespace KavoTest
