#include "app/SettingsWriteGroup.h"

#include "app/KavoAppBase.h"

namespace Kavo
{

SettingsWriteGroup::SettingsWriteGroup(KavoAppBase* app) : mApp(app)
{
    if (mApp != nullptr) mApp->BeginSettingsGroup();
}

SettingsWriteGroup::~SettingsWriteGroup()
{
    End();
}

bool SettingsWriteGroup::End()
{
    if (mApp == nullptr) return true;
    KavoAppBase* app = mApp;
    mApp = nullptr;
    return app->EndSettingsGroup();
}

} // namespace Kavo
