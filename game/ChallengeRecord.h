#pragma once

#include <cstdint>
#include <string>

namespace Kavo
{

class ChallengeList;
class UserProfile;

// One challenge of the challenge grid: a special level with its own rules file and four score
// requirements. The player's best score on it (kept in the profile under ID) earns a medal:
//
// | medal level | meaning                                                   |
// |-------------|-----------------------------------------------------------|
// | -1          | locked: none of the challenges named in Requirements has  |
// |             | a bronze medal (asked only when a page is given)          |
// | 0           | no medal                                                  |
// | 1 .. 4      | bronze, silver, gold, ultra: score >= that requirement    |
//
// A score below 0 stands for the player's best score on this challenge.
class ChallengeRecord
{
public:
    // Requirements are alternatives: the challenge is open when any challenge it names (in the
    // same page) holds a bronze medal, or when it names none that the page holds.
    bool IsUnlocked(const UserProfile& profile, const ChallengeList& page) const;
    // The medal level of the table above; without a page the lock is not looked at.
    int GetMedalLevel(const UserProfile& profile, const ChallengeList* page, int score) const;
    // The least score of the next medal to win (ultra's again once gold is held).
    int GetNextMedalScore(const UserProfile& profile, int score) const;
    // The next medal's name: text 170 (bronze) to 173 (ultra).
    std::string GetMedalText(const UserProfile& profile, int score) const;
    // The name without its leading colour tag, trimmed: what buttons and dialogs show.
    std::string Title() const;

    std::string ID;
    std::string Name;
    std::string Desc;
    std::string Requirements; // IDs separated by ";"
    std::string ConfigFile;   // relative to "properties\"
    int32_t BronzeScoreRequirement = 0;
    int32_t SilverScoreRequirement = 0;
    int32_t GoldScoreRequirement = 0;
    int32_t UltraScoreRequirement = 0;
    std::string QuickDesc[10]; // QuickDesc1 .. QuickDesc10

private:
    int ScoreOrBest(const UserProfile& profile, int score) const;
};

} // namespace Kavo
