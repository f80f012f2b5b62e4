#include "WidgetTestSupport.h"

#include "base/StringUtils.h"
#include "graphics/Graphics.h"
#include "widgets/EditListener.h"
#include "widgets/EditWidget.h"
#include "widgets/KeyCodes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace
{

using namespace Kavo;
using namespace WidgetTest;

struct EditLog : EditListener
{
    Log mLog;
    int mMaxLength = 1000;
    int mRefusedKey = -1;
    void EditWidgetText(int id, const std::string& text) override
    {
        mLog.push_back(StrFormat("Text %d '%s'", id, text.c_str()));
    }
    bool AllowKey(int, int key) override { return key != mRefusedKey; }
    bool AllowChar(int, char c) override { return c != '#'; }
    bool AllowText(int, const std::string& text) override { return int(text.size()) <= mMaxLength; }
};

// A focused field 200 pixels wide on a screen; characters are 6 pixels wide.
struct Field
{
    Screen mScreen;
    EditLog mListener;
    EditWidget mEdit{5, &mListener};

    Field()
    {
        mEdit.Resize(0, 0, 200, 20);
        mScreen.mManager.AddWidget(&mEdit);
        mScreen.mManager.SetFocus(&mEdit);
    }

    void Key(int key, int modifier = 0)
    {
        WidgetManager& m = mScreen.mManager;
        if (modifier) m.KeyDown(modifier);
        m.KeyDown(key);
        m.KeyUp(key);
        if (modifier) m.KeyUp(modifier);
    }
    void Ctrl(char c)
    {
        mScreen.mManager.KeyDown(KEYCODE_CONTROL);
        mScreen.mManager.KeyChar(c);
        mScreen.mManager.KeyUp(KEYCODE_CONTROL);
    }
    // Space-separated actions: "t:abc" types, "k:37" presses a key, "s:39" with Shift, "c:37" with
    // Ctrl, "^Z" types Ctrl+Z (also ^C, ^X, ^V).
    void Run(const std::string& actions)
    {
        std::istringstream in(actions);
        std::string action;
        while (in >> action)
        {
            std::string arg = action.substr(2);
            if (action[0] == 't')
                for (char c : arg)
                    mScreen.mManager.KeyChar(c);
            else if (action[0] == 'k')
                Key(std::stoi(arg));
            else if (action[0] == 's')
                Key(std::stoi(arg), KEYCODE_SHIFT);
            else if (action[0] == 'c')
                Key(std::stoi(arg), KEYCODE_CONTROL);
            else if (action[0] == '^')
                Ctrl(char(action[1] - 'A' + 1));
        }
    }
};

TEST(EditWidget, Editing)
{
    struct Row
    {
        std::string initial = {}; // set with SetText, which selects it all
        std::string actions = {};
        int maxChars = -1;
        int maxPixels = -1;
        char password = 0;
        std::string clipboardIn = {};
        std::string text = {};
        int cursor = 0;
        int hilite = -1;
        std::string clipboardOut = {};
    } rows[] = {
        // Two adjacent typed characters are one undo step; undo swaps back and forth.
        {.initial = "", .actions = "t:ab ^Z", .text = "", .cursor = 0, .hilite = -1},
        {.initial = "", .actions = "t:ab ^Z ^Z", .text = "ab", .cursor = 2, .hilite = -1},
        {.initial = "abc", .actions = "k:35 k:8 k:8 ^Z", .text = "abc", .cursor = 3, .hilite = -1},
        // Selection with Shift; an arrow without Shift ends it at its end.
        {.initial = "abc", .actions = "k:36 s:39", .text = "abc", .cursor = 1, .hilite = 0},
        {.initial = "abc", .actions = "k:36 s:39 k:39", .text = "abc", .cursor = 1, .hilite = -1},
        {.initial = "abc def", .actions = "s:37 k:37", .text = "abc def", .cursor = 0, .hilite = -1},
        // Word-wise movement: Ctrl+Left to the start of this word, Ctrl+Right to the next one.
        {.initial = "abc def", .actions = "k:35 c:37", .text = "abc def", .cursor = 4, .hilite = -1},
        {.initial = "abc def", .actions = "k:36 c:39", .text = "abc def", .cursor = 4, .hilite = -1},
        {.initial = "abc def",
         .actions = "k:36 c:39 c:39 c:37",
         .text = "abc def",
         .cursor = 4,
         .hilite = -1},
        // Typing replaces the selection; Delete and Backspace.
        {.initial = "abc", .actions = "t:x", .text = "x", .cursor = 1, .hilite = -1},
        {.initial = "abc", .actions = "k:36 k:46 k:46", .text = "c", .cursor = 0, .hilite = -1},
        {.initial = "abc", .actions = "k:36 k:39 k:8", .text = "bc", .cursor = 0, .hilite = -1},
        // The clipboard.
        {.initial = "hello", .actions = "^X", .text = "", .cursor = 0, .hilite = -1, .clipboardOut = "hello"},
        {.initial = "hello", .actions = "^X ^Z", .text = "hello", .cursor = 5, .hilite = 0},
        {.initial = "abc",
         .actions = "^C",
         .password = '*',
         .text = "abc",
         .cursor = 3,
         .hilite = 0,
         .clipboardOut = "***"},
        {.initial = "ab",
         .actions = "k:35 ^V",
         .clipboardIn = "x#y\r\nz",
         .text = "abxy",
         .cursor = 4,
         .hilite = -1},
        // Limits in characters and in pixels.
        {.initial = "",
         .actions = "^V",
         .maxChars = 3,
         .clipboardIn = "hello",
         .text = "hel",
         .cursor = 3,
         .hilite = -1},
        {.initial = "", .actions = "t:abcd", .maxPixels = 20, .text = "abc", .cursor = 3, .hilite = -1},
        // Control characters, codes above 127 and refused characters are not typed.
        {.initial = "", .actions = "t:a\x01\xe9#b", .text = "ab", .cursor = 2, .hilite = -1},
    };
    for (const Row& row : rows)
    {
        Field field;
        EditWidget& edit = field.mEdit;
        edit.mMaxChars = row.maxChars;
        edit.mMaxPixels = row.maxPixels;
        edit.mPasswordChar = row.password;
        field.mScreen.mApp.mClipboard = row.clipboardIn;
        if (!row.initial.empty()) edit.SetText(row.initial);
        field.Run(row.actions);
        EXPECT_EQ(edit.mText, row.text) << row.initial << " / " << row.actions;
        EXPECT_EQ(edit.mCursorPos, row.cursor) << row.initial << " / " << row.actions;
        EXPECT_EQ(edit.mHilitePos, row.hilite) << row.initial << " / " << row.actions;
        if (!row.clipboardOut.empty())
        {
            EXPECT_EQ(field.mScreen.mApp.mClipboard, row.clipboardOut) << row.actions;
        }
    }
}

TEST(EditWidget, ListenerVetoesAndEnter)
{
    Field field;
    field.mListener.mMaxLength = 5;
    field.Run("t:abcdefg"); // the texts longer than 5 are refused
    EXPECT_EQ(field.mEdit.mText, "abcde");
    field.Run("^Z"); // the refused edits left the undo step alone
    EXPECT_EQ(field.mEdit.mText, "");
    field.Run("^Z");

    field.mListener.mRefusedKey = KEYCODE_BACK;
    field.Run("k:8 k:13");
    EXPECT_EQ(field.mEdit.mText, "abcde");
    EXPECT_EQ(field.mListener.mLog, (Log{"Text 5 'abcde'"}));
}

TEST(EditWidget, MouseSelection)
{
    Field field;
    WidgetManager& m = field.mScreen.mManager;
    field.mEdit.SetText("abc def");

    // A double click on the first letter of the second word selects that word.
    m.MousePosition(30, 10);
    m.MouseDown(30, 10, 2);
    m.MouseUp(30, 10, 2);
    EXPECT_EQ(field.mEdit.mHilitePos, 4);
    EXPECT_EQ(field.mEdit.mCursorPos, 7);
    EXPECT_EQ(field.mScreen.mApp.mCursor, 3); // the text beam over the field

    // Dragging from before the first letter selects up to the point.
    m.MouseDown(5, 10, 1);
    m.MousePosition(23, 10);
    m.MouseUp(23, 10, 1);
    EXPECT_EQ(field.mEdit.mHilitePos, 0);
    EXPECT_EQ(field.mEdit.mCursorPos, 3);
    field.Run("^C");
    EXPECT_EQ(field.mScreen.mApp.mClipboard, "abc");
}

// A character wider than the whole field used to keep the scroll-to-caret loop going forever;
// now the caret stays behind it.
TEST(EditWidget, ACharacterWiderThanTheField)
{
    Field field;
    FakeFont wide;
    wide.mWidths['W'] = 50;
    field.mEdit.SetFont(&wide);
    field.mEdit.Resize(0, 0, 20, 20);
    field.Run("t:WW");
    EXPECT_EQ(field.mEdit.mText, "WW");
    EXPECT_EQ(field.mEdit.mLeftPos, 1);
    field.mEdit.SetText("WWWWWWWWWWWWWWWWWWWWWWWW", false);
    EXPECT_EQ(field.mEdit.mLeftPos, 23);
    field.Run("k:36");
    EXPECT_EQ(field.mEdit.mLeftPos, 0);
}

// Keys that arrive before the field was ever drawn are measured with the font made for them.
TEST(EditWidget, KeysBeforeTheFirstDraw)
{
    Field field;
    field.Run("t:ab k:37");
    EXPECT_EQ(field.mEdit.mText, "ab");
    EXPECT_EQ(field.mEdit.mCursorPos, 1);
    EXPECT_EQ(field.mScreen.mApp.mLog, (Log{"Font Arial Unicode MS 10"}));
}

// A field deleted while it has the focus and the mouse gives back the arrow and the system caret.
TEST(EditWidget, DeletedWhileFocusedUnderTheMouse)
{
    Screen screen;
    screen.mApp.mSystemCaret = true;
    EditWidget* edit = new EditWidget(1, nullptr);
    edit->Resize(0, 0, 100, 20);
    screen.mManager.AddWidget(edit);
    screen.Click(10, 10);
    ASSERT_EQ(screen.mApp.mCursor, 3);

    delete edit;
    EXPECT_EQ(screen.mApp.mCursor, 0);
    EXPECT_EQ(screen.mApp.mLog.back(), "HideCaret");
}

TEST(EditWidget, DrawingTheSelectionAndTheCaret)
{
    Field field;
    field.mScreen.mApp.mSystemCaret = true;
    EditWidget& edit = field.mEdit;
    edit.Resize(0, 0, 100, 20);
    field.mScreen.mManager.SetFocus(nullptr);
    field.mScreen.mManager.SetFocus(&edit);
    edit.SetText("abcdef");
    edit.mCursorPos = 3;
    edit.mHilitePos = 1;

    RecordingImage image(200, 50);
    Graphics g(&image);
    edit.Draw(&g);
    EXPECT_EQ(image.mLog, (Log{"FillRect 0,0,100,20 #FFFFFFFF", "FillRect 10,4,12,12 #000000FF",
                               "DrawRect 0,0,99,19 #000000FF"}));
    EXPECT_EQ(field.mScreen.mApp.mTextLog,
              (Log{"Text 'abcdef' 4,13 #000000FF", "Text 'abcdef' 4,13 #FFFFFFFF"}));

    // Without the focus the selection is not shown; the caret blinks every 40 updates.
    field.mScreen.mManager.SetFocus(nullptr);
    image.mLog.clear();
    edit.Draw(&g);
    EXPECT_EQ(image.mLog, (Log{"FillRect 0,0,100,20 #FFFFFFFF", "DrawRect 0,0,99,19 #000000FF"}));
    field.mScreen.mManager.SetFocus(&edit);
    for (int update = 0; update < 40; ++update)
        field.mScreen.mManager.UpdateFrame();
    EXPECT_TRUE(edit.mShowCaret);
    field.mScreen.mManager.UpdateFrame();
    EXPECT_FALSE(edit.mShowCaret);
    EXPECT_EQ(field.mScreen.mApp.mLog[0], "HideCaret");
    EXPECT_EQ(field.mScreen.mApp.mLog[1], "ShowCaret");
    EXPECT_EQ(field.mScreen.mApp.mLog.back(), "CaretPos 10,10"); // held 10 pixels inside the screen
}

} // namespace
