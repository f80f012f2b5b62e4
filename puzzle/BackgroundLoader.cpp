#include "puzzle/BackgroundLoader.h"

#include "graphics/Image.h"

namespace Kavo
{

BackgroundLoader::BackgroundLoader(KavoAppBase* app) : mApp(app) {}

BackgroundLoader::~BackgroundLoader() = default;

void BackgroundLoader::Preload(int id)
{
    (void)id;
}

Image* BackgroundLoader::GetBackground(int id)
{
    (void)id;
    return nullptr;
}

int BackgroundLoader::GetCurrentId()
{
    return mCurrentId;
}

void BackgroundLoader::SetCurrentNotOwned(bool notOwned)
{
    mCurrentNotOwned = notOwned;
}

bool BackgroundLoader::IsWorkerDone() const
{
    return mWorkerDone;
}

void BackgroundLoader::LoadInThread() {}

Image* BackgroundLoader::LoadBackgroundImage(int id)
{
    (void)id;
    return nullptr;
}

void BackgroundLoader::WaitForWorker() {}

} // namespace Kavo
