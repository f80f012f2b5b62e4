#pragma once

#include "game/ScoreEntry.h"

#include <map>
#include <string>

namespace Kavo
{

// The best results of all players: one list per scored mode and the best entry per challenge,
// kept in the settings store:
//
// | values                                  | content                                    |
// |-----------------------------------------|--------------------------------------------|
// | TopScores\UntimedModeScores\0 .. 9      | mode 0, "0" the best                       |
// | TopScores\TimedModeScores\0 .. 9        | mode 1                                     |
// | TopScores\UntimedHardModeScores\0 .. 9  | mode 2                                     |
// | TopScores\TimedHardModeScores\0 .. 9    | mode 3                                     |
// | TopScores\CrazyModeScores\0 .. 9        | mode 4                                     |
// | TopScores\ChallengeGridScores\<key>     | the best result of any player in challenge |
// | LastExecPath                            | the program file, written with the scores  |
//
// Each value is a score entry text (game/ScoreEntry.h). After Load every list holds at least
// ten entries (missing values load as clear entries); during a run every finished game of a
// mode is added, and Save writes the ten greatest of each list.
class TopScores
{
public:
    static constexpr int kModeLists = 5;
    static constexpr int kStoredPerList = 10;

    // Adds the stored entries to the lists (which are not emptied first) and reads the
    // challenge entries; false when the challenge key cannot be listed (the lists are loaded).
    bool Load();
    // Writes the lists, the challenge entries and "LastExecPath" as one rewrite of the settings
    // file; false when an entry was refused or the rewrite failed (the file then keeps the
    // lists it had).
    bool Save();

    // Modes 0 to 4: the entry joins the mode's list. Mode 5: the challenge's entry becomes
    // (name, score, level) when there is none or it holds a lower score. Other modes: nothing.
    void AddScore(int mode, const std::string& challengeKey, int score, int level, const std::string& name);

    // The list of a mode 0 to 4 (null for any other).
    const ScoreList* List(int mode) const;

    // The entry text at path: false (entry clear) when it cannot be read.
    static bool ParseEntry(ScoreEntry& entry, const std::string& path);
    static bool FormatEntry(const ScoreEntry& entry, const std::string& path);
    // The ten greatest entries of the copy, best first, under prefix + "0" to prefix + "9".
    static bool SaveModeList(const std::string& prefix, ScoreList list);
    // "TopScores\UntimedModeScores\" and so on, for modes 0 to 4.
    static std::string ListPrefix(int mode);

    ScoreList mLists[kModeLists];
    std::map<std::string, ScoreEntry> mChallengeScores; // by challenge key
};

} // namespace Kavo
