#include "widgets/EditWidget.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "widgets/EditListener.h"
#include "widgets/KeyCodes.h"
#include "widgets/WidgetAppServices.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kMargin = 4; // text inset from the left and right edges

// text[from, to) with both ends held inside the text.
std::string Slice(const std::string& text, int from, int to)
{
    int length = int(text.size());
    from = std::clamp(from, 0, length);
    to = std::clamp(to, from, length);
    return text.substr(size_t(from), size_t(to - from));
}

// Characters typed with Ctrl held.
constexpr char kCtrlC = 3;
constexpr char kCtrlV = 22;
constexpr char kCtrlX = 24;
constexpr char kCtrlZ = 26;

} // namespace

EditWidget::EditWidget(int id, EditListener* listener) : mId(id), mListener(listener)
{
    mWantsFocus = true;
    static const int kColors[NUM_COLORS][3] = {
        {255, 255, 255}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255},
    };
    SetColors(kColors, NUM_COLORS);
}

EditWidget::~EditWidget()
{
    // Leave the tree while this is still an edit field, so that losing the focus and the mouse
    // hides the system caret and gives back the arrow.
    if (mParent != nullptr) mParent->RemoveWidget(this);
}

Font* EditWidget::EnsureFont()
{
    if (!mFont) mFont.reset(CreateDefaultFont(10, false));
    return mFont.get();
}

int EditWidget::TextWidth(const std::string& text)
{
    Font* font = EnsureFont();
    return font != nullptr ? font->StringWidth(text) : 0;
}

const std::string& EditWidget::GetDisplayString()
{
    if (mPasswordChar == 0) return mText;
    if (mMaskedText.size() != mText.size()) mMaskedText.assign(mText.size(), mPasswordChar);
    return mMaskedText;
}

int EditWidget::DisplayWidth(int from, int to)
{
    if (to <= from) return 0;
    return TextWidth(Slice(GetDisplayString(), from, to));
}

void EditWidget::SetFont(Font* font, Font* widthCheckFont)
{
    mFont.reset(font != nullptr ? font->Duplicate() : nullptr);
    mWidthCheckFonts.clear();
    if (widthCheckFont != nullptr)
        mWidthCheckFonts.push_back({std::unique_ptr<Font>(widthCheckFont->Duplicate()), -1});
}

void EditWidget::SetText(const std::string& text, bool leftPosToZero)
{
    mText = text;
    mCursorPos = int(mText.size());
    mHilitePos = 0;
    if (leftPosToZero)
        mLeftPos = 0;
    else
        FocusCursor(true);
    MarkDirty();
}

bool EditWidget::IsPartOfWord(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' || u >= 192;
}

int EditWidget::GetCharAt(int x, int y)
{
    (void)y;
    int length = int(GetDisplayString().size());
    int answer = 0;
    for (int i = std::max(mLeftPos, 0); i < length; ++i)
    {
        int before = DisplayWidth(mLeftPos, i);
        int through = DisplayWidth(mLeftPos, i + 1);
        if (x >= (before + through) / 2 + 5) answer = i + 1;
    }
    return answer;
}

void EditWidget::HiliteWord()
{
    int length = int(mText.size());
    if (mCursorPos < 0 || mCursorPos >= length) return;
    mHilitePos = mCursorPos;
    while (mHilitePos > 0 && IsPartOfWord(mText[size_t(mHilitePos) - 1]))
        --mHilitePos;
    while (mCursorPos < length - 1 && IsPartOfWord(mText[size_t(mCursorPos) + 1]))
        ++mCursorPos;
    ++mCursorPos;
}

void EditWidget::FocusCursor(bool bigJump)
{
    int step = bigJump ? 10 : 1;
    while (mCursorPos < mLeftPos)
    {
        mLeftPos = std::max(mLeftPos - step, 0);
        MarkDirty();
    }
    if (mWidth <= 2 * kMargin) return;
    int length = int(GetDisplayString().size());
    while (DisplayWidth(0, mCursorPos) - DisplayWidth(0, mLeftPos) >= mWidth - 2 * kMargin)
    {
        // The first shown character can go no further than the last one: when that character
        // alone is wider than the field, the caret stays behind it.
        int left = std::min(mLeftPos + step, length - 1);
        if (left <= mLeftPos) break;
        mLeftPos = left;
        MarkDirty();
    }
}

void EditWidget::DeleteSelection()
{
    int start = std::clamp(std::min(mCursorPos, mHilitePos), 0, int(mText.size()));
    int end = std::clamp(std::max(mCursorPos, mHilitePos), start, int(mText.size()));
    mText.erase(size_t(start), size_t(end - start));
    mCursorPos = start;
    mHilitePos = -1;
}

void EditWidget::ApplyLimits()
{
    if (mMaxChars != -1 && int(mText.size()) > mMaxChars) mText.resize(size_t(std::max(mMaxChars, 0)));
    if (mMaxPixels <= 0 && mWidthCheckFonts.empty()) return;

    auto fits = [&]()
    {
        if (mWidthCheckFonts.empty()) return TextWidth(mText) <= mMaxPixels;
        for (const WidthCheck& check : mWidthCheckFonts)
        {
            int limit = check.mMaxPixels != -1 ? check.mMaxPixels : mMaxPixels;
            if (limit > 0 && check.mFont && check.mFont->StringWidth(mText) > limit) return false;
        }
        return true;
    };
    while (!mText.empty() && !fits())
        mText.pop_back();
}

void EditWidget::ProcessKey(int keyCode, char c)
{
    if (keyCode == KEYCODE_SHIFT || keyCode == KEYCODE_CONTROL) return;
    Font* font = EnsureFont();
    WidgetRef<EditWidget> self(this);

    // The owner may have changed mText directly: keep both ends of the selection inside it.
    mCursorPos = std::clamp(mCursorPos, 0, int(mText.size()));
    if (mHilitePos > int(mText.size())) mHilitePos = int(mText.size());

    bool shift = mManager != nullptr && mManager->IsKeyDown(KEYCODE_SHIFT);
    bool ctrl = mManager != nullptr && mManager->IsKeyDown(KEYCODE_CONTROL);
    bool clearSelection = !shift;
    bool pushUndo = false;
    if (shift && mHilitePos == -1) mHilitePos = mCursorPos;

    std::string oldText = mText;
    int oldCursor = mCursorPos;
    int oldHilite = mHilitePos;
    int length = int(mText.size());

    if ((c == kCtrlC || c == kCtrlX) && HasSelection())
    {
        int start = std::min(mCursorPos, mHilitePos);
        int end = std::max(mCursorPos, mHilitePos);
        if (WidgetAppServices* app = GetApp()) app->CopyToClipboard(Slice(GetDisplayString(), start, end));
        if (c == kCtrlX)
        {
            DeleteSelection();
            pushUndo = true;
        }
        else
        {
            clearSelection = false;
        }
    }
    else if (c == kCtrlV)
    {
        WidgetAppServices* app = GetApp();
        std::string clipboard = app != nullptr ? app->GetClipboard() : std::string();
        std::string insert;
        for (char ch : clipboard)
        {
            if (ch == '\r' || ch == '\n') break;
            if (font != nullptr && font->CharWidth(ch) != 0 &&
                (mListener == nullptr || mListener->AllowChar(mId, ch)))
                insert += ch;
        }
        if (HasSelection()) DeleteSelection();
        mCursorPos = std::clamp(mCursorPos, 0, int(mText.size()));
        mText.insert(size_t(mCursorPos), insert);
        mCursorPos += int(insert.size());
        pushUndo = true;
    }
    else if (c == kCtrlZ)
    {
        std::swap(mText, mUndoText);
        std::swap(mCursorPos, mUndoCursor);
        std::swap(mHilitePos, mUndoHilite);
        mLastModifyIdx = -1;
        clearSelection = false;
    }
    else if (keyCode == KEYCODE_LEFT)
    {
        if (ctrl)
        {
            while (mCursorPos > 0 && !IsPartOfWord(mText[size_t(mCursorPos) - 1]))
                --mCursorPos;
            while (mCursorPos > 0 && IsPartOfWord(mText[size_t(mCursorPos) - 1]))
                --mCursorPos;
        }
        else if (!shift && HasSelection())
            mCursorPos = std::min(mCursorPos, mHilitePos);
        else
            --mCursorPos;
    }
    else if (keyCode == KEYCODE_RIGHT)
    {
        // Ctrl+Right stops at the start of the next word, as Ctrl+Left stops at the start of the
        // word before.
        if (ctrl)
        {
            while (mCursorPos < length && IsPartOfWord(mText[size_t(mCursorPos)]))
                ++mCursorPos;
            while (mCursorPos < length && !IsPartOfWord(mText[size_t(mCursorPos)]))
                ++mCursorPos;
        }
        else if (!shift && HasSelection())
            mCursorPos = std::max(mCursorPos, mHilitePos);
        else
            ++mCursorPos;
    }
    else if (keyCode == KEYCODE_BACK && length > 0)
    {
        if (HasSelection())
        {
            DeleteSelection();
            pushUndo = true;
        }
        else if (mCursorPos > 0 && mCursorPos <= length)
        {
            mText.erase(size_t(mCursorPos) - 1, 1);
            --mCursorPos;
            pushUndo = mCursorPos != mLastModifyIdx;
            mLastModifyIdx = mCursorPos - 1;
        }
    }
    else if (keyCode == KEYCODE_DELETE && length > 0)
    {
        if (HasSelection())
        {
            DeleteSelection();
            pushUndo = true;
        }
        else if (mCursorPos >= 0 && mCursorPos < length)
        {
            mText.erase(size_t(mCursorPos), 1);
            pushUndo = mCursorPos != mLastModifyIdx;
            mLastModifyIdx = mCursorPos;
        }
    }
    else if (keyCode == KEYCODE_HOME)
    {
        mCursorPos = 0;
    }
    else if (keyCode == KEYCODE_END)
    {
        mCursorPos = length;
    }
    else if (keyCode == KEYCODE_RETURN)
    {
        if (mListener != nullptr) mListener->EditWidgetText(mId, mText);
        if (!self) return;
    }
    else
    {
        unsigned char code = static_cast<unsigned char>(c);
        WidgetAppServices* app = GetApp();
        int highest = app != nullptr && app->AllowsHighCharacters() ? 255 : 127;
        bool accepted = code >= 32 && code <= highest && font != nullptr &&
                        font->StringWidth(std::string(1, c)) >= 1 &&
                        (mListener == nullptr || mListener->AllowChar(mId, c));
        if (!self) return;
        if (!accepted)
        {
            clearSelection = false;
        }
        else
        {
            if (HasSelection())
            {
                DeleteSelection();
                pushUndo = true;
            }
            else
            {
                mCursorPos = std::clamp(mCursorPos, 0, int(mText.size()));
                pushUndo = mCursorPos != mLastModifyIdx + 1;
                mLastModifyIdx = mCursorPos;
            }
            mText.insert(size_t(mCursorPos), 1, c);
            ++mCursorPos;
            mHilitePos = -1;
            FocusCursor(false);
        }
    }

    ApplyLimits();
    mCursorPos = std::clamp(mCursorPos, 0, int(mText.size()));
    if (mCursorPos != oldCursor) mShowCaret = true;
    FocusCursor(true);
    if (clearSelection || mHilitePos == mCursorPos) mHilitePos = -1;

    bool allowed = mListener == nullptr || mListener->AllowText(mId, mText);
    if (!self) return;
    if (!allowed)
    {
        mText = oldText;
        mCursorPos = oldCursor;
        mHilitePos = oldHilite;
    }
    else if (pushUndo)
    {
        mUndoText = oldText;
        mUndoCursor = oldCursor;
        mUndoHilite = oldHilite;
    }
    MarkDirty();
}

void EditWidget::MarkDirty()
{
    if (GetColor(COLOR_BKG).mAlpha == 255)
        WidgetContainer::MarkDirty();
    else
        MarkDirtyFull();
}

void EditWidget::Update()
{
    Widget::Update();
    if (!mHasFocus) return;
    WidgetAppServices* app = GetApp();
    if (app != nullptr && app->UsesSystemCaret())
    {
        Point pos = GetAbsPos();
        int x = std::max(std::min(pos.mX, app->GetScreenWidth() - 10), 10);
        int y = std::max(std::min(pos.mY, app->GetScreenHeight() - 10), 10);
        app->SetSystemCaretPos(x, y);
    }
    if (++mBlinkTicks > mBlinkDelay)
    {
        MarkDirty();
        mBlinkTicks = 0;
        mShowCaret = !mShowCaret;
    }
}

bool EditWidget::IsOpaque()
{
    return GetColor(COLOR_BKG).mAlpha == 255;
}

void EditWidget::Draw(Graphics* g)
{
    Font* font = EnsureFont();
    g->SetColor(GetColor(COLOR_BKG));
    g->FillRect(0, 0, mWidth, mHeight);

    if (font != nullptr)
    {
        const std::string& display = GetDisplayString();
        std::string shown = Slice(display, mLeftPos, int(display.size()));
        int fontHeight = font->GetHeight();
        int top = (mHeight - fontHeight) / 2;
        int baseline = top + font->GetAscent();
        g->SetFont(font);

        Graphics text(*g);
        text.ClipRect(kMargin, 0, mWidth - 2 * kMargin, mHeight);
        text.SetColor(GetColor(COLOR_TEXT));
        text.DrawString(shown, kMargin, baseline);

        // The selection, or the caret: a band from the cursor to the other end.
        auto xOf = [&](int position)
        { return std::clamp(DisplayWidth(mLeftPos, position) + kMargin, 0, mWidth - 2 * kMargin); };
        int cursorX = xOf(mCursorPos);
        int otherX = cursorX;
        if (HasSelection())
            otherX = xOf(mHilitePos);
        else if (mShowCaret)
            otherX = cursorX + 2;
        int left = std::min(cursorX, otherX);
        int right = std::max(cursorX, otherX);
        if (right > left)
        {
            Graphics band(text);
            band.ClipRect(left, top, right - left, fontHeight);
            if (mHasFocus || mAlwaysShowSelection)
            {
                band.SetColor(GetColor(COLOR_HILITE));
                band.FillRect(left, top, right - left, fontHeight);
                band.SetColor(GetColor(COLOR_HILITE_TEXT));
            }
            band.DrawString(shown, kMargin, baseline);
        }
    }

    g->SetColor(GetColor(COLOR_OUTLINE));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
}

void EditWidget::Resize(int x, int y, int width, int height)
{
    Widget::Resize(x, y, width, height);
    FocusCursor(false);
}

bool EditWidget::WantsFocus()
{
    return true;
}

void EditWidget::GotFocus()
{
    Widget::GotFocus();
    WidgetAppServices* app = GetApp();
    if (app != nullptr && app->UsesSystemCaret())
    {
        app->ShowSystemCaret();
        Point pos = GetAbsPos();
        app->SetSystemCaretPos(pos.mX, pos.mY);
    }
    mShowCaret = true;
    mBlinkTicks = 0;
    MarkDirty();
}

void EditWidget::LostFocus()
{
    Widget::LostFocus();
    WidgetAppServices* app = GetApp();
    if (app != nullptr && app->UsesSystemCaret()) app->HideSystemCaret();
    mShowCaret = false;
    MarkDirty();
}

void EditWidget::KeyChar(char c)
{
    ProcessKey(0, c);
}

void EditWidget::KeyDown(int keyCode)
{
    if (keyCode < KEYCODE_A || keyCode > KEYCODE_Y)
    {
        WidgetRef<EditWidget> self(this);
        if (mListener == nullptr || mListener->AllowKey(mId, keyCode)) ProcessKey(keyCode, 0);
        if (!self) return;
    }
    Widget::KeyDown(keyCode);
}

void EditWidget::MouseEnter()
{
    Widget::MouseEnter();
    SetAppCursor(3);
}

void EditWidget::MouseLeave()
{
    Widget::MouseLeave();
    SetAppCursor(0);
}

void EditWidget::MouseDown(int x, int y, int button, int clickCount)
{
    Widget::MouseDown(x, y, button, clickCount);
    mHilitePos = -1;
    mCursorPos = GetCharAt(x, y);
    if (clickCount > 1)
    {
        mSelectingWords = true;
        HiliteWord();
    }
    MarkDirty();
    FocusCursor(false);
}

void EditWidget::MouseUp(int x, int y, int button, int clickCount)
{
    Widget::MouseUp(x, y, button, clickCount);
    if (mHilitePos == mCursorPos) mHilitePos = -1;
    if (mSelectingWords)
    {
        mHilitePos = -1;
        mCursorPos = GetCharAt(x, y);
        mSelectingWords = false;
        HiliteWord();
    }
    MarkDirty();
}

void EditWidget::MouseDrag(int x, int y)
{
    Widget::MouseDrag(x, y);
    if (!HasSelection()) mHilitePos = mCursorPos;
    mCursorPos = GetCharAt(x, y);
    MarkDirty();
    FocusCursor(false);
}

} // namespace Kavo
