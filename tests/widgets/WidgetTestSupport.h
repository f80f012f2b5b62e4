#pragma once

// Fakes for the widget tests: application services that record what the widgets ask of them, a
// font with fixed metrics that records what it draws, an image that records the drawing calls it
// receives, and a widget that records the events the manager sends it.

#include "graphics/Font.h"
#include "graphics/Image.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"
#include "widgets/Widget.h"
#include "widgets/WidgetAppServices.h"
#include "widgets/WidgetManager.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace WidgetTest
{

using Log = std::vector<std::string>;

// Every character is 6 pixels wide unless given another width; height 12, ascent 9.
class FakeFont : public Kavo::Font
{
public:
    std::map<char, int> mWidths; // characters of another width
    Log* mLog = nullptr;         // "Text 'abc' 10,20 #RRGGBBAA" in destination pixels

    FakeFont()
    {
        ascent = 9;
        height = 12;
    }
    int StringWidth(const std::string& text) override;
    void DrawString(Kavo::Graphics* g, int x, int y, const std::string& text, const Kavo::Color& color,
                    const Kavo::Rect& clip) override;
    Kavo::Font* Duplicate() override { return new FakeFont(*this); }
};

// Records each drawing call as one line, e.g. "FillRect 0,0,10,10 #D4D4D4FF" or
// "Blt thumb 10,0 src 0,0,20,20 #FFFFFFFF".
class RecordingImage : public Kavo::Image
{
public:
    Log mLog;
    std::string mName; // named in the blits that take this image as their source

    RecordingImage(int w = 800, int h = 600, const std::string& name = "")
    {
        width = w;
        height = h;
        mName = name;
    }
    void FillRect(const Kavo::Rect& rect, const Kavo::Color& color, int drawMode) override;
    void DrawRect(const Kavo::Rect& rect, const Kavo::Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Kavo::Color& color,
                  int drawMode) override;
    void Blt(Kavo::Image* src, int x, int y, const Kavo::Rect& srcRect, const Kavo::Color& color,
             int drawMode) override;
    void StretchBlt(Kavo::Image* src, const Kavo::Rect& destRect, const Kavo::Rect& srcRect,
                    const Kavo::Rect& clip, const Kavo::Color& color, int drawMode,
                    bool fastStretch) override;
};

std::string ColorText(const Kavo::Color& color);
std::string RectText(const Kavo::Rect& rect);

// Services of a pretend application, current while it lives.
class FakeApp : public Kavo::WidgetAppServices, public Kavo::DialogListener
{
public:
    int mCursor = 0;
    std::string mClipboard;
    bool mHighCharacters = false;
    bool mSystemCaret = false;
    int mScreenDraws = 0; // frames begun on the screen image
    Log mLog;             // caret calls, fonts made, dialog buttons, kills
    Log mTextLog;         // what the fonts it makes draw
    int mWidth = 800;
    int mHeight = 600;
    std::function<bool()> mOnUpdateStep; // one step of the loop; false ends nested loops
    std::function<bool(int)> mOnKillDialog;

    FakeApp() { Kavo::WidgetAppServices::SetCurrent(this); }
    ~FakeApp() override { Kavo::WidgetAppServices::SetCurrent(nullptr); }

    void SetCursor(int number) override { mCursor = number; }
    void CopyToClipboard(const std::string& text) override { mClipboard = text; }
    std::string GetClipboard() override { return mClipboard; }
    bool AllowsHighCharacters() override { return mHighCharacters; }
    bool UsesSystemCaret() override { return mSystemCaret; }
    void ShowSystemCaret() override { mLog.push_back("ShowCaret"); }
    void HideSystemCaret() override { mLog.push_back("HideCaret"); }
    void SetSystemCaretPos(int x, int y) override;
    int GetScreenWidth() override { return mWidth; }
    int GetScreenHeight() override { return mHeight; }
    bool Is3DAccelerated() override { return false; }
    Kavo::Font* CreateSysFont(const std::string& face, int pointSize, bool bold) override;
    bool BeginScreenDraw(Kavo::Image*) override
    {
        ++mScreenDraws;
        return false;
    }
    void EndScreenDraw(Kavo::Image*) override {}
    Kavo::DialogListener* GetDialogListener() override { return this; }
    bool UpdateAppStep() override { return mOnUpdateStep ? mOnUpdateStep() : false; }
    bool KillDialog(int id) override;

    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;
};

// A widget that records what reaches it: "name Event args".
class TestWidget : public Kavo::Widget
{
public:
    std::string mName;
    Log* mLog;
    std::function<void()> mOnMouseDown; // runs after the event is logged
    bool mOpaque = true;                // it stands for a widget that covers its rectangle

    TestWidget(const std::string& name, Log* log, int x, int y, int w, int h) : mName(name), mLog(log)
    {
        Resize(x, y, w, h);
    }

    void Update() override;
    void Draw(Kavo::Graphics* g) override;
    bool IsOpaque() override { return mOpaque; }
    void DrawOverlay(Kavo::Graphics* g, int priority) override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(char c) override;
    void KeyDown(int keyCode) override;
    void KeyUp(int keyCode) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    using Kavo::Widget::MouseDown;
    using Kavo::Widget::MouseUp;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void MouseUp(int x, int y, int button, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseWheel(int delta) override;

private:
    void Note(const std::string& event);
};

// Records button events: "Press 7 1", "Depress 7", "Tick 7", "Enter 7", "Leave 7", "Move 7 3,4".
class RecordingButtonListener : public Kavo::ButtonListener
{
public:
    Log mLog;
    std::function<void(int)> mOnPress;   // after the press is logged
    std::function<void(int)> mOnDepress; // after the depress is logged

    void ButtonPress(int id, int clickCount) override;
    void ButtonDepress(int id) override;
    void ButtonDownTick(int id) override;
    void ButtonMouseEnter(int id) override;
    void ButtonMouseLeave(int id) override;
    void ButtonMouseMove(int id, int x, int y) override;
};

// A manager of an 800 x 600 screen with the fake application, and a log for its widgets.
struct Screen
{
    FakeApp mApp;
    Kavo::WidgetManager mManager{&mApp};
    Log mLog;

    Screen() { mManager.Resize(Kavo::Rect(0, 0, 800, 600), Kavo::Rect(0, 0, 800, 600)); }

    // Moves there, presses and releases the left button.
    void Click(int x, int y, int clickCount = 1);
    // Takes the log and clears it.
    Log Take();
};

} // namespace WidgetTest
