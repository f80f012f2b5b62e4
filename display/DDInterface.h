#pragma once

#include "base/CriticalSection.h"
#include "base/Ratio.h"
#include "base/Rect.h"
#include "display/DisplayHost.h"
#include "display/SurfacePixels.h"
#include "graphics/NativeDisplay.h"
#include "platform/display/DisplayTypes.h"
#include "platform/window/Messages.h"

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace platform
{
class DirectDisplay;
class DisplaySurface;
} // namespace platform

namespace Kavo
{

class D3DInterface;
class D3DTester;
class DDImage;
class Image;
class MemoryImage;

// The name of a display result code ("DDERR_SURFACELOST" ...), or its digits in lower-case
// hexadecimal when it has none.
std::string GetDirectXErrorString(platform::DisplayResult result);

// The display object: the primary surface (what the screen shows), the off-screen draw surface
// into which every frame is drawn, the clipper and the two small surfaces of the software
// cursor, in a window or full screen. It publishes the screen's pixel layout to the software
// images, owns the 3D renderer and the 3D test and decides whether drawing goes through 3D,
// presents each frame and draws the software cursor, also from the cursor thread. One display
// lock guards all surface work.
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
    static constexpr int kCursorArea = 64;

    explicit DDInterface(DisplayHost* host);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // Sets up the display for the window: the screen, its surfaces, the 3D device when 3D is on.
    // On success the size, refresh rate and frame interval are set; on failure the error text
    // says "<what failed>: <result name>".
    int Init(platform::WindowId window, bool windowed);
    // "RESULT_OK" ... "RESULT_INVALID_COLORDEPTH"; "RESULT_UNKNOWN" for anything else.
    static std::string ResultName(int result);
    // Releases everything Init made.
    void Cleanup();
    // True (and the error text set) when result is a failure.
    bool CheckResult(platform::DisplayResult result, const char* what);

    DDImage* GetScreenImage() { return mScreenImage; }
    // Presents the frame; false when the display is not initialised, a 3D failure switched 3D
    // off, or the surfaces were lost (the application then initialises the display again).
    // Redraw presents one rectangle of the screen image, or all of it.
    bool Redraw(const Rect* rect = nullptr);
    // Presents only these parts of the screen image (screen-image coordinates; they may overlap;
    // none: only a software cursor that moved). The software cursor's old and new areas are
    // presented with them.
    bool RedrawRects(const std::vector<Rect>& rects);
    // False when presenting never waits for the display's refresh (the window's surface shows
    // the screen): the loop then paces itself by the clock. Through a renderer it may wait (with
    // vertical sync; the loop finds out when it does not).
    bool PresentMayWaitForVSync() const;
    // Draws straight into a video-memory surface or not; rebuilds the screen image.
    void SetDirectVideoDraw(bool on);
    // Runs the 3D test once, when the application wants 3D or tests it automatically, and turns
    // 3D on or off from its verdict; true when it ran now.
    bool SetupTester(platform::WindowId window);
    // The software cursor. SetCursorPos is called by the cursor thread: it draws the cursor on
    // the primary at once (between frames), and the main loop shows it (PresentPending); on the
    // 3D road it only stores the position, and PresentPending draws it.
    void SetCursorPos(int x, int y);
    // Only stores the position: the next frame draws it.
    void SetPendingCursorPos(int x, int y);
    // True when the image changed.
    bool SetCursorImage(Image* image);
    // Main thread: shows what was drawn on the primary since it was last shown (on the 3D road,
    // the software cursor at its new place).
    void PresentPending();
    void RemoveImageTextures(MemoryImage* image);

    void AddImage(DDImage* image);
    void RemoveImage(DDImage* image);
    // Makes a surface under the display lock (null without a display).
    platform::DisplayResult CreateSurface(const platform::SurfaceDesc& desc,
                                          std::shared_ptr<platform::DisplaySurface>& out);

    // The 3D verdict (also read by the application).
    bool Is3DOn() const { return mIs3D; }

    DisplayHost* mHost;
    CriticalSection mCritSect;
    D3DInterface* mD3DInterface = nullptr;
    D3DTester* mD3DTester = nullptr;
    bool mIs3D = false;            // 3D on
    bool m3DFailedThisRun = false; // a 3D failure was seen during this run
    // The 3D test's verdict, copied from the tester when it ran.
    bool mTestRan = false;
    std::string mTestFailureReason;
    std::string mTestWarning;
    bool mPresenting = false;

    std::shared_ptr<platform::DirectDisplay> mDD;
    std::shared_ptr<platform::DisplaySurface> mPrimarySurface;
    std::shared_ptr<platform::DisplaySurface> mSecondarySurface; // back buffer or video draw surface
    std::shared_ptr<platform::DisplaySurface> mDrawSurface;
    std::shared_ptr<platform::DisplaySurface> mOldCursorAreaSurface;
    std::shared_ptr<platform::DisplaySurface> mNewCursorAreaSurface;

    int mWidth = 0; // the draw buffer
    int mHeight = 0;
    Ratio mAspect;
    int mDesktopWidth = 0;
    int mDesktopHeight = 0;
    Ratio mDesktopAspect;
    bool mIsAspectCorrected = false;
    int mDisplayWidth = 0;
    int mDisplayHeight = 0;
    Ratio mDisplayAspect;
    Rect mPresentationRect;
    int mFullscreenBits = 16;
    int mRefreshRate = 60;
    int mMillisecondsPerFrame = 16;
    int mScanLineFailCount = 0;
    int mBitCount = 0;
    // The channels of a surface of format f with the tables of saturated sums below.
    SurfacePixels::AddChannels AddChannelsOf(const platform::PixelFormat& f) const
    {
        return {{platform::PixelChannel(f.redMask), &mRedAddTable},
                {platform::PixelChannel(f.greenMask), &mGreenAddTable},
                {platform::PixelChannel(f.blueMask), &mBlueAddTable}};
    }
    std::vector<int> mRedAddTable;
    std::vector<int> mGreenAddTable;
    std::vector<int> mBlueAddTable;
    uint32_t mRedConvTable[256] = {};
    uint32_t mGreenConvTable[256] = {};
    uint32_t mBlueConvTable[256] = {};
    bool mInitialized = false;
    platform::WindowId mWindow = platform::kNoWindow;
    bool mWindowed = true;
    DDImage* mScreenImage = nullptr;
    std::set<DDImage*> mDDImageSet;
    bool mDirectVideoDraw = false;
    int mInitCount = 0;
    int mCursorWidth = kCursorArea;
    int mCursorHeight = kCursorArea;
    // Written by the cursor thread.
    std::atomic<int> mCursorX{0};
    std::atomic<int> mCursorY{0};
    std::atomic<int> mCursorOldX{0}; // where it was last drawn
    std::atomic<int> mCursorOldY{0};
    std::atomic<Image*> mCursorImage{nullptr};
    bool mCursorDrawn = false;
    DDImage* mOldCursorAreaImage = nullptr;
    DDImage* mNewCursorAreaImage = nullptr;
    std::string mErrorString;
    std::string mRendererName; // the renderer SDL chose for the screen
    std::string mLoggedChoice; // the road and renderer last written to the log

private:
    int InitFullScreen(platform::WindowId window);
    int InitWindowed(platform::WindowId window);
    bool CreateDrawSurface(const char* what);
    void BuildTables();
    // Rectangles of the 64 x 64 cursor area at (x, y), cut to the surface.
    Rect CursorAreaAt(int x, int y, platform::DisplaySurface* surface) const;
    void DrawCursor(platform::DisplaySurface* surface, bool toScreen);
    void MoveCursor(platform::DisplaySurface* surface, int x, int y);
    void RestoreCursorArea(platform::DisplaySurface* surface);
    // The cursor image drawn centred into a cursor-area image.
    void ComposeCursor(DDImage* area);
    bool SplitPresent(const Rect& src, const Rect& dest);

    // The steps of a present (RedrawRects), one function a road.
    struct PresentPlan
    {
        std::vector<Rect> rects; // of the draw buffer: what changed and the cursor's areas
        bool flipping = false;   // full screen, shown by a flip
        bool whole = false;      // the whole draw buffer is among the rects
    };
    struct PresentResult
    {
        platform::DisplayResult hr = 0;
        const char* what = ""; // the present's name in an error text
    };
    // Ends the 3D frame's scene; false (3D off, the display to be made again) on a 3D error.
    bool EndScene3D();
    // A present's failure is noted in mErrorString and the display is to be made again.
    bool EndPresent(const PresentResult& result);
    PresentPlan PlanPresent(const std::vector<Rect>& asked, const DisplaySettings& settings);
    platform::DisplayResult CopyRects(platform::DisplaySurface* to, platform::DisplaySurface* from,
                                      const PresentPlan& plan);
    // The cursor's place is shown from now on.
    void NoteCursorShown();
    PresentResult PresentThrough3D(const DisplaySettings& settings);
    PresentResult PresentByFlip(const PresentPlan& plan);
    PresentResult PresentWindowed(const PresentPlan& plan, const DisplaySettings& settings);
    // Drawing goes straight to the screen image (mDirectVideoDraw in a window).
    PresentResult PresentScreenImage(const PresentPlan& plan, const DisplaySettings& settings);
};

} // namespace Kavo
