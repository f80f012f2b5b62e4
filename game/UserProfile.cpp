#include "game/UserProfile.h"

#include "app/KavoAppBase.h"
#include "app/SettingsWriteGroup.h"
#include "base/TextHelpers.h"
#include "game/UserKeyName.h"
#include "platform/files/AsciiCase.h"

#include <string>
#include <vector>

namespace Kavo
{

namespace
{

int ReadIntegerOr(const std::string& path, int fallback)
{
    int value = fallback;
    if (!gKavoApp->RegistryReadInteger(path, &value)) value = fallback;
    return value;
}

// The flags of a GuiFlags value as stored (UserProfile::kStoredFlagsMark).
int32_t FlagsFromStore(int32_t stored)
{
    if (stored & UserProfile::kStoredFlagsMark) return stored & ~UserProfile::kStoredFlagsMark;
    constexpr int32_t kOldUntimedWon = 4, kOldTimedWon = 16;
    int32_t flags = stored & ~(kOldUntimedWon | kOldTimedWon);
    if (stored & kOldUntimedWon) flags |= UserProfile::kMastermindOpen;
    if (stored & kOldTimedWon) flags |= UserProfile::kSpeedblitzOpen;
    return flags;
}

} // namespace

void UserProfile::CreateNew(const std::string& name)
{
    mDisplayName = TrimWhitespace(name);
    mGuiFlags = 0;
    mDisabledHints = 0;
    mViewedTips = 0;
    mUnlockedGridPages = 0;
    mChallengeScores.clear();
    mTopLevelReached.clear();
    mLastWeeklyMessageSeen.clear();
}

bool UserProfile::Load(const std::string& name)
{
    if (gKavoApp == nullptr) return false;
    const std::string path = UserRegistryPath(name);
    std::string displayName;
    if (!gKavoApp->RegistryReadString(path + "\\DisplayName", &displayName) ||
        TrimWhitespace(displayName).empty())
        return false;

    mDisplayName = displayName;
    mGuiFlags = FlagsFromStore(ReadIntegerOr(path + "\\GuiFlags", 0));
    mDisabledHints = ReadIntegerOr(path + "\\DisabledHints", 0);
    mLastWeeklyMessageSeen.clear();
    gKavoApp->RegistryReadString(path + "\\LastWeeklyMessageSeen", &mLastWeeklyMessageSeen);
    mViewedTips = ReadIntegerOr(path + "\\ViewedTips", 0);
    mUnlockedGridPages = ReadIntegerOr(path + "\\UnlockedGridPages", 0);

    // Levels by mode key; values named by a mode number (0 to 4) also raise that mode's entry,
    // and stay in the map as they were read.
    mTopLevelReached.clear();
    std::vector<std::string> names;
    if (gKavoApp->RegistryGetValues(path + "\\TopLevelReached", &names))
    {
        for (const std::string& valueName : names)
        {
            int level = 0;
            if (gKavoApp->RegistryReadInteger(path + "\\TopLevelReached\\" + valueName, &level))
                mTopLevelReached[platform::AsciiLowerCopy(valueName)] = level;
        }
    }
    for (int mode = 0; mode <= 4; ++mode)
    {
        int level = 0;
        if (gKavoApp->RegistryReadInteger(path + "\\TopLevelReached\\" + std::to_string(mode), &level))
            RaiseTopLevelReached(mode, std::string(), level);
    }

    mChallengeScores.clear();
    if (gKavoApp->RegistryGetValues(path + "\\ChallengeGridScores", &names))
    {
        for (const std::string& valueName : names)
        {
            std::string text;
            if (gKavoApp->RegistryReadString(path + "\\ChallengeGridScores\\" + valueName, &text))
                mChallengeScores[valueName] = ScoreEntry::FromText(text);
        }
    }
    return true;
}

bool UserProfile::LoadDefault()
{
    if (gKavoApp == nullptr) return false;
    std::string name;
    if (!gKavoApp->RegistryReadString("Users\\DefaultName", &name)) return false;
    return Load(name);
}

bool UserProfile::Save(bool makeDefault)
{
    if (gKavoApp == nullptr || mDisplayName.empty()) return false;
    const std::string path = UserRegistryPath(mDisplayName);
    SettingsWriteGroup group(gKavoApp);
    bool ok = true;
    ok &= gKavoApp->RegistryWriteString(path + "\\DisplayName", mDisplayName);
    ok &= gKavoApp->RegistryWriteInteger(path + "\\GuiFlags", mGuiFlags | kStoredFlagsMark);
    ok &= gKavoApp->RegistryWriteInteger(path + "\\DisabledHints", mDisabledHints);
    ok &= gKavoApp->RegistryWriteString(path + "\\LastWeeklyMessageSeen", mLastWeeklyMessageSeen);
    ok &= gKavoApp->RegistryWriteInteger(path + "\\ViewedTips", mViewedTips);
    ok &= gKavoApp->RegistryWriteInteger(path + "\\UnlockedGridPages", mUnlockedGridPages);
    for (const auto& [modeKey, level] : mTopLevelReached)
        ok &= gKavoApp->RegistryWriteInteger(path + "\\TopLevelReached\\" + modeKey, level);
    for (const auto& [challengeKey, entry] : mChallengeScores)
        ok &= gKavoApp->RegistryWriteString(path + "\\ChallengeGridScores\\" + challengeKey, entry.ToText());
    if (makeDefault) ok &= gKavoApp->RegistryWriteString("Users\\DefaultName", UserKeyName(mDisplayName));
    return group.End() && ok;
}

std::string UserProfile::GetName() const
{
    return TrimWhitespace(mDisplayName);
}

int UserProfile::GetTopLevelReached(int mode, const std::string& key) const
{
    auto found = mTopLevelReached.find(ModeKeyName(mode, key));
    return found == mTopLevelReached.end() ? 0 : found->second;
}

void UserProfile::RaiseTopLevelReached(int mode, const std::string& key, int level)
{
    auto [entry, inserted] = mTopLevelReached.emplace(ModeKeyName(mode, key), level);
    if (!inserted && entry->second < level) entry->second = level;
}

int UserProfile::GetChallengeScore(const std::string& challengeKey) const
{
    auto found = mChallengeScores.find(challengeKey);
    return found == mChallengeScores.end() ? 0 : found->second.score;
}

void UserProfile::RecordChallengeScore(int mode, const std::string& challengeKey, int score, int level)
{
    if (mode != 5 && mode != 6) return;
    auto found = mChallengeScores.find(challengeKey);
    if (found == mChallengeScores.end() || found->second.score < score)
        mChallengeScores[challengeKey] = ScoreEntry(mDisplayName, score, level);
}

std::string UserProfile::ModeKeyName(int mode, const std::string& key)
{
    switch (mode)
    {
    case 0:
        return "untimed";
    case 1:
        return "timed";
    case 2:
        return "untimed_hard";
    case 3:
        return "timed_hard";
    case 4:
        return "crazy";
    case 5:
    case 6:
        return platform::AsciiLowerCopy(key);
    default:
        return "unknown (" + key + ")";
    }
}

} // namespace Kavo
