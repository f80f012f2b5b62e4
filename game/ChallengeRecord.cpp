#include "game/ChallengeRecord.h"

#include "base/Color.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/ChallengeList.h"
#include "game/UserProfile.h"

namespace Kavo
{

int ChallengeRecord::ScoreOrBest(const UserProfile& profile, int score) const
{
    return score < 0 ? profile.GetChallengeScore(ID) : score;
}

bool ChallengeRecord::IsUnlocked(const UserProfile& profile, const ChallengeList& page) const
{
    bool counted = false;
    for (const std::string& id : SplitIntoWords(Requirements, ';'))
    {
        const ChallengeRecord* required = page.FindById(id);
        if (required == nullptr) continue;
        if (profile.GetChallengeScore(required->ID) >= required->BronzeScoreRequirement) return true;
        counted = true;
    }
    return !counted;
}

int ChallengeRecord::GetMedalLevel(const UserProfile& profile, const ChallengeList* page, int score) const
{
    if (page != nullptr && !IsUnlocked(profile, *page)) return -1;
    const int s = ScoreOrBest(profile, score);
    if (s >= UltraScoreRequirement) return 4;
    if (s >= GoldScoreRequirement) return 3;
    if (s >= SilverScoreRequirement) return 2;
    if (s >= BronzeScoreRequirement) return 1;
    return 0;
}

int ChallengeRecord::GetNextMedalScore(const UserProfile& profile, int score) const
{
    const int s = ScoreOrBest(profile, score);
    if (s >= GoldScoreRequirement) return UltraScoreRequirement;
    if (s >= SilverScoreRequirement) return GoldScoreRequirement;
    if (s < BronzeScoreRequirement) return BronzeScoreRequirement;
    return SilverScoreRequirement;
}

std::string ChallengeRecord::GetMedalText(const UserProfile& profile, int score) const
{
    const int s = ScoreOrBest(profile, score);
    if (s >= GoldScoreRequirement) return StringTable::GetString(173);
    if (s >= SilverScoreRequirement) return StringTable::GetString(172);
    if (s >= BronzeScoreRequirement) return StringTable::GetString(171);
    return StringTable::GetString(170);
}

std::string ChallengeRecord::Title() const
{
    Color colour;
    bool tagged = false;
    return TrimWhitespace(ParseColorTaggedText(Name, colour, tagged));
}

} // namespace Kavo
