// Start-up: Initialize, the command line, the main window and the display.
#include "app/KavoAppBase.h"

#include "base/CheckedConversions.h"
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PathUtils.h"
#include "base/Random.h"
#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "media/DSoundManager.h"
#include "media/MusicInterface.h"
#include "platform/fault/CrashSignals.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/Files.h"
#include "platform/system/Clock.h"
#include "platform/system/Instance.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace Kavo
{

namespace
{

// A demo file name counts as relative unless it has a drive ("C:") or starts at a root.
bool IsRelativePath(const std::string& path)
{
    if (path.size() < 2) return true;
    if (IsPathSeparator(path[0])) return false;
    return path[1] != ':' && !(path.size() > 2 && path[2] == '\\');
}

// The two built-in cursors, 32 x 32 monochrome masks drawn from text: '#' black, '.' white,
// ' ' transparent. Both show the same hand: pointing, or with the fingers bent to grab.
const char* const kPointingFingers[9] = {
    "           ..                   ", "          .##.                  ",
    "          .##.                  ", "          .##.                  ",
    "          .##.                  ", "          .##...                ",
    "          .##.##...             ", "          .##.##.##..           ",
    "          .##.##.##.##.         ",
};
const char* const kGrabbingFingers[9] = {
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "           .. .. ..             ", "          .##.##.##.            ",
    "          .##.##.##..           ",
};
const char* const kPalm[23] = {
    "       .. .##.##.##.##.         ", "      .##..##########.##.       ",
    "      .###.#############.       ", "       .##################.     ",
    "        .#################.     ", "        .################.      ",
    "         .###############.      ", "         .##############.       ",
    "          .#############.       ", "          .############.        ",
    "           .###########.        ", "           .###########.        ",
    "            ...........         ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ",
};

platform::CursorHandle MakeCursor(const char* const fingers[9], int hotX, int hotY)
{
    uint8_t andMask[128], xorMask[128];
    for (int y = 0; y < 32; ++y)
    {
        const char* row = y < 9 ? fingers[y] : kPalm[y - 9];
        for (int b = 0; b < 4; ++b)
        {
            uint8_t a = 0, x = 0;
            for (int bit = 0; bit < 8; ++bit)
            {
                char c = row[b * 8 + bit];
                uint8_t mask = uint8_t(0x80 >> bit);
                if (c == ' ') a |= mask;
                if (c == '.') x |= mask;
            }
            andMask[y * 4 + b] = a;
            xorMask[y * 4 + b] = x;
        }
    }
    return platform::CreateMaskCursor(andMask, xorMask, 32, 32, hotX, hotY);
}

// The program's icon: four pieces, 32 x 32 pixels, each colour lit along its top and left edges
// and shaded along the others.
const uint32_t* ProgramIcon()
{
    static const std::vector<uint32_t> icon = []
    {
        const uint32_t colours[4] = {0xD83A3A, 0x3A8ED8, 0x3AB84A, 0xE8C23A};
        std::vector<uint32_t> pixels(32 * 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
            {
                int u = x % 16, v = y % 16;
                uint32_t c = colours[(y / 16) * 2 + x / 16];
                if (u == 0 || v == 0 || u == 15 || v == 15)
                    c = 0x202020;
                else if (u == 1 || v == 1)
                    c |= 0x404040;
                else if (u == 14 || v == 14)
                    c = (c >> 1) & 0x7F7F7F;
                pixels[size_t(y * 32 + x)] = 0xFF000000 | c;
            }
        return pixels;
    }();
    return icon.data();
}

} // namespace

void KavoAppBase::Initialize()
{
    mMainThread = std::this_thread::get_id();
    mPrimaryThreadId = platform::CurrentThreadId();
    if (mShutdown) return;

    if (!mDDrawLib || !mDSoundLib)
    {
        platform::MessageBox(GetString("APP_REQUIRES_DIRECTX",
                                       "This application requires DirectX to run.  You can get DirectX at "
                                       "https://www.microsoft.com/directx"),
                             GetString("YOU_NEED_DIRECTX", "You need DirectX"), platform::MB_ICONERROR);
        ExitProgram(0);
    }

    PreInitHook();
    ReadSettingsFromRegistry();

    // Per-user data lives in the data folder, below the company and the product.
    std::string dataFolder = RemoveTrailingSlash(platform::DataFolder());
    SetAppDataFolder(dataFolder + "/" + mCompanyName + "/" + mProductName + "/");
    if (IsRelativePath(mDemoFileName)) mDemoFileName = GetAppDataFolder() + mDemoFileName;

    if (!mCmdLineParsed) ParseCommandLine();
    if (mScreensaverMode) mOnlyAllowOneCopyToRun = false;

    if (!ChangeDirHook(mProgramFolder)) platform::SetCurrentFolder(mProgramFolder);
    GetProcessPakInterface().LoadPakIndex("main.pak");

    mNotifyMessage = platform::RegisterWindowMessage(mProductName + "Notify");
    // Every run takes the guard, also one that allows other copies (the screensaver): a later
    // start that allows only one copy then gives way to it.
    mInstanceGuard = std::make_unique<platform::InstanceGuard>(mProductName + "Mutex");
    if (!mInstanceGuard->Acquire()) HandleInstanceAlreadyRunning();

    mRandSeed = platform::Clock::Get().Ticks();
    SRand(mRandSeed);

    if (mPlayingDemo)
    {
        std::string error;
        if (!ReadDemoFile(&error))
        {
            mPlayingDemo = false;
            Popup(error);
            ExitProgram(0);
        }
    }

    // The desktop layer; without a display the main window cannot be made and the display's
    // initialisation reports it.
    std::string videoError;
    platform::InitVideo(videoError);
    mInvisHWnd = platform::kInvisibleWindow;
    mHandCursor = MakeCursor(kPointingFingers, 11, 4);
    mDraggingCursor = MakeCursor(kGrabbingFingers, 15, 10);

    InitHook();
    mWidgetManager->Resize(Rect(0, 0, mWidth, mHeight), Rect(0, 0, mWidth, mHeight));

    int desktopWidth = 0, desktopHeight = 0;
    platform::GetDesktopSize(desktopWidth, desktopHeight);
    if (mIsWindowed && platform::VideoAvailable() && (desktopWidth <= mWidth || desktopHeight <= mHeight))
    {
        mIsWindowed = false;
        mWindowedNotAllowed = true;
    }

    CreateMainWindow();

    if (mPlayingDemo) ReadDisplayModeEvent();

    if (!mSoundManager)
    {
        // A sound buffer that cannot be duplicated ends the program as any fatal failure does.
        DSoundManager::sExitHandler = [](int code) { gKavoApp->ExitProgram(code); };
        mSoundManager = new DSoundManager(mNoSoundNeeded ? platform::kNoWindow : mHWnd, mWantFMod);
    }
    SetSfxVolume(mSfxVolume);
    mMusicInterface = CreateMusicInterface(mInvisHWnd);
    SetMusicVolume(mMusicVolume);

    if (mScreensaverMode) SetCursor(11);

    InitCompletedHook();
    mInitialized = true;
}

// ---------------------------------------------------------------- command line

void KavoAppBase::ParseCommandLine()
{
    mCmdLineParsed = true;
    SplitCommandLine(mCommandLine);
}

void KavoAppBase::SplitCommandLine(const std::string& text)
{
    std::string name, value;
    bool inValue = false, quoted = false;
    auto endWord = [&]
    {
        if (!name.empty())
        {
            mCommandLineWord = inValue ? name + "=" + value : name;
            HandleCommandLineParam(name, value);
            mCommandLineWord.clear();
        }
        name.clear();
        value.clear();
        inValue = false;
    };
    for (char c : text)
    {
        if (c == '"')
        {
            if (quoted) endWord();
            quoted = !quoted;
        }
        else if (c == ' ' && !quoted)
        {
            endWord();
        }
        else if (c == '=' && !inValue)
        {
            inValue = true;
        }
        else
        {
            (inValue ? value : name).push_back(c);
        }
    }
    endWord();
}

void KavoAppBase::HandleCommandLineParam(const std::string& name, const std::string& value)
{
    bool demoNameSet = true;
    if (name == "-play")
    {
        mPlayingDemo = true;
        mRecordingDemo = false;
        demoNameSet = false;
    }
    else if (name == "-recnum")
    {
        int keep = 0;
        if (!StringToInt(value, keep) || keep < 1) keep = 5;
        int64_t last = GetLastDemoNumber(keep, true); // the next after the int range is still a name
        mDemoFileName = mDemoPrefix + std::to_string(last + 1) + ".dmo";
        mRecordingDemo = true;
        mPlayingDemo = false;
    }
    else if (name == "-playnum")
    {
        int k = 0;
        StringToInt(value, k);
        k = std::max(k, 1) - 1;
        int last = GetLastDemoNumber(k, false);
        mDemoFileName = mDemoPrefix + StrFormat("%d.dmo", last - k);
        mPlayingDemo = true;
        mRecordingDemo = false;
    }
    else if (name == "-record")
    {
        mRecordingDemo = true;
        mPlayingDemo = false;
    }
    else if (name == "-demofile")
    {
        mDemoFileName = value;
    }
    else if (name == "-crash")
    {
        CrashOnPurpose();
    }
    else if (name == "-screensaver")
    {
        mScreensaverMode = true;
        demoNameSet = false;
    }
    else if (name == "-changedir")
    {
        mProgramFolder = value;
        demoNameSet = false;
    }
    else
    {
        // The parameter as written: "-x=" keeps its "=".
        std::string parameter = !mCommandLineWord.empty() ? mCommandLineWord
                                : value.empty()           ? name
                                                          : name + "=" + value;
        Popup(GetString("INVALID_COMMANDLINE_PARAM", "Invalid command line parameter: ") + parameter);
        ExitProgram(0);
    }
    if (demoNameSet && IsRelativePath(mDemoFileName)) mDemoFileName = GetAppDataFolder() + mDemoFileName;
}

void KavoAppBase::CrashOnPurpose()
{
    volatile int* volatile nowhere = nullptr;
    *nowhere = 0;
}

int KavoAppBase::GetLastDemoNumber(int keep, bool deleteOld)
{
    std::string folder = GetFileDir(mDemoPrefix);
    std::string stem = mDemoPrefix.substr(folder.empty() ? 0 : folder.size() + 1);
    std::string searchFolder = folder.empty() ? GetAppDataFolder() : AddTrailingSlash(folder);
    std::vector<int> numbers;
    for (const platform::FileEntry& entry : platform::FindFiles(searchFolder + stem + "*.dmo"))
    {
        const std::string& n = entry.name;
        if (n.size() <= stem.size() + 4 ||
            !platform::EqualIgnoringCase(std::string_view(n).substr(0, stem.size()), stem))
            continue;
        std::string digits = n.substr(stem.size(), n.size() - stem.size() - 4);
        int number = 0;
        if (!digits.empty() && std::all_of(digits.begin(), digits.end(), ::isdigit) &&
            StringToInt(digits, number))
            numbers.push_back(number);
    }
    if (numbers.empty()) return 0;
    std::sort(numbers.begin(), numbers.end());
    if (deleteOld && int(numbers.size()) > keep - 1)
        platform::RemoveFile(searchFolder + stem + StrFormat("%d.dmo", numbers.front()));
    return numbers.back();
}

void KavoAppBase::HandleInstanceAlreadyRunning()
{
    if (!mOnlyAllowOneCopyToRun) return;
    if (mInstanceGuard) mInstanceGuard->NotifyFirst();
    ExitProgram(0);
}

// ---------------------------------------------------------------- main window and display

void KavoAppBase::CreateMainWindow()
{
    if (platform::MainWindowExists())
    {
        platform::DestroyMainWindow();
        mWidgetManager->mScreenImage = nullptr;
    }

    platform::WindowOptions options;
    options.title = mTitle;
    options.clientWidth = mWidth;
    options.clientHeight = mHeight;
    bool fullscreen = !mPlayingDemo && !mIsWindowed;
    options.fullscreen = fullscreen;
    options.maximizable = mAllowMaximize; // maximising means full screen
    options.iconPixels = ProgramIcon();
    options.iconWidth = options.iconHeight = 32;
    if (!fullscreen)
    {
        int workX = 0, workY = 0, workW = 0, workH = 0;
        platform::GetWorkArea(workX, workY, workW, workH);
        int left = 0, top = 0, right = 0, bottom = 0;
        platform::GetWindowBorders(left, top, right, bottom);
        int windowW = mWidth + left + right, windowH = mHeight + top + bottom;
        options.placed = true;
        if (mPreferredX != -1)
        {
            // In 64 bits: a stored position near the end of the range must still be pulled back.
            int64_t x = std::max<int64_t>(mPreferredX, int64_t(workX) + 4);
            int64_t y = std::max<int64_t>(mPreferredY, int64_t(workY) + 4);
            if (x + windowW >= int64_t(workX) + workW - 4) x = int64_t(workX) + workW - 4 - windowW - 1;
            if (y + windowH >= int64_t(workY) + workH - 4) y = int64_t(workY) + workH - 4 - windowH - 1;
            options.x = ClampToInt(x + left);
            options.y = ClampToInt(y + top);
        }
        else
        {
            options.x = workX + (workW - windowW) / 2 + left;
            options.y = workY + int(0.382 * (workH - windowH)) + top;
        }
    }
    mIsPhysWindowed = !fullscreen;
    // A new window shows the picture at once: a rest ends with the window it began in.
    SetIdleSuspended(false);
    std::string error;
    mHWnd = platform::CreateMainWindow(options, error) ? platform::kMainWindow : platform::kNoWindow;
    if (mHWnd != platform::kNoWindow) WindowProc(platform::Message{mHWnd, platform::WM_CREATE});

    if (!mDDInterface)
    {
        mDDInterface = new DDInterface(this);
        // A stored choice decides; without one the 3D test does.
        int is3D = 0;
        mAutoTest3D = !RegistryReadInteger("Is3D", &is3D);
        mWant3D = !mAutoTest3D && is3D != 0;
        mDDInterface->mIs3D = mWant3D;
    }

    int result = InitDisplay();
    // A 3D test that found the hardware wanting makes a stored wish for 3D void.
    if (mDDInterface->mTestRan && !mDDInterface->mTestFailureReason.empty()) RegistryEraseValue("Is3D");

    if (mIsWindowed && result == DDInterface::RESULT_INVALID_COLORDEPTH)
    {
        if (mWindowedRefusedForColorDepth)
        {
            Popup(GetString("PLEASE_SET_COLOR_DEPTH", "Please set your desktop color depth to 16 bit."));
            ExitProgram(1);
        }
        mWindowedRefusedForColorDepth = true;
        mWindowedNotAllowed = true;
        SwitchScreenModeKeep3D(false);
        return;
    }
    if (!mIsPhysWindowed &&
        (result == DDInterface::RESULT_EXCLUSIVE_FAIL || result == DDInterface::RESULT_DISPCHANGE_FAIL))
    {
        mFullScreenFailed = true;
        SwitchScreenModeKeep3D(true);
        return;
    }
    if (result != DDInterface::RESULT_OK)
    {
        if (result == DDInterface::RESULT_3D_FAIL || mDDInterface->mIs3D)
        {
            Set3DAcceleration(false, true);
            return;
        }
        ExitForDisplayFailure(result);
    }

    bool wasActive = mActive;
    mActive = mPlayingDemo ? mActive : true;
    if (mMinimized)
    {
        if (mMuteOnLostFocus) Unmute(true);
        mMinimized = false;
        UpdateFocusState();
    }
    if (wasActive != mActive) UpdateFocusState();
    ReInitImages();
    AttachScreenImage();
    platform::SetTimer(platform::kMainWindow, 100, uint32_t(mFrameTime));
    UpdateScreenSaverPermission();
}

int KavoAppBase::InitDisplay()
{
    PreDisplayInitHook();
    DeleteNativeImageData();
    int result = mDDInterface->Init(mHWnd, mIsPhysWindowed);
    UpdateRefreshRate();
    if (result == DDInterface::RESULT_OK)
    {
        mScreenOffsetX = (mWidth - mDDInterface->mWidth) / 2;
        mScreenOffsetY = (mHeight - mDDInterface->mHeight) / 2;
        mScreenWidth = mDDInterface->mWidth;
        mScreenHeight = mDDInterface->mHeight;
        mWidgetManager->Resize(Rect(0, 0, mWidth, mHeight), Rect(0, 0, mWidth, mHeight));
        PostDisplayInitHook();
    }
    return result;
}

void KavoAppBase::UpdateRefreshRate()
{
    mRefreshRate = mDDInterface->mRefreshRate;
    if (mRecordingDemo) WriteDisplayModeEvent();
}

void KavoAppBase::Set3DAcceleration(bool on, bool reinit)
{
    if (mDDInterface->mIs3D == on) return;
    m3DSwitchedThisRun = true;
    mDDInterface->mIs3D = on;
    if (reinit)
    {
        int result = InitDisplay();
        if (on && result != DDInterface::RESULT_OK)
        {
            Set3DAcceleration(false, reinit);
            return;
        }
        if (!on && result != DDInterface::RESULT_OK)
        {
            ExitForDisplayFailure(result);
        }
        ReInitImages();
        AttachScreenImage();
    }
    else if (mWidgetManager)
    {
        mWidgetManager->MarkAllDirty(); // everything is drawn through the other road from now on
    }
}

void KavoAppBase::ExitForDisplayFailure(int result)
{
    Popup(GetString("FAILED_INIT_DIRECTDRAW", "Failed to initialize DirectDraw: ") +
          DDInterface::ResultName(result) + " " + mDDInterface->mErrorString);
    ExitProgram(1);
}

void KavoAppBase::RestoreDisplayMode()
{
    // The program never changes the desktop's mode itself, so there is nothing to restore.
}

void KavoAppBase::ExitProgram(int code)
{
    RestoreDisplayMode();
    sExitHandler(code);
    std::abort(); // an exit handler must not return
}

} // namespace Kavo
