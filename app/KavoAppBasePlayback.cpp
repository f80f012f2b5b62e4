// Demo playback controls: the keys typed while a demo plays (speed, pause, single steps,
// fast-forward, jumps to a time before the end or to a marker, sound), and the two small dialogs
// shown over the stopped playback.
#include "app/KavoAppBase.h"

#include "app/JumpToTimeDialog.h"
#include "app/MarkerListDialog.h"
#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "graphics/Graphics.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "platform/files/Registry.h"
#include "platform/system/Clock.h"
#include "widgets/WidgetManager.h"

#include <algorithm>
#include <climits>

namespace Kavo
{

namespace
{

constexpr const char* kJumpTimeValue = "DemoJumpTime";
// The longest stored jump time the dialog starts with, in bytes.
constexpr size_t kMaxStoredJumpTime = 1000;
// How long before the end the keys "4" to "9" jump to, in ms.
constexpr int64_t kJumpKeyMilliseconds[] = {120000, 90000, 60000, 30000, 10000, 5000};
// Times are held below this many seconds, so their arithmetic cannot overflow.
constexpr int64_t kMaxJumpSeconds = int64_t(1) << 40;

// A typed time in seconds: numbers separated by ":" (empty fields skipped), each read as atoi
// reads it, each field adding a factor of 60: "90", "1:30" and "0:1:30" are all 90 seconds.
int64_t ParseJumpTime(const std::string& text)
{
    int64_t total = 0;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = std::min(text.find(':', start), text.size());
        if (end > start)
        {
            size_t i = start;
            while (i < end && IsSpaceByte(text[i]))
                ++i;
            bool negative = false;
            if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
            int64_t field = 0;
            for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i)
                field = std::min(field * 10 + (text[i] - '0'), kMaxJumpSeconds);
            total = std::clamp(total * 60 + (negative ? -field : field), -kMaxJumpSeconds, kMaxJumpSeconds);
        }
        start = end + 1;
    }
    return total;
}

} // namespace

int KavoAppBase::UpdatesBeforeEnd(int64_t milliseconds)
{
    int64_t target = int64_t(mDemoLength) - milliseconds / std::max(mFrameTime, 1);
    return int(std::clamp<int64_t>(target, INT_MIN, INT_MAX));
}

void KavoAppBase::DemoPlaybackKey(char c)
{
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c >= '4' && c <= '9')
    {
        mDemoJumpTarget = UpdatesBeforeEnd(kJumpKeyMilliseconds[size_t(c - '4')]);
        return;
    }
    switch (c)
    {
    case '+':
        mUpdateMultiplier *= 1.5;
        break;
    case '-':
        mUpdateMultiplier /= 1.5;
        break;
    case '=':
        mUpdateMultiplier = 1.0;
        break;
    case 'P':
        mPaused = !mPaused;
        ResetFrameTiming();
        break;
    case 'N':
        mDemoJumpTarget = mUpdateCount + 1;
        mDemoSingleStep = true;
        break;
    case 'M':
        mDemoRunToEnd = true;
        break;
    case 'L':
        ShowMarkerList();
        break;
    case 'J':
        ShowJumpToTime();
        break;
    case 'S':
        ToggleDemoSound();
        break;
    case '0':
        mDemoJumpTarget = mDemoLength;
        break;
    default:
        break;
    }
}

void KavoAppBase::ToggleDemoSound()
{
    // Each volume on its own: a silent one gets its saved volume back, another is saved and silenced.
    auto toggle = [this](double volume, double& saved, void (KavoAppBase::*set)(double))
    {
        if (volume != 0.0) saved = volume;
        (this->*set)(volume == 0.0 ? saved : 0.0);
    };
    toggle(mMusicVolume, mDemoMusicVolume, &KavoAppBase::SetMusicVolume);
    toggle(mSfxVolume, mDemoSfxVolume, &KavoAppBase::SetSfxVolume);
}

std::vector<DemoMarker> KavoAppBase::GetMarkerListLines()
{
    std::vector<DemoMarker> lines;
    for (const DemoMarker& marker : mDemoMarkers)
    {
        if (marker.updateCount <= mUpdateCount) continue;
        int64_t s = (int64_t(mDemoLength) - marker.updateCount) * mFrameTime / 1000;
        lines.push_back({StrFormat("%s (%02d:%02d:%02d)", marker.name.c_str(), int(s / 3600),
                                   int(s / 60 % 60), int(s % 60)),
                         marker.updateCount});
    }
    return lines;
}

int KavoAppBase::ShowMarkerList()
{
    MarkerListDialog dialog(GetMarkerListLines(), mWidth);
    int result = RunPlaybackDialog(dialog);
    if (dialog.GetChosenUpdate() > mUpdateCount) mDemoJumpTarget = dialog.GetChosenUpdate();
    return result;
}

int KavoAppBase::ShowJumpToTime()
{
    // The text lives in the settings store but outside the demo's records, so that playback
    // neither takes nor needs a record for it.
    platform::RegistryStore* store = mRegKey.empty() ? nullptr : GetRegistryStore();
    const std::string key = RemoveTrailingSlash("SOFTWARE\\" + mRegKey);
    std::string text;
    uint32_t type = 0;
    if (store && store->QueryValue(key, kJumpTimeValue, type, text) && type == platform::kRegString &&
        text.size() <= kMaxStoredJumpTime)
        text = text.substr(0, text.find('\0'));
    else
        text.clear();

    JumpToTimeDialog dialog(text);
    int result = RunPlaybackDialog(dialog);
    if (result == PlaybackDialog::RESULT_OK)
    {
        text = dialog.GetText();
        if (store && store->KeyExists(key))
            store->SetValue(key, kJumpTimeValue, platform::kRegString, text + '\0');
        mDemoJumpTarget = UpdatesBeforeEnd((ParseJumpTime(text) + 1) * 1000);
    }
    return result;
}

int KavoAppBase::RunPlaybackDialog(PlaybackDialog& dialog)
{
    // The dialog has a widget manager of its own, so that nothing of the playback's widget tree
    // (focus, hover, keys held) hears of it and the replay stays true to the recording. It is
    // drawn over the frame the playback showed last. The screen image is asked for afresh at
    // every frame: a lost display is made again by the present, with a new screen image.
    ImageLib::Image shown;
    MemoryImage backdrop(this);
    const bool haveBackdrop = mWidgetManager->mScreenImage && ReadScreenImage(shown);
    if (haveBackdrop) backdrop.SetBits(shown.bits.get(), shown.width, shown.height);
    auto drawBackdrop = [&](Image* screen)
    {
        if (!haveBackdrop || !screen) return;
        Graphics g(screen);
        g.DrawImage(&backdrop, 0, 0);
    };

    WidgetManager manager(this);
    manager.Resize(mWidgetManager->mMouseRect, mWidgetManager->mDrawRect);
    dialog.Move((mWidth - dialog.mWidth) / 2, (mHeight - dialog.mHeight) / 2);
    manager.AddWidget(&dialog);
    manager.SetFocus(dialog.GetInitialFocus() ? dialog.GetInitialFocus() : &dialog);

    const int playbackCursor = mCursorNum;
    mPlaybackDialogShown = true;
    SetCursor(0);
    manager.MarkAllDirty();
    while (!mShutdown && dialog.GetResult() == Dialog::kNoResult)
    {
        Image* screen = mWidgetManager->mScreenImage;
        if (manager.mDirty && screen)
        {
            manager.mScreenImage = screen;
            drawBackdrop(screen);
            manager.MarkAllDirty();
            manager.DrawScreen();
            Redraw(nullptr);
        }
        platform::Message message;
        while (dialog.GetResult() == Dialog::kNoResult && platform::PeekMessage(message))
        {
            bool close = message.message == platform::WM_CLOSE &&
                         (message.window == mHWnd || message.window == mInvisHWnd);
            if (close ||
                (message.message == platform::WM_KEYDOWN && message.wParam == uint64_t(platform::VK_ESCAPE)))
                dialog.End(PlaybackDialog::RESULT_CANCEL);
            // A close of the window still closes the program once the dialog has gone.
            if (close || !SendLiveInput(manager, message)) WindowProc(message);
        }
        if (dialog.GetResult() != Dialog::kNoResult) break;
        manager.UpdateFrame();
        platform::Clock::Get().Sleep(uint32_t(std::max(mFrameTime, 1)));
    }
    manager.RemoveWidget(&dialog);
    manager.mScreenImage = nullptr;
    mPlaybackDialogShown = false;
    SetCursor(playbackCursor);

    // The frame as it was, and the time spent here is not caught up.
    if (haveBackdrop && mWidgetManager->mScreenImage)
    {
        drawBackdrop(mWidgetManager->mScreenImage);
        Redraw(nullptr);
    }
    mWidgetManager->MarkAllDirty();
    ResetFrameTiming();
    int result = dialog.GetResult();
    return result == Dialog::kNoResult ? PlaybackDialog::RESULT_CANCEL : result;
}

} // namespace Kavo
