#include "app/ScreenSaverFilter.h"

#include "app/KavoAppBase.h"
#include "platform/system/Clock.h"
#include "platform/window/Window.h"

namespace Kavo
{

using namespace platform;

namespace
{

// Moves of the mouse to a new position that are swallowed before one ends the saver.
constexpr int kMovesSwallowed = 3;
// After a monitor-power command, activation, close and mouse moves are ignored this long.
constexpr uint32_t kMonitorPowerGraceMs = 1000;

} // namespace

bool ScreenSaverFilter::Filter(KavoAppBase* app, const Message& m, int64_t* result)
{
    if (mClosing) return false;
    switch (m.message)
    {
    case WM_CREATE:
        if (!mInitialized)
        {
            mInitialized = true;
            mPositionKnown = LastMousePosition(mLastX, mLastY) || !PointerKnownOnlyFromMoves();
        }
        return false;
    case WM_ACTIVATEAPP:
        return m.wParam == 0 && EndCheck(app, m);
    case WM_CLOSE:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return EndCheck(app, m);
    case WM_SYSCOMMAND:
        if (m.wParam == SC_CLOSE || m.wParam == SC_NEXTWINDOW || m.wParam == SC_PREVWINDOW ||
            m.wParam == SC_SCREENSAVE)
        {
            *result = 0;
            return true;
        }
        return false;
    case WM_MOUSEMOVE:
    {
        int x = LowWord(m.lParam), y = HighWord(m.lParam);
        if (!mPositionKnown)
        {
            // The desktop tells where the pointer is only with the first move it reports over
            // the new window: that report is where the pointer was, not a move.
            mPositionKnown = true;
            mLastX = x;
            mLastY = y;
        }
        if (x != mLastX || y != mLastY)
        {
            ++mMoveCount;
            mLastX = x;
            mLastY = y;
        }
        if (mMoveCount <= kMovesSwallowed)
        {
            *result = 0;
            return true;
        }
        return EndCheck(app, m);
    }
    default:
        return false;
    }
}

bool ScreenSaverFilter::EndCheck(KavoAppBase* app, const Message& m)
{
    if (app && m.window != app->mHWnd) return false;
    bool graceApplies = m.message == WM_ACTIVATEAPP || m.message == WM_CLOSE || m.message == WM_MOUSEMOVE;
    if (app && graceApplies && app->mMonitorPowerNoted &&
        Clock::Get().Ticks() - app->mMonitorPowerTick < kMonitorPowerGraceMs)
        return false;
    mClosing = true;
    PostMessage(m.window, WM_CLOSE);
    return false;
}

} // namespace Kavo
