// Loading and cursor threads, live and shared images, the resource manifest, screen modes and
// sound services.
#include "app/KavoAppBase.h"

#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "media/BassMusicInterface.h"
#include "media/FModMusicInterface.h"
#include "media/MusicInterface.h"
#include "media/ResourceManager.h"
#include "media/SoundInstance.h"
#include "media/SoundManager.h"
#include "platform/system/Clock.h"
#include "platform/system/DebugOutput.h"
#include "platform/system/Threads.h"
#include "widgets/WidgetManager.h"

#include <chrono>

namespace Kavo
{

// ---------------------------------------------------------------- threads

void KavoAppBase::StartLoadingThread()
{
    if (mLoadingThreadStarted) return;
    mLoadingThrottle = true;
    // The main thread runs ahead of the loading until the hand-over lowers it again; the
    // loading thread starts with the priority of the thread that starts it.
    platform::SetCurrentThreadPriority(platform::ThreadPriority::AboveNormal);
    mLoadingThreadStarted = true;
    mLoadingThread = std::thread(&KavoAppBase::LoadingThreadMain, this);
}

void KavoAppBase::LoadingThreadMain()
{
    LoadingThreadProc();
    platform::DebugOutput(
        StrFormat("Resource Loading Time: %d\r\n", int(platform::Clock::Get().Ticks() - mStartTick)));
    mLoadingThreadCompleted = true;
}

void KavoAppBase::StartCursorThread()
{
    if (mCursorThreadRunning) return;
    mCursorThreadRunning = true;
    platform::SetCurrentThreadPriority(platform::ThreadPriority::AboveNormal);
    mCursorThread = std::thread(&KavoAppBase::CursorThreadMain, this);
}

void KavoAppBase::CursorThreadMain()
{
    platform::SetCurrentThreadPriority(platform::ThreadPriority::AboveNormal);
    // Real time on purpose: this thread only moves the pointer image and decides nothing. While
    // the display shows the cursor where the mouse is, the thread sleeps until the main thread
    // sees the mouse move; while a position waits for the next frame it looks every 10 ms.
    uint32_t seen = mCursorWakeCount.load();
    bool drawn = false;
    while (!mShutdown)
    {
        if (drawn)
        {
            mCursorWakeCount.wait(seen);
            seen = mCursorWakeCount.load();
            if (mShutdown) break;
        }
        else
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        int x = 0, y = 0;
        CursorThreadPosition(x, y);
        drawn = MoveSoftwareCursor(x, y);
    }
    mCursorThreadRunning = false;
}

void KavoAppBase::CursorThreadPosition(int& x, int& y)
{
    if (mPlayingDemo)
    {
        x = mDemoMouseX;
        y = mDemoMouseY;
    }
    else
    {
        platform::LastMousePosition(x, y);
    }
}

void KavoAppBase::WakeCursorThread(bool always)
{
    int x = 0, y = 0;
    CursorThreadPosition(x, y);
    if (!always && x == mCursorWakeX && y == mCursorWakeY) return;
    mCursorWakeX = x;
    mCursorWakeY = y;
    mCursorWakeCount.fetch_add(1);
    mCursorWakeCount.notify_all();
}

bool KavoAppBase::MoveSoftwareCursor(int x, int y)
{
    DDInterface* display = mDDInterface;
    if (!display) return true;
    if (mDrawCount == 0) return false;
    // Compared with where the cursor was last drawn: a position only stored for the next frame
    // is shown at once when no frame comes soon enough.
    if (x == display->mCursorOldX && y == display->mCursorOldY) return true;
    uint32_t sinceDraw = platform::Clock::Get().Ticks() - mNextDrawTick;
    if (int32_t(sinceDraw) > display->mMillisecondsPerFrame + 5)
    {
        display->SetCursorPos(x, y);
        return true;
    }
    display->SetPendingCursorPos(x, y);
    return false;
}

// ---------------------------------------------------------------- live images

void KavoAppBase::ReInitImages()
{
    for (MemoryImage* image : std::vector<MemoryImage*>(mMemoryImages))
        image->ReInit();
}

void KavoAppBase::DeleteNativeImageData()
{
    for (MemoryImage* image : std::vector<MemoryImage*>(mMemoryImages))
        image->DeleteNativeData();
}

void KavoAppBase::DeleteImageExtraBuffers()
{
    std::unique_lock<CriticalSection> lock = LockDisplay();
    for (MemoryImage* image : std::vector<MemoryImage*>(mMemoryImages))
        image->DeleteExtraBuffers();
}

// ---------------------------------------------------------------- images from files

DDImage* KavoAppBase::GetImage(const std::string& path, bool commit)
{
    std::unique_ptr<ImageLib::Image> file = ImageLib::GetImage(path, true);
    if (!file) return nullptr;
    DDImage* image = new DDImage(mDDInterface);
    image->filePath = path;
    image->SetBits(file->bits.get(), file->width, file->height, commit);
    return image;
}

DDImage* KavoAppBase::CopyImageRect(const Rect& rect, Image* image)
{
    DDImage* copy = new DDImage(mDDInterface);
    copy->Create(rect.mWidth, rect.mHeight);
    copy->Blt(image, -rect.mX, -rect.mY, Rect(0, 0, image->GetWidth(), image->GetHeight()), Color::White, 0);
    return copy;
}

DDImage* KavoAppBase::CopyImage(Image* image)
{
    return CopyImageRect(Rect(0, 0, image->GetWidth(), image->GetHeight()), image);
}

SharedImageHandle KavoAppBase::GetSharedImage(const std::string& name, const std::string& variant,
                                              bool* isNew)
{
    std::pair<std::string, std::string> key(StringToUpper(name), StringToUpper(variant));
    SharedImageHandle handle;
    std::unique_lock<CriticalSection> lock = LockDisplay();
    auto found = mSharedImageMap.find(key);
    bool inserted = found == mSharedImageMap.end();
    if (inserted)
    {
        found = mSharedImageMap.emplace(key, SharedImage()).first;
        found->second.image =
            (!name.empty() && name[0] == '!') ? new DDImage(mDDInterface) : GetImage(name, false);
    }
    if (isNew) *isNew = inserted;
    handle.AssignShared(&found->second);
    return handle;
}

void KavoAppBase::CleanSharedImages()
{
    std::unique_lock<CriticalSection> lock = LockDisplay();
    if (mCleanSharedImages)
    {
        for (auto it = mSharedImageMap.begin(); it != mSharedImageMap.end();)
        {
            if (it->second.refCount == 0)
            {
                delete it->second.image;
                it = mSharedImageMap.erase(it);
            }
            else
            {
                ++it;
            }
        }
        mCleanSharedImages = false;
    }
}

// ---------------------------------------------------------------- resource manifest

void KavoAppBase::LoadResourceManifest()
{
    if (!mResourceManager->LoadManifest("properties\\resources.xml")) ShowResourceError(true);
}

void KavoAppBase::ShowResourceError(bool exit)
{
    Popup(mResourceManager->GetErrorText());
    if (exit) ExitProgram(0);
}

// ---------------------------------------------------------------- 3D

bool KavoAppBase::Is3DAccelerated()
{
    return mDDInterface && mDDInterface->mIs3D;
}

bool KavoAppBase::Is3DAccelerationSupported()
{
    return mDDInterface && mDDInterface->mTestRan && mDDInterface->mTestFailureReason.empty();
}

bool KavoAppBase::Is3DAccelerationRecommended()
{
    return Is3DAccelerationSupported() && mDDInterface->mTestWarning.empty();
}

// ---------------------------------------------------------------- screen modes

void KavoAppBase::SwitchScreenMode(bool windowed, bool is3D, bool force)
{
    if (mWindowedNotAllowed) windowed = false;
    if (windowed == mIsWindowed && !force)
    {
        Set3DAcceleration(is3D, true);
        return;
    }
    Set3DAcceleration(is3D, false);
    mIsWindowed = windowed;
    CreateMainWindow();
    platform::ShowMainWindow(true);
    if (!mIsOpeningURL) platform::RaiseMainWindow();
    if (mSoundManager) mSoundManager->SetCooperativeWindow(mHWnd, mIsWindowed);
}

void KavoAppBase::SwitchScreenModeKeep3D(bool windowed)
{
    SwitchScreenMode(windowed, Is3DAccelerated(), false);
}

void KavoAppBase::ReapplyScreenMode()
{
    SwitchScreenMode(mIsWindowed, Is3DAccelerated(), true);
}

void KavoAppBase::SetDirectVideoDraw(bool on)
{
    if (on == mDirectVideoDraw) return;
    mDirectVideoDraw = on;
    if (!mDDInterface) return;
    mDDInterface->SetDirectVideoDraw(on);
    AttachScreenImage();
}

void KavoAppBase::AttachScreenImage()
{
    mWidgetManager->mScreenImage = mDDInterface->GetScreenImage();
    mWidgetManager->MarkAllDirty();
}

// ---------------------------------------------------------------- sound

MusicInterface* KavoAppBase::CreateMusicInterface(platform::WindowId window)
{
    if (mNoSoundNeeded) return new MusicInterface();
    // A music module that cannot be loaded has said so in its box: the game goes on without
    // music.
    if (mWantFMod)
    {
        auto* fmod = new FModMusicInterface(window);
        if (fmod->IsLoaded()) return fmod;
        delete fmod;
        return new MusicInterface();
    }
    auto* bass = new BassMusicInterface(window);
    if (bass->IsLoaded()) return bass;
    delete bass;
    return new MusicInterface();
}

void KavoAppBase::PlaySample(int soundId)
{
    if (!mSoundManager) return;
    if (SoundInstance* instance = mSoundManager->GetSoundInstance(soundId)) instance->Play(false, true);
}

void KavoAppBase::PlaySamplePanned(int soundId, int pan)
{
    if (!mSoundManager) return;
    if (SoundInstance* instance = mSoundManager->GetSoundInstance(soundId))
    {
        instance->SetPan(pan);
        instance->Play(false, true);
    }
}

double KavoAppBase::GetMasterVolume()
{
    return mSoundManager ? mSoundManager->GetMixerVolume() : 0.0;
}

double KavoAppBase::GetMusicVolume()
{
    return mMusicVolume;
}

double KavoAppBase::GetSfxVolume()
{
    return mSfxVolume;
}

bool KavoAppBase::IsMuted()
{
    return mMuteCount > 0;
}

void KavoAppBase::SetMasterVolume(double volume)
{
    mSfxVolume = volume;
    if (mSoundManager) mSoundManager->SetMixerVolume(volume);
}

void KavoAppBase::SetMusicVolume(double volume)
{
    mMusicVolume = volume;
    if (mMusicInterface) mMusicInterface->SetVolume(IsMuted() ? 0.0 : volume);
}

void KavoAppBase::SetSfxVolume(double volume)
{
    mSfxVolume = volume;
    if (mSoundManager) mSoundManager->SetVolume(IsMuted() ? 0.0 : volume);
}

void KavoAppBase::Mute(bool automatic)
{
    ++mMuteCount;
    if (automatic) ++mAutoMuteCount;
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

void KavoAppBase::Unmute(bool automatic)
{
    if (mMuteCount > 0)
    {
        --mMuteCount;
        if (automatic) --mAutoMuteCount;
    }
    SetMusicVolume(mMusicVolume);
    SetSfxVolume(mSfxVolume);
}

} // namespace Kavo
