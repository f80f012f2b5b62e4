#include "WidgetTestSupport.h"

#include "graphics/Graphics.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/CheckboxListener.h"
#include "widgets/DialogButton.h"
#include "widgets/HyperlinkWidget.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

// The listener calls of the table in ButtonWidget.h, through real input.
TEST(Button, EventsReachTheListener)
{
    Screen screen;
    RecordingButtonListener listener;
    ButtonWidget button(7, &listener);
    button.Resize(10, 10, 60, 20);
    screen.mManager.AddWidget(&button);

    screen.mManager.MousePosition(20, 15);
    screen.mManager.MouseDown(20, 15, 1);
    screen.mManager.UpdateFrame();
    screen.mManager.MouseUp(20, 15, 1);
    EXPECT_EQ(listener.mLog, (Log{"Enter 7", "Move 7 10,5", "Press 7 1", "Tick 7", "Depress 7"}));
    listener.mLog.clear();

    // Released after the mouse left it: no Depress; no ticks while the mouse is off it.
    screen.mManager.MouseDown(20, 15, 1);
    screen.mManager.MousePosition(200, 200);
    screen.mManager.UpdateFrame();
    screen.mManager.MouseUp(200, 200, 1);
    EXPECT_EQ(listener.mLog, (Log{"Press 7 1", "Leave 7"}));
    listener.mLog.clear();

    // A right click counts like a left click; a double click passes 2.
    screen.mManager.MousePosition(20, 15);
    screen.mManager.MouseDown(20, 15, -1);
    screen.mManager.MouseUp(20, 15, -1);
    screen.mManager.MouseDown(20, 15, 2);
    screen.mManager.MouseUp(20, 15, 2);
    // Without the window's focus a release clicks nothing.
    screen.mManager.LostAppFocus();
    screen.mManager.MouseDown(20, 15, 1);
    screen.mManager.MouseUp(20, 15, 1);
    EXPECT_EQ(listener.mLog, (Log{"Enter 7", "Move 7 10,5", "Press 7 1", "Depress 7", "Press 7 2",
                                  "Depress 7", "Press 7 1"}));
}

TEST(Button, PressedStateTable)
{
    struct Row
    {
        bool isDown, isOver, disabled, buttonDown;
    } rows[] = {
        {true, true, false, true},    {true, false, false, false}, {true, false, true, false},
        {true, true, true, false},    {false, true, true, false},  {false, true, false, false},
        {false, false, false, false},
    };
    ButtonWidget button(1, nullptr);
    for (const Row& row : rows)
    {
        button.mIsDown = row.isDown;
        button.mIsOver = row.isOver;
        button.mDisabled = row.disabled;
        EXPECT_EQ(button.IsButtonDown(), row.buttonDown) << row.isDown << row.isOver << row.disabled;
    }
}

// A listener may delete the button that called it, on the press or on the release.
TEST(Button, AListenerThatDeletesItsOwnButton)
{
    for (bool onPress : {true, false})
    {
        Screen screen;
        RecordingButtonListener listener;
        ButtonWidget* button = new ButtonWidget(3, &listener);
        button->Resize(0, 0, 50, 20);
        button->mHandCursor = true;
        screen.mManager.AddWidget(button);
        auto deleteIt = [&](int) { delete button; };
        if (onPress)
            listener.mOnPress = deleteIt;
        else
            listener.mOnDepress = deleteIt;

        screen.Click(10, 10);
        screen.mManager.UpdateFrame();
        screen.Click(10, 10);
        Log expected{"Enter 3", "Move 3 10,10", "Press 3 1"};
        if (!onPress) expected.push_back("Depress 3");
        EXPECT_EQ(listener.mLog, expected);
        EXPECT_TRUE(screen.mManager.mChildren.empty());
        EXPECT_EQ(screen.mManager.mDownWidget, nullptr);
        EXPECT_EQ(screen.mManager.mOverWidget, nullptr);
        EXPECT_EQ(screen.mApp.mCursor, 0); // the hand went with the button
    }
}

TEST(Button, FramedButtonLabelMovesWhenPressed)
{
    FakeApp app;
    RecordingImage image(100, 100);
    ButtonWidget button(1, nullptr);
    button.Resize(0, 0, 60, 20);
    button.mLabel = "abcde"; // 30 pixels in the fake font
    Graphics g(&image);
    button.Draw(&g);
    button.mIsDown = button.mIsOver = true;
    button.Draw(&g);
    EXPECT_EQ(app.mLog, (Log{"Font Arial Unicode MS 10"}));
    EXPECT_EQ(app.mTextLog, (Log{"Text 'abcde' 15,13 #000000FF", "Text 'abcde' 16,14 #000000FF"}));
    ASSERT_FALSE(image.mLog.empty());
    EXPECT_EQ(image.mLog[0], "FillRect 0,0,60,20 #D4D4D4FF");
    EXPECT_EQ(image.mLog[1], "FillRect 0,0,59,1 #FFFFFFFF"); // light edge at the top
}

// With a fade-out step of 0.25 the over look fades over three updates after the mouse leaves.
TEST(Button, OverLookFadesOut)
{
    Screen screen;
    RecordingImage image(100, 100);
    RecordingImage normal(60, 20, "normal"), over(60, 20, "over");
    ButtonWidget button(1, nullptr);
    button.Resize(0, 0, 60, 20);
    button.mNormalImage = &normal;
    button.mOverImage = &over;
    button.mFadeOutStep = 0.25;
    screen.mManager.AddWidget(&button);
    screen.mManager.MousePosition(10, 10);
    screen.mManager.MousePosition(300, 300);

    Log drawn;
    for (int update = 0; update < 4; ++update)
    {
        screen.mManager.UpdateFrame();
        image.mLog.clear();
        Graphics g(&image);
        button.Draw(&g);
        for (const std::string& line : image.mLog)
            drawn.push_back(line);
    }
    EXPECT_EQ(drawn, (Log{"Blt normal 0,0 src 0,0,60,20 #FFFFFFFF", "Blt over 0,0 src 0,0,60,20 #FFFFFFBF",
                          "Blt normal 0,0 src 0,0,60,20 #FFFFFFFF", "Blt over 0,0 src 0,0,60,20 #FFFFFF7F",
                          "Blt normal 0,0 src 0,0,60,20 #FFFFFFFF", "Blt over 0,0 src 0,0,60,20 #FFFFFF3F",
                          "Blt normal 0,0 src 0,0,60,20 #FFFFFFFF"}));
}

TEST(Button, CheckboxTogglesAndTells)
{
    struct Listener : CheckboxListener
    {
        Log mLog;
        void CheckboxChecked(int id, bool checked) override
        {
            mLog.push_back(std::to_string(id) + (checked ? " on" : " off"));
        }
    } listener;
    Screen screen;
    Checkbox box(nullptr, nullptr, 4, &listener);
    box.Resize(0, 0, 10, 10);
    screen.mManager.AddWidget(&box);

    screen.Click(5, 5);
    screen.Click(5, 5, -1); // any button
    EXPECT_FALSE(box.IsChecked());
    box.SetChecked(true, false);
    EXPECT_TRUE(box.IsChecked());
    EXPECT_EQ(listener.mLog, (Log{"4 on", "4 off"}));

    RecordingImage image(20, 20);
    Graphics g(&image);
    box.Draw(&g);
    EXPECT_EQ(image.mLog, (Log{"FillRect 0,0,10,10 #FFFFFFFF", "FillRect 1,1,8,8 #505050FF",
                               "DrawLine 1,1,8,8 #FFFF00FF", "DrawLine 9,1,1,8 #FFFF00FF"}));
}

TEST(Button, HyperlinkAndDialogButtonLabels)
{
    FakeApp app;
    RecordingImage image(200, 100);
    Graphics g(&image);

    HyperlinkWidget link(1, nullptr);
    link.Resize(0, 0, 100, 20);
    link.mLabel = "link"; // 24 pixels
    link.mLinkOverColor = Color(255, 0, 0);
    link.mIsOver = true;
    link.Draw(&g);
    EXPECT_EQ(image.mLog, (Log{"FillRect 38,16,24,1 #FF0000FF"}));

    RecordingImage component(30, 30, "box");
    DialogButton button(&component, 1000, nullptr);
    button.Resize(0, 0, 100, 30);
    button.mLabel = "OK"; // 12 pixels
    button.Draw(&g);
    button.mIsDown = button.mIsOver = true;
    button.Draw(&g);
    EXPECT_EQ(app.mLog, (Log{"Font Arial Unicode MS 10", "Font Arial Unicode MS 12 bold"}));
    EXPECT_EQ(app.mTextLog,
              (Log{"Text 'link' 38,13 #FF0000FF", "Text 'OK' 44,18 #FFFFFFFF", "Text 'OK' 45,19 #FFFFFFFF"}));
}

} // namespace
