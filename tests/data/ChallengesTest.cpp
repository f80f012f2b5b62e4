// Checks the challenge grids the game ships: three pages of sixteen challenges A1 to L4, each
// with its own rules file, medal scores that rise, requirements that open every challenge in
// turn, and star thresholds that open the pages one after the other.
#include "base/Color.h"
#include "base/TextHelpers.h"
#include "base/XMLParser.h"
#include "rules/GameRulesConfig.h"
#include "tests/data/ShippedData.h"
#include "tests/rules/ShippedRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;

constexpr int kPages = 3;
constexpr int kPerPage = 16;

struct Challenge
{
    std::string id, name, desc, requirements, configFile;
    int medals[4] = {0, 0, 0, 0}; // bronze, silver, gold, ultra
    std::string quick[10];
};

struct Page
{
    std::vector<Challenge> challenges;
    int starsToBeat = 1;
    bool read = false;
};

// Reads a grid file as the challenge grid does: a field element sets that field of the challenge
// being built, the end of a challenge element adds it.
Page ReadGrid(int number)
{
    Page page;
    XMLParser parser;
    if (!parser.OpenFile(ShippedData::SourceData() + "properties/ChallengeGrid" + std::to_string(number) +
                         ".xml"))
        return page;
    const char* const medalNames[4] = {"BronzeScoreRequirement", "SilverScoreRequirement",
                                       "GoldScoreRequirement", "UltraScoreRequirement"};
    Challenge c;
    XMLElement e;
    while (parser.NextElement(e))
    {
        if (e.type == XMLElement::TYPE_END && e.section == "challenges/challenge")
        {
            page.challenges.push_back(c);
            c = Challenge();
        }
        if (e.type != XMLElement::TYPE_START) continue;
        const std::string value = e.attributes.count("value") ? e.attributes.at("value") : "";
        const std::string& field = e.value;
        if (field == "ID") c.id = value;
        if (field == "Name") c.name = value;
        if (field == "Desc") c.desc = value;
        if (field == "Requirements") c.requirements = value;
        if (field == "ConfigFile") c.configFile = value;
        if (field == "StarPointsNeededToBeatGrid") page.starsToBeat = StringToIntBase10(value);
        for (int m = 0; m < 4; ++m)
            if (field == medalNames[m]) c.medals[m] = StringToIntBase10(value);
        for (int q = 1; q <= 10; ++q)
            if (field == "QuickDesc" + std::to_string(q)) c.quick[q - 1] = value;
    }
    page.read = !parser.HasFailed();
    return page;
}

std::vector<Page> ReadGrids()
{
    std::vector<Page> pages;
    for (int p = 1; p <= kPages; ++p)
        pages.push_back(ReadGrid(p));
    return pages;
}

// The challenge at (row, column) of page p: rows are letters, four a page, columns 1 to 4.
std::string ExpectedId(int p, int index)
{
    return std::string(1, char('A' + 4 * p + index / 4)) + std::to_string(index % 4 + 1);
}

TEST(Challenges, ThreePagesHoldChallengesA1ToL4)
{
    std::vector<Page> pages = ReadGrids();
    for (int p = 0; p < kPages; ++p)
    {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        ASSERT_TRUE(pages[p].read);
        ASSERT_EQ(pages[p].challenges.size(), size_t(kPerPage));
        for (int i = 0; i < kPerPage; ++i)
        {
            const Challenge& c = pages[p].challenges[i];
            SCOPED_TRACE(c.id);
            EXPECT_EQ(c.id, ExpectedId(p, i));
            Color colour;
            bool flag = false;
            EXPECT_FALSE(TrimWhitespace(ParseColorTaggedText(c.name, colour, flag)).empty()) << "no title";
            EXPECT_FALSE(c.desc.empty());
            EXPECT_LE(c.desc.size(), 220u) << "the description must fit the dialog above its scores";
            EXPECT_FALSE(c.quick[0].empty());
            // The medal scores rise, and the first is worth playing for.
            EXPECT_GT(c.medals[0], 0);
            for (int m = 1; m < 4; ++m)
                EXPECT_LT(c.medals[m - 1], c.medals[m]) << "medal " << m;
        }
    }
}

TEST(Challenges, EachChallengePlaysItsOwnRulesFile)
{
    std::set<std::string> files;
    for (const Page& page : ReadGrids())
        for (const Challenge& c : page.challenges)
        {
            SCOPED_TRACE(c.id);
            EXPECT_TRUE(files.insert(c.configFile).second) << c.configFile << " is shared";
            GameRulesConfig rules;
            std::string error;
            ASSERT_TRUE(KavoTest::LoadRulesFile(KavoTest::kShippedProperties + c.configFile, rules, error))
                << error;
            EXPECT_EQ(rules.GameMode, 5);
            EXPECT_EQ(rules.sChallengeModeID, c.id);
            EXPECT_FALSE(rules.sStartupMessage.empty()) << "the board tells what to do when it starts";
        }
    // No rules file in the challenges folder is left without a challenge.
    for (const std::string& file : KavoTest::ChallengeRulesFiles())
        EXPECT_TRUE(files.count(file)) << file << " belongs to no challenge";
}

// Bronze medals on the challenges open the rest of the page; stars open the pages in turn.
TEST(Challenges, EveryChallengeAndEveryPageCanBeOpened)
{
    std::vector<Page> pages = ReadGrids();
    int previous = 0;
    for (int p = 0; p < kPages; ++p)
    {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        std::set<std::string> ids, open;
        for (const Challenge& c : pages[p].challenges)
            ids.insert(c.id);
        for (const Challenge& c : pages[p].challenges)
            for (const std::string& required : SplitIntoWords(c.requirements, ';'))
                EXPECT_TRUE(ids.count(required)) << c.id << " requires " << required << " of another page";
        // A challenge opens with a bronze medal on any challenge it names; none named: open.
        for (bool opened = true; opened;)
        {
            opened = false;
            for (const Challenge& c : pages[p].challenges)
            {
                std::vector<std::string> required = SplitIntoWords(c.requirements, ';');
                bool met = required.empty() || std::any_of(required.begin(), required.end(),
                                                           [&](auto& r) { return open.count(r); });
                if (met && open.insert(c.id).second) opened = true;
            }
        }
        EXPECT_EQ(open.size(), ids.size()) << "some challenges never open";

        // Page p's threshold opens the next page; the stars of the pages open so far can reach it.
        const int stars = pages[p].starsToBeat;
        EXPECT_GT(stars, previous);
        EXPECT_LE(stars, 4 * kPerPage * (p + 1));
        previous = stars;
    }
}

} // namespace
