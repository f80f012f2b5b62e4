#pragma once

#include "base/CriticalSection.h"

#include <atomic>
#include <thread>

namespace Kavo
{

class Image;
class KavoAppBase;

// Level backgrounds by id (the level records' nBackgroundID; 0 means none), the next one
// loaded on a worker thread while a level is played. The image of id n is the file
// "images/backgrounds/bkgnd<n>", made a 256-colour palette image when its colours allow.
//
// It holds at most two images: the current one (handed out, owned unless marked not owned) and
// the preloaded one (owned). At most one worker runs at a time; a new preload first waits for
// the previous worker. The lock guards ids, images and the not-owned flag; the worker loads
// without it, so the main thread waits only when it asks for the id being loaded or preloads
// another one while a load runs. Every operation but the worker's body runs on one thread at a
// time: the main thread, or the application's loading thread before the main thread takes the
// loading over (the game preloads the first background there).
class BackgroundLoader
{
public:
    // app loads the images (not owned).
    explicit BackgroundLoader(KavoAppBase* app);
    // Waits for the worker, then deletes the held images (the current one only when owned).
    virtual ~BackgroundLoader();
    BackgroundLoader(const BackgroundLoader&) = delete;
    BackgroundLoader& operator=(const BackgroundLoader&) = delete;

    // Starts loading id on a worker and returns at once; nothing when id is current, or is
    // preloaded already (worker done), or is being loaded, or is not positive.
    void Preload(int id);
    // The background of id: the current image, the preloaded one promoted to current (waiting
    // for the worker when it is loading id), or one loaded at once. Null when the file cannot
    // be loaded and for an id that is not positive (the current image then stays). The image
    // stays the loader's unless SetCurrentNotOwned(true) follows.
    Image* GetBackground(int id);
    int GetCurrentId();
    // When true, the current image is not deleted by the loader when replaced (its taker
    // deletes it). Cleared whenever a new image becomes current.
    void SetCurrentNotOwned(bool notOwned);

    // For tests: whether no worker runs now.
    bool IsWorkerDone() const;

protected:
    // A class that overrides these waits for the worker in its own destructor (WaitForWorker).
    // The worker's body: loads the requested id and stores it as the preloaded image.
    virtual void LoadInThread();
    // Loads the background file of id; null on failure. Runs on the worker or the main thread,
    // without the lock.
    virtual Image* LoadBackgroundImage(int id);

    void WaitForWorker();

private:
    KavoAppBase* mApp;
    CriticalSection mLock;
    std::thread mWorker;                 // the caller's thread (see above)
    std::atomic<bool> mWorkerDone{true}; // the worker has finished its body
    int mCurrentId = 0;
    Image* mCurrentImage = nullptr;
    int mPreloadedId = 0;
    Image* mPreloadedImage = nullptr;
    int mRequestedId = 0;
    bool mCurrentNotOwned = true;
};

} // namespace Kavo
