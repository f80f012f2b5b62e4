#include "WidgetTestSupport.h"

#include "base/StringUtils.h"
#include "graphics/Graphics.h"

namespace WidgetTest
{

using namespace Kavo;

std::string ColorText(const Color& color)
{
    return StrFormat("#%02X%02X%02X%02X", color.mRed & 0xFF, color.mGreen & 0xFF, color.mBlue & 0xFF,
                     color.mAlpha & 0xFF);
}

std::string RectText(const Rect& rect)
{
    return StrFormat("%d,%d,%d,%d", rect.mX, rect.mY, rect.mWidth, rect.mHeight);
}

int FakeFont::StringWidth(const std::string& text)
{
    int width = 0;
    for (char c : text)
    {
        auto it = mWidths.find(c);
        width += it != mWidths.end() ? it->second : 6;
    }
    return width;
}

void FakeFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                          const Rect& clip)
{
    (void)clip;
    if (mLog == nullptr) return;
    mLog->push_back(StrFormat("Text '%s' %d,%d %s", text.c_str(), x + int(g->transX), y + int(g->transY),
                              ColorText(color).c_str()));
}

void RecordingImage::FillRect(const Rect& rect, const Color& color, int)
{
    mLog.push_back("FillRect " + RectText(rect) + " " + ColorText(color));
}

void RecordingImage::DrawRect(const Rect& rect, const Color& color, int)
{
    mLog.push_back("DrawRect " + RectText(rect) + " " + ColorText(color));
}

void RecordingImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int)
{
    mLog.push_back(StrFormat("DrawLine %g,%g,%g,%g ", x1, y1, x2, y2) + ColorText(color));
}

namespace
{
std::string SourceName(Image* src)
{
    RecordingImage* named = dynamic_cast<RecordingImage*>(src);
    return named != nullptr && !named->mName.empty() ? named->mName + " " : "";
}
} // namespace

void RecordingImage::Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int)
{
    mLog.push_back("Blt " + SourceName(src) + StrFormat("%d,%d src ", x, y) + RectText(srcRect) + " " +
                   ColorText(color));
}

void RecordingImage::StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect&,
                                const Color& color, int, bool)
{
    mLog.push_back("StretchBlt " + SourceName(src) + RectText(destRect) + " src " + RectText(srcRect) + " " +
                   ColorText(color));
}

void FakeApp::SetSystemCaretPos(int x, int y)
{
    mLog.push_back(StrFormat("CaretPos %d,%d", x, y));
}

Font* FakeApp::CreateSysFont(const std::string& face, int pointSize, bool bold)
{
    mLog.push_back(StrFormat("Font %s %d%s", face.c_str(), pointSize, bold ? " bold" : ""));
    FakeFont* font = new FakeFont();
    font->mLog = &mTextLog;
    return font;
}

bool FakeApp::KillDialog(int id)
{
    mLog.push_back(StrFormat("KillDialog %d", id));
    return mOnKillDialog ? mOnKillDialog(id) : false;
}

void FakeApp::DialogButtonPress(int dialogId, int buttonId)
{
    mLog.push_back(StrFormat("DialogButtonPress %d %d", dialogId, buttonId));
}

void FakeApp::DialogButtonDepress(int dialogId, int buttonId)
{
    mLog.push_back(StrFormat("DialogButtonDepress %d %d", dialogId, buttonId));
}

void TestWidget::Note(const std::string& event)
{
    mLog->push_back(mName + " " + event);
}

void TestWidget::Update()
{
    Widget::Update();
    Note("Update");
}

void TestWidget::Draw(Graphics* g)
{
    Note(StrFormat("Draw at %d,%d", int(g->transX), int(g->transY)));
}

void TestWidget::DrawOverlay(Graphics* g, int priority)
{
    Note(StrFormat("Overlay %d at %d,%d", priority, int(g->transX), int(g->transY)));
}

void TestWidget::GotFocus()
{
    Widget::GotFocus();
    Note("GotFocus");
}

void TestWidget::LostFocus()
{
    Widget::LostFocus();
    Note("LostFocus");
}

void TestWidget::KeyChar(char c)
{
    Note(StrFormat("KeyChar %d", int(c)));
}

void TestWidget::KeyDown(int keyCode)
{
    Note(StrFormat("KeyDown %d", keyCode));
    Widget::KeyDown(keyCode);
}

void TestWidget::KeyUp(int keyCode)
{
    Note(StrFormat("KeyUp %d", keyCode));
}

void TestWidget::MouseEnter()
{
    Note("Enter");
}

void TestWidget::MouseLeave()
{
    Note("Leave");
}

void TestWidget::MouseMove(int x, int y)
{
    Note(StrFormat("Move %d,%d", x, y));
}

void TestWidget::MouseDown(int x, int y, int button, int clickCount)
{
    Note(StrFormat("Down %d,%d button %d count %d", x, y, button, clickCount));
    // A copy: the handler may delete this widget, and the function with it.
    if (std::function<void()> handler = mOnMouseDown) handler();
}

void TestWidget::MouseUp(int x, int y, int button, int clickCount)
{
    Note(StrFormat("Up %d,%d button %d count %d", x, y, button, clickCount));
}

void TestWidget::MouseDrag(int x, int y)
{
    Note(StrFormat("Drag %d,%d", x, y));
}

void TestWidget::MouseWheel(int delta)
{
    Note(StrFormat("Wheel %d", delta));
}

void RecordingButtonListener::ButtonPress(int id, int clickCount)
{
    mLog.push_back(StrFormat("Press %d %d", id, clickCount));
    if (mOnPress) mOnPress(id);
}

void RecordingButtonListener::ButtonDepress(int id)
{
    mLog.push_back(StrFormat("Depress %d", id));
    if (mOnDepress) mOnDepress(id);
}

void RecordingButtonListener::ButtonDownTick(int id)
{
    mLog.push_back(StrFormat("Tick %d", id));
}

void RecordingButtonListener::ButtonMouseEnter(int id)
{
    mLog.push_back(StrFormat("Enter %d", id));
}

void RecordingButtonListener::ButtonMouseLeave(int id)
{
    mLog.push_back(StrFormat("Leave %d", id));
}

void RecordingButtonListener::ButtonMouseMove(int id, int x, int y)
{
    mLog.push_back(StrFormat("Move %d %d,%d", id, x, y));
}

void Screen::Click(int x, int y, int clickCount)
{
    mManager.MousePosition(x, y);
    mManager.MouseDown(x, y, clickCount);
    mManager.MouseUp(x, y, clickCount);
}

Log Screen::Take()
{
    Log taken;
    taken.swap(mLog);
    return taken;
}

} // namespace WidgetTest
