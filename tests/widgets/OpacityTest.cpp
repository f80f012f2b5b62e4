// Whether a widget covers its rectangle decides where the manager starts a partial redraw: a
// widget that says so is drawn over whatever the last frame left in its rectangle.
#include "WidgetTestSupport.h"

#include "base/StringUtils.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/ListWidget.h"
#include "widgets/ScrollbarWidget.h"
#include "widgets/ScrollbuttonWidget.h"
#include "widgets/Slider.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

// Fills its rectangle with one opaque colour.
class Backdrop : public Widget
{
public:
    explicit Backdrop(const Rect& rect) { Resize(rect); }
    void Draw(Graphics* g) override
    {
        g->SetColor(Color(40, 60, 120));
        g->FillRect(0, 0, mWidth, mHeight);
    }
};

// A picture of one colour.
std::unique_ptr<MemoryImage> Picture(int width, int height, uint32_t argb)
{
    auto image = std::make_unique<MemoryImage>();
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), argb);
    image->SetBits(pixels.data(), width, height);
    return image;
}

// A slider with a translucent track and thumb over an opaque backdrop: redrawing the slider
// alone, again and again (a drag, a star twinkling below it), leaves its pixels as the first
// frame drew them, which a whole redraw draws too. Drawn from the slider up, the translucent
// white would be blended over the last frame each time and climb towards white.
TEST(Opacity, ATranslucentSliderRedrawnAloneKeepsItsPixels)
{
    Screen screen;
    MemoryImage image;
    image.Create(200, 100);
    screen.mManager.Resize(Rect(0, 0, 200, 100), Rect(0, 0, 200, 100));
    screen.mManager.mScreenImage = &image;
    Backdrop backdrop(Rect(0, 0, 200, 100));
    std::unique_ptr<MemoryImage> track = Picture(30, 8, 0x80FFFFFF);
    std::unique_ptr<MemoryImage> thumb = Picture(20, 20, 0x60FFFFFF);
    Slider slider(track.get(), thumb.get(), 0, nullptr);
    slider.Resize(20, 40, 160, 20);
    screen.mManager.AddWidget(&backdrop);
    screen.mManager.AddWidget(&slider);
    ASSERT_TRUE(screen.mManager.DrawScreen());
    auto pixel = [&](int x, int y) { return StrFormat("%06X", image.GetPixel(x, y) & 0xFFFFFFu); };
    const std::string trackPixel = pixel(100, 50), thumbPixel = pixel(25, 50), backdropPixel = pixel(100, 10);
    EXPECT_NE(trackPixel, backdropPixel);
    EXPECT_NE(thumbPixel, trackPixel);

    for (int redraw = 1; redraw <= 12; ++redraw)
    {
        slider.MarkDirty();
        ASSERT_TRUE(screen.mManager.DrawScreen());
        EXPECT_EQ(screen.mManager.DrawnRects(), std::vector<Rect>{Rect(20, 40, 160, 20)}) << redraw;
        EXPECT_EQ(pixel(100, 50), trackPixel) << "the track after " << redraw << " redraws";
        EXPECT_EQ(pixel(25, 50), thumbPixel) << "the thumb after " << redraw << " redraws";
    }
    screen.mManager.MarkAllDirty();
    screen.mManager.DrawScreen();
    EXPECT_EQ(pixel(100, 50), trackPixel);
    EXPECT_EQ(pixel(25, 50), thumbPixel);
}

// Draws the widget (and its children) at (0, 0) over a screen of one colour.
std::vector<uint32_t> DrawnOver(Widget& widget, uint32_t backgroundArgb)
{
    MemoryImage image;
    std::vector<uint32_t> fill(size_t(widget.mWidth) * size_t(widget.mHeight), backgroundArgb);
    image.SetBits(fill.data(), widget.mWidth, widget.mHeight);
    Graphics g(&image);
    ModalFlags flags;
    widget.DrawAll(flags, &g);
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + fill.size());
}

// Every control answers as it draws: one that says it covers its rectangle draws the same pixels
// over two different screens, one that says it does not shows them through somewhere.
TEST(Opacity, EveryControlAnswersAsItDraws)
{
    FakeApp app;
    RecordingButtonListener buttons;
    std::unique_ptr<MemoryImage> translucent = Picture(30, 20, 0xB0C08040);
    std::unique_ptr<MemoryImage> opaque = Picture(30, 20, 0xFFC08040);
    struct Case
    {
        std::string name;
        std::function<Widget*()> make; // placed at (0, 0), ready to draw
        bool opaque;
    };
    const std::vector<Case> cases = {
        {"framed button", [&] { return new ButtonWidget(1, &buttons); }, true},
        {"framed button, pressed",
         [&]
         {
             auto* button = new ButtonWidget(1, &buttons);
             button->mIsDown = button->mIsOver = true;
             return button;
         },
         true},
        {"framed button, translucent background",
         [&]
         {
             auto* button = new ButtonWidget(1, &buttons);
             button->SetColor(ButtonWidget::COLOR_BKG, Color(212, 212, 212, 120));
             return button;
         },
         false},
        {"button without a frame",
         [&]
         {
             auto* button = new ButtonWidget(1, &buttons);
             button->mNoFrame = true;
             button->mLabel = "Go";
             return button;
         },
         false},
        {"button that draws nothing",
         [&]
         {
             auto* button = new ButtonWidget(1, &buttons);
             button->mNoDraw = true;
             return button;
         },
         false},
        {"picture button",
         [&]
         {
             auto* button = new ButtonWidget(1, &buttons);
             button->mNormalImage = button->mOverImage = translucent.get();
             return button;
         },
         false},
        {"picture button, pressed on its opaque picture", // the picture one pixel down and right
         [&]
         {
             auto* button = new ButtonWidget(1, &buttons);
             button->mNormalImage = opaque.get();
             button->mIsDown = button->mIsOver = true;
             return button;
         },
         false},
        {"dialog button with a component picture",
         [&] { return new DialogButton(translucent.get(), 1, &buttons); }, false},
        {"dialog button without one", [&] { return new DialogButton(nullptr, 1, &buttons); }, true},
        {"scroll button", [&] { return new ScrollbuttonWidget(0, &buttons); }, true},
        {"scroll button, pressed",
         [&]
         {
             auto* button = new ScrollbuttonWidget(1, &buttons);
             button->mIsDown = button->mIsOver = true;
             return button;
         },
         true},
        {"hyperlink",
         [&]
         {
             auto* link = new HyperlinkWidget(1, &buttons);
             link->mLabel = "a link";
             return link;
         },
         false},
        {"plain check box, checked",
         [&]
         {
             auto* box = new Checkbox(nullptr, nullptr, 1, nullptr);
             box->mChecked = true;
             return box;
         },
         true},
        {"plain check box, translucent outline",
         [&]
         {
             auto* box = new Checkbox(nullptr, nullptr, 1, nullptr);
             box->mOutlineColor = Color(255, 255, 255, 128);
             return box;
         },
         false},
        {"picture check box", [&] { return new Checkbox(translucent.get(), translucent.get(), 1, nullptr); },
         false},
        {"edit field with a selection",
         [&]
         {
             auto* edit = new EditWidget(1, nullptr);
             edit->SetText("some text");
             edit->mHasFocus = true;
             edit->mHilitePos = 2;
             return edit;
         },
         true},
        {"edit field, translucent background",
         [&]
         {
             auto* edit = new EditWidget(1, nullptr);
             edit->SetColor(EditWidget::COLOR_BKG, Color(255, 255, 255, 200));
             return edit;
         },
         false},
        {"list with a selection",
         [&]
         {
             auto* list = new ListWidget(1, nullptr, nullptr);
             list->AddLine("one", false);
             list->AddLine("two", false);
             list->mSelectIdx = 1;
             return list;
         },
         true},
        {"list, translucent background",
         [&]
         {
             auto* list = new ListWidget(1, nullptr, nullptr);
             list->SetColor(ListWidget::COLOR_BKG, Color(16, 16, 40, 100));
             return list;
         },
         false},
        {"slider", [&] { return new Slider(translucent.get(), translucent.get(), 1, nullptr); }, false},
        {"dialog without a picture",
         [&] { return new Dialog(nullptr, nullptr, 1, true, "Head", "Lines", "", Dialog::BUTTONS_NONE); },
         false},
        {"dialog with a picture",
         [&] {
             return new Dialog(translucent.get(), nullptr, 1, true, "Head", "Lines", "",
                               Dialog::BUTTONS_NONE);
         },
         false},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<Widget> widget(c.make());
        widget->Resize(0, 0, 90, 60);
        const bool same = DrawnOver(*widget, 0xFF000000) == DrawnOver(*widget, 0xFFFFFFFF);
        EXPECT_EQ(widget->IsOpaque(), c.opaque) << c.name;
        EXPECT_EQ(same, c.opaque) << c.name
                                  << (same ? ": the screen never shows" : ": the screen shows through");
    }

    // The scroll bar with its arrow buttons: with a thumb, and with nothing to scroll.
    for (double max : {100.0, 5.0})
    {
        ScrollbarWidget bar(1, nullptr);
        bar.ResizeScrollbar(0, 0, 16, 120);
        bar.SetMaxValue(max);
        bar.SetPageSize(10);
        bar.SetValue(30);
        EXPECT_TRUE(bar.IsOpaque());
        EXPECT_EQ(DrawnOver(bar, 0xFF000000), DrawnOver(bar, 0xFFFFFFFF)) << "maximum " << max;
    }
}

} // namespace
