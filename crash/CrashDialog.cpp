#include "crash/CrashDialog.h"

#include "graphics/Graphics.h"
#include "platform/window/Messages.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kMargin = 8;
constexpr int kButtonHeight = 24;
constexpr int kNoticeHeight = 84;
// A window of one button and no box (the progress window) has a small one in the middle.
constexpr int kLoneButtonWidth = 96;
constexpr int kLoneButtonHeight = 22;

const Color kWindowFace(240, 240, 240);

} // namespace

CrashDialog::CrashDialog(const Spec& spec, int width, int height)
    : mWidth(std::max(1, width)), mHeight(std::max(1, height)), mNormal(CrashFace::Normal()),
      mBold(CrashFace::Bold()), mFixed(CrashFace::Fixed()),
      mNotice(CrashTextBox::Style::Plain, spec.noticeBold ? mBold : mNormal)
{
    mNotice.SetText(spec.notice);
    if (spec.box == Box::Report)
        mBox = std::make_unique<CrashTextBox>(CrashTextBox::Style::ReadOnly, mFixed);
    else if (spec.box == Box::UserText)
        mBox = std::make_unique<CrashTextBox>(CrashTextBox::Style::Editable, mNormal);
    if (mBox) mBox->SetText(spec.boxText);
    for (const Button& b : spec.buttons)
        mButtons.emplace_back(b.label, b.enabled);
    mDefault = std::clamp(spec.defaultButton, 0, std::max(0, int(mButtons.size()) - 1));
    if (!mButtons.empty() && !mButtons[size_t(mDefault)].Enabled()) mDefault = int(mButtons.size()) - 1;
    Layout();
    SetFocus(spec.box == Box::UserText ? -1 : mDefault);
    mPicture.Create(mWidth, mHeight);
}

void CrashDialog::Layout()
{
    const int n = int(mButtons.size());
    const int inner = mWidth - 2 * kMargin;
    if (n == 1 && !mBox)
    {
        int w = std::min(kLoneButtonWidth, inner);
        mButtons[0].rect = Rect((mWidth - w) / 2, mHeight - kLoneButtonHeight - 6, w, kLoneButtonHeight);
        mNotice.SetRect(Rect(3 * kMargin, 10, mWidth - 3 * kMargin, std::max(0, mButtons[0].rect.mY - 12)));
        return;
    }
    const int buttonsTop = mHeight - kMargin - kButtonHeight;
    if (n > 0)
    {
        int w = std::max(1, (mWidth - kMargin - kMargin * n) / n);
        for (int i = 0; i < n; ++i)
            mButtons[size_t(i)].rect = Rect(kMargin + i * (w + kMargin), buttonsTop, w, kButtonHeight);
    }
    if (mBox)
    {
        int noticeHeight = std::clamp((buttonsTop - kMargin) / 3, 0, kNoticeHeight);
        mNotice.SetRect(Rect(kMargin, kMargin, inner, noticeHeight));
        int top = kMargin + noticeHeight;
        mBox->SetRect(Rect(kMargin, top, inner, std::max(0, buttonsTop - kMargin - top)));
    }
    else
    {
        mNotice.SetRect(Rect(kMargin, 12, inner, std::max(0, buttonsTop - 12 - kMargin)));
    }
}

void CrashDialog::SetNotice(const std::string& text)
{
    mNotice.SetText(text);
}

std::string CrashDialog::BoxText() const
{
    std::string text;
    if (!mBox) return text;
    for (char c : mBox->GetText())
    {
        if (c == '\n') text.push_back('\r');
        text.push_back(c);
    }
    return text;
}

void CrashDialog::SetFocus(int focus)
{
    if (focus == -1 && !mBox) focus = mDefault;
    mFocus = focus;
    if (mBox) mBox->SetFocused(focus == -1);
    for (int i = 0; i < int(mButtons.size()); ++i)
        mButtons[size_t(i)].focused = i == focus;
}

int CrashDialog::NextFocus(int step) const
{
    // The order: the box (-1), then the buttons.
    const int first = mBox ? -1 : 0, count = int(mButtons.size()) - first;
    if (count <= 0) return mFocus;
    int focus = mFocus;
    for (int i = 0; i < count; ++i)
    {
        focus = first + ((focus - first + step) % count + count) % count;
        if (focus == -1 || mButtons[size_t(focus)].Enabled()) return focus;
    }
    return mFocus;
}

int CrashDialog::Press(int button) const
{
    if (button < 0 || button >= int(mButtons.size()) || !mButtons[size_t(button)].Enabled()) return kNoButton;
    return button;
}

int CrashDialog::Key(int key, char character, bool shift, bool ctrl)
{
    using namespace platform;
    const bool onButton = mFocus >= 0;
    switch (key)
    {
    case VK_TAB:
        SetFocus(NextFocus(shift ? -1 : 1));
        return kNoButton;
    case VK_ESCAPE:
        return Press(int(mButtons.size()) - 1);
    case VK_RETURN:
        if (onButton) return Press(mFocus);
        if (ctrl || mBox->GetStyle() != CrashTextBox::Style::Editable) return Press(mDefault);
        break;
    case VK_SPACE:
        if (onButton) return Press(mFocus);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (onButton)
        {
            int step = key == VK_LEFT ? -1 : 1;
            for (int b = mFocus + step; b >= 0 && b < int(mButtons.size()); b += step)
                if (mButtons[size_t(b)].Enabled())
                {
                    SetFocus(b);
                    break;
                }
            return kNoButton;
        }
        break;
    default:
        break;
    }
    if (!onButton && mBox) mBox->KeyDown(key, character, ctrl);
    return kNoButton;
}

int CrashDialog::ButtonDown(int x, int y, int button)
{
    if (button != 1) return kNoButton;
    for (int i = 0; i < int(mButtons.size()); ++i)
    {
        CrashButton& b = mButtons[size_t(i)];
        if (!b.rect.Contains(x, y)) continue;
        if (!b.Enabled()) return kNoButton;
        mHeld = i;
        b.held = true;
        SetFocus(i);
        return kNoButton;
    }
    if (mBox && mBox->GetRect().Contains(x, y))
    {
        SetFocus(-1);
        mBox->ButtonDown(x, y);
    }
    return kNoButton;
}

int CrashDialog::ButtonUp(int x, int y, int button)
{
    if (button != 1) return kNoButton;
    if (mBox) mBox->ButtonUp();
    int held = mHeld;
    mHeld = -1;
    if (held < 0) return kNoButton;
    CrashButton& b = mButtons[size_t(held)];
    b.held = false;
    return b.rect.Contains(x, y) ? Press(held) : kNoButton;
}

void CrashDialog::PointerMove(int x, int y)
{
    if (mHeld >= 0) mButtons[size_t(mHeld)].held = mButtons[size_t(mHeld)].rect.Contains(x, y);
    if (mBox) mBox->PointerMove(x, y);
}

void CrashDialog::Wheel(int notches)
{
    if (mBox) mBox->Wheel(notches);
}

const uint32_t* CrashDialog::Draw()
{
    Graphics g(&mPicture);
    g.SetColor(kWindowFace);
    g.FillRect(0, 0, mWidth, mHeight);
    mNotice.Draw(g);
    if (mBox) mBox->Draw(g);
    for (const CrashButton& b : mButtons)
        b.Draw(g, mBold);
    return mPicture.GetBits();
}

} // namespace Kavo
