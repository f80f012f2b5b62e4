#include "game/TopScores.h"

#include "app/KavoAppBase.h"
#include "app/SettingsWriteGroup.h"
#include "platform/files/Files.h"

#include <vector>

namespace Kavo
{

namespace
{

constexpr const char* kChallengeKey = "TopScores\\ChallengeGridScores";
constexpr size_t kMaxExecPath = 300;

} // namespace

std::string TopScores::ListPrefix(int mode)
{
    static const char* const kPrefixes[kModeLists] = {
        "TopScores\\UntimedModeScores\\",     "TopScores\\TimedModeScores\\",
        "TopScores\\UntimedHardModeScores\\", "TopScores\\TimedHardModeScores\\",
        "TopScores\\CrazyModeScores\\",
    };
    return mode >= 0 && mode < kModeLists ? kPrefixes[mode] : std::string();
}

bool TopScores::ParseEntry(ScoreEntry& entry, const std::string& path)
{
    entry.Clear();
    std::string text;
    if (gKavoApp == nullptr || !gKavoApp->RegistryReadString(path, &text)) return false;
    entry = ScoreEntry::FromText(text);
    return true;
}

bool TopScores::FormatEntry(const ScoreEntry& entry, const std::string& path)
{
    return gKavoApp != nullptr && gKavoApp->RegistryWriteString(path, entry.ToText());
}

bool TopScores::SaveModeList(const std::string& prefix, ScoreList list)
{
    for (int i = 0; i < kStoredPerList; ++i)
    {
        ScoreEntry entry;
        if (!list.empty())
        {
            entry = list.top();
            list.pop();
        }
        if (!FormatEntry(entry, prefix + std::to_string(i))) return false;
    }
    return true;
}

bool TopScores::Load()
{
    for (int i = 0; i < kStoredPerList; ++i)
        for (int mode = 0; mode < kModeLists; ++mode)
        {
            ScoreEntry entry;
            ParseEntry(entry, ListPrefix(mode) + std::to_string(i));
            mLists[mode].push(entry);
        }
    std::vector<std::string> names;
    if (gKavoApp == nullptr || !gKavoApp->RegistryGetValues(kChallengeKey, &names)) return false;
    for (const std::string& name : names)
    {
        ScoreEntry entry;
        ParseEntry(entry, std::string(kChallengeKey) + "\\" + name);
        mChallengeScores[name] = entry;
    }
    return true;
}

bool TopScores::Save()
{
    if (gKavoApp == nullptr) return false;
    SettingsWriteGroup group(gKavoApp);
    bool ok = true;
    for (int mode = 0; mode < kModeLists; ++mode)
        ok &= SaveModeList(ListPrefix(mode), mLists[mode]);
    for (const auto& [key, entry] : mChallengeScores)
        ok &= FormatEntry(entry, std::string(kChallengeKey) + "\\" + key);
    std::string program = platform::ProgramPath();
    if (program.size() > kMaxExecPath) program.resize(kMaxExecPath);
    gKavoApp->RegistryWriteString("LastExecPath", program);
    return group.End() && ok;
}

void TopScores::AddScore(int mode, const std::string& challengeKey, int score, int level,
                         const std::string& name)
{
    if (mode >= 0 && mode < kModeLists)
    {
        mLists[mode].push(ScoreEntry(name, score, level));
    }
    else if (mode == 5)
    {
        auto found = mChallengeScores.find(challengeKey);
        if (found == mChallengeScores.end() || found->second.score < score)
            mChallengeScores[challengeKey] = ScoreEntry(name, score, level);
    }
}

const ScoreList* TopScores::List(int mode) const
{
    return mode >= 0 && mode < kModeLists ? &mLists[mode] : nullptr;
}

} // namespace Kavo
