#include "puzzle/ResourceIds.h"

#include "graphics/MemoryImage.h"
#include "media/ResourceManager.h"
#include "media/ResourceManagerException.h"

namespace Kavo
{

#define KAVO_DEFINE_RESOURCE_ID(kind, id) kind##Resource id = {};
KAVO_INIT_RESOURCES(KAVO_DEFINE_RESOURCE_ID)
KAVO_TITLESCREEN_RESOURCES(KAVO_DEFINE_RESOURCE_ID)
KAVO_GAME_RESOURCES(KAVO_DEFINE_RESOURCE_ID)
#undef KAVO_DEFINE_RESOURCE_ID

namespace
{

void Bind(ResourceManager* manager, const char* id, ImageResource& global)
{
    // The handle is dropped at once: the manager keeps the image while its group is loaded.
    global = manager->GetImageOrThrow(id).GetImage();
}

void Bind(ResourceManager* manager, const char* id, FontResource& global)
{
    global = manager->GetFontOrThrow(id);
}

void Bind(ResourceManager* manager, const char* id, SoundResource& global)
{
    global = manager->GetSoundOrThrow(id);
}

} // namespace

#define KAVO_BIND_RESOURCE_ID(kind, id) Bind(manager, #id, id);

bool ExtractInitResources(ResourceManager* manager)
{
    try
    {
        KAVO_INIT_RESOURCES(KAVO_BIND_RESOURCE_ID)
    }
    catch (const ResourceManagerException&)
    {
        return false;
    }
    return true;
}

bool ExtractTitleScreenResources(ResourceManager* manager)
{
    try
    {
        KAVO_TITLESCREEN_RESOURCES(KAVO_BIND_RESOURCE_ID)
    }
    catch (const ResourceManagerException&)
    {
        return false;
    }
    return true;
}

bool ExtractGameResources(ResourceManager* manager)
{
    try
    {
        KAVO_GAME_RESOURCES(KAVO_BIND_RESOURCE_ID)
    }
    catch (const ResourceManagerException&)
    {
        return false;
    }
    return true;
}

#undef KAVO_BIND_RESOURCE_ID

} // namespace Kavo
