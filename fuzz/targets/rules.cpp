// Rules files: a game mode's rules and its level records, read through the XML reader.
#include "base/XMLParser.h"
#include "fuzz/FuzzTarget.h"
#include "rules/GameRulesConfig.h"

KAVO_FUZZ_TARGET(rules)
{
    const std::string path = fuzz::WriteInput("rules.xml", data, size);
    Kavo::XMLParser parser;
    if (!parser.OpenFile(path)) return 0;
    Kavo::GameRulesConfig rules;
    (void)rules.LoadFromFile(parser);
    return 0;
}
