#include "display/DDInterface.h"

#include "base/AutoCrit.h"
#include "base/Color.h"
#include "base/Ratio.h"
#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "platform/Screen.h"
#include "platform/Window.h"

#include <cstring>
#include <vector>

namespace Kavo
{

namespace
{

constexpr int kCursorArea = 64;

// One line of the start-up log: what is measured, then a size and its aspect ratio.
void LogSize(const char* what, int width, int height)
{
    Ratio aspect(width, height);
    OutputDebugF("%-20s %4lu x %4lu [%2d:%2d]\n", what, (unsigned long)width, (unsigned long)height,
                 aspect.mNumerator, aspect.mDenominator);
}

} // namespace

DDInterface::DDInterface(DisplayHost* host) : mHost(host) {}

DDInterface::~DDInterface()
{
    Cleanup();
    // Display images still alive outlive the display: they forget it.
    AutoCrit lock(mCritSect);
    for (DDImage* image : mDDImageSet)
        image->mDDInterface = nullptr;
}

std::string DDInterface::ResultName(int result)
{
    static const char* const names[] = {"RESULT_OK",
                                        "RESULT_FAIL",
                                        "RESULT_DD_CREATE_FAIL",
                                        "RESULT_SURFACE_FAIL",
                                        "RESULT_EXCLUSIVE_FAIL",
                                        "RESULT_DISPCHANGE_FAIL",
                                        "RESULT_INVALID_COLORDEPTH"};
    return (result >= 0 && result <= 6) ? names[result] : "RESULT_UNKNOWN";
}

int DDInterface::Init(platform::WindowId window, bool windowed)
{
    AutoCrit lock(mCritSect);
    mInitialized = false;
    Cleanup();

    mWindow = window;
    mWindowed = windowed;
    mWidth = mHost->GetScreenWidth();
    mHeight = mHost->GetScreenHeight();
    LogSize("Application requests", mWidth, mHeight);

    if (!platform::VideoAvailable() || window == platform::kNoWindow || !platform::MainWindowExists())
    {
        std::string why =
            platform::VideoAvailable() ? "the main window could not be made" : platform::GetVideoError();
        mErrorString = "DirectDrawCreateEx: " + why;
        return RESULT_DD_CREATE_FAIL;
    }

    if (windowed)
    {
        int bits = platform::GetDesktopBitsPerPixel();
        if (bits != 16 && bits != 32)
        {
            mErrorString = "CreateSurface Windowed Primary: DDERR_INVALIDPIXELFORMAT";
            return RESULT_INVALID_COLORDEPTH;
        }
    }

    // The screen image keeps the game's size in a window and in full screen alike (full screen
    // scales it to the desktop when presenting).
    if (windowed)
    {
        LogSize("Window is", mWidth, mHeight);
    }
    else
    {
        int desktopWidth = 0, desktopHeight = 0;
        platform::GetDesktopSize(desktopWidth, desktopHeight);
        LogSize("Desktop is", desktopWidth, desktopHeight);
        LogSize("Display is", mWidth, mHeight);
    }

    std::string error;
    bool fullscreenRefused = false;
    if (!platform::OpenScreen(mWidth, mHeight, mHost->WantsVerticalSync() || !windowed, error,
                              fullscreenRefused))
    {
        if (fullscreenRefused)
        {
            mErrorString = "SetDisplayMode FullScreen: " + error;
            return RESULT_DISPCHANGE_FAIL;
        }
        mErrorString = std::string(windowed ? "CreateSurface Windowed Primary: "
                                            : "CreateSurface FullScreen Primary: ") +
                       error;
        return RESULT_SURFACE_FAIL;
    }

    LogSize("Draw buffer is", mWidth, mHeight);

    // Refresh rate, kept within 60 to 100 Hz.
    int rate = platform::GetDesktopRefreshRate();
    if (rate < 60 || rate > 100)
    {
        mHost->SetUnusualRefreshRate(true);
        rate = rate > 100 ? 100 : 60;
    }
    mRefreshRate = rate;
    mMillisecondsPerFrame = 1000 / rate;

    // The screen is 32 bits per pixel, 8 bits per channel.
    mBitCount = 32;
    SetLayout8888();

    SetDirectVideoDraw(mDirectVideoDraw);

    if (mIs3D)
    {
        mErrorString = "3D init error: " + mTestFailureReason;
        m3DFailedThisRun = true;
        return RESULT_3D_FAIL;
    }

    ++mInitCount;
    mInitialized = true;
    return RESULT_OK;
}

void DDInterface::Cleanup()
{
    AutoCrit lock(mCritSect);
    mInitialized = false;
    delete mScreenImage;
    mScreenImage = nullptr;
    platform::CloseScreen();
}

void DDInterface::SetDirectVideoDraw(bool on)
{
    AutoCrit lock(mCritSect);
    mDirectVideoDraw = on;
    delete mScreenImage;
    mScreenImage = new DDImage(this);
    mScreenImage->Create(mWidth, mHeight);
    mScreenImage->SetImageMode(false, false);
}

bool DDInterface::Redraw(const Rect* rect)
{
    (void)rect; // the whole frame is always presented
    AutoCrit lock(mCritSect);
    if (!mInitialized || !mScreenImage) return false;
    mPresenting = true;

    uint32_t* bits = mScreenImage->GetBits();
    int width = mScreenImage->GetWidth(), height = mScreenImage->GetHeight();

    // The software cursor is drawn into the frame for the present and taken out again.
    std::vector<uint32_t> saved;
    Rect area;
    // The cursor thread may move the position meanwhile: this frame uses one reading of it.
    int cursorX = mCursorX, cursorY = mCursorY;
    mCursorOldX = cursorX;
    mCursorOldY = cursorY;
    Image* cursor = mCursorImage.load();
    if (cursor && bits)
    {
        area = Rect(cursorX - kCursorArea / 2, cursorY - kCursorArea / 2, kCursorArea, kCursorArea)
                   .Intersection(Rect(0, 0, width, height));
        saved.resize(size_t(area.mWidth) * size_t(area.mHeight));
        for (int y = 0; y < area.mHeight; ++y)
            std::memcpy(&saved[size_t(y) * size_t(area.mWidth)],
                        bits + size_t(area.mY + y) * size_t(width) + area.mX, size_t(area.mWidth) * 4);
        int imageWidth = cursor->GetWidth(), imageHeight = cursor->GetHeight();
        mScreenImage->Blt(cursor, cursorX - kCursorArea / 2 + (kCursorArea - imageWidth) / 2,
                          cursorY - kCursorArea / 2 + (kCursorArea - imageHeight) / 2,
                          Rect(0, 0, imageWidth, imageHeight), Color::White, 0);
        bits = mScreenImage->GetBits();
    }

    bool shown = platform::PresentScreen(bits, width * 4);

    if (!saved.empty())
    {
        bits = mScreenImage->GetBits();
        for (int y = 0; y < area.mHeight; ++y)
            std::memcpy(bits + size_t(area.mY + y) * size_t(width) + area.mX,
                        &saved[size_t(y) * size_t(area.mWidth)], size_t(area.mWidth) * 4);
        mScreenImage->BitsChanged();
    }
    if (!shown)
    {
        mErrorString =
            std::string(mWindowed ? "Redraw Windowed" : "Redraw FullScreen Flip") + ": DDERR_SURFACELOST";
        mInitialized = false;
    }
    mPresenting = false;
    return shown;
}

void DDInterface::SetCursorPos(int x, int y)
{
    // The cursor is composed into each presented frame: a move asks for the next one.
    SetPendingCursorPos(x, y);
    if (mCursorImage) mCursorMoved = true;
}

void DDInterface::SetPendingCursorPos(int x, int y)
{
    mCursorX = x;
    mCursorY = y;
}

bool DDInterface::SetCursorImage(Image* image)
{
    AutoCrit lock(mCritSect);
    if (image == mCursorImage) return false;
    mCursorImage = image;
    return true;
}

void DDInterface::RemoveImageTextures(MemoryImage* image)
{
    (void)image; // no 3D textures exist
}

void DDInterface::AddImage(DDImage* image)
{
    AutoCrit lock(mCritSect);
    mDDImageSet.insert(image);
}

void DDInterface::RemoveImage(DDImage* image)
{
    AutoCrit lock(mCritSect);
    mDDImageSet.erase(image);
}

} // namespace Kavo
