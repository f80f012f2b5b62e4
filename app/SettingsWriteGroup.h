#pragma once

namespace Kavo
{

class KavoAppBase;

// Holds a settings group of the application for its scope: the settings writes and erasures
// made while it lives reach the settings file as one rewrite, when the outermost group ends, so
// a kill or a failed write leaves the file as it was before all of them or with all of them,
// never with a part. Groups nest. Every save that writes more than one value opens one:
//
//     SettingsWriteGroup group(app);
//     ok &= app->RegistryWriteString(...);
//     ...
//     return group.End() && ok;
class SettingsWriteGroup
{
public:
    // app: null for no group (nothing is written then either).
    explicit SettingsWriteGroup(KavoAppBase* app);
    // Ends the group unless End did.
    ~SettingsWriteGroup();
    SettingsWriteGroup(const SettingsWriteGroup&) = delete;
    SettingsWriteGroup& operator=(const SettingsWriteGroup&) = delete;

    // Ends the group now: false when it was the outermost and its rewrite failed. Once only;
    // later calls return true.
    bool End();

private:
    KavoAppBase* mApp;
};

} // namespace Kavo
