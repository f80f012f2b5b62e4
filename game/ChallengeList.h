#pragma once

#include "game/ChallengeRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Kavo
{

class UserProfile;

// One page of the challenge grid: its challenges in file order (only the first kShown are shown
// or counted), the player whose medals it reads, and the star points that open the next page.
class ChallengeList
{
public:
    static constexpr int kShown = 16;

    explicit ChallengeList(const UserProfile* profile) : mProfile(profile) {}

    int Count() const { return int(mRecords.size()); }
    // Null for an index outside 0 .. Count() - 1.
    const ChallengeRecord* At(int index) const;
    const ChallengeRecord* FindById(const std::string& id) const;
    // The first record whose ID equals id exactly, or -1.
    int IndexOfId(const std::string& id) const;
    // The record's medal level for score (below 0: the player's best), locks included; -1 too
    // for an index without a record.
    int GetMedalLevel(int index, int score) const;
    const UserProfile& Profile() const { return *mProfile; }

    std::vector<ChallengeRecord> mRecords;
    const UserProfile* mProfile; // not owned
    int32_t StarPointsNeededToBeatGrid = 1;
};

} // namespace Kavo
