#pragma once

#include <string>
#include <vector>

// Players in the settings store. A player is stored under "Users\" + the player's key form:
// the name without surrounding blanks, tabs, line feeds and returns, with the letters a to z
// upper-cased (other bytes unchanged), so "  bob " and "BOB" are one player. Everything here
// reads and writes through the application object's settings operations (demo-aware).
namespace Kavo
{

// The key form of a name ("" for a name of nothing but blanks).
std::string UserKeyName(const std::string& name);
// "Users\" + UserKeyName(name).
std::string UserRegistryPath(const std::string& name);
// The display names of the stored players, in the store's order of their keys (keys without a
// readable "DisplayName" are skipped). False, with names untouched, when "Users" cannot be
// listed.
bool ListUserNames(std::vector<std::string>& names);
// Erases the player's "ChallengeGridScores" and "TopLevelReached" keys and then the player's
// own key (a key with sub-keys cannot be erased), as one rewrite of the settings file; all three
// are tried, true only when all three went and the file was written.
bool DeleteUserFromRegistry(const std::string& name);

} // namespace Kavo
