#include "puzzle/BackgroundLoader.h"

#include "app/KavoAppBase.h"
#include "display/DDImage.h"

#include <mutex>
#include <string>

namespace Kavo
{

BackgroundLoader::BackgroundLoader(KavoAppBase* app) : mApp(app) {}

BackgroundLoader::~BackgroundLoader()
{
    WaitForWorker();
    std::lock_guard<CriticalSection> lock(mLock);
    if (!mCurrentNotOwned) delete mCurrentImage;
    delete mPreloadedImage;
}

bool BackgroundLoader::IsWorkerDone() const
{
    return !mWorker.joinable() || mWorkerDone;
}

void BackgroundLoader::WaitForWorker()
{
    if (mWorker.joinable()) mWorker.join();
}

void BackgroundLoader::Preload(int id)
{
    if (id <= 0) return;
    {
        std::lock_guard<CriticalSection> lock(mLock);
        if (id == mCurrentId) return;
        bool done = IsWorkerDone();
        if (done && id == mPreloadedId) return;
        if (!done && id == mRequestedId) return;
    }
    WaitForWorker();
    {
        std::lock_guard<CriticalSection> lock(mLock);
        mRequestedId = id;
    }
    mWorkerDone = false;
    mWorker = std::thread(
        [this]
        {
            LoadInThread();
            mWorkerDone = true;
        });
}

void BackgroundLoader::LoadInThread()
{
    int id;
    {
        std::lock_guard<CriticalSection> lock(mLock);
        id = mRequestedId;
    }
    Image* image = LoadBackgroundImage(id);
    std::lock_guard<CriticalSection> lock(mLock);
    delete mPreloadedImage;
    mPreloadedImage = image;
    mPreloadedId = id;
    mRequestedId = 0;
}

Image* BackgroundLoader::LoadBackgroundImage(int id)
{
    if (mApp == nullptr) return nullptr;
    DDImage* image = mApp->GetImage("images/backgrounds/bkgnd" + std::to_string(id), true);
    if (image != nullptr) image->Palletize();
    return image;
}

Image* BackgroundLoader::GetBackground(int id)
{
    if (id <= 0) return nullptr;
    std::unique_lock<CriticalSection> lock(mLock);
    if (id == mCurrentId) return mCurrentImage;
    if (!IsWorkerDone() && mRequestedId == id)
    {
        lock.unlock();
        WaitForWorker();
        lock.lock();
    }
    if (id != mPreloadedId)
    {
        Image* image = LoadBackgroundImage(id);
        if (!mCurrentNotOwned) delete mCurrentImage;
        mCurrentImage = image;
        mCurrentId = id;
        mCurrentNotOwned = false;
        return image;
    }
    if (!mCurrentNotOwned) delete mCurrentImage;
    mCurrentImage = mPreloadedImage;
    mCurrentId = mPreloadedId;
    mPreloadedImage = nullptr;
    mPreloadedId = 0;
    mCurrentNotOwned = false;
    return mCurrentImage;
}

int BackgroundLoader::GetCurrentId()
{
    std::lock_guard<CriticalSection> lock(mLock);
    return mCurrentId;
}

void BackgroundLoader::SetCurrentNotOwned(bool notOwned)
{
    std::lock_guard<CriticalSection> lock(mLock);
    mCurrentNotOwned = notOwned;
}

} // namespace Kavo
