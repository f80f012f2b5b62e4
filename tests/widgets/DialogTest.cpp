#include "WidgetTestSupport.h"

#include "graphics/Graphics.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

Dialog* MakeDialog(int mode, const std::string& header = "Title", const std::string& footer = "Footer")
{
    return new Dialog(nullptr, nullptr, 7, true, header, "Some lines", footer, mode);
}

TEST(Dialog, ButtonsByMode)
{
    FakeApp app;
    struct Case
    {
        int mode;
        std::string yes, no;
    } cases[] = {
        {Dialog::BUTTONS_NONE, "", ""},
        {Dialog::BUTTONS_YES_NO, "YES", "NO"},
        {Dialog::BUTTONS_OK_CANCEL, "OK", "CANCEL"},
        {Dialog::BUTTONS_FOOTER, "Footer", ""},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<Dialog> dialog(MakeDialog(c.mode));
        EXPECT_EQ(dialog->mYesButton ? dialog->mYesButton->mLabel : "", c.yes);
        EXPECT_EQ(dialog->mNoButton ? dialog->mNoButton->mLabel : "", c.no);
        EXPECT_EQ(dialog->mYesButton ? dialog->mYesButton->mId : 1000, 1000);
        EXPECT_EQ(dialog->mNoButton ? dialog->mNoButton->mId : 1001, 1001);
    }
}

TEST(Dialog, LayoutAndPreferredHeight)
{
    FakeApp app;
    std::unique_ptr<Dialog> two(MakeDialog(Dialog::BUTTONS_OK_CANCEL));
    two->Resize(100, 50, 400, 200);
    EXPECT_EQ(two->mYesButton->GetRect(), Rect(124, 202, 172, 24));
    EXPECT_EQ(two->mNoButton->GetRect(), Rect(304, 202, 172, 24));

    std::unique_ptr<Dialog> one(MakeDialog(Dialog::BUTTONS_FOOTER));
    one->Resize(0, 0, 400, 200);
    EXPECT_EQ(one->mYesButton->GetRect(), Rect(24, 152, 352, 24));

    // Only a header and two buttons: 8 between them and 8 + the button height at the end.
    std::unique_ptr<Dialog> brief(
        new Dialog(nullptr, nullptr, 1, true, "Title", "", "", Dialog::BUTTONS_YES_NO));
    EXPECT_EQ(brief->GetPreferredHeight(400), 48 + 12 + 8 + 8 + 24);
    // Header, one line of text (12 high) and a footer line.
    std::unique_ptr<Dialog> full(MakeDialog(Dialog::BUTTONS_NONE));
    EXPECT_EQ(full->GetPreferredHeight(400), 48 + 12 + 10 + 12 + 8 + 12);
}

// The buttons live beside the dialog in the manager, come and go with it, stay in front of it,
// and report to the application by the dialog's id.
TEST(Dialog, ButtonsReportAndWaitForResult)
{
    Screen screen;
    Dialog* dialog = MakeDialog(Dialog::BUTTONS_OK_CANCEL);
    dialog->Resize(200, 100, 400, 200);
    screen.mManager.AddWidget(dialog);
    screen.mManager.AddBaseModal(dialog);
    ASSERT_EQ(screen.mManager.mChildren.size(), 3u);
    screen.mManager.BringToFront(dialog);
    EXPECT_EQ(screen.mManager.mChildren.front(), dialog);

    // The loop's first step releases CANCEL.
    screen.mApp.mOnUpdateStep = [&]()
    {
        screen.Click(dialog->mNoButton->mX + 5, dialog->mNoButton->mY + 5);
        return true;
    };
    EXPECT_EQ(dialog->WaitForResult(true), 1001);
    EXPECT_EQ(screen.mApp.mLog,
              (Log{"DialogButtonPress 7 1001", "DialogButtonDepress 7 1001", "KillDialog 7"}));

    screen.mManager.RemoveBaseModal(dialog);
    screen.mManager.RemoveWidget(dialog);
    EXPECT_TRUE(screen.mManager.mChildren.empty());
    delete dialog;
}

TEST(Dialog, WaitEndsWhenTheDialogGoesAway)
{
    Screen screen;
    Dialog* dialog = MakeDialog(Dialog::BUTTONS_YES_NO);

    // Not on the screen: one step of the loop runs, then the wait ends without a result.
    int steps = 0;
    screen.mApp.mOnUpdateStep = [&]()
    {
        ++steps;
        return true;
    };
    EXPECT_EQ(dialog->WaitForResult(false), Dialog::kNoResult);
    EXPECT_EQ(steps, 1);

    // Removed from the manager: no result.
    screen.mManager.AddWidget(dialog);
    screen.mApp.mOnUpdateStep = [&]()
    {
        screen.mManager.RemoveWidget(dialog);
        return true;
    };
    EXPECT_EQ(dialog->WaitForResult(false), Dialog::kNoResult);

    // The program stopping ends the wait too.
    screen.mManager.AddWidget(dialog);
    screen.mApp.mOnUpdateStep = []() { return false; };
    EXPECT_EQ(dialog->WaitForResult(false), Dialog::kNoResult);

    // Killed and deleted while waiting, after its button was released: the result survives and
    // the deleted dialog is not touched again (no KillDialog for it either).
    screen.mApp.mOnUpdateStep = [&]()
    {
        dialog->ButtonDepress(1000);
        delete dialog;
        return true;
    };
    EXPECT_EQ(dialog->WaitForResult(true), 1000);
    EXPECT_EQ(screen.mApp.mLog, (Log{"DialogButtonDepress 7 1000"}));
    EXPECT_TRUE(screen.mManager.mChildren.empty());
}

TEST(Dialog, DraggingStopsAtTheScreenEdge)
{
    Screen screen;
    std::unique_ptr<Dialog> dialog(MakeDialog(Dialog::BUTTONS_FOOTER));
    dialog->Resize(100, 100, 200, 100);
    screen.mManager.AddWidget(dialog.get());

    screen.mManager.MousePosition(150, 110);
    screen.mManager.MouseDown(150, 110, 1);
    EXPECT_EQ(screen.mApp.mCursor, 2);
    screen.mManager.MousePosition(80, 120);
    EXPECT_EQ(dialog->GetRect(), Rect(30, 110, 200, 100));
    screen.mManager.MousePosition(-500, 120);
    EXPECT_EQ(dialog->GetRect(), Rect(-8, 110, 200, 100));
    EXPECT_EQ(dialog->mYesButton->mX, -8 + 24); // the button moves with it
    screen.mManager.MouseUp(-500, 120, 1);
    EXPECT_EQ(screen.mApp.mCursor, 0);
    EXPECT_FALSE(dialog->mDragging);
}

TEST(Dialog, DrawsFrameHeaderLinesAndFooter)
{
    FakeApp app;
    std::unique_ptr<Dialog> dialog(MakeDialog(Dialog::BUTTONS_NONE));
    dialog->Resize(0, 0, 200, 120);
    RecordingImage image(300, 200);
    Graphics g(&image);
    dialog->Draw(&g);
    EXPECT_EQ(image.mLog, (Log{"DrawRect 12,12,175,95 #FFFFFFFF", "FillRect 13,13,174,94 #505050FF",
                               "FillRect 188,24,12,84 #00000080", "FillRect 24,108,176,12 #00000080"}));
    EXPECT_EQ(app.mTextLog, (Log{"Text 'Title' 85,33 #FFFFFFFF", "Text 'Some lines' 70,55 #FFFF00FF",
                                 "Text 'Footer' 82,78 #FFFFFFFF"}));

    // With one button the footer is the button's label and no line of its own.
    app.mTextLog.clear();
    std::unique_ptr<Dialog> single(MakeDialog(Dialog::BUTTONS_FOOTER));
    single->Resize(0, 0, 200, 120);
    single->Draw(&g);
    EXPECT_EQ(app.mTextLog, (Log{"Text 'Title' 85,33 #FFFFFFFF", "Text 'Some lines' 70,55 #FFFF00FF"}));
}

} // namespace
