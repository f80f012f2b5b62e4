#pragma once

#include "game/ScoreEntry.h"

#include <cstdint>
#include <map>
#include <string>

namespace Kavo
{

// The current player's record, kept in the settings store under "Users\" + the player's key
// form (game/UserKeyName.h):
//
// | value                              | type    | field                       |
// |------------------------------------|---------|-----------------------------|
// | DisplayName                        | text    | mDisplayName                |
// | GuiFlags                           | integer | mGuiFlags, kStoredFlagsMark |
// | DisabledHints                      | integer | mDisabledHints              |
// | LastWeeklyMessageSeen              | text    | mLastWeeklyMessageSeen      |
// | ViewedTips                         | integer | mViewedTips                 |
// | UnlockedGridPages                  | integer | mUnlockedGridPages          |
// | TopLevelReached\<mode key>         | integer | mTopLevelReached            |
// | ChallengeGridScores\<challenge>    | entry   | mChallengeScores            |
//
// and "Users\DefaultName" holds the key form of the player who becomes current at start-up.
// A record is only the player's while its DisplayName is stored: a missing (or empty) name
// means "no such player"; any other value that is missing or unreadable loads as its default
// (0, empty), so one damaged value never costs the rest of the record.
class UserProfile
{
public:
    // Bits of the GUI flags. The board sets the two modes' values at the player's first win of
    // Untimed and of Timed (puzzle/BoardHost.h); the main menu opens the modes by them.
    enum GuiFlag
    {
        kSkipTutorial = 1,
        kMastermindOpen = 2,
        kSpeedblitzOpen = 4,
    };
    // Carried by the GuiFlags value in the store beside the flags, never by mGuiFlags. A stored
    // value without it was written when the first wins were kept as 4 (Untimed) and 16 (Timed);
    // it loads with them moved to kMastermindOpen and kSpeedblitzOpen, so a player keeps the
    // modes those wins opened, and is written back in the present form at the next save.
    static constexpr int32_t kStoredFlagsMark = 1 << 30;

    // An empty record (no player named yet).
    UserProfile() = default;

    // A fresh record for the name (trimmed); writes nothing.
    void CreateNew(const std::string& name);
    // Reads the player stored under the name's key. False (record unchanged) when no display
    // name is stored there.
    bool Load(const std::string& name);
    // Load of the player named by "Users\DefaultName"; false when there is none.
    bool LoadDefault();
    // Writes the record (entries no longer in the maps stay in the store); with makeDefault
    // also "Users\DefaultName", all as one rewrite of the settings file. False, with nothing
    // written, for a record without a name; otherwise false when any write was refused (the
    // others are still made) or the rewrite failed.
    bool Save(bool makeDefault);

    // The trimmed display name: what the saved game and comparisons use.
    std::string GetName() const;

    // The top level reached in the mode (0 when none).
    int GetTopLevelReached(int mode, const std::string& key) const;
    // Raises it to level when it is absent or lower.
    void RaiseTopLevelReached(int mode, const std::string& key, int level);
    // The player's best score in the challenge (0 when none).
    int GetChallengeScore(const std::string& challengeKey) const;
    // Modes 5 (challenge) and 6 (weekly challenge) only: the entry becomes (name, score, level)
    // when there is none or it holds a lower score.
    void RecordChallengeScore(int mode, const std::string& challengeKey, int score, int level);

    // "untimed", "timed", "untimed_hard", "timed_hard", "crazy" for modes 0 to 4; the key in
    // lower case for 5 and 6; "unknown (" + key + ")" otherwise.
    static std::string ModeKeyName(int mode, const std::string& key);

    std::string mDisplayName;
    int32_t mGuiFlags = 0;
    int32_t mDisabledHints = 0;
    std::map<std::string, ScoreEntry> mChallengeScores; // by challenge key
    std::map<std::string, int32_t> mTopLevelReached;    // by mode key
    std::string mLastWeeklyMessageSeen;
    int32_t mViewedTips = 0;
    int32_t mUnlockedGridPages = 0;
};

} // namespace Kavo
