#include "app/KavoAppBase.h"

#include "app/SettingsWriteGroup.h"
#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/Font.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "media/MusicInterface.h"
#include "media/ResourceManager.h"
#include "media/SoundManager.h"
#include "platform/display/DirectDisplay.h"
#include "platform/files/Files.h"
#include "platform/files/Registry.h"
#include "platform/files/TextEncoding.h"
#include "platform/system/Clock.h"
#include "platform/system/Instance.h"
#include "platform/window/Messages.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace Kavo
{

KavoAppBase* gKavoApp = nullptr;
std::atomic<KavoAppBase*> gKavoAppForCrash{nullptr};

namespace
{

[[noreturn]] void ExitProcess(int code)
{
    std::fflush(nullptr);
    std::exit(code);
}

// "ScrError.txt" is truncated at the first write of the process.
bool gErrorLogFirstWrite = true;

// Wide text as the program's narrow text: characters 0 to 255 stand for their byte (as widened
// narrow text does); others take their Windows-1252 byte, or '?' where there is none.
std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text)
    {
        unsigned char byte = '?';
        if (c >= 0 && c < 256)
            byte = static_cast<unsigned char>(c);
        else if (c > 0)
            platform::UnicodeToCp1252(char32_t(c), byte);
        narrow.push_back(char(byte));
    }
    return narrow;
}

} // namespace

void (*KavoAppBase::sExitHandler)(int code) = &ExitProcess;

KavoAppBase::KavoAppBase()
{
    SetString("DIALOG_BUTTON_OK", L"OK");
    SetString("DIALOG_BUTTON_CANCEL", L"CANCEL");
    SetString("UPDATE_CHECK_TITLE", L"Update Check");
    SetString("UPDATE_CHECK_BODY", L"Checking if there are any updates available for this product ...");
    SetString("UP_TO_DATE_TITLE", L"Up to Date");
    SetString("UP_TO_DATE_BODY", L"There are no updates available for this product at this time.");
    SetString("NEW_VERSION_TITLE", L"New Version");
    SetString("NEW_VERSION_BODY", L"There is an update available for this product.  Would you like to visit "
                                  L"the web site to download it?");

    gKavoApp = this;
    mDDrawLib = platform::LoadLibrary("ddraw.dll");
    mDSoundLib = platform::LoadLibrary("dsound.dll");
    mVersionLib = platform::LoadLibrary("version.dll");

    mProgramFolder = platform::ProgramFolder();
    mProductVersion = GetProductVersion(mProgramFolder);

    uint32_t now = platform::Clock::Get().Ticks();
    mLastTimeCheck = mLastTimerTime = mLastBigDelayTime = mLastUserInputTick = now;
    mLastDrawTick = mNextDrawTick = mStartTick = now;

    mWidgetManager = new WidgetManager(this);
    mResourceManager = new ResourceManager(this);
    WidgetAppServices::SetCurrent(this);
    ImageRegistry::Install(this);

    gKavoAppForCrash = this;
    // Ctrl+C and SIGTERM close the program from here on, whatever screen it shows.
    platform::CatchCloseSignals();
    // A desktop reached over the network presents without flipping.
    mRemoteDesktop = platform::DesktopIsRemote();
    if (mRemoteDesktop) mFlipInFullScreen = false;
}

KavoAppBase::~KavoAppBase()
{
    Shutdown();

    // The hardware-acceleration questions about this run.
    if (mDDInterface)
    {
        const std::string title =
            mBoxTitlePrefix + " " +
            GetString("HARDWARE_ACCEL_CONFIRMATION", "Hardware Acceleration Confirmation");
        bool asked = false;
        if (m3DSwitchedThisRun)
        {
            int stored = 0;
            if (RegistryReadInteger("Is3D", &stored) || Is3DAccelerationRecommended())
            {
                RegistryWriteBoolean("Is3D", mDDInterface->mIs3D);
            }
            else if (mDDInterface->mIs3D)
            {
                asked = true;
                int answer =
                    MsgBox(GetString("HARDWARE_ACCEL_SWITCHED_ON",
                                     "Hardware Acceleration was switched on during this session.\r\n"
                                     "If this resulted in slower performance, it should be switched "
                                     "off.\r\nWould you like to keep Hardware Acceleration switched on?"),
                           title, platform::MB_YESNO | platform::MB_ICONQUESTION);
                mDDInterface->mIs3D = answer == platform::IDYES;
                if (mDDInterface->mIs3D) RegistryWriteBoolean("Is3D", true);
            }
        }
        if (!asked && mDDInterface->m3DFailedThisRun && !mScreensaverMode)
        {
            int answer =
                MsgBox(GetString("HARDWARE_ACCEL_NOT_WORKING",
                                 "Hardware Acceleration may not have been working correctly during this "
                                 "session.\r\nIf you noticed graphics problems, you may want to turn off "
                                 "Hardware Acceleration.\r\nWould you like to keep Hardware Acceleration "
                                 "switched on?"),
                       title, platform::MB_YESNO | platform::MB_ICONQUESTION);
            if (answer == platform::IDNO) RegistryWriteBoolean("Is3D", false);
        }
    }

    if (mRecordingDemo) WriteDemoFile();

    for (Dialog* dialog : mDialogList)
    {
        mWidgetManager->RemoveWidget(dialog);
        delete dialog;
    }
    mDialogMap.clear();
    mDialogList.clear();

    ProcessSafeDeleteList();
    delete mFPSImage;
    delete mDemoTimeImage;
    delete mOverlayFont;
    delete mWidgetManager;
    mWidgetManager = nullptr;
    delete mResourceManager;
    mResourceManager = nullptr;

    for (auto& entry : mSharedImageMap)
    {
        delete entry.second.image;
        entry.second.image = nullptr;
    }
    mSharedImageMap.clear();

    delete mDDInterface;
    mDDInterface = nullptr;
    delete mMusicInterface;
    mMusicInterface = nullptr;
    delete mSoundManager;
    mSoundManager = nullptr;
    platform::DestroyMainWindow();

    WaitForLoadingThread();
    if (mLoadingThread.joinable()) mLoadingThread.join();
    if (mCursorThread.joinable()) mCursorThread.join();
    platform::DestroyCursor(mHandCursor);
    platform::DestroyCursor(mDraggingCursor);
    mInstanceGuard.reset();

    if (WidgetAppServices::Current() == this) WidgetAppServices::SetCurrent(nullptr);
    if (ImageRegistry::Get() == this) ImageRegistry::Install(nullptr);
    if (gKavoApp == this) gKavoApp = nullptr;
    if (gKavoAppForCrash == this) gKavoAppForCrash = nullptr;
    platform::FreeLibrary(mDDrawLib);
    platform::FreeLibrary(mDSoundLib);
    platform::FreeLibrary(mVersionLib);
}

void KavoAppBase::DeletingDestructor(int flags)
{
    if (flags & 1)
        delete this;
    else
        this->~KavoAppBase();
}

// ---------------------------------------------------------------- text table

std::string KavoAppBase::GetString(const std::string& id, const std::string& defaultText)
{
    auto it = mStringProperties.find(id);
    return it == mStringProperties.end() ? defaultText : Narrow(it->second);
}

void KavoAppBase::SetString(const std::string& id, const std::wstring& text)
{
    mStringProperties[id] = text;
}

// ---------------------------------------------------------------- dialog buttons

void KavoAppBase::DialogButtonPress(int dialogId, int buttonId)
{
    if (buttonId == 1000)
        ButtonPress(dialogId + 2000);
    else if (buttonId == 1001)
        ButtonPress(dialogId + 3000);
}

void KavoAppBase::DialogButtonDepress(int dialogId, int buttonId)
{
    if (buttonId == 1000)
        ButtonDepress(dialogId + 2000);
    else if (buttonId == 1001)
        ButtonDepress(dialogId + 3000);
}

// ---------------------------------------------------------------- dialogs

Dialog* KavoAppBase::NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                               const std::string& footer, int buttonMode)
{
    return new Dialog(nullptr, nullptr, id, modal, header, lines, footer, buttonMode);
}

Dialog* KavoAppBase::DoDialog(int id, bool modal, const std::string& header, const std::string& lines,
                              const std::string& footer, int buttonMode)
{
    KillDialog(id);
    Dialog* dialog = NewDialog(id, modal, header, lines, footer, buttonMode);
    if (dialog) AddDialogWithId(id, dialog);
    return dialog;
}

Dialog* KavoAppBase::GetDialog(int id)
{
    auto it = mDialogMap.find(id);
    return it == mDialogMap.end() ? nullptr : it->second;
}

void KavoAppBase::AddDialog(Dialog* dialog)
{
    AddDialogWithId(dialog->mId, dialog);
}

void KavoAppBase::AddDialogWithId(int id, Dialog* dialog)
{
    KillDialog(id);
    if (dialog->mWidth == 0)
    {
        int width = mWidth / 2;
        dialog->Resize((mWidth - width) / 2, mHeight / 5, width, dialog->GetPreferredHeight(width));
    }
    mDialogMap[id] = dialog;
    mDialogList.push_back(dialog);
    mWidgetManager->AddWidget(dialog);
    if (dialog->IsModal())
    {
        mWidgetManager->AddBaseModal(dialog);
        ModalOpen();
    }
}

bool KavoAppBase::KillDialogPtr(Dialog* dialog)
{
    return KillDialog(dialog->mId);
}

bool KavoAppBase::KillDialog(int id)
{
    return KillDialogEx(id, true, true);
}

bool KavoAppBase::KillDialogEx(int id, bool removeWidget, bool deleteWidget)
{
    auto it = mDialogMap.find(id);
    if (it == mDialogMap.end()) return false;
    Dialog* dialog = it->second;
    if (dialog->GetResult() == -1) dialog->SetResult(0);
    mDialogList.remove(dialog);
    mDialogMap.erase(it);
    if (removeWidget || deleteWidget) mWidgetManager->RemoveWidget(dialog);
    if (dialog->IsModal())
    {
        ModalClose();
        mWidgetManager->RemoveBaseModal(dialog);
    }
    if (deleteWidget) SafeDeleteWidget(dialog);
    return true;
}

int KavoAppBase::GetDialogCount()
{
    return int(mDialogMap.size());
}

// ---------------------------------------------------------------- message boxes

void KavoAppBase::BeginPopup()
{
    if (!mIsPhysWindowed && mDDInterface) mPopupShown = true;
}

void KavoAppBase::EndPopup()
{
    if (!mIsPhysWindowed) mPopupShown = false;
    ResetFrameTiming();
    ClearKeysDown();
    if (mWidgetManager && mWidgetManager->mDownWidget)
    {
        mWidgetManager->ClearDownWidget();
        platform::SetMouseCapture(false);
    }
}

int KavoAppBase::MsgBox(const std::string& text, const std::string& title, int flags)
{
    if (mScreensaverMode)
    {
        WriteErrorLog(text);
        return platform::IDOK;
    }
    BeginPopup();
    int result = platform::MessageBox(text, title, unsigned(flags));
    EndPopup();
    return result;
}

int KavoAppBase::MsgBoxWide(const std::wstring& text, const std::wstring& title, int flags)
{
    return MsgBox(Narrow(text), Narrow(title), flags);
}

void KavoAppBase::Popup(const std::string& text)
{
    if (mScreensaverMode)
    {
        WriteErrorLog(text);
        return;
    }
    BeginPopup();
    if (!mShutdown)
        platform::MessageBox(text, GetString("FATAL_ERROR", "FATAL ERROR"), platform::MB_ICONERROR);
    EndPopup();
}

void KavoAppBase::PopupWide(const std::wstring& text)
{
    Popup(Narrow(text));
}

void KavoAppBase::WriteErrorLog(const std::string& text)
{
    std::FILE* file = platform::OpenFile("ScrError.txt", gErrorLogFirstWrite ? "w" : "a+");
    if (!file) return;
    gErrorLogFirstWrite = false;
    std::tm local = platform::Clock::LocalTime(std::time(nullptr));
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    std::fprintf(file, "%s %s %u\n", text.c_str(), clock, platform::Clock::Get().Ticks());
    std::fclose(file);
}

void KavoAppBase::ReportLostWriteOnce(bool& reported, const std::string& text)
{
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "%s\n", text.c_str());
    WriteErrorLog(text);
}

// ---------------------------------------------------------------- web pages

bool KavoAppBase::OpenURL(const std::string& url, bool shutdownAfter)
{
    if (mIsOpeningURL && mOpeningURL == url) return true;
    mShutdownOnURLOpen = shutdownAfter;
    mIsOpeningURL = true;
    mOpeningURL = url;
    mOpeningURLTime = platform::Clock::Get().Ticks();
    if (platform::OpenURL(url)) return true;
    URLOpenFailed(url);
    return false;
}

void KavoAppBase::URLOpenFailed(const std::string& url)
{
    (void)url;
    mIsOpeningURL = false;
}

void KavoAppBase::URLOpenSucceeded(const std::string& url)
{
    (void)url;
    mIsOpeningURL = false;
    if (mShutdownOnURLOpen) Shutdown();
}

// ---------------------------------------------------------------- other services

std::string KavoAppBase::GetProductVersion(const std::string& path)
{
    // Programs on this system carry no version block; the game sets its version itself.
    (void)path;
    return std::string();
}

void KavoAppBase::CrashOccurred()
{
    mCrashed = true;
    SetMusicVolume(0.0);
    platform::ShowMainWindow(false);
    UpdateCursor();
}

std::string KavoAppBase::GetCrashInfoText()
{
    uint32_t seconds = (platform::Clock::Get().Ticks() - mStartTick) / 1000;
    std::string text;
    text += "Product: " + mProductName + "\r\n";
    text += "Version: " + mProductVersion + "\r\n";
    text += StrFormat("Time Loaded: %02d:%02d:%02d\r\n", int(seconds / 3600), int(seconds / 60 % 60),
                      int(seconds % 60));
    text += std::string("Fullscreen: ") + (mIsWindowed ? "No" : "Yes") + "\r\n";
    text += StrFormat("Primary ThreadId: %X\r\n", mPrimaryThreadId);
    return text;
}

double KavoAppBase::GetLoadingThreadProgress()
{
    if (mLoadingHandedOver) return 1.0;
    if (!mLoadingThreadStarted || mNumLoadingThreadTasks == 0) return 0.0;
    return std::min(1.0, double(mCompletedLoadingThreadTasks) / double(mNumLoadingThreadTasks));
}

void KavoAppBase::WaitForLoadingThread()
{
    while (mLoadingThreadStarted && !mLoadingThreadCompleted)
        platform::Clock::Get().Sleep(20);
    if (mLoadingThread.joinable() && mLoadingThreadCompleted) mLoadingThread.join();
}

// ---------------------------------------------------------------- widget services

Font* KavoAppBase::CreateSysFont(const std::string& face, int pointSize, bool bold)
{
    SysFont* font = new SysFont(face, pointSize, bold);
    if (!font->font)
    {
        delete font;
        return nullptr;
    }
    font->app = this;
    return font;
}

bool KavoAppBase::BeginScreenDraw(Image* screenImage)
{
    DDImage* image = dynamic_cast<DDImage*>(screenImage);
    return image && image->LockSurface();
}

void KavoAppBase::EndScreenDraw(Image* screenImage)
{
    if (DDImage* image = dynamic_cast<DDImage*>(screenImage)) image->UnlockSurface();
}

// ---------------------------------------------------------------- live images

std::unique_lock<CriticalSection> KavoAppBase::LockDisplay()
{
    if (!mDDInterface) return std::unique_lock<CriticalSection>();
    return std::unique_lock<CriticalSection>(mDDInterface->mCritSect);
}

void KavoAppBase::AddMemoryImage(MemoryImage* image)
{
    std::unique_lock<CriticalSection> lock = LockDisplay();
    mMemoryImages.push_back(image);
}

void KavoAppBase::RemoveMemoryImage(MemoryImage* image)
{
    {
        std::unique_lock<CriticalSection> lock = LockDisplay();
        auto it = std::find(mMemoryImages.begin(), mMemoryImages.end(), image);
        if (it != mMemoryImages.end()) mMemoryImages.erase(it);
    }
    RemoveImageFromDisplay(image);
}

void KavoAppBase::RemoveImageFromDisplay(MemoryImage* image)
{
    if (mDDInterface) mDDInterface->RemoveImageTextures(image);
}

const NativeDisplay* KavoAppBase::GetNativeDisplay()
{
    static NativeDisplay layout8888 = []
    {
        NativeDisplay d;
        d.SetLayout8888();
        return d;
    }();
    if (mDDInterface && mDDInterface->redMask != 0) return mDDInterface;
    return &layout8888;
}

bool KavoAppBase::CopyTexturesToBits(MemoryImage* image)
{
    return mDDInterface && mDDInterface->mD3DInterface &&
           mDDInterface->mD3DInterface->CopyTexturesToBits(image);
}

// ---------------------------------------------------------------- display services

DisplaySettings KavoAppBase::GetDisplaySettings()
{
    DisplaySettings s;
    // The desktop's depth where none is asked for: a 32-bit screen needs no conversion.
    s.fullScreenBits = mFullscreenBits ? mFullscreenBits
                                       : (platform::DirectDisplay::DesktopFormat().bitCount == 16 ? 16 : 32);
    s.flipInFullScreen = mFlipInFullScreen;
    s.popupShown = mPopupShown;
    s.waitForVSync = mWaitForVSync;
    s.softVSync = mSoftVSyncWait;
    s.want3D = mWant3D;
    s.autoTest3D = mAutoTest3D;
    s.minVidMemory = mMinVidMemory;
    s.recVidMemory = mRecVidMemory;
    s.playingDemo = mPlayingDemo;
    s.minimized = mMinimized;
    s.stretchToAspect = mStretchToAspect;
    s.aspectHack = mAspectHack;
    s.aspectHackNumerator = mAspectHackNumerator;
    s.aspectHackDenominator = mAspectHackDenominator;
    return s;
}

bool KavoAppBase::ReadTest3DValue(const std::string& name, uint32_t& type, std::string& data)
{
    if (mRegKey.empty()) return false;
    std::string valueName;
    std::string key = RegistryKeyPath("Test3D\\" + name, &valueName, false);
    return GetRegistryStore()->QueryValue(key, valueName, type, data);
}

bool KavoAppBase::WriteTest3DValue(const std::string& name, uint32_t type, const std::string& data)
{
    // A demo that plays leaves the settings as they are.
    if (mRegKey.empty() || (mPlayingDemo && !mRecordingDemo)) return false;
    std::string valueName;
    std::string key = RegistryKeyPath("Test3D\\" + name, &valueName, false);
    platform::RegistryStore* store = GetRegistryStore();
    SettingsWriteGroup group(this); // a new key and its first value are one change to the file
    bool ok = (store->KeyExists(key) || store->CreateKey(key)) && store->SetValue(key, valueName, type, data);
    return group.End() && ok;
}

} // namespace Kavo
