#pragma once

#include "base/XMLParser.h"
#include "platform/files/Files.h"
#include "rules/GameRulesConfig.h"

#include <set>
#include <string>
#include <vector>

// The rules files shipped in data/properties, for the tests that check and play them.
namespace KavoTest
{

inline const std::string kShippedProperties = std::string(KAVO_SOURCE_DIR) + "/data/properties/";

inline const char* const kModeRulesFiles[] = {"untimed_config.xml", "timed_config.xml",
                                              "untimed_hard_config.xml", "timed_hard_config.xml",
                                              "crazy_config.xml"};

// The challenges' rules files, relative to kShippedProperties: every file that a challenge grid
// names as a challenge's "ConfigFile", and every file in the challenges folder.
inline std::vector<std::string> ChallengeRulesFiles()
{
    std::set<std::string> names;
    for (const platform::FileEntry& grid : platform::FindFiles(kShippedProperties + "ChallengeGrid*.xml"))
    {
        Kavo::XMLParser parser;
        if (!parser.OpenFile(kShippedProperties + grid.name)) continue;
        Kavo::XMLElement e;
        while (parser.NextElement(e))
            if (e.type == Kavo::XMLElement::TYPE_START && e.value == "ConfigFile" &&
                e.attributes.count("value"))
                names.insert(e.attributes.at("value"));
    }
    for (const platform::FileEntry& file : platform::FindFiles(kShippedProperties + "challenges/*.xml"))
        names.insert("challenges/" + file.name);
    return {names.begin(), names.end()};
}

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
