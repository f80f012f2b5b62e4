#pragma once

#include "app/DemoFile.h"
#include "app/DemoStream.h"
#include "app/ScreenSaverFilter.h"
#include "base/CriticalSection.h"
#include "base/Rect.h"
#include "display/DisplayHost.h"
#include "graphics/ImageRegistry.h"
#include "graphics/SharedImageHandle.h"
#include "media/ResourceHost.h"
#include "platform/system/Library.h"
#include "platform/window/Messages.h"
#include "platform/window/Window.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"
#include "widgets/DirtyRegion.h"
#include "widgets/WidgetAppServices.h"

#include <atomic>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace platform
{
class InstanceGuard;
class RegistryStore;
} // namespace platform

namespace ImageLib
{
class Image;
} // namespace ImageLib

namespace Kavo
{

class DDImage;
class DDInterface;
class Dialog;
class Image;
class MemoryImage;
class MusicInterface;
class PlaybackDialog;
class ResourceManager;
class SoundManager;
class Widget;
class WidgetManager;

// A window message kept for the main loop to replay (see ProcessDeferredMessages).
struct DeferredMessage
{
    platform::WindowId window = platform::kNoWindow;
    uint32_t message = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    uint32_t time = 0;
    int x = 0;
    int y = 0;
};

// The application object: one per process. It owns the main window, the display, the widget
// manager, the sound manager and music interface, the resource manager, the deferred message
// queue, the loading and cursor threads' state, the demo stream and the framework's text table,
// and it is the extension point through which the game customises start-up, loading, focus,
// dialogs and shut-down. Every subsystem reaches it through gKavoApp.
//
// Its work is spread over several source files by concern:
//   KavoAppBase.cpp          construction, text table, dialogs, message boxes, small services
//   KavoAppBaseStartup.cpp   Initialize, command line, main window and display set-up
//   KavoAppBaseLoop.cpp      main loop, frame pacing, drawing, shut-down
//   KavoAppBaseMessages.cpp  window procedure, deferred messages, focus, cursor, clipboard
//   KavoAppBaseServices.cpp  threads, images, resource manifest, screen modes, sound
//   KavoAppBaseRegistry.cpp  settings store operations and the framework's settings
//   KavoAppBaseDemo.cpp      demo recording and playback
class KavoAppBase : public ButtonListener,
                    public DialogListener,
                    public WidgetAppServices,
                    public ImageRegistry,
                    public ResourceHost,
                    public DisplayHost
{
public:
    KavoAppBase();
    ~KavoAppBase() override;
    KavoAppBase(const KavoAppBase&) = delete;
    KavoAppBase& operator=(const KavoAppBase&) = delete;

    // --- Main loop and pacing ---
    // Where a loop step is (mUpdateAppState): UpdateAppStep pumps the messages (kPumpMessages),
    // then ProcessFrame runs an update or draws or sleeps (kUpdateDue), runs the updated pass's
    // fractional updates (kUpdated) and, once it has drawn or slept, ends the pass (kPassDone),
    // after which the messages are pumped again.
    enum LoopPhase : int
    {
        kPumpMessages = 0,
        kUpdateDue = 1,
        kUpdated = 2,
        kPassDone = 3,
    };
    // One pass of pacing: updates as the elapsed time requires, then a draw or a sleep. False
    // only when it would have slept and allowSleep is false.
    virtual bool ProcessFrame(bool allowSleep);
    virtual void UpdateFrames();
    // One guarded update; true when UpdateFrames ran.
    virtual bool UpdateTick();
    virtual void UpdateFramesFractional(float fraction);
    virtual void CreateMainWindow();
    virtual void UpdateCursor();
    virtual void ReInitImages();
    virtual void DeleteNativeImageData();
    virtual void DeleteImageExtraBuffers();
    // Called on the main thread once the loading thread has finished.
    virtual void LoadingThreadCompleted() {}
    // Destroys the object; frees it when bit 0 of flags is set.
    virtual void DeletingDestructor(int flags);
    virtual MusicInterface* CreateMusicInterface(platform::WindowId window);
    virtual void InitCompletedHook() {}
    virtual void PreShutdown() {}
    virtual void MainLoopEnded() {}
    // The game's resource loading, run once on the loading thread.
    virtual void LoadingThreadProc() {}
    virtual void WriteSettingsToRegistry();
    virtual void ReadSettingsFromRegistry();
    virtual Dialog* NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                              const std::string& footer, int buttonMode);
    virtual void InitHook() {}
    virtual void BeginPopup();
    virtual void EndPopup();
    virtual int MsgBoxWide(const std::wstring& text, const std::wstring& title, int flags);
    virtual int MsgBox(const std::string& text, const std::string& title, int flags);
    virtual void PopupWide(const std::wstring& text);
    void Popup(const std::string& text) override;
    virtual void WriteErrorLog(const std::string& text);
    virtual void SafeDeleteWidget(Widget* widget);
    virtual void URLOpenFailed(const std::string& url);
    virtual void URLOpenSucceeded(const std::string& url);
    virtual bool OpenURL(const std::string& url, bool shutdownAfter = false);
    virtual std::string GetProductVersion(const std::string& path);
    virtual void CrashOccurred();
    virtual std::string GetCrashInfoText();
    virtual int ReservedHook1() { return 0; }
    virtual void Shutdown();
    virtual void ParseCommandLine();
    virtual void SplitCommandLine(const std::string& text);
    virtual void HandleCommandLineParam(const std::string& name, const std::string& value);
    virtual void HandleNotifyMessage(uint64_t wParam, int64_t lParam);
    virtual void HandleInstanceAlreadyRunning();
    virtual void RunMainLoop();
    virtual void Initialize();
    virtual void PreDisplayInitHook() {}
    virtual void PostDisplayInitHook() {}
    // True when the hook changed the working folder itself.
    virtual bool ChangeDirHook(const std::string& folder)
    {
        (void)folder;
        return false;
    }
    virtual void PlaySamplePanned(int soundId, int pan);
    virtual void PlaySample(int soundId);
    virtual double GetMasterVolume();
    virtual double GetMusicVolume();
    virtual double GetSfxVolume();
    virtual bool IsMuted();
    virtual void SetMasterVolume(double volume);
    virtual void SetMusicVolume(double volume);
    virtual void SetSfxVolume(double volume);
    virtual void Mute(bool automatic);
    virtual void Unmute(bool automatic);
    virtual double GetLoadingThreadProgress();
    // Loads an image file into a new display image (owned by the caller); null on failure.
    DDImage* GetImage(const std::string& path, bool commit = true) override;
    SharedImageHandle GetSharedImage(const std::string& name, const std::string& variant = "",
                                     bool* isNew = nullptr) override;
    virtual void SwitchScreenMode(bool windowed, bool is3D, bool force = false);
    virtual void SwitchScreenModeKeep3D(bool windowed);
    virtual void ReapplyScreenMode();
    virtual void SetDirectVideoDraw(bool on);
    virtual Dialog* DoDialog(int id, bool modal, const std::string& header, const std::string& lines,
                             const std::string& footer, int buttonMode);
    virtual Dialog* GetDialog(int id);
    virtual void AddDialog(Dialog* dialog);
    virtual void AddDialogWithId(int id, Dialog* dialog);
    virtual bool KillDialogPtr(Dialog* dialog);
    bool KillDialog(int id) override;
    virtual bool KillDialogEx(int id, bool removeWidget, bool deleteWidget);
    virtual int GetDialogCount();
    virtual void ModalOpen() {}
    virtual void ModalClose() {}
    virtual void GotFocus() {}
    virtual void LostFocus() {}
    virtual bool IsAltKeyUsed(uint64_t wParam);
    virtual bool DebugKeyDown(int key);
    // True when the game took the key (it is then not queued).
    virtual bool KeyDownHook(int key, bool ctrl, bool alt)
    {
        (void)key;
        (void)ctrl;
        (void)alt;
        return false;
    }
    virtual void CloseRequestAsked() {}
    virtual void ReservedHook2() {}
    virtual std::string GetCrashReportAttachment() { return std::string(); }
    // Extra name and value pairs the crash-report upload sends before its own fields.
    virtual void GetCrashReportFields(std::map<std::string, std::string>& fields) { (void)fields; }
    virtual bool ReservedHook3() { return false; }
    virtual bool DrawFrame();
    // Presents the screen image (rect: part of it, or null for all) and recovers a lost display.
    virtual void Redraw(const Rect* rect);
    // Presents only these parts of the screen image (they may overlap; none: only a software
    // cursor that moved), with the same recovery of a lost display.
    virtual void RedrawRects(const std::vector<Rect>& rects);
    virtual void PreInitHook() {}
    virtual void LoopUntilShutdown();
    virtual bool UpdateAppStep(bool* updated);
    // Steps until an update ran (true) or nested loops must end (false).
    virtual bool UpdateApp();
    virtual bool AppCanRestore();

    // --- Button and dialog listener parts ---
    // Dialog buttons 1000 and 1001 arrive as the application's ButtonPress of dialog id + 2000
    // and + 3000.
    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;

    // --- What the widgets ask of the application ---
    void SetCursor(int number) override;
    void CopyToClipboard(const std::string& text) override;
    std::string GetClipboard() override;
    bool AllowsHighCharacters() override { return mAllowHighCharacters; }
    bool UsesSystemCaret() override { return mUseSystemCaret; }
    void ShowSystemCaret() override {}
    void HideSystemCaret() override {}
    void SetSystemCaretPos(int x, int y) override
    {
        (void)x;
        (void)y;
    }
    int GetScreenWidth() override { return mWidth; }
    int GetScreenHeight() override { return mHeight; }
    bool Is3DAccelerated() override;
    Font* CreateSysFont(const std::string& face, int pointSize, bool bold) override;
    bool BeginScreenDraw(Image* screenImage) override;
    void EndScreenDraw(Image* screenImage) override;
    DialogListener* GetDialogListener() override { return this; }
    bool UpdateAppStep() override;

    // --- What software images ask of the application ---
    void AddMemoryImage(MemoryImage* image) override;
    void RemoveMemoryImage(MemoryImage* image) override;
    void RemoveImageFromDisplay(MemoryImage* image) override;
    const NativeDisplay* GetNativeDisplay() override;
    bool CopyTexturesToBits(MemoryImage* image) override;
    void SetSharedImageCleanupNeeded() override { mCleanSharedImages = true; }

    // --- What the display asks of the application ---
    bool WantsVerticalSync() override { return mWaitForVSync; }
    void SetUnusualRefreshRate(bool unusual) override { mUnusualRefreshRate = unusual; }
    DisplaySettings GetDisplaySettings() override;
    void SetScreenRect(const Rect& rect) override { mScreenRect = rect; }
    ImageRegistry* GetImageRegistry() override { return this; }
    bool ReadTest3DValue(const std::string& name, uint32_t& type, std::string& data) override;
    bool WriteTest3DValue(const std::string& name, uint32_t type, const std::string& data) override;
    void BeginTest3DWrites() override { BeginSettingsGroup(); }
    void EndTest3DWrites() override { EndSettingsGroup(); }

    // --- Text table ---
    // The stored text of id, or the default when id was never stored.
    std::string GetString(const std::string& id, const std::string& defaultText);
    void SetString(const std::string& id, const std::wstring& text);

    // --- Settings store (a key path below "SOFTWARE\" + the registry key) ---
    bool RegistryWrite(const std::string& name, uint32_t type, const uint8_t* data, uint32_t length);
    bool RegistryWriteString(const std::string& name, const std::string& value);
    bool RegistryWriteInteger(const std::string& name, int value);
    bool RegistryWriteBoolean(const std::string& name, bool value);
    // length: the buffer's size in, the value's size out. Never copies more than the buffer holds.
    bool RegistryRead(const std::string& name, uint32_t* type, uint8_t* data, uint32_t* length);
    bool RegistryReadString(const std::string& name, std::string* value);
    bool RegistryReadInteger(const std::string& name, int* value);
    bool RegistryReadBoolean(const std::string& name, bool* value);
    bool RegistryEraseKey(const std::string& keyName);
    void RegistryEraseValue(const std::string& name);
    bool RegistryGetSubKeys(const std::string& keyName, std::vector<std::string>* names);
    bool RegistryGetValues(const std::string& keyName, std::vector<std::string>* names);
    // Tests install an in-memory store; by default the store is a file per registry key.
    void SetRegistryStore(platform::RegistryStore* store) { mInstalledStore = store; }
    platform::RegistryStore* GetRegistryStore();
    // The writes and erasures between Begin and the matching End reach the settings file as one
    // rewrite at the outermost End (app/SettingsWriteGroup.h holds one for a scope). End: false
    // when that rewrite failed (the file then holds what it held before the group).
    void BeginSettingsGroup();
    bool EndSettingsGroup();

    // What went wrong with the settings file that the player has not yet been told on screen
    // (both also go to stderr and "ScrError.txt" when found), each set once a run; whoever tells
    // the player clears it. The place the damaged file read at start-up was kept (the store
    // started empty), and the settings file that could not be written (what the run changes is
    // not saved).
    std::string mUntoldDamagedSettings;
    std::string mUntoldUnwritableSettings;

    // --- Demo recording and playback ---
    bool ReadDemoFile(std::string* error);
    void WriteDemoFile();
    void WriteDemoEventHeader();
    bool ReadDemoEventHeader();
    void PlayDemoEvents();
    void DemoSyncBuffer(Buffer& value);
    void DemoSyncString(std::string& value) override;
    void DemoSyncBool(bool& value) override;
    // The display-mode record a recording starts with (start-up reads it back when playing).
    void WriteDisplayModeEvent();
    bool ReadDisplayModeEvent();

    // --- Start-up helpers ---
    int InitDisplay();
    void Set3DAcceleration(bool on, bool reinit);
    void UpdateRefreshRate();
    int GetLastDemoNumber(int keep, bool deleteOld);
    // "-crash": a write through a null pointer, reported by the crash handler as any fault is.
    __attribute__((noinline, no_sanitize("null"))) void CrashOnPurpose();
    // The command line without the program name (set by the main routine; tests set it too).
    void SetCommandLine(const std::string& arguments) { mCommandLine = arguments; }

    // --- Loop helpers ---
    void ProcessSafeDeleteList();
    void ResetFrameTiming();
    void RestoreDisplayMode();
    // Ends the process with the exit code. Tests install an exit handler that throws instead.
    [[noreturn]] void ExitProgram(int code);
    void WaitForLoadingThread();
    void StartLoadingThread();
    void StartCursorThread();
    // One turn of the cursor thread with the mouse at (x, y): once a frame has been drawn, a
    // position other than the drawn one goes to the display, drawn at once when the next frame
    // is not due soon, else kept for that frame. True when the display has it drawn, so the
    // thread may rest until the mouse moves again.
    bool MoveSoftwareCursor(int x, int y);
    // Wakes the cursor thread when the mouse (or the demo's recorded mouse) stands elsewhere
    // than when it was last woken, and at shut-down. Main thread.
    void WakeCursorThread(bool always = false);

    // --- Messages and focus ---
    // The window procedure of the main and invisible windows.
    int64_t WindowProc(const platform::Message& message);
    // Replays the oldest deferred message; true while more remain.
    bool ProcessDeferredMessages();
    void UpdateFocusState();
    void ClearKeysDown();
    void EnableCustomCursors(bool on);

    // --- Resource manifest ---
    // Reads "properties\resources.xml" into the resource manager; on failure shows its error
    // and ends the program.
    void LoadResourceManifest();
    // Shows the resource manager's error text in an error box; with exit the program then ends
    // (exit code 0).
    void ShowResourceError(bool exit);

    // --- Images and screen ---
    bool Is3DAccelerationSupported();
    bool Is3DAccelerationRecommended();
    void CleanSharedImages();
    DDImage* CopyImageRect(const Rect& rect, Image* image);
    DDImage* CopyImage(Image* image);

    // --- Screenshots and the image dump (F11 and Shift+F11 among the debug keys) ---
    // Writes the screen as "image<n>.png" in "_screenshots" below the per-user data folder, n one
    // above the highest number there; nothing without a display or its screen image.
    void TakeScreenshot();
    // Makes "_dump" below the per-user data folder afresh and writes "imagelist.html" into it:
    // every live image with its memory figures, largest first, each with a 64 x 64 thumbnail
    // ("thumb%04d.jpg") and a full copy ("img%04d.png"). A folder that cannot be made is given up
    // after a second, with a line in "ScrError.txt".
    void DumpImageList();
    // The screen as the display shows it, opaque, read back whichever way it was drawn; false
    // without a display or its screen image, or when its pixels cannot be read.
    bool ReadScreenImage(ImageLib::Image& image);

    // --- Demo playback controls (characters typed while a demo plays) ---
    // "+" and "-" speed up and slow down by 1.5 times, "=" plays at the recorded speed; "P"
    // pauses and goes on; "N" runs one update; "M" runs on to the end; "L" shows the marker
    // list, "J" the jump to a time; "S" silences and restores the sound; "0" jumps to the end,
    // "4" to "9" to 120, 90, 60, 30, 10 and 5 seconds before it. Letters in either case; any other
    // character does nothing.
    void DemoPlaybackKey(char c);
    // The "Marker List" dialog: the markers ahead, each with its time before the end; a double
    // click jumps to one. Returns the dialog's result (PlaybackDialog::RESULT_OK when a marker
    // was chosen, RESULT_CANCEL when it was closed).
    int ShowMarkerList();
    // The marker list's lines: each marker after the current update, in order, as its name and
    // its time before the end, "name (hh:mm:ss)", with its update count.
    std::vector<DemoMarker> GetMarkerListLines();
    // The "Jump To Time" dialog: "Ok" jumps to the typed time before the end (and keeps the text
    // as "DemoJumpTime" for the next time). Returns RESULT_OK or RESULT_CANCEL.
    int ShowJumpToTime();
    // Silences music and sound effects, or gives them back the volumes they had.
    void ToggleDemoSound();
    // The update count that many milliseconds before the end of the demo played.
    int UpdatesBeforeEnd(int64_t milliseconds);

    // ======== State (the other subsystems read these fields too) ========

    uint32_t mRandSeed = 0;
    std::string mBoxTitlePrefix;
    std::string mCompanyName;
    std::string mProductName = "Product";
    std::string mTitle = "KavoApp";
    std::string mRegKey;
    std::string mProgramFolder;
    int mPreferredX = -1;
    int mPreferredY = -1;
    int mWidth = 640;
    int mHeight = 480;
    // Bits per pixel of the full-screen display mode: 0 takes the desktop's (32 where it offers
    // them, else 16).
    int mFullscreenBits = 0;
    double mMusicVolume = 0.85;
    double mSfxVolume = 0.85;
    double mDemoMusicVolume = 0.0;
    double mDemoSfxVolume = 0.0;
    bool mNoSoundNeeded = false;
    bool mWantFMod = false;
    bool mAllowHighCharacters = false;
    bool mUseSystemCaret = false;
    bool mCmdLineParsed = false;
    bool mOnlyAllowOneCopyToRun = true;
    uint32_t mNotifyMessage = 0;
    std::unique_ptr<platform::InstanceGuard> mInstanceGuard;
    WidgetManager* mWidgetManager = nullptr;
    uint32_t mPrimaryThreadId = 0; // 0 until Initialize; the main thread is mMainThread
    std::thread::id mMainThread;
    bool mInitialized = false;
    std::atomic<bool> mShutdown{false};
    bool mExitToTop = false; // leave nested loops
    bool mIsWindowed = false;
    bool mIsPhysWindowed = false;
    bool mFullScreenWindow = false; // the desktop mode was changed by the program (never here)
    bool mWindowedNotAllowed = false;
    bool mForceFullscreen = false;
    bool mWindowedRefusedForColorDepth = false;
    bool mFullScreenFailed = false;
    bool mAllowMaximize = false;
    platform::WindowId mHWnd = platform::kNoWindow;
    platform::WindowId mInvisHWnd = platform::kNoWindow;
    DDInterface* mDDInterface = nullptr;
    bool mDirectVideoDraw = false;
    MusicInterface* mMusicInterface = nullptr;
    ResourceManager* mResourceManager = nullptr;
    bool mReadFromRegistry = false;
    std::string mProductVersion;
    bool mIsOpeningURL = false;
    bool mShutdownOnURLOpen = false;
    std::string mOpeningURL;
    uint32_t mOpeningURLTime = 0;
    MemoryImage* mCursorImages[13] = {};
    platform::CursorHandle mOverrideCursor = nullptr;
    int mMuteCount = 0;
    int mAutoMuteCount = 0;
    bool mMuteOnLostFocus = true;
    bool mMutedForDemoJump = false;
    bool mCleanSharedImages = false;
    std::map<std::pair<std::string, std::string>, SharedImage> mSharedImageMap;
    std::vector<MemoryImage*> mMemoryImages; // the live software images (display lock)

    // Pacing (see KavoAppBaseLoop.cpp).
    int mNonDrawCount = 0;
    int mFrameTime = 10;
    int mSleepCount = 0;
    std::atomic<int> mDrawCount{0}; // read by the cursor thread
    int mUpdateCount = 0;
    LoopPhase mUpdateAppState = kPumpMessages;
    int mUpdateAppDepth = 0;
    double mUpdateMultiplier = 1.0;
    double mPendingUpdatesAcc = 0.0;
    double mUpdateFTimeAcc = 0.0;
    uint32_t mLastTimeCheck = 0;
    bool mTimeCheckStarted = false;
    int mDiscardTimeMs = 0;
    bool mPaused = false;
    uint32_t mLastTimerTime = 0;
    uint32_t mLastBigDelayTime = 0; // timer streak start
    uint32_t mLastUserInputTick = 0;
    uint32_t mLastDrawTick = 0;             // last present start
    std::atomic<uint32_t> mNextDrawTick{0}; // next draw allowed (read by the cursor thread)
    uint32_t mStartTick = 0;
    bool mHasPendingDraw = false;    // updated since the last draw
    bool mLastDrawWasEmpty = false;  // the last draw was skipped
    int mUnchangedDraws = 0;         // draws in a row whose screen did not change
    uint32_t mLastInputSeenTick = 0; // when the loop last handled the player's input (NoteUserInput)
    bool mDrawing = false;
    bool mForceDraw = false;
    int mDrawTime = 0;
    int mScreenBltTime = 0;
    int mFPSCount = 0;
    int mFPSTime = 0;
    int mChangedUpdateCount = 0;
    bool mShowFPS = false;
    int mShowFPSMode = 0;
    bool mDebugKeysEnabled = false;
    bool mCloseRequest = false;
    std::atomic<bool> mStopRequested{false};
    bool mInMainLoop = false;
    bool mActive = true;
    bool mMinimized = false;
    bool mPhysMinimized = false;
    bool mHasFocus = true;
    bool mIsDisabled = false;
    bool mMouseIn = false;
    bool mCtrlDown = false;
    bool mAltDown = false;
    bool mCustomCursorsEnabled = false;
    bool mSysCursor = true;
    int mCursorNum = 0;
    platform::CursorHandle mHandCursor = nullptr;
    platform::CursorHandle mDraggingCursor = nullptr;
    bool mCrashed = false;
    bool mScreensaverMode = false;
    ScreenSaverFilter mScreenSaverFilter; // asked first about every message in screensaver mode
    bool mMonitorPowerNoted = false;      // a monitor-power command came, at mMonitorPowerTick
    uint32_t mMonitorPowerTick = 0;
    bool mPopupShown = false;
    bool mPlaybackDialogShown = false; // input, cursor and clipboard are live while it is shown

    // Vertical sync pacing.
    bool mWaitForVSync = false;
    bool mVSyncUpdates = false;
    int mRefreshRate = 100;
    bool mVSyncBroken = false;
    int mVSyncBrokenCount = 0;
    uint32_t mVSyncBrokenTestStartTick = 0;
    int mVSyncBrokenTestUpdates = 0;
    bool mUnusualRefreshRate = false;
    bool mSoftVSyncWait = true;

    // Loading and cursor threads.
    bool mLoadingThreadEnabled = true;
    std::atomic<bool> mLoadingThreadStarted{false};
    std::atomic<bool> mLoadingThreadCompleted{false};
    bool mLoadingHandedOver = false;
    bool mLoadingThrottle = false;
    std::atomic<int> mNumLoadingThreadTasks{0};
    std::atomic<int> mCompletedLoadingThreadTasks{0};
    std::atomic<bool> mCursorThreadRunning{false};
    std::atomic<uint32_t> mCursorWakeCount{0}; // the cursor thread waits for it to change
    int mCursorWakeX = -1, mCursorWakeY = -1;  // the mouse when the cursor thread was woken last
    bool mNotificationPolled = false;          // whether a second start's knock was looked for
    uint32_t mNotificationPollTick = 0;        // and when, last
    std::thread mLoadingThread;
    std::thread mCursorThread;

    bool m3DSwitchedThisRun = false;
    // The 3D wish and how it is decided: by the player's stored choice ("Is3D"), or, without one,
    // by the 3D test.
    bool mWant3D = false;
    bool mAutoTest3D = true;
    int mMinVidMemory = 6; // megabytes
    int mRecVidMemory = 14;
    bool mFlipInFullScreen = true; // cleared on a remote desktop
    // The desktop is reached over the network (platform::DesktopIsRemote), set by the
    // constructor. Nothing else reads it yet: the edit field has no use of it on this desktop.
    bool mRemoteDesktop = false;
    bool mStretchToAspect = false;
    bool mAspectHack = false;
    int mAspectHackNumerator = 4;
    int mAspectHackDenominator = 3;
    Rect mScreenRect; // where the screen image lands (written by the display)
    int mScreenOffsetX = 0;
    int mScreenOffsetY = 0;
    int mScreenWidth = 0;
    int mScreenHeight = 0;

    // Demo state.
    bool mRecordingDemo = false;
    bool mPlayingDemo = false;
    bool mDemoCloseHandled = false; // the demo readers read nothing once set
    std::string mDemoPrefix = "kavoapp";
    std::string mDemoFileName = "kavoapp.dmo";
    DemoStream mDemo;
    int mDemoLength = 0;             // final update count of the demo played
    std::atomic<int> mDemoMouseX{0}; // last recorded or replayed mouse position (cursor thread)
    std::atomic<int> mDemoMouseY{0};
    bool mDemoLoadingHandedOver = false; // the demo's hand-over event was replayed
    int mDemoJumpTarget = 0;             // playback runs without drawing up to this update
    bool mDemoRunToEnd = false;
    bool mDemoSingleStep = false;
    std::vector<DemoMarker> mDemoMarkers;

    std::map<std::string, std::wstring> mStringProperties;
    std::map<int, Dialog*> mDialogMap;
    std::list<Dialog*> mDialogList;
    std::deque<DeferredMessage> mDeferredMessages;
    std::list<std::pair<int, Widget*>> mSafeDeleteList;
    CriticalSection mCritSect;

    // Process-wide flags of the loop.
    static bool sIdleSuspended;
    static bool sRecoveringDisplay;
    static int sDrawNesting;

protected:
    std::string mCommandLine;
    // The word SplitCommandLine hands to HandleCommandLineParam, as written (quotes aside).
    std::string mCommandLineWord;

private:
    void AccumulateElapsedTime();
    void CheckIdleSuspend();
    // Begins or ends the rest (sIdleSuspended); an end draws everything anew.
    void SetIdleSuspended(bool suspended);
    // The debug overlays: frames per second or the mouse position, and the demo time left.
    void UpdateOverlays();
    // Draws them over the screen image; mOverlayRects gets where.
    void DrawOverlays();
    void CatchUpUpdate(float fraction);

    // The steps of ProcessFrame's pass.
    struct FramePacing
    {
        bool vsyncTimed = false; // updates paced by the refresh of a present that waits for it
        double frameMs = 10.0;   // the time of one update
        float fraction = 1.0f;   // of an update a frame of the refresh is
    };
    FramePacing CurrentPacing() const;
    // Runs a played demo's updates up to the jump target, drawing once a second: the pass's
    // result when it ends there, nothing when the target is reached and the pass goes on.
    std::optional<bool> FastForwardDemo(const FramePacing& pacing, bool allowSleep);
    void EndDemoFastForward();
    // Runs an update when one is due (true: none ran, draw or sleep instead).
    bool UpdateOrDraw(const FramePacing& pacing, uint32_t now);
    // Counts the updates of a second to find a vertical sync that does not hold the loop back.
    void CountUpdatesForVSyncTest(uint32_t now);
    // The updated pass's fractional updates; the time they stand for is spent.
    void FinishUpdates(const FramePacing& pacing);
    // Draws what was updated, or sleeps until the next update is due (slept: for how long).
    // False when it would sleep and allowSleep is false.
    bool DrawOrSleep(const FramePacing& pacing, bool allowSleep, uint32_t& slept);
    // While the loading thread works, sleeps twice what the pass used. False when it would sleep
    // and allowSleep is false.
    bool LeaveTimeForLoading(uint32_t passStart, uint32_t slept, bool allowSleep);
    bool StillScreen(bool vsyncTimed) const;
    void RunDueUpdates(double frameMs, float fraction, int most);
    // The extra updates a fraction above 1 adds up to, then the fractional update.
    void RunFractionUpdates(float fraction, bool countAsNonDraw);
    void RecordDeferredMessage(const DeferredMessage& message);
    // A key, character or mouse message of the player's: stamped with the last timer's time (the
    // desktop-idle check's) and with the time the loop saw it (the loop's stillness).
    void NoteUserInput();
    // The windowed flag and refresh rate of a display-mode record.
    void ReadDisplayModePayload();
    void CheckMouseInWindow();
    // Runs a playback dialog modally over the stopped playback (see the .cpp); its result.
    int RunPlaybackDialog(PlaybackDialog& dialog);
    // Hands a mouse or keyboard message straight to a widget manager; false for other messages.
    bool SendLiveInput(WidgetManager& manager, const platform::Message& message);
    // Tells the player why the display could not be made (a result of DDInterface::Init) and ends
    // the program.
    [[noreturn]] void ExitForDisplayFailure(int result);
    // The desktop's screen saver may start only in a window, once loading has been handed over,
    // and never while the program runs as a screen saver itself.
    void UpdateScreenSaverPermission();
    // The widgets draw into the display's current screen image from now on, all of it anew.
    void AttachScreenImage();
    void LoadingThreadMain();
    void CursorThreadMain();
    // Where the cursor thread draws the cursor: the mouse, or the demo's recorded mouse.
    void CursorThreadPosition(int& x, int& y);
    std::string RegistryKeyPath(const std::string& name, std::string* valueName, bool keyOperation);
    // A player's data that could not be written is reported once a run, on stderr and in
    // "ScrError.txt"; the program goes on.
    void ReportLostWriteOnce(bool& reported, const std::string& text);
    void NoteSettingsWriteFailure(platform::RegistryStore* store);
    bool DemoReadsSettings();
    // Playback of a settings operation: takes the next record whatever its type, and its result.
    bool ReplayResult();
    bool RecordResult(int type, bool result);
    bool RegistryGetList(const std::string& keyName, std::vector<std::string>* names, bool subKeys);
    void RecordStringList(int type, bool result, const std::vector<std::string>& names);
    // The display's lock, held for the caller's scope; before there is a display nothing is held.
    std::unique_lock<CriticalSection> LockDisplay();

    platform::LibraryHandle mDDrawLib = nullptr;
    platform::LibraryHandle mDSoundLib = nullptr;
    platform::LibraryHandle mVersionLib = nullptr;
    platform::RegistryStore* mInstalledStore = nullptr;
    bool mSettingsWriteReported = false;
    bool mDemoWriteReported = false;
    std::unique_ptr<platform::RegistryStore> mFileStore;
    std::string mFileStoreKey;
    int mSettingsGroups = 0;                        // open settings groups
    platform::RegistryStore* mGroupStore = nullptr; // the store the open groups batch
    SoundManager* mSoundManager = nullptr;
    uint32_t mLastIdleCheck = 0;
    // The desktop's screen saver as last read (every 10 s): on, and the idleness that suspends.
    bool mScreenSaverRead = false;
    uint32_t mScreenSaverReadTime = 0;
    bool mScreenSaverActive = false;
    uint32_t mIdleLimitMs = 0;
    uint32_t mLastRecoverAttempt = 0;
    uint32_t mCatchUpStamp = 0;
    bool mCatchUpStampTaken = false;
    Font* mOverlayFont = nullptr;
    DDImage* mFPSImage = nullptr;
    DDImage* mDemoTimeImage = nullptr;
    std::vector<Rect> mOverlayRects; // where the overlays were last drawn, in screen-image coordinates
    DirtyRegion mUnpresentedRects;   // drawn in the screen image since the last present
    int mFPSCalls = 0;
    bool mFPSRestart = true;

public:
    SoundManager* GetSoundManager() override { return mSoundManager; }
    // How ExitProgram ends the process; tests replace it.
    static void (*sExitHandler)(int code);
};

// The application object of the process (null before it is made and after it is destroyed).
extern KavoAppBase* gKavoApp;
// The same object for the crash handler, set at the end of the constructor and cleared when the
// object is destroyed. Atomic: the crash report reads it on the crash watcher thread.
extern std::atomic<KavoAppBase*> gKavoAppForCrash;

} // namespace Kavo
