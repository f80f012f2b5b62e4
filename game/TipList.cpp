#include "game/TipList.h"

#include "base/Random.h"
#include "base/TextHelpers.h"
#include "base/XMLParser.h"

namespace Kavo
{

namespace
{

constexpr uint32_t kAllFlags = 0xFFFFFFFFu;
constexpr int kLastEarlyLevel = 16;

const struct
{
    const char* name;
    uint32_t bit;
} kFlagNames[] = {
    {"tcfUntimedGame", 1},      {"tcfTimedGame", 2},       {"tcfUntimedHardGame", 4},
    {"tcfTimedHardGame", 8},    {"tcfChallengeGrid", 16},  {"tcfInternetChallenge", 32},
    {"tcfLateUntimedGame", 64}, {"tcfLateTimedGame", 128},
};

std::string ValueOf(const XMLElement& element)
{
    auto found = element.attributes.find("value");
    return found != element.attributes.end() ? found->second : std::string();
}

} // namespace

uint32_t TipChooserFlagValue(const std::string& name, uint32_t fallback)
{
    for (const auto& flag : kFlagNames)
        if (name == flag.name) return flag.bit;
    return fallback;
}

uint32_t TipChooserFlagsFor(int mode, int level)
{
    switch (mode)
    {
    case 0:
        return level <= kLastEarlyLevel ? 1 : 64;
    case 1:
        return level <= kLastEarlyLevel ? 2 : 128;
    case 2:
        return 4;
    case 3:
    case 4:
        return 8;
    case 5:
        return 16;
    case 6:
        return 32;
    default:
        return 1;
    }
}

bool TipList::Load(const std::string& fileName)
{
    XMLParser parser;
    if (!parser.OpenFile(fileName)) return false;
    Tip tip;
    XMLElement element;
    while (parser.NextElement(element))
    {
        if (element.type == XMLElement::TYPE_END)
        {
            if (element.section != "tips/tip") continue;
            mTips.push_back(tip);
            tip = Tip();
            continue;
        }
        if (element.type != XMLElement::TYPE_START) continue;
        if (element.value == "Text")
        {
            tip.text = ValueOf(element);
        }
        else if (element.value == "TipChooserFlags_All")
        {
            tip.flags = kAllFlags;
        }
        else if (element.value == "TipChooserFlags")
        {
            tip.flags = 0;
            for (const std::string& name : SplitIntoWords(ValueOf(element), ' '))
                tip.flags |= TipChooserFlagValue(name, 0);
        }
    }
    return true;
}

std::string TipList::ChooseTip(int mode, int level)
{
    const uint32_t mask = TipChooserFlagsFor(mode, level);
    std::vector<int> candidates;
    std::vector<int> unseen;
    for (int i = 0; i < Count(); ++i)
    {
        if (!(mTips[size_t(i)].flags & mask)) continue;
        candidates.push_back(i);
        if (i < kMarkable && !(mViewed & (1u << i))) unseen.push_back(i);
    }
    if (candidates.empty()) return std::string();
    const uint32_t r = Rand();
    int pick;
    if (!unseen.empty())
    {
        pick = unseen[r % unseen.size()];
        mViewed |= 1u << pick;
    }
    else
    {
        pick = candidates[r % candidates.size()];
    }
    return mTips[size_t(pick)].text;
}

} // namespace Kavo
