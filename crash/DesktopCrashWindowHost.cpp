#include "crash/DesktopCrashWindowHost.h"

#include "platform/system/Clock.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kScreenMargin = 8;

} // namespace

DesktopCrashWindowHost::DesktopCrashWindowHost() = default;

DesktopCrashWindowHost::~DesktopCrashWindowHost()
{
    CloseAll();
}

platform::PrivateDesktop::Area DesktopCrashWindowHost::Place(const platform::PrivateDesktop::Area& work,
                                                             int x, int y, int width, int height)
{
    platform::PrivateDesktop::Area area;
    area.width = std::clamp(width, 1, std::max(1, work.width - 2 * kScreenMargin));
    area.height = std::clamp(height, 1, std::max(1, work.height - 2 * kScreenMargin));
    // The desktop's frame adds to the size: a window is kept a margin away from the edges.
    area.x = work.x +
             std::clamp(x, kScreenMargin, std::max(kScreenMargin, work.width - kScreenMargin - area.width));
    area.y = work.y +
             std::clamp(y, kScreenMargin, std::max(kScreenMargin, work.height - kScreenMargin - area.height));
    return area;
}

void DesktopCrashWindowHost::Open(Window window, const std::string& title, const CrashDialog::Spec& spec,
                                  int x, int y, int width, int height)
{
    HideWindow(window);
    platform::PrivateDesktop::Area area = Place(mDesktop.WorkArea(), x, y, width, height);
    Shown& shown = mShown[window];
    shown.dialog = std::make_unique<CrashDialog>(spec, area.width, area.height);
    shown.id = mDesktop.OpenWindow(title, area);
    Redraw(window);
}

void DesktopCrashWindowHost::Redraw(Window window)
{
    auto it = mShown.find(window);
    if (it == mShown.end() || !it->second.id) return;
    CrashDialog& dialog = *it->second.dialog;
    const uint32_t* pixels = dialog.Draw();
    mDesktop.ShowPicture(it->second.id, pixels, dialog.Width(), dialog.Height(), dialog.Width());
}

std::map<CrashWindowHost::Window, DesktopCrashWindowHost::Shown>::iterator
DesktopCrashWindowHost::ShownOf(int id)
{
    return std::find_if(mShown.begin(), mShown.end(),
                        [id](const auto& entry) { return entry.second.id == id; });
}

void DesktopCrashWindowHost::ShowErrorWindow(const std::string& intro, const std::string& report,
                                             bool offerSend, bool sendEnabled)
{
    if (!mDesktop.Connect())
    {
        mOnStderr = true;
        mStderr.ShowErrorWindow(intro, report, offerSend, sendEnabled);
        return;
    }
    mDesktop.OfferClipboardText(report);
    CrashDialog::Spec spec;
    spec.notice = intro;
    spec.noticeBold = true;
    spec.box = CrashDialog::Box::Report;
    spec.boxText = report;
    if (offerSend) spec.buttons.push_back({"Send Report", sendEnabled});
    spec.buttons.push_back({"Close Now", true});
    Open(Window::Error, "Fatal Error!", spec, kErrorX, kErrorY, kErrorWidth, kErrorHeight);
}

void DesktopCrashWindowHost::ShowDetailsWindow(const std::string& request, bool continueEnabled)
{
    if (mOnStderr) return;
    CrashDialog::Spec spec;
    spec.notice = request;
    spec.noticeBold = true;
    spec.box = CrashDialog::Box::UserText;
    spec.buttons = {{"Continue", continueEnabled}, {"Abort", true}};
    Open(Window::Details, "Error Details", spec, kDetailsX, kDetailsY, kErrorWidth, kErrorHeight);
}

void DesktopCrashWindowHost::ShowProgressWindow(const std::string& status)
{
    if (mOnStderr) return;
    CrashDialog::Spec spec;
    spec.notice = status;
    spec.noticeBold = true;
    spec.buttons = {{"Abort", true}};
    Open(Window::Progress, "Submitting Report", spec, kErrorX, kErrorY, kProgressWidth, kProgressHeight);
}

void DesktopCrashWindowHost::ShowRetryBox(const std::string& text, const std::string& caption)
{
    if (mOnStderr) return;
    CrashDialog::Spec spec;
    spec.notice = text;
    spec.buttons = {{"Retry", true}, {"Cancel", true}};
    // Over the progress window.
    int x = kErrorX + (kProgressWidth - kRetryWidth) / 2, y = kErrorY + kProgressHeight / 2;
    Open(Window::RetryBox, caption, spec, x, y, kRetryWidth, kRetryHeight);
}

void DesktopCrashWindowHost::HideWindow(Window window)
{
    auto it = mShown.find(window);
    if (it == mShown.end()) return;
    if (window == Window::Details) mUserText = it->second.dialog->BoxText();
    if (it->second.id) mDesktop.CloseWindow(it->second.id);
    mShown.erase(it);
}

void DesktopCrashWindowHost::SetStatusText(const std::string& status)
{
    auto it = mShown.find(Window::Progress);
    if (it == mShown.end()) return;
    it->second.dialog->SetNotice(status);
    Redraw(Window::Progress);
}

std::string DesktopCrashWindowHost::GetUserText()
{
    auto it = mShown.find(Window::Details);
    return it != mShown.end() ? it->second.dialog->BoxText() : mUserText;
}

CrashWindowHost::Event DesktopCrashWindowHost::WaitEvent(uint32_t waitMs)
{
    if (mOnStderr) return mStderr.WaitEvent(waitMs);
    platform::Clock& clock = platform::Clock::Get();
    uint32_t start = clock.Ticks();
    for (;;)
    {
        uint32_t waited = clock.Ticks() - start;
        platform::PrivateDesktop::Event e;
        if (waited > waitMs || !mDesktop.NextEvent(e, waitMs - waited)) return Event();
        auto it = ShownOf(e.window);
        if (it == mShown.end()) continue;
        const Window window = it->first;
        CrashDialog& dialog = *it->second.dialog;
        int pressed = CrashDialog::kNoButton;
        using Kind = platform::PrivateDesktop::EventKind;
        switch (e.kind)
        {
        case Kind::CloseAsked:
            return Event{Button::Close, window};
        case Kind::Key:
            pressed = dialog.Key(e.key, e.character, e.shift, e.ctrl);
            break;
        case Kind::ButtonDown:
            pressed = dialog.ButtonDown(e.x, e.y, e.button);
            break;
        case Kind::ButtonUp:
            pressed = dialog.ButtonUp(e.x, e.y, e.button);
            break;
        case Kind::PointerMove:
            dialog.PointerMove(e.x, e.y);
            break;
        case Kind::Wheel:
            dialog.Wheel(e.wheel);
            break;
        default:
            break;
        }
        Redraw(window);
        if (pressed == CrashDialog::kNoButton) continue;
        // The last button cancels; one before it accepts. The retry box goes once answered.
        bool accept = pressed != int(dialog.Buttons().size()) - 1;
        if (window == Window::RetryBox) HideWindow(window);
        return Event{accept ? Button::Accept : Button::Cancel, window};
    }
}

void DesktopCrashWindowHost::CloseAll()
{
    while (!mShown.empty())
        HideWindow(mShown.begin()->first);
}

} // namespace Kavo
