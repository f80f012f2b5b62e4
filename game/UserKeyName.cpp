#include "game/UserKeyName.h"

#include "app/KavoAppBase.h"
#include "app/SettingsWriteGroup.h"
#include "base/TextHelpers.h"

namespace Kavo
{

std::string UserKeyName(const std::string& name)
{
    return UpperCaseCopy(TrimWhitespace(name));
}

std::string UserRegistryPath(const std::string& name)
{
    return "Users\\" + UserKeyName(name);
}

bool ListUserNames(std::vector<std::string>& names)
{
    if (gKavoApp == nullptr) return false;
    std::vector<std::string> keys;
    if (!gKavoApp->RegistryGetSubKeys("Users", &keys)) return false;
    names.clear();
    for (const std::string& key : keys)
    {
        std::string displayName;
        if (gKavoApp->RegistryReadString("Users\\" + key + "\\DisplayName", &displayName))
            names.push_back(displayName);
    }
    return true;
}

bool DeleteUserFromRegistry(const std::string& name)
{
    if (gKavoApp == nullptr) return false;
    const std::string path = UserRegistryPath(name);
    SettingsWriteGroup group(gKavoApp); // the player goes whole or not at all
    bool scores = gKavoApp->RegistryEraseKey(path + "\\ChallengeGridScores");
    bool levels = gKavoApp->RegistryEraseKey(path + "\\TopLevelReached");
    bool player = gKavoApp->RegistryEraseKey(path);
    return group.End() && scores && levels && player;
}

} // namespace Kavo
