#include "game/ChallengeList.h"

namespace Kavo
{

const ChallengeRecord* ChallengeList::At(int index) const
{
    if (index < 0 || index >= Count()) return nullptr;
    return &mRecords[size_t(index)];
}

const ChallengeRecord* ChallengeList::FindById(const std::string& id) const
{
    return At(IndexOfId(id));
}

int ChallengeList::IndexOfId(const std::string& id) const
{
    for (int i = 0; i < Count(); ++i)
        if (mRecords[size_t(i)].ID == id) return i;
    return -1;
}

int ChallengeList::GetMedalLevel(int index, int score) const
{
    const ChallengeRecord* record = At(index);
    return record != nullptr ? record->GetMedalLevel(*mProfile, this, score) : -1;
}

} // namespace Kavo
