// Checks the tips the game ships: the file reads to its end, every tip has a text and names only
// known kinds of games, every kind of game has tips of its own, and every tip can be marked as
// seen in the player's 32-bit word.
#include "base/TextHelpers.h"
#include "base/XMLParser.h"
#include "tests/data/ShippedData.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;

// The kinds of games a tip can name, and their bits.
const std::map<std::string, unsigned> kFlags = {
    {"tcfUntimedGame", 1},      {"tcfTimedGame", 2},       {"tcfUntimedHardGame", 4},
    {"tcfTimedHardGame", 8},    {"tcfChallengeGrid", 16},  {"tcfInternetChallenge", 32},
    {"tcfLateUntimedGame", 64}, {"tcfLateTimedGame", 128},
};

struct Tip
{
    std::string text;
    unsigned flags = 0;
};

TEST(Tips, EveryKindOfGameHasTipsOfItsOwn)
{
    XMLParser parser;
    ASSERT_TRUE(parser.OpenFile(ShippedData::SourceData() + "properties/Tips.xml"));
    std::vector<Tip> tips;
    Tip tip;
    XMLElement e;
    while (parser.NextElement(e))
    {
        if (e.type == XMLElement::TYPE_END && e.section == "tips/tip")
        {
            tips.push_back(tip);
            tip = Tip();
        }
        if (e.type != XMLElement::TYPE_START) continue;
        const std::string value = e.attributes.count("value") ? e.attributes.at("value") : "";
        if (e.value == "Text") tip.text = value;
        if (e.value == "TipChooserFlags_All") tip.flags = ~0u;
        if (e.value == "TipChooserFlags")
            for (const std::string& word : SplitIntoWords(value, ' '))
            {
                EXPECT_TRUE(kFlags.count(word)) << "unknown kind of game " << word;
                tip.flags |= kFlags.count(word) ? kFlags.at(word) : 0;
            }
    }
    ASSERT_FALSE(parser.HasFailed()) << parser.GetErrorText() << " on line " << parser.GetCurrentLineNum();

    EXPECT_LE(tips.size(), 32u) << "tips past the 32nd are never marked as seen";
    std::map<unsigned, int> perFlag;
    for (const Tip& t : tips)
    {
        EXPECT_FALSE(t.text.empty());
        EXPECT_LE(t.text.size(), 130u) << "a tip fits the three lines under the list: " << t.text;
        EXPECT_NE(t.flags, 0u) << "a tip for no game is never shown: " << t.text;
        for (const auto& [name, bit] : kFlags)
            perFlag[bit] += (t.flags & bit) != 0;
    }
    for (const auto& [name, bit] : kFlags)
        EXPECT_GE(perFlag[bit], 3) << name;
}

} // namespace
