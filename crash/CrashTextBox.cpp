#include "crash/CrashTextBox.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "platform/window/Messages.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kPadX = 3;
constexpr int kPadY = 2;
constexpr int kMinThumb = 12;

const Color kBoxFace(255, 255, 255);
const Color kBorder(122, 122, 122);
const Color kFocusBorder(0, 120, 215);
const Color kText(0, 0, 0);
const Color kTrack(240, 240, 240);
const Color kArrowFace(226, 226, 226);
const Color kThumb(194, 194, 194);
const Color kThumbDragged(160, 160, 160);
const Color kArrow(96, 96, 96);

// A small triangle pointing up or down in the middle of the square.
void Arrow(Graphics& g, const Rect& square, bool up)
{
    int cx = square.mX + square.mWidth / 2, cy = square.mY + square.mHeight / 2;
    for (int i = 0; i < 4; ++i)
    {
        int row = up ? cy - 2 + i : cy + 1 - i;
        g.FillRect(cx - i, row, 2 * i + 1, 1);
    }
}

} // namespace

CrashTextBox::CrashTextBox(Style style, Font& font) : mStyle(style), mFont(&font) {}

void CrashTextBox::SetRect(const Rect& rect)
{
    mRect = rect;
    Rewrap();
}

void CrashTextBox::SetText(const std::string& text)
{
    mText.clear();
    for (char c : text)
        if (c != '\r') mText.push_back(c);
    mCaret = std::min(mCaret, mText.size());
    Rewrap();
}

Rect CrashTextBox::TextArea() const
{
    if (mStyle == Style::Plain) return mRect;
    return Rect(mRect.mX + 1 + kPadX, mRect.mY + 1 + kPadY,
                std::max(0, mRect.mWidth - 2 - 2 * kPadX - kScrollBarWidth),
                std::max(0, mRect.mHeight - 2 - 2 * kPadY));
}

Rect CrashTextBox::Bar() const
{
    if (mStyle == Style::Plain) return Rect();
    return Rect(mRect.mX + mRect.mWidth - 1 - kScrollBarWidth, mRect.mY + 1, kScrollBarWidth,
                std::max(0, mRect.mHeight - 2));
}

int CrashTextBox::VisibleLines() const
{
    int height = mFont->GetHeight();
    return height > 0 ? std::max(1, TextArea().mHeight / height) : 1;
}

int CrashTextBox::LastTop() const
{
    return std::max(0, int(mLines.size()) - VisibleLines());
}

Rect CrashTextBox::Thumb() const
{
    Rect bar = Bar();
    if (bar.mHeight <= 0) return Rect();
    int track = bar.mHeight - 2 * kScrollBarWidth;
    int total = std::max<int>(1, int(mLines.size()));
    int visible = std::min(VisibleLines(), total);
    int height = std::clamp(track * visible / total, std::min(kMinThumb, track), std::max(0, track));
    int last = LastTop();
    int y = bar.mY + kScrollBarWidth + (last > 0 ? (track - height) * mTop / last : 0);
    return Rect(bar.mX, y, bar.mWidth, height);
}

std::vector<CrashTextBox::Line> CrashTextBox::Wrap(const std::string& text, Font& font, int width)
{
    std::vector<Line> lines;
    size_t start = 0;
    for (;;)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        // One paragraph: greedy, breaking at the last blank that fits.
        size_t lineStart = start;
        do
        {
            int used = 0;
            size_t i = lineStart, lastBlank = std::string::npos;
            while (i < end)
            {
                int w = font.CharWidth(text[i]);
                if (used + w > width && i > lineStart)
                {
                    if (text[i] == ' ') lastBlank = i; // a blank past the edge breaks the line there
                    break;
                }
                if (text[i] == ' ') lastBlank = i;
                used += w;
                ++i;
            }
            if (i >= end)
            {
                lines.push_back({lineStart, end - lineStart});
                lineStart = end;
                break;
            }
            if (lastBlank != std::string::npos && lastBlank > lineStart)
            {
                lines.push_back({lineStart, lastBlank - lineStart});
                lineStart = lastBlank + 1;
            }
            else
            {
                lines.push_back({lineStart, i - lineStart});
                lineStart = i;
            }
        } while (lineStart < end);
        if (end >= text.size()) break;
        start = end + 1;
    }
    return lines;
}

void CrashTextBox::Rewrap()
{
    mLines = Wrap(mText, *mFont, std::max(1, TextArea().mWidth));
    ScrollTo(mTop);
}

void CrashTextBox::ScrollTo(int top)
{
    mTop = std::clamp(top, 0, LastTop());
}

int CrashTextBox::LineOf(size_t index) const
{
    int line = 0;
    for (int i = 0; i < int(mLines.size()); ++i)
        if (mLines[size_t(i)].start <= index) line = i;
    return line;
}

void CrashTextBox::KeepCaretVisible()
{
    int line = LineOf(mCaret);
    if (line < mTop) ScrollTo(line);
    if (line >= mTop + VisibleLines()) ScrollTo(line - VisibleLines() + 1);
}

void CrashTextBox::MoveCaretToLine(int line, int column)
{
    line = std::clamp(line, 0, int(mLines.size()) - 1);
    const Line& l = mLines[size_t(line)];
    size_t index = l.start;
    int x = 0;
    while (index < l.start + l.length)
    {
        int w = mFont->CharWidth(mText[index]);
        if (x + w / 2 >= column) break;
        x += w;
        ++index;
    }
    mCaret = index;
    KeepCaretVisible();
}

size_t CrashTextBox::IndexAt(int x, int y)
{
    Rect area = TextArea();
    int height = std::max(1, mFont->GetHeight());
    int line = mTop + std::max(0, y - area.mY) / height;
    MoveCaretToLine(line, x - area.mX);
    return mCaret;
}

bool CrashTextBox::KeyDown(int key, char character, bool ctrl)
{
    using namespace platform;
    if (mStyle == Style::Plain) return false;
    const int page = std::max(1, VisibleLines() - 1);
    if (mStyle == Style::ReadOnly)
    {
        switch (key)
        {
        case VK_UP:
            ScrollTo(mTop - 1);
            return true;
        case VK_DOWN:
            ScrollTo(mTop + 1);
            return true;
        case VK_PRIOR:
            ScrollTo(mTop - page);
            return true;
        case VK_NEXT:
            ScrollTo(mTop + page);
            return true;
        case VK_HOME:
            ScrollTo(0);
            return true;
        case VK_END:
            ScrollTo(LastTop());
            return true;
        default:
            return false;
        }
    }

    // Editable.
    int line = LineOf(mCaret);
    const Line& current = mLines[size_t(line)];
    auto columnOf = [&](size_t index)
    { return mFont->StringWidth(mText.substr(current.start, index - current.start)); };
    switch (key)
    {
    case VK_LEFT:
        if (mCaret > 0) --mCaret;
        KeepCaretVisible();
        return true;
    case VK_RIGHT:
        if (mCaret < mText.size()) ++mCaret;
        KeepCaretVisible();
        return true;
    case VK_UP:
        MoveCaretToLine(line - 1, columnOf(mCaret));
        return true;
    case VK_DOWN:
        MoveCaretToLine(line + 1, columnOf(mCaret));
        return true;
    case VK_PRIOR:
        MoveCaretToLine(line - page, columnOf(mCaret));
        return true;
    case VK_NEXT:
        MoveCaretToLine(line + page, columnOf(mCaret));
        return true;
    case VK_HOME:
        mCaret = ctrl ? 0 : current.start;
        KeepCaretVisible();
        return true;
    case VK_END:
        mCaret = ctrl ? mText.size() : current.start + current.length;
        KeepCaretVisible();
        return true;
    case VK_BACK:
        if (mCaret == 0) return true;
        mText.erase(--mCaret, 1);
        break;
    case VK_DELETE:
        if (mCaret >= mText.size()) return true;
        mText.erase(mCaret, 1);
        break;
    case VK_RETURN:
        character = '\n';
        [[fallthrough]];
    default:
        if (!character || ctrl) return false;
        if (mText.size() >= mMaxLength) return true;
        mText.insert(mCaret++, 1, character);
        break;
    }
    Rewrap();
    KeepCaretVisible();
    return true;
}

void CrashTextBox::ButtonDown(int x, int y)
{
    if (mStyle == Style::Plain) return;
    Rect bar = Bar();
    if (bar.Contains(x, y))
    {
        Rect thumb = Thumb();
        const int page = std::max(1, VisibleLines() - 1);
        if (y < bar.mY + kScrollBarWidth)
            ScrollTo(mTop - 1);
        else if (y >= bar.mY + bar.mHeight - kScrollBarWidth)
            ScrollTo(mTop + 1);
        else if (y < thumb.mY)
            ScrollTo(mTop - page);
        else if (y >= thumb.mY + thumb.mHeight)
            ScrollTo(mTop + page);
        else
        {
            mDraggingThumb = true;
            mDragOffset = y - thumb.mY;
        }
        return;
    }
    if (mStyle == Style::Editable && mRect.Contains(x, y)) IndexAt(x, y);
}

void CrashTextBox::PointerMove(int, int y)
{
    if (!mDraggingThumb) return;
    Rect bar = Bar(), thumb = Thumb();
    int room = bar.mHeight - 2 * kScrollBarWidth - thumb.mHeight;
    if (room <= 0) return;
    int offset = y - mDragOffset - (bar.mY + kScrollBarWidth);
    ScrollTo((offset * LastTop() + room / 2) / room);
}

void CrashTextBox::ButtonUp()
{
    mDraggingThumb = false;
}

void CrashTextBox::Wheel(int notches)
{
    if (mStyle != Style::Plain) ScrollTo(mTop - notches * kWheelLines);
}

void CrashTextBox::Draw(Graphics& g)
{
    if (mStyle != Style::Plain)
    {
        g.SetColor(kBoxFace);
        g.FillRect(mRect);
        g.SetColor(mFocused ? kFocusBorder : kBorder);
        g.DrawRect(mRect.mX, mRect.mY, mRect.mWidth - 1, mRect.mHeight - 1);
    }
    Rect area = TextArea();
    int height = mFont->GetHeight();
    g.PushState();
    g.ClipRect(area.mX, area.mY, area.mWidth, area.mHeight);
    g.SetFont(mFont);
    g.SetColor(kText);
    int shown = mStyle == Style::Plain ? int(mLines.size()) : VisibleLines() + 1;
    for (int i = 0; i < shown && mTop + i < int(mLines.size()); ++i)
    {
        const Line& line = mLines[size_t(mTop + i)];
        g.DrawString(mText.substr(line.start, line.length), area.mX,
                     area.mY + i * height + mFont->GetAscent());
    }
    if (mStyle == Style::Editable && mFocused)
    {
        int line = LineOf(mCaret);
        if (line >= mTop && line < mTop + VisibleLines())
        {
            const Line& l = mLines[size_t(line)];
            int x = area.mX + mFont->StringWidth(mText.substr(l.start, mCaret - l.start));
            g.FillRect(x, area.mY + (line - mTop) * height, 1, height);
        }
    }
    g.PopState();
    if (mStyle == Style::Plain) return;

    Rect bar = Bar();
    g.SetColor(kTrack);
    g.FillRect(bar);
    Rect up(bar.mX, bar.mY, bar.mWidth, kScrollBarWidth);
    Rect down(bar.mX, bar.mY + bar.mHeight - kScrollBarWidth, bar.mWidth, kScrollBarWidth);
    for (int i = 0; i < 2; ++i)
    {
        const Rect& square = i == 0 ? up : down;
        g.SetColor(kArrowFace);
        g.FillRect(square);
        g.SetColor(kArrow);
        Arrow(g, square, i == 0);
    }
    Rect thumb = Thumb();
    g.SetColor(mDraggingThumb ? kThumbDragged : kThumb);
    g.FillRect(thumb.mX + 2, thumb.mY, thumb.mWidth - 4, thumb.mHeight);
}

} // namespace Kavo
