// The crash windows' contents without a desktop: wrapping and scrolling of the text boxes,
// typing, the keyboard and the mouse of a dialog, its layout at the windows' sizes and at sizes
// a small screen forces, and the places the windows take on a work area.
#include "crash/CrashDialog.h"
#include "crash/DesktopCrashWindowHost.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "platform/window/Messages.h"

#include <gtest/gtest.h>

#include <tuple>

using Kavo::CrashDialog;
using Kavo::CrashTextBox;
using Kavo::Rect;
using namespace platform;

namespace
{

// Every character 10 pixels wide, lines 10 pixels high.
class TenPixelFont : public Kavo::Font
{
public:
    TenPixelFont()
    {
        height = 10;
        ascent = 8;
    }
    int StringWidth(const std::string& text) override { return 10 * int(text.size()); }
    int CharWidth(char) override { return 10; }
    Font* Duplicate() override { return new TenPixelFont(*this); }
};

std::vector<std::string> Shown(const std::string& text, const std::vector<CrashTextBox::Line>& lines)
{
    std::vector<std::string> out;
    for (const CrashTextBox::Line& line : lines)
        out.push_back(text.substr(line.start, line.length));
    return out;
}

bool Inside(const Rect& inner, const Rect& outer)
{
    return inner.mX >= outer.mX && inner.mY >= outer.mY &&
           inner.mX + inner.mWidth <= outer.mX + outer.mWidth &&
           inner.mY + inner.mHeight <= outer.mY + outer.mHeight;
}

bool Overlap(const Rect& a, const Rect& b)
{
    return a.mX < b.mX + b.mWidth && b.mX < a.mX + a.mWidth && a.mY < b.mY + b.mHeight &&
           b.mY < a.mY + a.mHeight;
}

CrashDialog::Spec ErrorSpec(bool offerSend, bool sendEnabled, int lines = 3)
{
    CrashDialog::Spec spec;
    spec.notice = "An unexpected error has occured!";
    spec.noticeBold = true;
    spec.box = CrashDialog::Box::Report;
    for (int i = 0; i < lines; ++i)
        spec.boxText += "Report line " + std::to_string(i) + "\r\n";
    if (offerSend) spec.buttons.push_back({"Send Report", sendEnabled});
    spec.buttons.push_back({"Close Now", true});
    return spec;
}

CrashDialog::Spec DetailsSpec()
{
    CrashDialog::Spec spec;
    spec.notice = "Please help out by providing as much information as you can about this crash.";
    spec.box = CrashDialog::Box::UserText;
    spec.buttons = {{"Continue", true}, {"Abort", true}};
    return spec;
}

} // namespace

TEST(CrashTextBox, WrapsAtBlanksCutsLongWordsAndKeepsEmptyLines)
{
    struct Case
    {
        std::string text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"aaa bbb ccc", 75, {"aaa bbb", "ccc"}},
        {"aaa bbb ccc", 69, {"aaa", "bbb", "ccc"}},
        {"abcdefghij", 35, {"abc", "def", "ghi", "j"}},
        {"one\n\ntwo", 100, {"one", "", "two"}},
        {"a  b", 25, {"a ", "b"}},
        {"", 50, {""}},
        {"end\n", 50, {"end", ""}},
        {"xy", 5, {"x", "y"}}, // narrower than a character: one a line
    };
    TenPixelFont font;
    for (const Case& c : cases)
        EXPECT_EQ(Shown(c.text, CrashTextBox::Wrap(c.text, font, c.width)), c.lines)
            << c.text << " at " << c.width;
}

// The report: 40 lines in a box showing 10; the keys, the wheel and the scroll bar move it,
// never past either end.
TEST(CrashTextBox, TheReportScrollsByKeysWheelAndBar)
{
    TenPixelFont font;
    CrashTextBox box(CrashTextBox::Style::ReadOnly, font);
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    box.SetText(text);
    // 10 lines of 10 pixels inside a border of 1 and a padding of 2, top and bottom.
    box.SetRect(Rect(0, 0, 300, 106));
    ASSERT_EQ(box.VisibleLines(), 10);
    ASSERT_EQ(box.Lines().size(), 41u); // the last line break ends an empty line
    EXPECT_EQ(box.LastTop(), 31);
    EXPECT_EQ(box.GetText().find('\r'), std::string::npos);

    struct Step
    {
        int key;
        int top;
    };
    const Step steps[] = {{VK_UP, 0},   {VK_DOWN, 1},  {VK_NEXT, 10},  {VK_NEXT, 19},
                          {VK_END, 31}, {VK_DOWN, 31}, {VK_PRIOR, 22}, {VK_HOME, 0}};
    for (const Step& s : steps)
    {
        EXPECT_TRUE(box.KeyDown(s.key, 0, false));
        EXPECT_EQ(box.TopLine(), s.top) << s.key;
    }
    EXPECT_FALSE(box.KeyDown('A', 'a', false)); // nothing to type into
    EXPECT_EQ(box.GetText().size(), text.size() - 40);

    box.Wheel(-2);
    EXPECT_EQ(box.TopLine(), 6);
    box.Wheel(5);
    EXPECT_EQ(box.TopLine(), 0);

    // The bar: its arrows, the track above and below the thumb, and the thumb dragged.
    Rect thumb = box.Thumb();
    const int barX = 300 - 1 - CrashTextBox::kScrollBarWidth + 4;
    EXPECT_EQ(thumb.mY, 1 + CrashTextBox::kScrollBarWidth);
    box.ButtonDown(barX, 105 - 4); // the down arrow
    EXPECT_EQ(box.TopLine(), 1);
    box.ButtonDown(barX, 3); // the up arrow
    EXPECT_EQ(box.TopLine(), 0);
    box.ButtonDown(barX, 60); // the track below the thumb: a page
    EXPECT_EQ(box.TopLine(), 9);
    thumb = box.Thumb();
    box.ButtonDown(barX, thumb.mY + 1);
    int room = 104 - 2 * CrashTextBox::kScrollBarWidth - thumb.mHeight;
    box.PointerMove(barX, 1 + CrashTextBox::kScrollBarWidth + room + 1);
    EXPECT_EQ(box.TopLine(), 31);
    EXPECT_EQ(box.Thumb().mY + box.Thumb().mHeight, 105 - CrashTextBox::kScrollBarWidth);
    box.PointerMove(barX, -500);
    EXPECT_EQ(box.TopLine(), 0);
    box.ButtonUp();
    box.PointerMove(barX, 80); // no longer dragged
    EXPECT_EQ(box.TopLine(), 0);
}

TEST(CrashTextBox, TheUsersBoxTakesTypingAndCaretMoves)
{
    TenPixelFont font;
    CrashTextBox box(CrashTextBox::Style::Editable, font);
    box.SetRect(Rect(0, 0, 200, 60));
    for (char c : std::string("it brke"))
        box.KeyDown(0, c, false);
    for (int i = 0; i < 2; ++i)
        box.KeyDown(VK_LEFT, 0, false);
    box.KeyDown(0, 'o', false);
    box.KeyDown(VK_END, 0, false);
    box.KeyDown(VK_RETURN, 0, false);
    for (char c : std::string("twice"))
        box.KeyDown(0, c, false);
    EXPECT_EQ(box.GetText(), "it broke\ntwice");
    box.KeyDown(VK_HOME, 0, false);
    box.KeyDown(VK_DELETE, 0, false);
    box.KeyDown(VK_BACK, 0, false); // joins the lines
    EXPECT_EQ(box.GetText(), "it brokewice");
    box.KeyDown(VK_RETURN, 0, false);
    box.KeyDown(VK_UP, 0, false); // to the same column of the line above
    box.KeyDown(VK_DELETE, 0, false);
    box.KeyDown(VK_BACK, 0, false); // nothing before the first character
    EXPECT_EQ(box.GetText(), "t broke\nwice");
    EXPECT_EQ(box.Caret(), 0u);
    box.KeyDown(VK_END, 0, true);
    EXPECT_EQ(box.Caret(), box.GetText().size());
    EXPECT_FALSE(box.KeyDown('C', 'c', true)); // Ctrl+C types nothing

    // A press puts the caret before the character under it: the text starts 4 pixels in.
    box.ButtonDown(4 + 26, 5);
    EXPECT_EQ(box.Caret(), 3u);

    box.SetMaxLength(box.GetText().size() + 1);
    box.KeyDown(0, 'x', false);
    box.KeyDown(0, 'y', false);
    EXPECT_EQ(box.GetText(), "t bxroke\nwice");
}

// The windows' own sizes give the crash windows' places: notice, report and buttons of the
// error window (one button, or two), and the progress window's lone button.
TEST(CrashDialog, LaysOutTheWindowsAtTheirSizes)
{
    CrashDialog two(ErrorSpec(true, true), 400, 300);
    EXPECT_EQ(two.Notice().GetRect(), Rect(8, 8, 384, 84));
    EXPECT_EQ(two.TextBox()->GetRect(), Rect(8, 92, 384, 168));
    EXPECT_EQ(two.Buttons()[0].rect, Rect(8, 268, 188, 24));
    EXPECT_EQ(two.Buttons()[1].rect, Rect(204, 268, 188, 24));
    CrashDialog one(ErrorSpec(false, false), 400, 300);
    EXPECT_EQ(one.Buttons()[0].rect, Rect(8, 268, 384, 24));

    CrashDialog::Spec progress;
    progress.notice = "Please Wait . . . . . . . . .";
    progress.noticeBold = true;
    progress.buttons = {{"Abort", true}};
    CrashDialog lone(progress, 240, 64);
    EXPECT_EQ(lone.Buttons()[0].rect, Rect(72, 36, 96, 22));
    // The longest status line fits its line.
    Kavo::CrashFont bold(Kavo::CrashFace::Bold());
    EXPECT_LE(bold.StringWidth(progress.notice), lone.Notice().GetRect().mWidth);
    EXPECT_EQ(lone.Notice().Lines().size(), 1u);
}

// However small the window has to be, its controls stay inside it and apart, and each label
// fits inside its button's rim; in the picture, a button's rim carries no text.
TEST(CrashDialog, ControlsStayInsideAndApartAtEverySize)
{
    const std::pair<int, int> sizes[] = {{400, 300}, {300, 200}, {240, 160}, {400, 120}};
    for (auto [w, h] : sizes)
        for (const CrashDialog::Spec& spec : {ErrorSpec(true, true, 60), DetailsSpec()})
        {
            CrashDialog dialog(spec, w, h);
            Rect all(0, 0, w, h);
            std::vector<Rect> rects = {dialog.Notice().GetRect(), dialog.TextBox()->GetRect()};
            for (const Kavo::CrashButton& b : dialog.Buttons())
                rects.push_back(b.rect);
            for (size_t i = 0; i < rects.size(); ++i)
            {
                EXPECT_TRUE(Inside(rects[i], all)) << w << "x" << h << " control " << i;
                for (size_t j = i + 1; j < rects.size(); ++j)
                    EXPECT_FALSE(Overlap(rects[i], rects[j]))
                        << w << "x" << h << " controls " << i << ", " << j;
            }
            EXPECT_GE(dialog.TextBox()->VisibleLines(), 1);

            const uint32_t* pixels = dialog.Draw();
            Kavo::CrashFont bold(Kavo::CrashFace::Bold());
            for (const Kavo::CrashButton& b : dialog.Buttons())
            {
                if (w >= 300)
                {
                    EXPECT_LE(bold.StringWidth(b.Label()), b.rect.mWidth - 4) << b.Label();
                }
                // The label is black on the face; the rim rows and columns hold no black.
                int dark = 0;
                for (int y = b.rect.mY; y < b.rect.mY + b.rect.mHeight; ++y)
                    for (int x = b.rect.mX; x < b.rect.mX + b.rect.mWidth; ++x)
                    {
                        uint32_t p = pixels[y * w + x];
                        bool black =
                            ((p >> 16) & 0xFF) < 0x40 && ((p >> 8) & 0xFF) < 0x40 && (p & 0xFF) < 0x40;
                        bool rim = x < b.rect.mX + 2 || y < b.rect.mY + 2 ||
                                   x >= b.rect.mX + b.rect.mWidth - 2 || y >= b.rect.mY + b.rect.mHeight - 2;
                        if (black)
                        {
                            EXPECT_FALSE(rim) << b.Label() << " at " << x << "," << y;
                            ++dark;
                        }
                    }
                EXPECT_GT(dark, 20) << b.Label(); // the label is there
            }
        }
}

TEST(CrashDialog, TheKeyboardMovesTheFocusAndPressesButtons)
{
    // The error window with both buttons: Send Report first, Escape always closes.
    CrashDialog error(ErrorSpec(true, true), 400, 300);
    EXPECT_EQ(error.Focus(), 0);
    EXPECT_EQ(error.Key(VK_RETURN, 0, false, false), 0);
    EXPECT_EQ(error.Key(VK_ESCAPE, 0, false, false), 1);
    const int tabs[] = {1, -1, 0, 1};
    for (int expected : tabs)
    {
        EXPECT_EQ(error.Key(VK_TAB, 0, false, false), CrashDialog::kNoButton);
        EXPECT_EQ(error.Focus(), expected);
    }
    EXPECT_EQ(error.Key(VK_SPACE, 0, false, false), 1);
    error.Key(VK_LEFT, 0, false, false);
    EXPECT_EQ(error.Focus(), 0);
    error.Key(VK_TAB, 0, true, false);
    EXPECT_EQ(error.Focus(), -1); // back to the report, where Return presses the default
    EXPECT_EQ(error.Key(VK_DOWN, 0, false, false), CrashDialog::kNoButton);
    EXPECT_EQ(error.TextBox()->TopLine(), 0); // three lines: nothing to scroll
    EXPECT_EQ(error.Key(VK_RETURN, 0, false, false), 0);

    // Send Report that cannot be pressed: Close Now has the focus, Tab passes it by.
    CrashDialog disabled(ErrorSpec(true, false), 400, 300);
    EXPECT_EQ(disabled.Focus(), 1);
    EXPECT_EQ(disabled.Key(VK_RETURN, 0, false, false), 1);
    disabled.Key(VK_TAB, 0, false, false);
    disabled.Key(VK_TAB, 0, false, false);
    EXPECT_EQ(disabled.Focus(), 1);

    // The details window: typing goes to the box, Return breaks a line there, Ctrl+Return
    // and Return on Continue send.
    CrashDialog details(DetailsSpec(), 400, 300);
    EXPECT_EQ(details.Focus(), -1);
    for (char c : std::string("line one"))
        details.Key(0, c, false, false);
    EXPECT_EQ(details.Key(VK_RETURN, 0, false, false), CrashDialog::kNoButton);
    for (char c : std::string("two"))
        details.Key(0, c, false, false);
    EXPECT_EQ(details.BoxText(), "line one\r\ntwo");
    EXPECT_EQ(details.Key(VK_RETURN, 0, false, true), 0);
    details.Key(VK_TAB, 0, false, false);
    EXPECT_EQ(details.Focus(), 0);
    details.Key(0, 'x', false, false); // a button types nothing
    EXPECT_EQ(details.BoxText(), "line one\r\ntwo");
    EXPECT_EQ(details.Key(VK_RETURN, 0, false, false), 0);
    EXPECT_EQ(details.Key(VK_ESCAPE, 0, false, false), 1);
}

TEST(CrashDialog, AButtonIsPressedWhereThePointerLetsGoOfIt)
{
    CrashDialog error(ErrorSpec(true, true), 400, 300);
    const Rect send = error.Buttons()[0].rect, close = error.Buttons()[1].rect;
    EXPECT_EQ(error.ButtonDown(close.mX + 5, close.mY + 5, 1), CrashDialog::kNoButton);
    EXPECT_EQ(error.Focus(), 1);
    EXPECT_TRUE(error.Buttons()[1].held);
    error.PointerMove(10, 10);
    EXPECT_FALSE(error.Buttons()[1].held);
    EXPECT_EQ(error.ButtonUp(10, 10, 1), CrashDialog::kNoButton); // let go elsewhere
    EXPECT_EQ(error.ButtonDown(send.mX + 5, send.mY + 5, 1), CrashDialog::kNoButton);
    EXPECT_EQ(error.ButtonUp(send.mX + 6, send.mY + 6, 1), 0);
    EXPECT_EQ(error.ButtonDown(send.mX + 5, send.mY + 5, 3), CrashDialog::kNoButton); // the right button
    EXPECT_EQ(error.ButtonUp(send.mX + 5, send.mY + 5, 3), CrashDialog::kNoButton);

    CrashDialog disabled(ErrorSpec(true, false), 400, 300);
    disabled.ButtonDown(send.mX + 5, send.mY + 5, 1);
    EXPECT_EQ(disabled.ButtonUp(send.mX + 5, send.mY + 5, 1), CrashDialog::kNoButton);

    CrashDialog details(DetailsSpec(), 400, 300);
    details.Key(VK_TAB, 0, false, false);
    const Rect box = details.TextBox()->GetRect();
    details.ButtonDown(box.mX + 20, box.mY + 20, 1);
    EXPECT_EQ(details.Focus(), -1); // a press in the box gives it the keyboard
}

TEST(DesktopCrashWindowHost, WindowsAreMadeToFitTheWorkArea)
{
    using Area = platform::PrivateDesktop::Area;
    struct Case
    {
        Area work;
        int x, y, width, height;
        Area placed;
    };
    const Case cases[] = {
        {{0, 0, 1280, 1024}, 64, 64, 400, 300, {64, 64, 400, 300}},
        {{0, 0, 1920, 1080}, 80, 80, 400, 300, {80, 80, 400, 300}},
        {{0, 30, 1920, 1050}, 64, 64, 400, 300, {64, 94, 400, 300}}, // below a panel
        {{0, 0, 320, 240}, 64, 64, 400, 300, {8, 8, 304, 224}},      // a small screen
        {{0, 0, 640, 480}, 600, 450, 240, 64, {392, 408, 240, 64}},  // pulled back inside
        {{100, 0, 800, 600}, -50, 64, 300, 100, {108, 64, 300, 100}},
    };
    for (const Case& c : cases)
    {
        Area a = Kavo::DesktopCrashWindowHost::Place(c.work, c.x, c.y, c.width, c.height);
        EXPECT_EQ(std::make_tuple(a.x, a.y, a.width, a.height),
                  std::make_tuple(c.placed.x, c.placed.y, c.placed.width, c.placed.height))
            << c.work.width << "x" << c.work.height;
    }
}
