#pragma once

#include "base/CriticalSection.h"
#include "base/Rect.h"
#include "display/DisplayHost.h"
#include "graphics/NativeDisplay.h"
#include "platform/Messages.h"

#include <atomic>
#include <set>
#include <string>

namespace Kavo
{

class DDImage;
class Image;
class MemoryImage;

// The display object: presents the screen image (an 800 x 600 or so software image) in the
// main window or full screen, scaled to the desktop there. It publishes the screen's pixel
// layout (32-bit, 8 bits per channel) to the software images, keeps the set of live display
// images and the software cursor's position, and answers "no 3D" to every 3D question.
class DDInterface : public NativeDisplay
{
public:
    // Results of Init.
    enum
    {
        RESULT_OK = 0,
        RESULT_FAIL = 1,
        RESULT_DD_CREATE_FAIL = 2,
        RESULT_SURFACE_FAIL = 3,
        RESULT_EXCLUSIVE_FAIL = 4,
        RESULT_DISPCHANGE_FAIL = 5,
        RESULT_INVALID_COLORDEPTH = 6,
        RESULT_3D_FAIL = 7,
    };

    explicit DDInterface(DisplayHost* host);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // Sets up presentation on the window; on success the size, refresh rate and frame interval
    // are set. On failure the error text says "<what failed>: <why>".
    int Init(platform::WindowId window, bool windowed);
    // "RESULT_OK" ... "RESULT_INVALID_COLORDEPTH"; "RESULT_UNKNOWN" for anything else.
    static std::string ResultName(int result);
    // Releases everything Init made.
    void Cleanup();

    DDImage* GetScreenImage() { return mScreenImage; }
    // Presents the screen image (the rectangle is presented whole); false when the display is
    // not initialised or the frame could not be shown (the application then re-initialises).
    bool Redraw(const Rect* rect = nullptr);
    // Drawing straight into video memory does not exist here; the flag is kept and the screen
    // image rebuilt.
    void SetDirectVideoDraw(bool on);
    // The software cursor: its position (from the cursor thread) and image.
    void SetCursorPos(int x, int y);
    void SetPendingCursorPos(int x, int y);
    // True when the image changed.
    bool SetCursorImage(Image* image);
    void RemoveImageTextures(MemoryImage* image);

    void AddImage(DDImage* image);
    void RemoveImage(DDImage* image);

    DisplayHost* mHost;
    CriticalSection mCritSect;
    bool mIs3D = false;            // the 3D wish
    bool m3DFailedThisRun = false; // a 3D failure was seen during this run
    // The 3D test's verdict: it runs, and finds no 3D device.
    bool mTestRan = true;
    std::string mTestFailureReason = "No 3D device is available.";
    std::string mTestWarning;

    bool mInitialized = false;
    bool mWindowed = true;
    platform::WindowId mWindow = platform::kNoWindow;
    int mWidth = 0; // the display's size (the screen image's)
    int mHeight = 0;
    int mBitCount = 0;
    int mRefreshRate = 60;
    int mMillisecondsPerFrame = 16;
    int mInitCount = 0;
    bool mDirectVideoDraw = false;
    bool mPresenting = false;
    std::string mErrorString;
    DDImage* mScreenImage = nullptr;
    std::set<DDImage*> mDDImageSet;

    // True once when the software cursor moved since the last call: the next frame must be
    // presented even when nothing else changed.
    bool TakeCursorMoved() { return mCursorMoved.exchange(false); }

    // Software cursor (drawn over the frame when an image is set). The new position is written
    // by the cursor thread.
    std::atomic<int> mCursorX{0};
    std::atomic<int> mCursorY{0};
    std::atomic<bool> mCursorMoved{false};
    std::atomic<int> mCursorOldX{0}; // where it was last drawn (read by the cursor thread)
    std::atomic<int> mCursorOldY{0};
    std::atomic<Image*> mCursorImage{nullptr};
};

} // namespace Kavo
