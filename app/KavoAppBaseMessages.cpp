// The window procedure and the deferred message queue, focus, the cursor and the clipboard.
#include "app/KavoAppBase.h"

#include "base/PerfProfiler.h"
#include "base/StringUtils.h"
#include "display/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "media/SoundManager.h"
#include "platform/files/Files.h"
#include "platform/sound/SoundFilePlayer.h"
#include "platform/system/Clock.h"
#include "platform/system/DebugOutput.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

using namespace platform;

namespace
{

// The desktop's "Menu Command" sound that Ctrl+Alt+D plays, beside the program.
constexpr const char* kMenuCommandSound = "sounds/menu_command.wav";

// The widgets' click count of a mouse button message (1 left, 2 left double click, -1 right,
// -2 right double click, 3 middle), and whether it presses the button or releases it; 0 for any
// other message.
int MouseClicks(uint32_t message, bool& down)
{
    down = true;
    switch (message)
    {
    case WM_LBUTTONDOWN:
        return 1;
    case WM_LBUTTONDBLCLK:
        return 2;
    case WM_RBUTTONDOWN:
        return -1;
    case WM_RBUTTONDBLCLK:
        return -2;
    case WM_MBUTTONDOWN:
        return 3;
    default:
        break;
    }
    down = false;
    switch (message)
    {
    case WM_LBUTTONUP:
        return 1;
    case WM_RBUTTONUP:
        return -1;
    case WM_MBUTTONUP:
        return 3;
    default:
        return 0;
    }
}

// What the desktop's own window procedure does with a message the application leaves to it:
// nothing on this desktop. Where a desktop gives the window a menu of its own, an Alt+character
// would open it (Alt+Space) or beep for want of a menu entry; here the window manager keeps its
// menu and its keys to itself, before they reach the window. (Alt+F4's close is posted where the
// key is queued.)
int64_t DefaultHandling(const Message&)
{
    return 0;
}

} // namespace

int64_t KavoAppBase::WindowProc(const Message& m)
{
    if (mScreensaverMode)
    {
        int64_t result = 0;
        if (mScreenSaverFilter.Filter(this, m, &result)) return result;
    }
    switch (m.message)
    {
    case WM_DESTROY:
        DebugOutput(StrFormat("DESTROYED HWND: %d\r\n", int(m.window)));
        return 0;
    case WM_ENABLE:
        mIsDisabled = m.wParam == 0;
        return 0;
    case WM_PAINT:
        if (mInitialized && !mCrashed && mInMainLoop) Redraw(nullptr);
        return 0;
    case WM_QUERYOPEN:
        return AppCanRestore() ? 1 : 0;
    case WM_ENDSESSION:
        Shutdown();
        return 0;
    case WM_SETCURSOR:
        if (!mCrashed) UpdateCursor();
        return 1;
    case WM_NCLBUTTONDOWN:
        ResetFrameTiming();
        return 0;
    case WM_SYSCHAR:
        // An Alt+character the application uses is consumed; any other goes on to default
        // handling. Neither is typed into a widget.
        if (IsAltKeyUsed(m.wParam)) return 0;
        return DefaultHandling(m);
    case WM_SYSCOMMAND:
        if (m.wParam == SC_MONITORPOWER)
        {
            mMonitorPowerNoted = true;
            mMonitorPowerTick = Clock::Get().Ticks();
        }
        return 0;
    case WM_ACTIVATEAPP:
        if (m.window == mHWnd && !mPlayingDemo) mActive = m.wParam != 0;
        break;
    case WM_MOVE:
    case WM_SIZE:
    case WM_CLOSE:
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_TIMER:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_MOUSEWHEEL:
        break;
    default:
        if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONDBLCLK) break;
        if (m.message == mNotifyMessage && mNotifyMessage != 0)
        {
            HandleNotifyMessage(m.wParam, m.lParam);
            return 0;
        }
        return DefaultHandling(m);
    }

    // Queued messages.
    bool keyDown = m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
    bool keyUp = m.message == WM_KEYUP || m.message == WM_SYSKEYUP;
    if (keyDown || keyUp)
    {
        if (m.wParam == uint64_t(VK_CONTROL)) mCtrlDown = keyDown;
        if (m.wParam == uint64_t(VK_MENU)) mAltDown = keyDown;
        if (keyDown && KeyDownHook(int(m.wParam), mCtrlDown, mAltDown)) return 0;
    }
    if (mPlayingDemo && m.message == WM_KEYDOWN) DebugKeyDown(int(m.wParam));
    if (mPlayingDemo && m.message == WM_CHAR) DemoPlaybackKey(char(uint8_t(m.wParam)));

    bool queue = true;
    if (!mDeferredMessages.empty())
    {
        uint32_t last = mDeferredMessages.back().message;
        if (last == WM_CLOSE) queue = false;
        if (m.message == WM_TIMER && last == WM_TIMER) queue = false;
    }
    if (queue && (m.message == WM_SYSCOLORCHANGE || m.message == WM_DISPLAYCHANGE))
    {
        for (const DeferredMessage& d : mDeferredMessages)
            if (d.message == WM_SYSCOLORCHANGE || d.message == WM_DISPLAYCHANGE) queue = false;
    }
    if (queue)
    {
        mDeferredMessages.push_back(
            DeferredMessage{m.window, m.message, m.wParam, m.lParam, m.time, m.x, m.y});
    }

    if (m.message == WM_SIZE) mPhysMinimized = m.wParam == SIZE_MINIMIZED;
    if (m.message == WM_SYSKEYDOWN && m.wParam == uint64_t(VK_F4))
    {
        // Alt+F4 closes the window, as the desktop's default handling of it does.
        PostMessage(mHWnd, WM_CLOSE);
    }
    if (m.message == WM_CLOSE) CloseRequestAsked();
    return 0;
}

bool KavoAppBase::IsAltKeyUsed(uint64_t wParam)
{
    int c = int(wParam);
    if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
    return c == 13 || c == 'r';
}

bool KavoAppBase::AppCanRestore()
{
    return !mIsDisabled;
}

void KavoAppBase::RecordDeferredMessage(const DeferredMessage& d)
{
    uint32_t msg = d.message;
    if (msg == WM_ACTIVATEAPP && d.window == mHWnd)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kActivate);
        mDemo.mBuffer.WriteNumBits(d.wParam != 0 ? 1 : 0, 1);
    }
    else if (msg == WM_SIZE)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kSize);
        mDemo.mBuffer.WriteBoolean(d.wParam == SIZE_MINIMIZED);
    }
    else if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kKeyDown);
        mDemo.mBuffer.WriteNumBits(int(d.wParam & 0xFF), 8);
    }
    else if (msg == WM_KEYUP || msg == WM_SYSKEYUP)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kKeyUp);
        mDemo.mBuffer.WriteNumBits(int(d.wParam & 0xFF), 8);
    }
    else if (msg == WM_CHAR)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kChar);
        mDemo.mBuffer.WriteNumBits(0, 1);
        mDemo.mBuffer.WriteNumBits(int(d.wParam & 0xFF), 8);
    }
    else if (msg == WM_CLOSE && (d.window == mHWnd || d.window == mInvisHWnd))
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kClose);
    }
    else if (msg == WM_MOUSEWHEEL)
    {
        mDemo.WriteLongEvent(mUpdateCount, DemoStream::kWheel);
        mDemo.mBuffer.WriteNumBits(HighWord(int64_t(d.wParam)) / WHEEL_DELTA, 8);
    }
    else if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONUP)
    {
        int x = LowWord(d.lParam), y = HighWord(d.lParam);
        mWidgetManager->RemapMouse(x, y);
        int dx = x - mDemoMouseX, dy = y - mDemoMouseY;
        if (dx > -32 && dx < 32 && dy > -32 && dy < 32)
        {
            if (dx != 0 || dy != 0)
            {
                mDemo.WriteShortEvent(mUpdateCount, DemoStream::kShortMouseMove);
                mDemo.mBuffer.WriteNumBits(dx, 6);
                mDemo.mBuffer.WriteNumBits(dy, 6);
            }
        }
        else
        {
            mDemo.WriteLongEvent(mUpdateCount, DemoStream::kMouseAbsolute);
            mDemo.mBuffer.WriteNumBits(x, 12);
            mDemo.mBuffer.WriteNumBits(y, 12);
        }
        mDemoMouseX = x;
        mDemoMouseY = y;
        bool down = true;
        int clicks = MouseClicks(msg, down);
        if (clicks != 0)
        {
            mDemo.WriteShortEvent(mUpdateCount, DemoStream::kShortMouseButton);
            mDemo.mBuffer.WriteNumBits(down ? 1 : 0, 1);
            mDemo.mBuffer.WriteNumBits(clicks, 3);
        }
    }
}

void KavoAppBase::NoteUserInput()
{
    mLastUserInputTick = mLastTimerTime;
    mLastInputSeenTick = Clock::Get().Ticks();
}

bool KavoAppBase::ProcessDeferredMessages()
{
    if (mDeferredMessages.empty()) return false;
    DeferredMessage d = mDeferredMessages.front();
    mDeferredMessages.pop_front();
    uint32_t msg = d.message;

    if (mRecordingDemo && !mShutdown) RecordDeferredMessage(d);

    if (!mPlayingDemo)
    {
        if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)
        {
            NoteUserInput();
            int key = int(d.wParam);
            // Alt+Enter switches between a window and full screen where a window is possible;
            // otherwise it is a key like any other. Only a press switches: keys held down (or
            // whose key-up went astray) repeat, and would switch back and forth. The repeats
            // of a held Alt+Enter are part of its one press and go nowhere else.
            bool repeated = (d.lParam & (int64_t(1) << 30)) != 0;
            if (key == VK_RETURN && msg == WM_SYSKEYDOWN && !mWindowedNotAllowed &&
                !mWindowedRefusedForColorDepth)
            {
                if (!repeated)
                {
                    SwitchScreenModeKeep3D(!mIsWindowed);
                    ClearKeysDown();
                }
            }
            else
            {
                if (key == 'D' && mWidgetManager->mKeyDown[VK_CONTROL] && mWidgetManager->mKeyDown[VK_MENU])
                {
                    platform::SoundFilePlayer::PlayAsync(platform::ProgramFolder() + kMenuCommandSound);
                    mDebugKeysEnabled = !mDebugKeysEnabled;
                }
                if (!(mDebugKeysEnabled && DebugKeyDown(key))) mWidgetManager->KeyDown(key);
            }
        }
        else if (msg == WM_KEYUP || msg == WM_SYSKEYUP)
        {
            NoteUserInput();
            mWidgetManager->KeyUp(int(d.wParam));
        }
        else if (msg == WM_CHAR)
        {
            NoteUserInput();
            mWidgetManager->KeyChar(char(uint8_t(d.wParam)));
        }
        else if (msg == WM_MOVE)
        {
            int x = 0, y = 0;
            if (d.window == mHWnd && mIsPhysWindowed && !mPhysMinimized && GetMainWindowPosition(x, y))
            {
                int left = 0, top = 0, right = 0, bottom = 0;
                GetWindowBorders(left, top, right, bottom);
                mPreferredX = x - left;
                mPreferredY = y - top;
            }
        }
        else if (msg == WM_SIZE)
        {
            if (d.window == mHWnd && !mShutdown)
            {
                bool minimized = d.wParam == SIZE_MINIMIZED;
                if (minimized != mMinimized)
                {
                    mMinimized = minimized;
                    if (minimized)
                    {
                        if (mMuteOnLostFocus) Mute(true);
                    }
                    else
                    {
                        if (mMuteOnLostFocus) Unmute(true);
                        mWidgetManager->MarkAllDirty();
                    }
                }
                UpdateFocusState();
                if (d.wParam == SIZE_MAXIMIZED) SwitchScreenModeKeep3D(false);
            }
        }
        else if (msg == WM_SYSCOLORCHANGE || msg == WM_DISPLAYCHANGE)
        {
            mWidgetManager->SysColorChangedAll();
            mWidgetManager->MarkAllDirty();
        }
        else if (msg == WM_ACTIVATEAPP)
        {
            if (d.window == mHWnd && !mCrashed && !mShutdown)
            {
                UpdateFocusState();
                if (mActive && !mIsPhysWindowed) mWidgetManager->MarkAllDirty();
                if (mIsOpeningURL && !mActive) URLOpenSucceeded(mOpeningURL);
            }
        }
        else if (msg == WM_TIMER)
        {
            if (mInMainLoop && !mCrashed)
            {
                uint32_t now = Clock::Get().Ticks();
                if (now - mLastTimerTime > 500) mLastBigDelayTime = now;
                mLastTimerTime = now;
                if (mIsOpeningURL && now - mLastBigDelayTime > 5000)
                {
                    if (now - mOpeningURLTime > 8000 && !mActive)
                        URLOpenSucceeded(mOpeningURL);
                    else if (now - mOpeningURLTime > 12000 && mActive)
                        URLOpenFailed(mOpeningURL);
                }
                CheckMouseInWindow();
            }
        }
        else if (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK)
        {
            if (!mCrashed)
            {
                int x = LowWord(d.lParam), y = HighWord(d.lParam);
                mWidgetManager->RemapMouse(x, y);
                NoteUserInput();
                // A demo records no move for a message at the last position, so none is made
                // live either: a drag to where the mouse already is would otherwise reach the
                // widgets only in the recorded run.
                if (x != mWidgetManager->mLastMouseX || y != mWidgetManager->mLastMouseY)
                    mWidgetManager->MousePosition(x, y);
                if (!mMouseIn)
                {
                    if (mRecordingDemo) mDemo.WriteLongEvent(mUpdateCount, DemoStream::kMouseEnter);
                    mMouseIn = true;
                    UpdateCursor();
                }
                bool down = true;
                int clicks = MouseClicks(msg, down);
                if (clicks != 0 && down)
                {
                    SetMouseCapture(true);
                    mWidgetManager->MouseDown(x, y, clicks);
                }
                else if (clicks != 0)
                {
                    mWidgetManager->MouseUp(x, y, clicks);
                    if (mWidgetManager->mPressedButtons == 0) SetMouseCapture(false);
                }
            }
        }
        else if (msg == WM_MOUSEWHEEL)
        {
            mWidgetManager->MouseWheel(HighWord(int64_t(d.wParam)) / WHEEL_DELTA);
        }
    }

    if (msg == WM_CLOSE && (d.window == mHWnd || d.window == mInvisHWnd))
    {
        mCloseRequest = true;
        mDemoCloseHandled = true;
        Shutdown();
    }
    return !mDeferredMessages.empty();
}

bool KavoAppBase::SendLiveInput(WidgetManager& manager, const Message& m)
{
    switch (m.message)
    {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        manager.KeyDown(int(m.wParam));
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        manager.KeyUp(int(m.wParam));
        return true;
    case WM_CHAR:
        manager.KeyChar(char(uint8_t(m.wParam)));
        return true;
    case WM_MOUSEWHEEL:
        manager.MouseWheel(HighWord(int64_t(m.wParam)) / WHEEL_DELTA);
        return true;
    default:
        break;
    }
    if (m.message < WM_MOUSEMOVE || m.message > WM_MBUTTONDBLCLK) return false;
    int x = LowWord(m.lParam), y = HighWord(m.lParam);
    manager.RemapMouse(x, y);
    manager.MousePosition(x, y);
    bool down = true;
    int clicks = MouseClicks(m.message, down);
    if (clicks != 0 && down)
        manager.MouseDown(x, y, clicks);
    else if (clicks != 0)
        manager.MouseUp(x, y, clicks);
    return true;
}

void KavoAppBase::CheckMouseInWindow()
{
    int x = 0, y = 0;
    bool inside = LastMousePosition(x, y) && x >= 0 && y >= 0 && x < mWidth && y < mHeight;
    if (inside == mMouseIn) return;
    if (mRecordingDemo)
        mDemo.WriteLongEvent(mUpdateCount, inside ? DemoStream::kMouseEnter : DemoStream::kMouseLeave);
    if (!inside)
    {
        mWidgetManager->RemapMouse(x, y);
        mWidgetManager->MouseExit(x, y);
    }
    mMouseIn = inside;
    UpdateCursor();
}

void KavoAppBase::UpdateScreenSaverPermission()
{
    // A screen saver never makes way for the desktop's own.
    AllowScreenSaver(mLoadingHandedOver && mIsPhysWindowed && !mScreensaverMode);
}

void KavoAppBase::UpdateFocusState()
{
    bool hasFocus = mActive && !mMinimized;
    if (hasFocus == mHasFocus) return;
    mHasFocus = hasFocus;
    if (hasFocus)
    {
        if (mMuteOnLostFocus) Unmute(true);
        mWidgetManager->GotAppFocus();
        GotFocus();
    }
    else
    {
        if (mMuteOnLostFocus) Mute(true);
        mWidgetManager->LostAppFocus();
        LostFocus();
        SetMouseCapture(false);
        if (mWidgetManager->mDownWidget && mWidgetManager->mHeldButtons) mWidgetManager->ClearDownWidget();
    }
}

void KavoAppBase::ClearKeysDown()
{
    if (mWidgetManager)
        for (uint8_t& key : mWidgetManager->mKeyDown)
            key = 0;
    mCtrlDown = false;
    mAltDown = false;
}

void KavoAppBase::HandleNotifyMessage(uint64_t wParam, int64_t lParam)
{
    (void)lParam;
    if (wParam == 0) RaiseMainWindow();
}

bool KavoAppBase::DebugKeyDown(int key)
{
    bool shift = mWidgetManager->mKeyDown[VK_SHIFT] != 0;
    switch (key)
    {
    case VK_F2:
    {
        PerfProfiler& profiler = PerfProfiler::Global();
        ResetFrameTiming();
        if (profiler.IsRunning())
        {
            profiler.Stop();
            MsgBox(profiler.Report(), "Perf Results", MB_OK);
            ResetFrameTiming();
        }
        else
        {
            profiler.Start();
        }
        return true;
    }
    case VK_F3:
        if (shift)
        {
            mShowFPS = true;
            mShowFPSMode = (mShowFPSMode + 1) % 2;
        }
        else
        {
            mShowFPS = !mShowFPS;
        }
        if (mShowFPS)
        {
            mFPSCount = 0;
            mFPSTime = 0;
            mFPSRestart = true;
        }
        return true;
    case VK_F8:
        if (shift)
        {
            Set3DAcceleration(!Is3DAccelerated(), true);
            MsgBox(StrFormat("3D-Mode: %s", Is3DAccelerated() ? "ON" : "OFF"), "Mode Switch", MB_OK);
        }
        else
        {
            const char* support = Is3DAccelerationRecommended() ? "Recommended"
                                  : Is3DAccelerationSupported() ? "Supported"
                                                                : "Unsupported";
            std::string text = StrFormat("3D-Mode is %s (3D is %s on this system)\r\n\r\n",
                                         Is3DAccelerated() ? "On" : "Off", support);
            text += StrFormat("Num Images: %d\r\n", int(mMemoryImages.size()));
            text += StrFormat("Num Sounds: %d\r\n", mSoundManager ? mSoundManager->GetNumSounds() : 0);
            text += StrFormat("Video Memory: %s/%s KB\r\n", "0", "0");
            text += StrFormat("Texture Memory: %s KB\r\n", "0");
            for (const char* format : {"A8R8G8B8", "A4R4G4B4", "R5G6B5", "Palette8"})
                text += StrFormat("%s: %d - %s KB\r\n", format, 0, "0");
            MsgBox(text, "Video Stats", MB_OK);
        }
        return true;
    case VK_F10:
        return true;
    case VK_F11:
        if (shift)
            DumpImageList();
        else
            TakeScreenshot();
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- cursor

void KavoAppBase::UpdateCursor()
{
    if (!mDDInterface) return;
    if (mCrashed || !mMouseIn)
    {
        platform::SetCursor(GetSystemCursor(SystemCursor::Arrow));
        mSysCursor = true;
        return;
    }
    MemoryImage* image = (mCursorNum >= 0 && mCursorNum < 13) ? mCursorImages[mCursorNum] : nullptr;
    const bool playing = mPlayingDemo && !mPlaybackDialogShown;
    if (image && (playing || mCustomCursorsEnabled || mCursorNum == 12))
    {
        if (mDDInterface->SetCursorImage(image)) mForceDraw = true;
        platform::SetCursor(playing ? GetSystemCursor(SystemCursor::No) : nullptr);
        mSysCursor = playing;
        return;
    }
    CursorHandle cursor = nullptr;
    if (mOverrideCursor)
    {
        cursor = mOverrideCursor;
    }
    else
    {
        switch (mCursorNum)
        {
        case 1:
            cursor = mHandCursor;
            break;
        case 2:
            cursor = mDraggingCursor;
            break;
        case 3:
            cursor = GetSystemCursor(SystemCursor::IBeam);
            break;
        case 4:
            cursor = GetSystemCursor(SystemCursor::No);
            break;
        case 5:
            cursor = GetSystemCursor(SystemCursor::SizeAll);
            break;
        case 6:
            cursor = GetSystemCursor(SystemCursor::SizeNESW);
            break;
        case 7:
            cursor = GetSystemCursor(SystemCursor::SizeNS);
            break;
        case 8:
            cursor = GetSystemCursor(SystemCursor::SizeNWSE);
            break;
        case 9:
            cursor = GetSystemCursor(SystemCursor::SizeWE);
            break;
        case 10:
            cursor = GetSystemCursor(SystemCursor::Wait);
            break;
        case 11:
        case 12:
            cursor = nullptr;
            break;
        default:
            cursor = GetSystemCursor(SystemCursor::Arrow);
            break;
        }
    }
    platform::SetCursor(cursor);
    if (mDDInterface->SetCursorImage(nullptr)) mForceDraw = true;
    mSysCursor = cursor != nullptr;
}

void KavoAppBase::SetCursor(int number)
{
    mCursorNum = number;
    UpdateCursor();
}

void KavoAppBase::EnableCustomCursors(bool on)
{
    mCustomCursorsEnabled = on;
    UpdateCursor();
}

// ---------------------------------------------------------------- clipboard

void KavoAppBase::CopyToClipboard(const std::string& text)
{
    if (mPlayingDemo && !mPlaybackDialogShown) return;
    platform::SetClipboardText(text);
}

std::string KavoAppBase::GetClipboard()
{
    std::string text;
    // A playback dialog pastes from the desktop, and the demo's records are left alone.
    if (mPlaybackDialogShown)
    {
        platform::GetClipboardText(text);
        return text;
    }
    if (!mPlayingDemo) platform::GetClipboardText(text);
    // A demo carries strings of at most 32,767 bytes; longer text is kept whole when no demo
    // is recorded or played, and cut to what a recording can carry otherwise.
    if (mRecordingDemo || mPlayingDemo)
    {
        if (text.size() > 32767) text.resize(32767);
        DemoSyncString(text);
    }
    return text;
}

} // namespace Kavo
