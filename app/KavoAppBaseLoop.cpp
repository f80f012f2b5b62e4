// The main loop: fixed-rate updates, frame pacing, drawing, presenting and shut-down. All of it
// runs on the main thread and reads time from platform::Clock, so a test can drive it with a
// fake clock.
#include "app/KavoAppBase.h"

#include "base/PerformanceTimer.h"
#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/ImageLib.h"
#include "media/MusicInterface.h"
#include "media/SoundManager.h"
#include "platform/system/Clock.h"
#include "platform/system/DebugOutput.h"
#include "platform/system/Instance.h"
#include "platform/system/Threads.h"
#include "platform/window/DesktopIdle.h"
#include "platform/window/Messages.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Kavo
{

bool KavoAppBase::sIdleSuspended = false;
bool KavoAppBase::sRecoveringDisplay = false;
int KavoAppBase::sDrawNesting = 0;

namespace
{

// A screen that has shown nothing new for this long is still: its updates are then run a few at a
// time, kIdleBatchMs apart, rather than each on a wake-up of its own.
constexpr int kStillMs = 200;
constexpr int kIdleBatchMs = 50;

uint32_t Now()
{
    return platform::Clock::Get().Ticks();
}

void Sleep(uint32_t ms)
{
    platform::Clock::Get().Sleep(ms);
}

// Raises the draw nesting counter for a scope.
struct DrawNesting
{
    DrawNesting() { ++KavoAppBase::sDrawNesting; }
    ~DrawNesting() { --KavoAppBase::sDrawNesting; }
};

} // namespace

void KavoAppBase::RunMainLoop()
{
    if (mShutdown) return;
    StartCursorThread();
    if (mLoadingThreadEnabled) StartLoadingThread();
    platform::ShowMainWindow(true);
    platform::RaiseMainWindow();
    // The first frame is presented as soon as it is drawn, changed or not: the window shows the
    // program's screen at once instead of whatever was under it until the once-a-second redraw.
    mForceDraw = true;

    uint32_t start = Now();
    mInMainLoop = true;
    mLastUserInputTick = mLastTimerTime = start;
    LoopUntilShutdown();
    ProcessSafeDeleteList();
    mInMainLoop = false;
    WaitForLoadingThread();

    platform::DebugOutput(StrFormat("Seconds       = %g\r\n", double(Now() - start) / 1000.0));
    platform::DebugOutput(StrFormat("Sleep Count   = %d\r\n", mSleepCount));
    platform::DebugOutput(StrFormat("Update Count  = %d\r\n", mUpdateCount));
    platform::DebugOutput(StrFormat("Draw Count    = %d\r\n", mDrawCount.load()));
    platform::DebugOutput(StrFormat("Draw Time     = %d\r\n", mDrawTime));
    platform::DebugOutput(StrFormat("Screen Blt    = %d\r\n", mScreenBltTime));
    if (mDrawTime + mScreenBltTime > 0)
        platform::DebugOutput(
            StrFormat("Avg FPS       = %d\r\n", mDrawCount.load() * 1000 / (mDrawTime + mScreenBltTime)));

    MainLoopEnded();
    WriteSettingsToRegistry();
}

void KavoAppBase::LoopUntilShutdown()
{
    while (!mShutdown)
    {
        mExitToTop = false;
        UpdateApp();
    }
}

bool KavoAppBase::UpdateApp()
{
    for (;;)
    {
        bool updated = false;
        if (!UpdateAppStep(&updated)) return false;
        if (updated) return true;
    }
}

bool KavoAppBase::UpdateAppStep()
{
    bool updated = false;
    return UpdateAppStep(&updated);
}

bool KavoAppBase::UpdateAppStep(bool* updated)
{
    if (updated) *updated = false;
    if (mExitToTop) return false;
    if (mUpdateAppState == kPassDone) mUpdateAppState = kPumpMessages;
    ++mUpdateAppDepth;

    if (mUpdateAppState == kPumpMessages)
    {
        platform::Message message;
        while (!mShutdown && platform::PeekMessage(message))
            WindowProc(message);
        // A second start's knock is looked for every 50 ms, not on each of the passes between
        // two sleeps: the first copy still comes forward at once to the eye.
        uint32_t now = Now();
        if (mInstanceGuard && (!mNotificationPolled || now - mNotificationPollTick >= 50))
        {
            mNotificationPolled = true;
            mNotificationPollTick = now;
            if (mInstanceGuard->PollNotification()) HandleNotifyMessage(0, 0);
        }
        if (mPlayingDemo) PlayDemoEvents();
        if (mCursorThreadRunning) WakeCursorThread();
        ProcessDeferredMessages();
        if (mDeferredMessages.empty()) mUpdateAppState = kUpdateDue;
    }
    else
    {
        int before = mUpdateCount;
        ProcessFrame(true);
        if (updated && mUpdateCount != before) *updated = true;
    }
    --mUpdateAppDepth;
    return true;
}

void KavoAppBase::ResetFrameTiming()
{
    mUpdateFTimeAcc = 0.0;
    mLastTimeCheck = Now();
    mTimeCheckStarted = true;
}

void KavoAppBase::AccumulateElapsedTime()
{
    uint32_t now = Now();
    if (!mTimeCheckStarted)
    {
        mTimeCheckStarted = true;
        mLastTimeCheck = now;
        return;
    }
    uint32_t elapsed = now - mLastTimeCheck;
    mLastTimeCheck = now;
    mUpdateFTimeAcc = std::min(mUpdateFTimeAcc + double(elapsed), 200.0);
    if (mDiscardTimeMs > 0) mDiscardTimeMs = std::max(0, mDiscardTimeMs - int(elapsed));
}

void KavoAppBase::RunFractionUpdates(float fraction, bool countAsNonDraw)
{
    mPendingUpdatesAcc += double(fraction) - 1.0;
    ProcessSafeDeleteList();
    while (mPendingUpdatesAcc >= 1.0)
    {
        if (mPlayingDemo) PlayDemoEvents();
        if (countAsNonDraw) ++mNonDrawCount;
        bool ran = UpdateTick();
        ProcessSafeDeleteList();
        mPendingUpdatesAcc -= 1.0;
        if (!ran) break;
    }
    UpdateFramesFractional(fraction);
    ProcessSafeDeleteList();
}

void KavoAppBase::CatchUpUpdate(float fraction)
{
    // The events due now are taken before the count moves on, as in a normal pass.
    if (mPlayingDemo) PlayDemoEvents();
    if (UpdateTick()) RunFractionUpdates(fraction, false);
}

bool KavoAppBase::ProcessFrame(bool allowSleep)
{
    if (mStopRequested) Shutdown();
    // What the cursor thread drew on the screen between frames is shown from here.
    if (mDDInterface) mDDInterface->PresentPending();
    const FramePacing pacing = CurrentPacing();

    if (mPlayingDemo && (mUpdateCount < mDemoJumpTarget || mDemoRunToEnd))
        if (std::optional<bool> ended = FastForwardDemo(pacing, allowSleep)) return *ended;
    if (mMutedForDemoJump) EndDemoFastForward();
    if (mPaused || mUpdateMultiplier <= 0.0)
    {
        ProcessSafeDeleteList();
        return true;
    }

    const uint32_t passStart = Now();
    if (!pacing.vsyncTimed) AccumulateElapsedTime();
    bool draw = true;
    if (mUpdateAppState == kUpdateDue)
    {
        draw = UpdateOrDraw(pacing, passStart);
    }
    else if (mUpdateAppState == kUpdated)
    {
        mUpdateAppState = kPassDone;
        FinishUpdates(pacing);
        draw = false;
    }
    uint32_t slept = 0;
    if (draw && !DrawOrSleep(pacing, allowSleep, slept)) return false;
    if (!LeaveTimeForLoading(passStart, slept, allowSleep)) return false;
    ProcessSafeDeleteList();
    return true;
}

KavoAppBase::FramePacing KavoAppBase::CurrentPacing() const
{
    FramePacing pacing;
    // A display whose present never waits for the refresh (the window's surface) is paced by the
    // clock from the start.
    const bool fullscreen = !mIsPhysWindowed && mDDInterface && mDDInterface->PresentMayWaitForVSync();
    pacing.vsyncTimed = !mPlayingDemo && mVSyncUpdates && !mLastDrawWasEmpty && !mVSyncBroken && fullscreen;
    if (mVSyncUpdates)
    {
        pacing.frameMs = (1000.0 / double(mRefreshRate)) / mUpdateMultiplier;
        pacing.fraction = float(1000.0 / double(mFrameTime * mRefreshRate));
    }
    else
    {
        pacing.frameMs = double(mFrameTime) / mUpdateMultiplier;
        pacing.fraction = 1.0f;
    }
    return pacing;
}

std::optional<bool> KavoAppBase::FastForwardDemo(const FramePacing& pacing, bool allowSleep)
{
    // Demo fast-forward: no drawing except once a second, and muted until it ends.
    if (!mMutedForDemoJump && !mDemoSingleStep)
    {
        mMutedForDemoJump = true;
        Mute(true);
    }
    if (!mCatchUpStampTaken)
    {
        mCatchUpStampTaken = true;
        mCatchUpStamp = Now();
    }
    while (mUpdateCount < mDemoJumpTarget || mDemoRunToEnd)
    {
        ResetFrameTiming();
        int before = mUpdateCount;
        CatchUpUpdate(pacing.fraction);
        if (mUpdateCount == before)
        {
            // Nothing may update now (the demo has ended): the pass ends, so that the next step
            // pumps messages again, and a frame is slept out rather than spun.
            mUpdateAppState = kPassDone;
            if (!allowSleep) return false;
            Sleep(uint32_t(mFrameTime));
            return true;
        }
        if (Now() - mCatchUpStamp >= 1000 || mDemoSingleStep)
        {
            mDemoSingleStep = false;
            mCatchUpStamp = Now();
            DrawFrame();
            return true;
        }
    }
    return std::nullopt;
}

void KavoAppBase::EndDemoFastForward()
{
    mMutedForDemoJump = false;
    if (mSoundManager) mSoundManager->StopAllSounds();
    Unmute(true);
}

bool KavoAppBase::UpdateOrDraw(const FramePacing& pacing, uint32_t now)
{
    ++mNonDrawCount;
    if (mNonDrawCount >= int(std::ceil(mUpdateMultiplier * 10.0)) && mLoadingHandedOver) return true;
    const bool noThreshold = pacing.vsyncTimed && !mHasPendingDraw;
    const double threshold = pacing.vsyncTimed ? double(int(pacing.frameMs * 0.75)) : pacing.frameMs;
    if (!noThreshold && mUpdateFTimeAcc < threshold) return true;

    if (!mPlayingDemo && mUpdateMultiplier == 1.0) CountUpdatesForVSyncTest(now);
    if (UpdateTick())
    {
        mUpdateAppState = kUpdated;
        mHasPendingDraw = true;
        return false;
    }
    // No update may run now (a demo at its end, a hand-over not yet due): the pass ends as one
    // with nothing to update, so the next step pumps messages again, and the time that could not
    // be used is not caught up later.
    mUpdateFTimeAcc = 0.0;
    // While resting for the desktop's idleness the draw pass still looks, once a second, whether
    // the player is back.
    if (sIdleSuspended) mHasPendingDraw = true;
    return true;
}

void KavoAppBase::CountUpdatesForVSyncTest(uint32_t now)
{
    ++mVSyncBrokenTestUpdates;
    if (mVSyncBrokenTestUpdates < (mFrameTime + 999) / mFrameTime) return;
    if (now - mVSyncBrokenTestStartTick <= 800)
    {
        if (++mVSyncBrokenCount >= 3) mVSyncBroken = true;
    }
    else
    {
        mVSyncBrokenCount = 0;
    }
    mVSyncBrokenTestStartTick = now;
    mVSyncBrokenTestUpdates = 0;
}

void KavoAppBase::FinishUpdates(const FramePacing& pacing)
{
    RunFractionUpdates(pacing.fraction, true);
    mUpdateFTimeAcc -= pacing.frameMs;
    if (pacing.vsyncTimed) mUpdateFTimeAcc = std::max(0.0, mUpdateFTimeAcc - 0.2);
    if (mDiscardTimeMs > 0) mUpdateFTimeAcc = 0.0;
}

bool KavoAppBase::DrawOrSleep(const FramePacing& pacing, bool allowSleep, uint32_t& slept)
{
    mUpdateAppState = kPassDone;
    mNonDrawCount = 0;
    if (mHasPendingDraw)
    {
        DrawFrame();
        return true;
    }
    // Sleep until the next update is due, rounded up to whole milliseconds (a wait of a fraction
    // of a millisecond is slept as one rather than spun out on the clock), or until the desktop
    // has an event for the program. A still screen sleeps until a few updates are due and runs
    // them on waking, before the event that may have woken it, which came after them.
    const int batch = StillScreen(pacing.vsyncTimed) ? std::max(1, int(kIdleBatchMs / pacing.frameMs)) : 1;
    const int sleepMs = int(std::ceil(batch * pacing.frameMs - mUpdateFTimeAcc));
    if (sleepMs <= 0) return true;
    if (!allowSleep) return false;
    ++mSleepCount;
    const uint32_t before = Now();
    platform::WaitForMessage(uint32_t(sleepMs));
    slept = std::min(uint32_t(sleepMs), Now() - before);
    if (batch > 1) RunDueUpdates(pacing.frameMs, pacing.fraction, batch);
    return true;
}

bool KavoAppBase::LeaveTimeForLoading(uint32_t passStart, uint32_t slept, bool allowSleep)
{
    // While the loading thread works, leave it time.
    if (!mLoadingThreadStarted || mLoadingHandedOver || !mLoadingThrottle) return true;
    const int extra = std::min(250, 2 * int(Now() - passStart - slept) - int(slept));
    if (extra < 0) return true;
    if (!allowSleep) return false;
    Sleep(uint32_t(extra));
    return true;
}

bool KavoAppBase::StillScreen(bool vsyncTimed) const
{
    // Demos, loading, vertical-sync pacing and changed speeds keep one update a wake-up, and so
    // does a screen the player has just used (a cursor drawn by the program moves with it).
    return !vsyncTimed && !mPlayingDemo && !(mLoadingThreadStarted && !mLoadingHandedOver) &&
           mUpdateMultiplier == 1.0 && !sIdleSuspended && mUnchangedDraws * mFrameTime >= kStillMs &&
           Now() - mLastInputSeenTick >= uint32_t(kStillMs);
}

void KavoAppBase::RunDueUpdates(double frameMs, float fraction, int most)
{
    AccumulateElapsedTime();
    for (int i = 0; i < most && mUpdateFTimeAcc >= frameMs; ++i)
    {
        if (!UpdateTick())
        {
            mUpdateFTimeAcc = 0.0;
            break;
        }
        mHasPendingDraw = true;
        RunFractionUpdates(fraction, true);
        mUpdateFTimeAcc -= frameMs;
    }
}

bool KavoAppBase::UpdateTick()
{
    if (sIdleSuspended) return false;
    const bool playing = mPlayingDemo;
    // A demo being played hands the loading over where its recording did.
    if (mLoadingThreadCompleted && !mLoadingHandedOver && (!playing || mDemoLoadingHandedOver))
    {
        platform::SetCurrentThreadPriority(platform::ThreadPriority::Normal);
        mLoadingHandedOver = true;
        mLoadingThrottle = false;
        UpdateScreenSaverPermission();
        LoadingThreadCompleted();
        if (!playing && mRecordingDemo) mDemo.WriteLongEvent(mUpdateCount, DemoStream::kLoadingHandOver);
    }
    if (playing && (mLoadingHandedOver != mDemoLoadingHandedOver || mUpdateCount == mDemoLength))
        return false;
    UpdateFrames();
    return true;
}

void KavoAppBase::UpdateFrames()
{
    ++mUpdateCount;
    if (!mMinimized && mWidgetManager->UpdateFrame()) ++mChangedUpdateCount;
    if (mMusicInterface) mMusicInterface->Update();
    CleanSharedImages();
}

void KavoAppBase::UpdateFramesFractional(float fraction)
{
    if (mVSyncUpdates && !mMinimized) mWidgetManager->UpdateFrameF(fraction);
}

bool KavoAppBase::DrawFrame()
{
    DrawNesting nesting;
    if (sRecoveringDisplay)
    {
        Redraw(nullptr);
        mHasPendingDraw = false;
        mLastDrawWasEmpty = true;
        return false;
    }

    if (mShowFPS) UpdateOverlays();

    uint32_t now = Now();
    if (now - mLastIdleCheck > 1000)
    {
        mLastIdleCheck = now;
        CheckIdleSuspend();
    }
    if (sIdleSuspended)
    {
        mHasPendingDraw = false;
        mLastDrawWasEmpty = true;
        return false;
    }

    // The overlays are drawn over the screen image: what they covered is drawn again under them.
    const Rect& drawRect = mWidgetManager->mDrawRect;
    for (const Rect& rect : mOverlayRects)
        mWidgetManager->AddDirtyRect(
            Rect(rect.mX + drawRect.mX, rect.mY + drawRect.mY, rect.mWidth, rect.mHeight));
    mOverlayRects.clear();

    uint32_t drawStart = Now();
    mDrawing = true;
    bool changed = mWidgetManager->DrawScreen();
    mDrawing = false;
    ++mFPSCount;
    mUnchangedDraws = changed ? 0 : std::min(mUnchangedDraws + 1, 1 << 20);
    // Drawn now, presented with the next present (which may not be this frame's).
    for (const Rect& rect : mWidgetManager->DrawnRects())
        mUnpresentedRects.Add(rect);

    if (!((changed || now - mLastDrawTick > 999 || mForceDraw) && int32_t(now - mNextDrawTick) >= 0))
    {
        mHasPendingDraw = false;
        mLastDrawWasEmpty = true;
        return false;
    }

    ++mDrawCount;
    mLastDrawWasEmpty = false;
    int drawTime = int(Now() - drawStart);
    mFPSTime += drawTime;
    mDrawTime += drawTime;
    if (mWaitForVSync && mIsPhysWindowed && mDDInterface)
    {
        uint32_t interval = uint32_t(mDDInterface->mMillisecondsPerFrame);
        uint32_t since = Now() - mLastDrawTick;
        if (since < interval) Sleep(interval - since);
    }
    if (mShowFPS) DrawOverlays();
    mLastDrawTick = Now();
    // Only what was drawn: an unchanged screen's once-a-second present shows nothing new.
    for (const Rect& rect : mOverlayRects)
        mUnpresentedRects.Add(rect);
    RedrawRects(mUnpresentedRects.Take());
    AccumulateElapsedTime();
    mScreenBltTime = int(Now() - mLastDrawTick);

    uint32_t end = Now();
    if (mLoadingThreadStarted && !mLoadingThreadCompleted)
    {
        int d = int(end - now);
        if (d < 16) d = 15;
        mNextDrawTick += uint32_t(d + 35);
        if (int32_t(mNextDrawTick - end) < 0) mNextDrawTick = end;
    }
    else
    {
        mNextDrawTick = end;
    }
    mHasPendingDraw = false;
    mForceDraw = false;
    return true;
}

void KavoAppBase::Redraw(const Rect* rect)
{
    if (!mDDInterface) return;
    RedrawRects({rect ? *rect : Rect(0, 0, mDDInterface->mWidth, mDDInterface->mHeight)});
}

void KavoAppBase::RedrawRects(const std::vector<Rect>& rects)
{
    if (mDrawing || mShutdown || sIdleSuspended || !mDDInterface) return;
    if (mDDInterface->RedrawRects(rects))
    {
        if (sRecoveringDisplay)
        {
            sRecoveringDisplay = false;
            mLastRecoverAttempt = 0;
        }
        return;
    }

    sRecoveringDisplay = true;
    uint32_t now = Now();
    if (!((mActive || (mIsPhysWindowed && now - mLastRecoverAttempt > 1000)) && !mMinimized)) return;
    mLastRecoverAttempt = now;
    mWidgetManager->mScreenImage = nullptr;

    int desktopWidth = 0, desktopHeight = 0;
    platform::GetDesktopSize(desktopWidth, desktopHeight);
    if (mIsWindowed && (desktopWidth <= mWidth || desktopHeight <= mHeight))
    {
        if (mWindowedRefusedForColorDepth)
        {
            Popup(GetString("PLEASE_SET_COLOR_DEPTH", "Please set your desktop color depth to 16 bit."));
            Shutdown();
        }
        else
        {
            mWindowedNotAllowed = true;
            SwitchScreenModeKeep3D(false);
        }
        return;
    }

    int result = InitDisplay();
    if (mIsWindowed && result == DDInterface::RESULT_INVALID_COLORDEPTH)
    {
        if (mActive)
        {
            SwitchScreenModeKeep3D(false);
            mWindowedNotAllowed = true;
        }
        return;
    }
    if (result == DDInterface::RESULT_3D_FAIL)
    {
        Set3DAcceleration(false, true);
        return;
    }
    if (result != DDInterface::RESULT_OK) return;
    ReInitImages();
    AttachScreenImage();
}

namespace
{

// Renders one line of overlay text into a small image of its own (made on first use).
void RenderOverlay(DDImage*& image, Font* font, DDInterface* display, const std::string& text)
{
    if (!font) return;
    if (!image) image = new DDImage(display);
    image->Create(font->StringWidth(text) + 6, font->GetHeight() + 4);
    Graphics g(image);
    g.SetColor(Color(0, 0, 0, 160));
    g.FillRect(0, 0, image->GetWidth(), image->GetHeight());
    g.SetFont(font);
    g.SetColor(Color(255, 255, 128, 255));
    g.DrawString(text, 3, 2 + font->GetAscent());
}

} // namespace

void KavoAppBase::UpdateOverlays()
{
    if (!mOverlayFont) mOverlayFont = CreateSysFont("Tahoma", 8, false);
    ++mFPSCalls;
    PerformanceTimer& timer = PerformanceTimer::Global();
    if (mFPSRestart || !timer.IsRunning() || timer.GetDuration() >= 1000.0)
    {
        double elapsed = timer.IsRunning() ? timer.GetDuration() : 0.0;
        int fps = (mFPSRestart || elapsed <= 0.0) ? 0 : int(mFPSCalls * 1000.0 / elapsed + 0.5);
        mFPSRestart = false;
        mFPSCalls = 0;
        timer.Start();
        if (mShowFPSMode == 0)
            RenderOverlay(mFPSImage, mOverlayFont, mDDInterface, StrFormat("FPS: %d", fps));
    }
    if (mShowFPSMode == 1)
        RenderOverlay(mFPSImage, mOverlayFont, mDDInterface,
                      StrFormat("%d,%d", mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY));
    if (mPlayingDemo)
    {
        int seconds = (mDemoLength - mUpdateCount) * mFrameTime / 1000;
        RenderOverlay(mDemoTimeImage, mOverlayFont, mDDInterface,
                      StrFormat("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60));
    }
}

void KavoAppBase::DrawOverlays()
{
    Image* screen = mWidgetManager->mScreenImage;
    if (!screen || !mFPSImage) return;
    Graphics g(screen);
    int x = mWidth - mFPSImage->GetWidth() - 10, y = mHeight - mFPSImage->GetHeight() - 10;
    g.DrawImage(mFPSImage, x, y);
    mOverlayRects.push_back(Rect(x, y, mFPSImage->GetWidth(), mFPSImage->GetHeight()));
    if (mPlayingDemo && mDemoTimeImage)
    {
        Rect time(mWidth - mDemoTimeImage->GetWidth() - 10, y - mDemoTimeImage->GetHeight() - 5,
                  mDemoTimeImage->GetWidth(), mDemoTimeImage->GetHeight());
        g.DrawImage(mDemoTimeImage, time.mX, time.mY);
        mOverlayRects.push_back(time);
    }
}

void KavoAppBase::CheckIdleSuspend()
{
    // In a window the program rests while the desktop's screen saver would run: from two seconds
    // before its time-out until the player comes back. Desktops that cannot tell their idle
    // time never suspend it.
    if (!mIsPhysWindowed || mScreensaverMode)
    {
        SetIdleSuspended(false); // a rest that began in a window ends with it
        return;
    }
    uint32_t now = Now();
    platform::ScreenSaverState state;
    bool known = platform::GetScreenSaverState(state);
    if (!mScreenSaverRead || now - mScreenSaverReadTime >= 10000)
    {
        mScreenSaverRead = true;
        mScreenSaverReadTime = now;
        mScreenSaverActive = known && state.active;
        mIdleLimitMs = uint32_t(std::max(state.timeoutSeconds - 2, 1)) * 1000;
        if (!mScreenSaverActive) SetIdleSuspended(false);
    }
    if (!mScreenSaverActive) return;
    uint32_t idle = known ? state.idleMs : now - mLastUserInputTick;
    if (!sIdleSuspended)
    {
        if (idle > mIdleLimitMs) SetIdleSuspended(true);
    }
    else if ((!known || !state.running) && idle < mIdleLimitMs)
    {
        SetIdleSuspended(false);
    }
}

void KavoAppBase::SetIdleSuspended(bool suspended)
{
    if (suspended == sIdleSuspended) return;
    sIdleSuspended = suspended;
    platform::DebugOutput(suspended ? "Resting: the desktop is idle\r\n" : "Rest over\r\n");
    // Nothing was updated or drawn meanwhile: everything is drawn anew.
    if (!suspended && mWidgetManager) mWidgetManager->MarkAllDirty();
}

void KavoAppBase::SafeDeleteWidget(Widget* widget)
{
    mSafeDeleteList.emplace_back(mUpdateAppDepth, widget);
}

void KavoAppBase::ProcessSafeDeleteList()
{
    DrawNesting nesting;
    for (auto it = mSafeDeleteList.begin(); it != mSafeDeleteList.end();)
    {
        if (it->first >= mUpdateAppDepth)
        {
            Widget* widget = it->second;
            it = mSafeDeleteList.erase(it);
            delete widget;
        }
        else
        {
            ++it;
        }
    }
}

void KavoAppBase::Shutdown()
{
    if (mMainThread != std::thread::id() && std::this_thread::get_id() != mMainThread)
    {
        mStopRequested = true;
        return;
    }
    if (mShutdown) return;
    mExitToTop = true;
    mShutdown = true;

    PreShutdown();
    if (mPlayingDemo)
    {
        SetMusicVolume(mDemoMusicVolume);
        SetSfxVolume(mDemoSfxVolume);
    }
    WakeCursorThread(true);
    while (mCursorThreadRunning)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (mCursorThread.joinable()) mCursorThread.join();

    if (mMusicInterface) mMusicInterface->StopAllMusic();
    platform::ShowMainWindow(false);
    RestoreDisplayMode();
    if (mReadFromRegistry) WriteSettingsToRegistry();
    ImageLib::CloseJPEG2000();
}

} // namespace Kavo
