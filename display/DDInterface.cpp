#include "display/DDInterface.h"

#include "base/AutoCrit.h"
#include "base/Color.h"
#include "base/StringUtils.h"
#include "display/D3DInterface.h"
#include "display/D3DTester.h"
#include "display/DDImage.h"
#include "graphics/Graphics.h"
#include "graphics/SysFont.h"
#include "platform/display/DirectDisplay.h"
#include "platform/display/DisplaySurface.h"
#include "platform/system/Clock.h"
#include "platform/window/Window.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace Kavo
{

using platform::DisplayResult;
using platform::DisplaySurface;
using platform::SurfaceDesc;
using platform::SurfaceRect;

namespace
{

// Two ratios differ when either cross quotient, truncated, falls short of the other side.
bool RatiosDiffer(const Ratio& a, const Ratio& b)
{
    if (a.mDenominator == 0 || b.mDenominator == 0) return !(a == b);
    return int64_t(b.mNumerator) * a.mDenominator / b.mDenominator < a.mNumerator ||
           int64_t(a.mNumerator) * b.mDenominator / a.mDenominator > b.mNumerator;
}

// Marks a present under way for its scope: the cursor's drawing between frames keeps off.
class PresentingScope
{
public:
    explicit PresentingScope(bool& presenting) : mPresenting(presenting) { mPresenting = true; }
    ~PresentingScope() { mPresenting = false; }
    PresentingScope(const PresentingScope&) = delete;
    PresentingScope& operator=(const PresentingScope&) = delete;

private:
    bool& mPresenting;
};

SurfaceRect ToSurfaceRect(const Rect& r)
{
    return SurfaceRect{r.mX, r.mY, r.mX + r.mWidth, r.mY + r.mHeight};
}

// Installed once: the drawing context asks it whether an image draws through 3D.
bool DrawsThrough3DQuery(Image* image)
{
    return DDImage::ImageDrawsThrough3D(image);
}

} // namespace

bool DrawSurfaceText(SysFont& font, Graphics* g, int x, int y, const std::string& text, const Color& color,
                     const Rect& clip);

std::string GetDirectXErrorString(DisplayResult result)
{
    std::string name = platform::DisplayResultName(result);
    return name.empty() ? StrFormat("%x", uint32_t(result)) : name;
}

DDInterface::DDInterface(DisplayHost* host) : mHost(host)
{
    mD3DInterface = new D3DInterface(this);
    Graphics::SetDrawsThrough3DQuery(&DrawsThrough3DQuery);
    SysFont::SetSurfaceTextDrawer(&DrawSurfaceText);
}

DDInterface::~DDInterface()
{
    Cleanup();
    delete mD3DInterface;
    mD3DInterface = nullptr;
    delete mD3DTester;
    mD3DTester = nullptr;
    // Display images still alive outlive the display: they forget it.
    AutoCrit lock(mCritSect);
    for (DDImage* image : mDDImageSet)
    {
        image->mDDInterface = nullptr;
        image->mSurface.reset();
        image->mLockDepth = 0;
    }
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

bool DDInterface::CheckResult(DisplayResult result, const char* what)
{
    if (result >= 0) return false;
    mErrorString = StrFormat("%s: %s", what, GetDirectXErrorString(result).c_str());
    return true;
}

platform::DisplayResult DDInterface::CreateSurface(const SurfaceDesc& desc,
                                                   std::shared_ptr<DisplaySurface>& out)
{
    AutoCrit lock(mCritSect);
    out.reset();
    if (!mDD) return platform::kErrGeneric;
    return mDD->CreateSurface(desc, out);
}

// ---------------------------------------------------------------- initialisation

int DDInterface::Init(platform::WindowId window, bool windowed)
{
    AutoCrit lock(mCritSect);
    mInitialized = false;
    Cleanup();
    DisplaySettings settings = mHost->GetDisplaySettings();

    // 1. The display object.
    if (CheckResult(platform::DirectDisplay::Create(mDD), "DirectDrawCreateEx")) return RESULT_DD_CREATE_FAIL;

    // 2. The 3D test, once.
    if (SetupTester(window) && mD3DTester && mD3DTester->mNewVerdict) mHost->NewTestVerdict();

    // 3. Sizes.
    mWindow = window;
    mWidth = mHost->GetScreenWidth();
    mHeight = mHost->GetScreenHeight();
    mAspect.Set(mWidth, mHeight);
    platform::GetDesktopSize(mDesktopWidth, mDesktopHeight);
    mDesktopAspect.Set(mDesktopWidth, mDesktopHeight);
    mDisplayWidth = mWidth;
    mDisplayHeight = mHeight;
    mDisplayAspect = mAspect;
    mIsAspectCorrected = false;
    mPresentationRect = Rect(0, 0, mWidth, mHeight);
    mHost->SetScreenRect(Rect(0, 0, mWidth, mHeight));
    mFullscreenBits = settings.fullScreenBits;
    mWindowed = windowed;
    mCursorDrawn = false;
    OutputDebugF("Application requests %4lu x %4lu [%2d:%2d]\n", (unsigned long)mWidth,
                 (unsigned long)mHeight, mAspect.mNumerator, mAspect.mDenominator);

    int result = windowed ? InitWindowed(window) : InitFullScreen(window);
    if (result != RESULT_OK) return result;

    OutputDebugF("Draw buffer is       %4lu x %4lu [%2d:%2d]\n", (unsigned long)mWidth,
                 (unsigned long)mHeight, mAspect.mNumerator, mAspect.mDenominator);

    // Refresh rate, kept within 60 to 100 Hz.
    int rate = 0;
    if (mDD->GetMonitorFrequency(rate) < 0 || rate < 60 || rate > 100)
    {
        mHost->SetUnusualRefreshRate(true);
        rate = rate > 100 ? 100 : 60;
    }
    mRefreshRate = rate;
    mMillisecondsPerFrame = 1000 / rate;

    // Cursor areas.
    SurfaceDesc area;
    area.width = kCursorArea;
    area.height = kCursorArea;
    area.memory = platform::SurfaceMemory::System;
    if (CheckResult(mDD->CreateSurface(area, mOldCursorAreaSurface), "CreateSurface OldCursorArea") ||
        CheckResult(mDD->CreateSurface(area, mNewCursorAreaSurface), "CreateSurface NewCursorArea"))
        return RESULT_SURFACE_FAIL;
    mOldCursorAreaImage = new DDImage(this);
    mOldCursorAreaImage->SetSurface(mOldCursorAreaSurface);
    mOldCursorAreaImage->SetImageMode(false, false);
    mNewCursorAreaImage = new DDImage(this);
    mNewCursorAreaImage->SetSurface(mNewCursorAreaSurface);
    mNewCursorAreaImage->SetImageMode(false, false);

    // The pixel format.
    const platform::PixelFormat format = mPrimarySurface->Format();
    if (format.bitCount != 16 && format.bitCount != 32)
    {
        mErrorString = "GetSurfaceDesc: DDERR_INVALIDPIXELFORMAT";
        return RESULT_INVALID_COLORDEPTH;
    }
    mBitCount = format.bitCount;
    redMask = format.redMask;
    greenMask = format.greenMask;
    blueMask = format.blueMask;
    auto place = [](uint32_t mask, int& shift, int& bits)
    {
        shift = mask ? std::countr_zero(mask) : 0;
        bits = mask ? 32 - std::countl_zero(mask) - shift : 0;
    };
    place(redMask, redShift, redBits);
    place(greenMask, greenShift, greenBits);
    place(blueMask, blueShift, blueBits);
    BuildTables();

    SetDirectVideoDraw(mDirectVideoDraw);

    if (mIs3D)
    {
        if (!mD3DInterface->InitFromDDInterface(this))
        {
            mErrorString = "3D init error: " + mD3DInterface->mErrorText;
            return RESULT_3D_FAIL;
        }
    }
    mRendererName = mDD->RendererName();
    // The road and renderer go to the log whenever they change (not at every rebuild of the surfaces).
    std::string shownThrough = mDD->PresentsThroughRenderer() ? "SDL's " + mRendererName + " renderer"
                                                              : std::string("the window's surface");
    std::string choice = StrFormat("Display: drawing through %s, shown through %s, %d x %d %s, %d-bit",
                                   mIs3D ? "the 3D renderer" : "surfaces", shownThrough.c_str(), mWidth,
                                   mHeight, windowed ? "in a window" : "full screen", mBitCount);
    if (choice != mLoggedChoice)
    {
        mLoggedChoice = choice;
        std::fprintf(stderr, "%s\n", choice.c_str());
    }

    ++mInitCount;
    mInitialized = true;
    return RESULT_OK;
}

int DDInterface::InitFullScreen(platform::WindowId window)
{
    DisplaySettings settings = mHost->GetDisplaySettings();
    OutputDebugF("Desktop is           %4lu x %4lu [%2d:%2d]\n", (unsigned long)mDesktopWidth,
                 (unsigned long)mDesktopHeight, mDesktopAspect.mNumerator, mDesktopAspect.mDenominator);
    if (mIs3D && mDesktopWidth > 0 && mDesktopHeight > 0 && RatiosDiffer(mDesktopAspect, mAspect))
    {
        mIsAspectCorrected = true;
        mDisplayWidth = mDesktopWidth;
        mDisplayHeight = mDesktopHeight;
        mDisplayAspect = mDesktopAspect;
        if (!settings.stretchToAspect)
        {
            int w = int(int64_t(mWidth) * mDesktopHeight / std::max(mHeight, 1));
            mPresentationRect = Rect((mDesktopWidth - w) / 2, 0, w, mDesktopHeight);
        }
        else
        {
            mAspect = mDesktopAspect;
            mWidth = int(int64_t(mAspect.mNumerator) * mHeight / std::max(mAspect.mDenominator, 1));
            mPresentationRect = Rect(0, 0, mDesktopWidth, mDesktopHeight);
        }
    }
    OutputDebugF("Display is           %4lu x %4lu [%2d:%2d]\n", (unsigned long)mDisplayWidth,
                 (unsigned long)mDisplayHeight, mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);

    if (CheckResult(mDD->SetCooperativeLevel(window, true, settings.waitForVSync, mIs3D),
                    "SetCooperativeLevel FullScreen"))
        return RESULT_EXCLUSIVE_FAIL;
    if (CheckResult(mDD->SetDisplayMode(mDisplayWidth, mDisplayHeight, mFullscreenBits),
                    "SetDisplayMode FullScreen"))
        return RESULT_DISPCHANGE_FAIL;

    SurfaceDesc primary;
    primary.primary = true;
    primary.backBuffers = 1;
    primary.renderTarget = false;
    if (CheckResult(mDD->CreateSurface(primary, mPrimarySurface), "CreateSurface FullScreen Primary"))
        return RESULT_SURFACE_FAIL;
    mSecondarySurface = mPrimarySurface->GetBackBuffer();
    if (!mSecondarySurface)
    {
        CheckResult(platform::kErrGeneric, "GetAttachedSurface");
        return RESULT_SURFACE_FAIL;
    }
    if (mIsAspectCorrected)
    {
        for (DisplaySurface* s : {mPrimarySurface.get(), mSecondarySurface.get()})
        {
            platform::SurfaceLock l;
            if (s->Lock(l, platform::kLockWait | platform::kLockWriteOnly) >= 0)
            {
                for (int y = 0; y < l.height; ++y)
                    std::memset(l.bits + size_t(y) * size_t(l.pitch), 0,
                                size_t(l.width) * size_t(l.format.BytesPerPixel()));
                s->Unlock();
            }
        }
    }

    if (!CreateDrawSurface("CreateSurface FullScreen DrawSurface")) return RESULT_SURFACE_FAIL;
    mPrimarySurface->SetClipper(true);
    if (!settings.flipInFullScreen) mDD->FlipToGDISurface();
    return RESULT_OK;
}

int DDInterface::InitWindowed(platform::WindowId window)
{
    DisplaySettings settings = mHost->GetDisplaySettings();
    Ratio hack(settings.aspectHackNumerator, settings.aspectHackDenominator);
    OutputDebugF("Hack aspect is                   [%2d:%2d]\n", hack.mNumerator, hack.mDenominator);
    if (settings.aspectHack && RatiosDiffer(hack, mAspect))
    {
        mIsAspectCorrected = true;
        mDisplayWidth = int(int64_t(hack.mNumerator) * mHeight / std::max(hack.mDenominator, 1));
        mDisplayHeight = mHeight;
        mDisplayAspect = hack;
        int left = 0, top = 0;
        if (platform::GetMainWindowPosition(left, top))
        {
            left -= (mDisplayWidth - mWidth) / 2;
            top -= (mDisplayHeight - mHeight) / 2;
            platform::MoveMainWindow(std::max(left, 0), std::max(top, 0), mDisplayWidth, mDisplayHeight);
        }
        if (!settings.stretchToAspect)
        {
            mPresentationRect = Rect((mDisplayWidth - mWidth) / 2, 0, mWidth, mHeight);
        }
        else
        {
            mWidth = mDisplayWidth;
            mAspect = mDisplayAspect;
            mPresentationRect = Rect(0, 0, mDisplayWidth, mDisplayHeight);
        }
    }
    OutputDebugF("Window is            %4lu x %4lu [%2d:%2d]\n", (unsigned long)mDisplayWidth,
                 (unsigned long)mDisplayHeight, mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);

    if (CheckResult(mDD->SetCooperativeLevel(window, false, settings.waitForVSync, mIs3D),
                    "SetCooperativeLevel Windowed"))
        return RESULT_FAIL;
    SurfaceDesc primary;
    primary.primary = true;
    DisplayResult hr = mDD->CreateSurface(primary, mPrimarySurface);
    if (hr == platform::kErrInvalidPixelFormat)
    {
        CheckResult(hr, "CreateSurface Windowed Primary");
        return RESULT_INVALID_COLORDEPTH;
    }
    if (CheckResult(hr, "CreateSurface Windowed Primary")) return RESULT_SURFACE_FAIL;

    if (!CreateDrawSurface("CreateSurface Windowed DrawSurface")) return RESULT_SURFACE_FAIL;
    mPrimarySurface->SetClipper(true);
    return RESULT_OK;
}

bool DDInterface::CreateDrawSurface(const char* what)
{
    // In system memory, where software drawing locks it cheaply; with the 3D device when 3D is on.
    SurfaceDesc draw;
    draw.width = mWidth;
    draw.height = mHeight;
    draw.renderTarget = mIs3D;
    draw.memory = mIs3D ? platform::SurfaceMemory::Video : platform::SurfaceMemory::System;
    return !CheckResult(mDD->CreateSurface(draw, mDrawSurface), what);
}

void DDInterface::BuildTables()
{
    auto build = [](std::vector<int>& add, uint32_t* scale, int bits, uint32_t mask)
    {
        bits = std::clamp(bits, 0, 16);
        int max = (1 << bits) - 1;
        add.assign(size_t((2 << bits) - 1), 0);
        for (size_t i = 0; i < add.size(); ++i)
            add[i] = std::min(int(i), max);
        for (uint32_t v = 0; v < 256; ++v)
            scale[v] = uint32_t((uint64_t(v) * mask / 255) & mask);
    };
    build(mRedAddTable, mRedConvTable, redBits, redMask);
    build(mGreenAddTable, mGreenConvTable, greenBits, greenMask);
    build(mBlueAddTable, mBlueConvTable, blueBits, blueMask);
}

void DDInterface::SetDirectVideoDraw(bool on)
{
    AutoCrit lock(mCritSect);
    mDirectVideoDraw = on;
    if (!mDD || !mDrawSurface) return;
    if (on && !mSecondarySurface)
    {
        SurfaceDesc video;
        video.width = mWidth;
        video.height = mHeight;
        video.memory = platform::SurfaceMemory::Video;
        if (mDD->CreateSurface(video, mSecondarySurface) < 0) mDirectVideoDraw = on = false;
    }
    delete mScreenImage;
    mScreenImage = new DDImage(this);
    mScreenImage->SetSurface(on ? mSecondarySurface : mDrawSurface);
    mScreenImage->mNeverLock = on;
    mScreenImage->mInVideoMemory = on;
    mScreenImage->SetImageMode(false, false);
}

void DDInterface::Cleanup()
{
    AutoCrit lock(mCritSect);
    mInitialized = false;
    if (mD3DInterface) mD3DInterface->Cleanup();
    delete mOldCursorAreaImage;
    mOldCursorAreaImage = nullptr;
    delete mNewCursorAreaImage;
    mNewCursorAreaImage = nullptr;
    mOldCursorAreaSurface.reset();
    mNewCursorAreaSurface.reset();
    delete mScreenImage;
    mScreenImage = nullptr;
    mDrawSurface.reset();
    mSecondarySurface.reset();
    mPrimarySurface.reset();
    if (mDD) mDD->RestoreDisplayMode();
    mDD.reset();
    mCursorDrawn = false;
}

bool DDInterface::SetupTester(platform::WindowId window)
{
    if (mD3DTester) return false;
    DisplaySettings settings = mHost->GetDisplaySettings();
    if (!settings.want3D && !settings.autoTest3D) return false;
    mD3DTester = new D3DTester(mHost);
    mD3DTester->SetVidMemoryLimits(settings.minVidMemory, settings.recVidMemory);
    mD3DTester->Run(window, mDD);
    mTestRan = true;
    mTestFailureReason = mD3DTester->mFailureReason;
    mTestWarning = mD3DTester->mWarning;
    if (settings.autoTest3D && mTestFailureReason.empty() && mTestWarning.empty()) mIs3D = true;
    if (!mTestFailureReason.empty()) mIs3D = false;
    if (mD3DTester->mNewVerdict && (!mTestFailureReason.empty() || !mTestWarning.empty())) mIs3D = false;
    OutputDebugF("3D test: %s%s%s\n", mTestFailureReason.empty() ? "passed" : mTestFailureReason.c_str(),
                 mTestWarning.empty() ? "" : ", warning: ", mTestWarning.c_str());
    return true;
}

// ---------------------------------------------------------------- presenting

bool DDInterface::Redraw(const Rect* rect)
{
    return RedrawRects({rect ? *rect : Rect(0, 0, mWidth, mHeight)});
}

bool DDInterface::RedrawRects(const std::vector<Rect>& asked)
{
    AutoCrit lock(mCritSect);
    if (!mInitialized || !mScreenImage) return false;
    const DisplaySettings settings = mHost->GetDisplaySettings();
    PresentingScope presenting(mPresenting);
    if (mIs3D && !EndScene3D()) return false;

    // A lost display is found at every present, also at one with nothing new to show, which
    // touches no surface (a still screen presents nothing but must still come back).
    const char* what = mWindowed ? "Redraw Windowed" : "Redraw FullScreen";
    for (DisplaySurface* surface : {mPrimarySurface.get(), mDrawSurface.get()})
        if (surface && surface->IsLost()) return EndPresent({platform::kErrSurfaceLost, what});

    const PresentPlan plan = PlanPresent(asked, settings);
    // Pending drawing has finished once the draw surface can be locked (a 3D draw surface has
    // finished with the end of its scene: it is not read back for that).
    platform::SurfaceLock probe;
    if (!mIs3D && mDrawSurface->Lock(probe, platform::kLockWait | platform::kLockReadOnly) >= 0)
        mDrawSurface->Unlock();

    if (mIs3D && !mDirectVideoDraw) return EndPresent(PresentThrough3D(settings));
    PresentResult result;
    if (plan.flipping)
        result = PresentByFlip(plan);
    else if (!mWindowed)
        result = {CopyRects(mPrimarySurface.get(), mDrawSurface.get(), plan), "Redraw FullScreen Blt"};
    else if (!mDirectVideoDraw)
        result = PresentWindowed(plan, settings);
    else
        result = PresentScreenImage(plan, settings);
    mDD->PresentPending();
    return EndPresent(result);
}

bool DDInterface::EndScene3D()
{
    // The frame's scene ends here; its errors are checked once it has ended.
    mD3DInterface->Flush();
    if (mD3DInterface->mErrorText.empty() && !mD3DInterface->mRenderTargetLost) return true;
    mIs3D = false;
    m3DFailedThisRun = true;
    mErrorString = "3D error: " + mD3DInterface->mErrorText;
    mD3DInterface->mErrorText.clear();
    mInitialized = false;
    return false;
}

bool DDInterface::EndPresent(const PresentResult& result)
{
    if (!CheckResult(result.hr, result.what)) return true;
    mInitialized = false;
    return false;
}

DDInterface::PresentPlan DDInterface::PlanPresent(const std::vector<Rect>& asked,
                                                  const DisplaySettings& settings)
{
    // What is presented: the asked rectangles cut to the draw buffer, and where the software
    // cursor was shown and will be (it moves with the frame). With the aspect corrected the
    // draw buffer is stretched onto the presentation rectangle: whole.
    PresentPlan plan;
    plan.flipping = !mWindowed && settings.flipInFullScreen && !settings.popupShown;
    const bool drawsCursor = mWindowed || plan.flipping;
    const Rect bounds(0, 0, mWidth, mHeight);
    if (mIsAspectCorrected)
    {
        plan.rects.push_back(bounds);
    }
    else
    {
        for (const Rect& r : asked)
        {
            Rect c = r.Intersection(bounds);
            if (c.mWidth > 0 && c.mHeight > 0) plan.rects.push_back(c);
        }
        if (drawsCursor && mCursorImage.load())
        {
            for (const Rect& area :
                 {CursorAreaAt(mCursorOldX, mCursorOldY, nullptr), CursorAreaAt(mCursorX, mCursorY, nullptr)})
                if (area.mWidth > 0 && area.mHeight > 0) plan.rects.push_back(area);
        }
    }
    plan.whole = std::find(plan.rects.begin(), plan.rects.end(), bounds) != plan.rects.end();
    return plan;
}

DisplayResult DDInterface::CopyRects(DisplaySurface* to, DisplaySurface* from, const PresentPlan& plan)
{
    const Rect bounds(0, 0, mWidth, mHeight);
    for (const Rect& r : plan.rects)
    {
        SurfaceRect src = ToSurfaceRect(mIsAspectCorrected ? bounds : r);
        SurfaceRect dst = ToSurfaceRect(mIsAspectCorrected ? mPresentationRect : r);
        DisplayResult hr = to->Blt(&dst, from, &src, platform::kBltWait);
        if (hr < 0) return hr;
    }
    return platform::kDisplayOk;
}

void DDInterface::NoteCursorShown()
{
    mCursorOldX = mCursorX.load();
    mCursorOldY = mCursorY.load();
}

DDInterface::PresentResult DDInterface::PresentThrough3D(const DisplaySettings& settings)
{
    // The renderer draws the whole window at each present: the frame goes from the draw
    // surface's texture straight to it, with the cursor composed in for the moment.
    if (mWindowed && settings.waitForVSync && !settings.softVSync) mDD->WaitForVerticalBlank();
    NoteCursorShown();
    DrawCursor(mDrawSurface.get(), false);
    const DisplayResult hr = mDD->PresentSurface(*mDrawSurface);
    RestoreCursorArea(mDrawSurface.get());
    return {hr, mWindowed ? "Redraw Windowed" : "Redraw FullScreen Flip"};
}

DDInterface::PresentResult DDInterface::PresentByFlip(const PresentPlan& plan)
{
    DisplayResult hr = platform::kDisplayOk;
    if (!mDirectVideoDraw) hr = CopyRects(mSecondarySurface.get(), mDrawSurface.get(), plan);
    if (hr >= 0)
    {
        NoteCursorShown();
        DrawCursor(mSecondarySurface.get(), true);
        hr = mPrimarySurface->Flip();
    }
    return {hr, "Redraw FullScreen Flip"};
}

DDInterface::PresentResult DDInterface::PresentWindowed(const PresentPlan& plan,
                                                        const DisplaySettings& settings)
{
    NoteCursorShown();
    DrawCursor(mDrawSurface.get(), false);
    bool split = false;
    if (settings.waitForVSync && !settings.softVSync)
    {
        // A whole frame is shown in two halves behind the scan line; parts wait for the blank.
        if (plan.whole && mScanLineFailCount < 3)
            split = SplitPresent(Rect(0, 0, mWidth, mHeight), mPresentationRect);
        if (!split) mDD->WaitForVerticalBlank();
    }
    DisplayResult hr = platform::kDisplayOk;
    if (!split) hr = CopyRects(mPrimarySurface.get(), mDrawSurface.get(), plan);
    if (mCursorDrawn)
    {
        RestoreCursorArea(mDrawSurface.get());
        mCursorDrawn = true; // the cursor now shows on the primary
    }
    return {hr, "Redraw Windowed"};
}

DDInterface::PresentResult DDInterface::PresentScreenImage(const PresentPlan& plan,
                                                           const DisplaySettings& settings)
{
    // Drawing goes straight to the secondary surface, the screen image itself.
    if (settings.waitForVSync && !settings.softVSync) mDD->WaitForVerticalBlank();
    NoteCursorShown();
    DrawCursor(mSecondarySurface.get(), true);
    const DisplayResult hr = CopyRects(mPrimarySurface.get(), mSecondarySurface.get(), plan);
    // The cursor leaves it again, as it leaves the draw surface, so that a frame that redraws
    // only a part does not keep it.
    if (mCursorDrawn)
    {
        RestoreCursorArea(mSecondarySurface.get());
        mCursorDrawn = true;
    }
    return {hr, "Redraw Windowed"};
}

bool DDInterface::SplitPresent(const Rect& source, const Rect& dest)
{
    int half = mHost->GetScreenHeight() / 2;
    int middle = dest.mY + half, bottom = dest.mY + mHeight;
    int screenHeight = mDD->ScreenHeight();
    uint32_t start = platform::Clock::Get().Ticks();
    bool armed = false;
    // Bounded by polls as well as by time, so that a clock that stands still cannot hold it.
    for (int polls = 0; polls < 200000 && platform::Clock::Get().Ticks() - start < 200; ++polls)
    {
        int line = 0;
        DisplayResult hr = mDD->GetScanLine(line);
        bool blank = hr == platform::kErrVerticalBlankInProgress;
        if (hr < 0 && !blank) break;
        if (!blank && line < middle && line < screenHeight)
        {
            armed = true;
            continue;
        }
        if (!armed) continue;
        mScanLineFailCount = 0;
        SurfaceRect upperSrc{source.mX, source.mY, source.mX + source.mWidth, source.mY + half};
        SurfaceRect upperDst{dest.mX, dest.mY, dest.mX + dest.mWidth, middle};
        mPrimarySurface->Blt(&upperDst, mDrawSurface.get(), &upperSrc, platform::kBltWait);
        int startLine = line;
        for (int wait = 0; wait < 200000; ++wait)
        {
            int now = 0;
            mDD->GetScanLine(now);
            if (now < startLine || now >= bottom) break;
        }
        SurfaceRect lowerSrc{source.mX, source.mY + half, source.mX + source.mWidth,
                             source.mY + source.mHeight};
        SurfaceRect lowerDst{dest.mX, middle, dest.mX + dest.mWidth, bottom};
        mPrimarySurface->Blt(&lowerDst, mDrawSurface.get(), &lowerSrc, platform::kBltWait);
        return true;
    }
    ++mScanLineFailCount;
    return false;
}

void DDInterface::PresentPending()
{
    {
        AutoCrit lock(mCritSect);
        // On the 3D road the cursor moves with a present of its areas, here on the main thread:
        // the screen's picture is with the renderer, which the cursor thread may not touch.
        // (The primary is not what the 3D road shows.)
        if (!mIs3D)
        {
            if (mDD) mDD->PresentPending();
            return;
        }
        bool cursorMoved = mInitialized && mCursorImage.load() &&
                           (mCursorX.load() != mCursorOldX.load() || mCursorY.load() != mCursorOldY.load());
        if (!cursorMoved) return;
    }
    RedrawRects({});
}

bool DDInterface::PresentMayWaitForVSync() const
{
    return mDD && mDD->PresentsThroughRenderer();
}

// ---------------------------------------------------------------- software cursor

Rect DDInterface::CursorAreaAt(int x, int y, DisplaySurface* surface) const
{
    Rect bounds = surface ? Rect(0, 0, surface->Width(), surface->Height()) : Rect(0, 0, mWidth, mHeight);
    return Rect(x - kCursorArea / 2, y - kCursorArea / 2, kCursorArea, kCursorArea).Intersection(bounds);
}

void DDInterface::ComposeCursor(DDImage* area)
{
    Image* cursor = mCursorImage.load();
    if (!cursor || !area) return;
    Graphics g(area);
    g.DrawImage(cursor, (kCursorArea - cursor->GetWidth()) / 2, (kCursorArea - cursor->GetHeight()) / 2);
}

void DDInterface::DrawCursor(DisplaySurface* surface, bool toScreen)
{
    (void)toScreen; // the screen and the client area share their origin here
    Image* cursor = mCursorImage.load();
    if (!cursor || !mPrimarySurface || !surface)
    {
        mCursorDrawn = false;
        return;
    }
    int x = mCursorOldX, y = mCursorOldY;
    Rect area = CursorAreaAt(x, y, surface);
    if (area.mWidth <= 0 || area.mHeight <= 0)
    {
        mCursorDrawn = false;
        return;
    }
    // The area is saved at its place within the 64 x 64 surface.
    Rect inArea(area.mX - (x - kCursorArea / 2), area.mY - (y - kCursorArea / 2), area.mWidth, area.mHeight);
    SurfaceRect from = ToSurfaceRect(area), to = ToSurfaceRect(inArea);
    mCursorDrawn = mOldCursorAreaSurface->Blt(&to, surface, &from, platform::kBltWait) >= 0;
    if (!mCursorDrawn) return;
    if (surface == mDrawSurface.get() && !mIs3D && mScreenImage && !mScreenImage->mNeverLock)
    {
        Graphics g(mScreenImage);
        g.DrawImage(cursor, x - kCursorArea / 2 + (kCursorArea - cursor->GetWidth()) / 2,
                    y - kCursorArea / 2 + (kCursorArea - cursor->GetHeight()) / 2);
        return;
    }
    mNewCursorAreaSurface->Blt(nullptr, mOldCursorAreaSurface.get(), nullptr, platform::kBltWait);
    mNewCursorAreaImage->DiscardMemoryCopies();
    ComposeCursor(mNewCursorAreaImage);
    surface->Blt(&from, mNewCursorAreaSurface.get(), &to, platform::kBltWait);
}

void DDInterface::RestoreCursorArea(DisplaySurface* surface)
{
    if (!mCursorDrawn || !mPrimarySurface || !surface) return;
    int x = mCursorOldX, y = mCursorOldY;
    Rect area = CursorAreaAt(x, y, surface);
    if (area.mWidth > 0 && area.mHeight > 0)
    {
        Rect inArea(area.mX - (x - kCursorArea / 2), area.mY - (y - kCursorArea / 2), area.mWidth,
                    area.mHeight);
        SurfaceRect from = ToSurfaceRect(inArea), to = ToSurfaceRect(area);
        surface->Blt(&to, mOldCursorAreaSurface.get(), &from, platform::kBltWait);
        if (surface == mDrawSurface.get() && mScreenImage) mScreenImage->DiscardMemoryCopies();
    }
    mCursorDrawn = false;
}

void DDInterface::MoveCursor(DisplaySurface* surface, int x, int y)
{
    if (!mCursorImage.load() || !mPrimarySurface || !surface)
    {
        mCursorDrawn = false;
        return;
    }
    // The old area goes back, and the cursor is drawn at its new place with a fresh background.
    RestoreCursorArea(surface);
    mCursorOldX = x;
    mCursorOldY = y;
    DrawCursor(surface, true);
}

void DDInterface::SetCursorPos(int x, int y)
{
    mCursorX = x;
    mCursorY = y;
    if (mPresenting) return;
    AutoCrit lock(mCritSect);
    // On the 3D road the main thread draws it (PresentPending).
    if (!mInitialized || !mPrimarySurface || mPresenting || mIs3D) return;
    if (!mCursorDrawn)
    {
        mCursorOldX = x;
        mCursorOldY = y;
        DrawCursor(mPrimarySurface.get(), true);
    }
    else
    {
        MoveCursor(mPrimarySurface.get(), x, y);
    }
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
    // A cursor on the primary goes with its image.
    if (mCursorDrawn && mPrimarySurface && !mPresenting) RestoreCursorArea(mPrimarySurface.get());
    mCursorImage = image;
    return true;
}

// ---------------------------------------------------------------- images

void DDInterface::RemoveImageTextures(MemoryImage* image)
{
    if (mD3DInterface) mD3DInterface->RemoveImageTextures(image);
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
