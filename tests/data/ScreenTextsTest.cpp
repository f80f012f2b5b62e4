// The texts of the game's screens and dialogs in the pictures and fonts the build made: each stays
// inside the rim of the box it is written in and clear of the pictures and texts beside it. The
// real game runs headless in the program's folder, on the way a player takes to each screen; a
// widget is then drawn alone while its fonts write down where each text's pixels fall.
#include "ShippedData.h"

#include "base/StringTable.h"
#include "game/AccountManagerDialog.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameChooserScreen.h"
#include "game/LevelChooserScreen.h"
#include "game/NameDialog.h"
#include "game/OptionsDialog.h"
#include "game/TitleScreen.h"
#include "game/UserKeyName.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/MemoryImage.h"
#include "platform/files/Files.h"
#include "puzzle/Board.h"
#include "puzzle/BoardDialogPopup.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "rules/RulesFlags.h"
#include "tests/ScratchNames.h"
#include "tests/data/TextRecorder.h"
#include "tests/game/GameTestSupport.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/ListWidget.h"
#include "widgets/Slider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace
{

using gametest::TestGameApp;
using Kavo::Board;
using Kavo::Rect;
using textcheck::DrawnText;

// The signed distance of a point from a rounded rectangle centred on 0 (negative inside), as
// the art generator draws its boxes.
float RoundedBoxDistance(float x, float y, float halfWidth, float halfHeight, float radius)
{
    float qx = std::abs(x) - halfWidth + radius, qy = std::abs(y) - halfHeight + radius;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

// A picture's rim: the rounded rectangle its line is drawn on, in the picture's own pixels, and
// how far inside that line a text must stay.
struct Rim
{
    float pictureWidth, pictureHeight;
    float left, top, width, height, radius;
    float clearance;
};
// The dialog box (390 x 300): its rim, a line 2 pixels wide, runs 6 pixels inside the edges with
// corners of radius 18.
constexpr Rim kDialogRim{390, 300, 6, 6, 378, 288, 18, 3};
// The dialog button (160 x 33, drawn over its button less 2 pixels each way): its panel lies 2
// pixels inside with corners of radius 10, the rim 1.5 pixels wide along its inside.
constexpr Rim kButtonRim{160, 33, 2, 2, 156, 29, 10, 2};
// The plate of the screen frame's title, hanging in the middle of the top bar of the frame (800 x
// 600): x 230 to 570, y -1 to 41, corners of radius 12; the frame's line runs along its edge.
constexpr Rim kTitlePlateRim{800, 600, 230, -1, 340, 42, 12, 3};
// The bonus hint's example picture (180 x 56): its panel 2 pixels inside with corners of radius
// 14, and on its left the socket for the bonus piece, a ring of radius 19 around (28, 28) whose
// rim ends at x 47.
constexpr Rim kExampleRim{180, 56, 2, 2, 176, 52, 14, 2};
constexpr int kSocketX = 28, kSocketY = 28, kSocketRight = 47;
// The fine rule under a dialog's title: along row 64 of the box picture's 300, a line a pixel
// wide, stretched with the box.
constexpr double kDialogRuleRow = 64, kDialogRuleHalfWidth = 0.5;
// The rim of the frame's top bar: the line along the top of the opening at y 36.5, 2 pixels wide;
// a text keeps 3 pixels from its middle.
constexpr double kTopRimY = 36.5, kTopRimClearance = 3;

// Whether every visible pixel of a text lies inside the rim of the picture stretched over box.
bool InsideRim(const Rim& rim, const Rect& box, const DrawnText& text)
{
    auto inside = [&](float x, float y)
    {
        float px = (x - float(box.mX)) * rim.pictureWidth / float(box.mWidth);
        float py = (y - float(box.mY)) * rim.pictureHeight / float(box.mHeight);
        return RoundedBoxDistance(px - rim.left - rim.width / 2, py - rim.top - rim.height / 2, rim.width / 2,
                                  rim.height / 2, rim.radius) <= -rim.clearance;
    };
    for (const Rect& row : text.rows)
    {
        const float left = float(row.mX), right = float(row.mX + row.mWidth), top = float(row.mY);
        if (!inside(left, top) || !inside(right, top) || !inside(left, top + 1) || !inside(right, top + 1))
            return false;
    }
    return true;
}

// The same for a picture's rectangle.
bool InsideRim(const Rim& rim, const Rect& box, const Rect& picture)
{
    DrawnText corners{"", picture, {}};
    corners.rows = {Rect(picture.mX, picture.mY, picture.mWidth, 1),
                    Rect(picture.mX, picture.mY + picture.mHeight - 1, picture.mWidth, 1)};
    return InsideRim(rim, box, corners);
}

bool Overlap(const Rect& a, const Rect& b)
{
    return a.mX < b.mX + b.mWidth && b.mX < a.mX + a.mWidth && a.mY < b.mY + b.mHeight &&
           b.mY < a.mY + a.mHeight;
}

std::string Describe(const DrawnText& text)
{
    std::ostringstream out;
    out << '"' << text.text << "\" at (" << text.ink.mX << ", " << text.ink.mY << ") " << text.ink.mWidth
        << " x " << text.ink.mHeight;
    return out.str();
}

class ScreenTexts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(platform::PathExists(ShippedData::GameFolder() + "main.pak"));
        // A player's data of the test's own: no saved game or player of an earlier run.
        mFolder = platform::CurrentFolder();
        const char* data = std::getenv("XDG_DATA_HOME");
        mDataHome = data != nullptr ? data : "";
        setenv("XDG_DATA_HOME", (mFolder + scratch::FreshFolder("screentexts-") + "userdata").c_str(), 1);
        ASSERT_TRUE(platform::SetCurrentFolder(ShippedData::GameFolder()));
        ASSERT_TRUE(Kavo::StringTable::LoadFile(ShippedData::SourceData() + "properties/strings.txt"));
    }
    void TearDown() override
    {
        platform::SetCurrentFolder(mFolder);
        setenv("XDG_DATA_HOME", mDataHome.c_str(), 1);
    }

    // A stored player (none for an empty name), then started to the main menu.
    static void Start(TestGameApp& app, const std::string& name, int topLevel = 0)
    {
        if (!name.empty())
        {
            const std::string path = Kavo::UserRegistryPath(name);
            app.RegistryWriteString(path + "\\DisplayName", name);
            app.RegistryWriteInteger(path + "\\GuiFlags", Kavo::UserProfile::kSkipTutorial);
            if (topLevel > 0) app.RegistryWriteInteger(path + "\\TopLevelReached\\untimed", topLevel);
            app.RegistryWriteString("Users\\DefaultName", Kavo::UserKeyName(name));
        }
        // The shipped splashes have their time before the title screen takes the click.
        app.StartUp();
        app.RunUpdates(3 * Kavo::TitleScreen::kUpdatesPerSplash);
        app.Click(400, 300);
        app.RunUpdates(30);
        ASSERT_EQ(app.GetShownScreen(), TestGameApp::kMainMenuScreen);
    }
    // The texts a widget draws by itself, in screen coordinates; drawn, when given, the image it
    // draws into (the screen's size).
    static std::vector<DrawnText> TextsOf(Kavo::Widget* widget, Kavo::MemoryImage* drawn = nullptr)
    {
        textcheck::TextRecorder recorder;
        Kavo::MemoryImage own;
        Kavo::MemoryImage& image = drawn != nullptr ? *drawn : own;
        image.Create(800, 600);
        image.Clear();
        Kavo::Graphics g(&image);
        Kavo::Point at = widget->GetAbsPos();
        g.Translate(at.mX, at.mY);
        widget->Draw(&g);
        return recorder.Drawn();
    }
    // shrink: how much narrower and lower than the widget its picture is drawn.
    static void ExpectInsideRim(const Rim& rim, Kavo::Widget* widget, const std::vector<DrawnText>& texts,
                                int shrink = 0)
    {
        const Rect box(widget->GetAbsPos().mX, widget->GetAbsPos().mY, widget->mWidth - shrink,
                       widget->mHeight - shrink);
        for (const DrawnText& text : texts)
            EXPECT_TRUE(InsideRim(rim, box, text)) << Describe(text) << " in the box at (" << box.mX << ", "
                                                   << box.mY << ") " << box.mWidth << " x " << box.mHeight;
    }
    static void ExpectApart(const std::vector<DrawnText>& texts)
    {
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(Overlap(texts[i].ink, texts[j].ink))
                    << Describe(texts[i]) << " and " << Describe(texts[j]);
    }

    // A hint's texts inside its rim and apart, its message above the check box and the button;
    // its example, when it has one, clear of every text but the example's own label, inside the
    // rim and above the check box.
    static void ExpectHintLaidOut(Kavo::BoardHintBox* hint, const std::string& exampleLabel)
    {
        const std::vector<DrawnText> texts = TextsOf(hint);
        ExpectInsideRim(kDialogRim, hint, texts);
        ExpectApart(texts);
        const int below = hint->mCheckbox != nullptr ? hint->mCheckbox->mY : hint->mFirstButton->mY;
        for (const DrawnText& text : texts)
            if (text.ink.mY < below - 40)
            {
                EXPECT_LE(text.ink.mY + text.ink.mHeight, below)
                    << Describe(text) << " of " << hint->mHintBit;
            }
        const Rect example = hint->ExampleRect();
        if (example.mWidth == 0) return;
        const Rect onScreen(example.mX + hint->mX, example.mY + hint->mY, example.mWidth, example.mHeight);
        for (const DrawnText& text : texts)
            if (text.text != exampleLabel)
            {
                EXPECT_FALSE(Overlap(text.ink, onScreen))
                    << Describe(text) << " under the example of " << hint->mHintBit;
            }
        EXPECT_LE(onScreen.mY + onScreen.mHeight, below) << "the example of " << hint->mHintBit;
        EXPECT_TRUE(InsideRim(kDialogRim, Rect(hint->mX, hint->mY, hint->mWidth, hint->mHeight), onScreen));
    }

    platform::FakeClock clock;
    std::string mFolder;
    std::string mDataHome;
};

TEST_F(ScreenTexts, TheNameDialogsTextsStayInsideItsRim)
{
    TestGameApp app;
    ASSERT_NO_FATAL_FAILURE(Start(app, ""));
    auto* dialog = dynamic_cast<Kavo::NameDialog*>(app.GetDialog(TestGameApp::kNameDialog));
    ASSERT_NE(dialog, nullptr);
    const std::vector<DrawnText> texts = TextsOf(dialog);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, Kavo::StringTable::GetString(201));
    ExpectInsideRim(kDialogRim, dialog, texts);
    ExpectInsideRim(kButtonRim, dialog->mOkButton, TextsOf(dialog->mOkButton), 2);
}

TEST_F(ScreenTexts, TheOptionsDialogsLabelsStayInsideTheirButtonsAndItsRim)
{
    TestGameApp app;
    ASSERT_NO_FATAL_FAILURE(Start(app, "Ola"));
    app.OpenOptionsDialog();
    app.RunUpdates(1);
    auto* options = dynamic_cast<Kavo::OptionsDialog*>(app.GetDialog(Kavo::OptionsDialog::kDialogId));
    ASSERT_NE(options, nullptr);
    std::vector<DrawnText> texts = TextsOf(options);
    ExpectInsideRim(kDialogRim, options, texts);
    for (Kavo::FancyButton* button : {options->mHelpButton, options->mCreditsButton, options->mOkButton})
    {
        std::vector<DrawnText> label = TextsOf(button);
        ASSERT_EQ(label.size(), 1u);
        EXPECT_EQ(label[0].text, button->mLabel);
        ExpectInsideRim(kButtonRim, button, label, 2);
        ExpectInsideRim(kDialogRim, options, label);
        texts.push_back(label[0]);
    }
    ExpectApart(texts);
    // The sliders' thumbs, drawn over each slider's height, clear of the rule under the title.
    const double ruleBottom =
        options->mY + (kDialogRuleRow + kDialogRuleHalfWidth) * options->mHeight / kDialogRim.pictureHeight;
    for (Kavo::Slider* slider : {options->mMusicSlider, options->mSoundSlider})
        EXPECT_GE(slider->mY, ruleBottom + 3)
            << "a slider at y " << slider->mY << ", the rule to " << ruleBottom;
}

// The players dialog: its list starts under the rule below the title, and its buttons stay clear
// of the list and of each other.
TEST_F(ScreenTexts, ThePlayersListStaysClearOfTheRuleUnderTheTitle)
{
    TestGameApp app;
    ASSERT_NO_FATAL_FAILURE(Start(app, "Ola"));
    ASSERT_TRUE(app.OpenPlayerDialog());
    app.RunUpdates(1);
    auto* players =
        dynamic_cast<Kavo::AccountManagerDialog*>(app.GetDialog(Kavo::AccountManagerDialog::kDialogId));
    ASSERT_NE(players, nullptr);
    const double ruleBottom =
        players->mY + (kDialogRuleRow + kDialogRuleHalfWidth) * players->mHeight / kDialogRim.pictureHeight;
    EXPECT_GE(players->mList->mY, ruleBottom + 3)
        << "the list at y " << players->mList->mY << ", the rule to " << ruleBottom;
    const Kavo::ListWidget* list = players->mList;
    for (Kavo::FancyButton* button : {players->mCreateButton, players->mDeleteButton})
    {
        EXPECT_GE(button->mY, list->mY + list->mHeight) << button->mLabel << " over the list";
        EXPECT_LE(button->mY + button->mHeight, players->mOkButton->mY) << button->mLabel << " over Done";
        std::vector<DrawnText> label = TextsOf(button);
        ASSERT_EQ(label.size(), 1u);
        ExpectInsideRim(kButtonRim, button, label, 2);
    }
}

// The third level of Untimed: its hint explains the bonus with an example under its words, and
// the board's panel shows the bonus beside the score.
TEST_F(ScreenTexts, TheBonusHintAndTheBoardsPanelKeepTheirTextsApart)
{
    TestGameApp app;
    ASSERT_NO_FATAL_FAILURE(Start(app, "Vega", 12));
    app.ClickWidget(app.mMainMenu->Button(Kavo::GameChooserScreen::kUntimed));
    app.RunUpdates(2);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kLevelChooserScreen);
    app.ClickWidget(app.mLevelChooser->PlanetButton(1));
    Board* board = app.mBoard.get();
    Kavo::BoardHintBox* hint = nullptr;
    for (int i = 0; i < 500 && hint == nullptr; ++i)
    {
        app.RunUpdates(1);
        hint = dynamic_cast<Kavo::BoardHintBox*>(board->GetCurrentPopup());
    }
    ASSERT_NE(hint, nullptr);
    ASSERT_EQ(board->level, 3);
    ASSERT_EQ(hint->mHintBit, Kavo::hintBonuses);
    app.RunUpdates(30); // opened, its box offered
    ASSERT_GT(board->bonusSize, 0);

    const std::string label = Kavo::StringTable::GetString(122, std::to_string(board->bonusSize));
    ASSERT_GT(hint->ExampleRect().mWidth, 0);
    ExpectHintLaidOut(hint, label);

    // The example as its picture has it: the bonus colour's piece fills the middle of the socket,
    // the size is written beside the socket, inside the picture and level with the piece.
    Kavo::MemoryImage drawn;
    const std::vector<DrawnText> hintTexts = TextsOf(hint, &drawn);
    const Rect example(hint->ExampleRect().mX + hint->mX, hint->ExampleRect().mY + hint->mY,
                       hint->ExampleRect().mWidth, hint->ExampleRect().mHeight);
    const auto size = std::find_if(hintTexts.begin(), hintTexts.end(),
                                   [&](const DrawnText& text) { return text.text == label; });
    ASSERT_NE(size, hintTexts.end());
    EXPECT_TRUE(InsideRim(kExampleRim, example, *size)) << Describe(*size) << " outside the example";
    EXPECT_GE(size->ink.mX, example.mX + kSocketRight) << Describe(*size) << " over the socket";
    EXPECT_NEAR(size->ink.mY + size->ink.mHeight / 2.0, example.mY + kSocketY, 1.5) << Describe(*size);
    int inner = 0, lit = 0; // pixels within 10 of the socket's middle, and those brighter than its fill
    for (int dy = -10; dy <= 10; ++dy)
        for (int dx = -10; dx <= 10; ++dx)
        {
            if (dx * dx + dy * dy > 100) continue;
            const uint32_t pixel =
                drawn.GetBits()[(example.mY + kSocketY + dy) * 800 + example.mX + kSocketX + dx];
            inner += 1;
            lit += std::max({(pixel >> 16) & 255, (pixel >> 8) & 255, pixel & 255}) > 100;
        }
    EXPECT_GT(lit, inner / 2) << "the socket holds no piece: " << lit << " of " << inner << " pixels lit";

    app.ClickWidget(hint->mFirstButton);
    for (int i = 0; i < 300 && board->GetCurrentPopup() != nullptr; ++i)
        app.RunUpdates(1);
    ASSERT_EQ(board->GetCurrentPopup(), nullptr);

    // Every other hint, shown the same way over the board (those of the pieces with a piece as
    // their example).
    for (int bit = 2; bit != 0; bit <<= 1)
    {
        int header = 0, message = 0;
        if (!Kavo::BoardHintBox::HintTexts(bit, header, message)) continue;
        auto* other = new Kavo::BoardHintBox(nullptr, nullptr, Board::kMessagePopup, bit);
        ASSERT_TRUE(other->Show()) << bit;
        app.RunUpdates(30);
        ExpectHintLaidOut(other, std::string());
        app.KillDialog(Board::kMessagePopup);
        app.RunUpdates(2);
    }

    std::vector<DrawnText> panel;
    for (const DrawnText& text : TextsOf(board))
        if (text.ink.mY < 40) panel.push_back(text);
    ASSERT_EQ(panel.size(), 4u) << "level, score, and the bonus's two texts";
    ExpectApart(panel);
    // The bonus's small piece, and the time bar's trough of the frame picture at (398, 12).
    const int mini = Kavo::IMAGE_PIECES_MINI->GetCelWidth();
    const Rect piece(294, 6, mini, Kavo::IMAGE_PIECES_MINI->GetCelHeight());
    const Rect trough(398, 12, 380, 24);
    for (const DrawnText& text : panel)
    {
        EXPECT_FALSE(Overlap(text.ink, piece)) << Describe(text) << " over the bonus piece";
        EXPECT_FALSE(Overlap(text.ink, trough)) << Describe(text) << " under the time bar";
    }
}

// The notices of a damaged settings file and of one that cannot be written, over the main menu,
// with the long path of the test's folder in their texts: inside the rim, apart, above the button.
TEST_F(ScreenTexts, TheSettingsNoticesStayInsideTheirRimAboveTheirButton)
{
    const std::string home = std::getenv("XDG_DATA_HOME");
    for (bool damaged : {true, false})
    {
        SCOPED_TRACE(damaged ? "damaged" : "unwritable");
        if (damaged)
        {
            gametest::WriteTextFile(home + "/VelquisGames/Orlavintide/settings.reg", "not a settings file");
        }
        else
        {
            gametest::WriteTextFile(home + "-file", "a file where the data folder belongs");
            setenv("XDG_DATA_HOME", (home + "-file").c_str(), 1);
        }
        TestGameApp app;
        app.SetRegistryStore(nullptr); // the real settings file
        ASSERT_NO_FATAL_FAILURE(Start(app, ""));
        app.RunUpdates(Kavo::YesNoDialog::kOpeningUpdates + 5);
        auto* notice = dynamic_cast<Kavo::YesNoDialog*>(app.GetDialog(TestGameApp::kSettingsNoticeDialog));
        ASSERT_NE(notice, nullptr);
        const std::vector<DrawnText> texts = TextsOf(notice);
        ASSERT_GE(texts.size(), 3u) << "the header and lines of text";
        EXPECT_EQ(texts[0].text, Kavo::StringTable::GetString(damaged ? 324 : 326));
        ExpectInsideRim(kDialogRim, notice, texts);
        ExpectApart(texts);
        Kavo::FancyButton* ok = notice->mFirstButton;
        const std::vector<DrawnText> label = TextsOf(ok);
        ASSERT_EQ(label.size(), 1u);
        ExpectInsideRim(kButtonRim, ok, label, 2);
        ExpectInsideRim(kDialogRim, notice, label);
        for (const DrawnText& text : texts)
            EXPECT_LE(text.ink.mY + text.ink.mHeight, ok->mY) << Describe(text) << " reaches the button";
    }
}

// The challenge grid's later pages: the previous-page arrow beside the legend of the medals.
TEST_F(ScreenTexts, TheChallengeGridsLegendStaysClearOfThePageArrows)
{
    TestGameApp app;
    ASSERT_NO_FATAL_FAILURE(Start(app, "Rigel"));
    app.ShowChallengeGrid();
    app.RunUpdates(25);
    app.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId);
    app.RunUpdates(2);
    Kavo::ChallengeGridScreen* grid = app.mChallengeGrid.get();
    for (int page : {1, 2})
    {
        grid->SetPage(page);
        ASSERT_TRUE(grid->mPreviousButton->mVisible);
        const std::vector<DrawnText> texts = TextsOf(grid);
        ExpectApart(texts);
        for (Kavo::ButtonWidget* arrow : {grid->mPreviousButton, grid->mNextButton})
        {
            if (!arrow->mVisible) continue;
            const Rect at(arrow->mX, arrow->mY, arrow->mWidth, arrow->mHeight);
            for (const DrawnText& text : texts)
                EXPECT_FALSE(Overlap(text.ink, at)) << Describe(text) << " under an arrow on page " << page;
            for (int medal = 0; medal < 4; ++medal)
                EXPECT_FALSE(Overlap(Kavo::ChallengeGridScreen::LegendStarRect(medal), at)) << medal;
        }
    }
}

// A player's name too long for the main menu's welcome is cut to the frame's title plate, and
// ends in "..."; a short one is written whole.
TEST_F(ScreenTexts, TheWelcomeStaysInsideTheTitlePlateWithALongName)
{
    std::string longName;
    while (longName.size() < 200)
        longName += "Andromeda";
    longName.resize(200);
    for (const std::string& name : {std::string("Nova"), longName})
    {
        TestGameApp app;
        ASSERT_NO_FATAL_FAILURE(Start(app, name));
        const std::string welcome = Kavo::StringTable::GetString(176, "");
        std::vector<DrawnText> titles;
        for (const DrawnText& text : TextsOf(app.mMainMenu.get()))
            if (text.text.rfind(welcome, 0) == 0) titles.push_back(text);
        ASSERT_EQ(titles.size(), 1u) << name.size();
        EXPECT_TRUE(InsideRim(kTitlePlateRim, Rect(0, 0, 800, 600), titles[0])) << Describe(titles[0]);
        if (name.size() < 10)
        {
            EXPECT_EQ(titles[0].text, Kavo::StringTable::GetString(176, name));
            continue;
        }
        // The start of the name, as much as fits, then "...".
        const std::string shown = titles[0].text.substr(welcome.size());
        ASSERT_GT(shown.size(), 3u + 8u) << shown;
        EXPECT_EQ(shown.substr(shown.size() - 3), "...");
        EXPECT_EQ(name.rfind(shown.substr(0, shown.size() - 3), 0), 0u) << shown;
    }
}

// Challenge H4 ("Bonus Round"): the bonus boost its bonuses earn is written under the frame's top
// bar, clear of the bar's rim, of the board's other texts and of the grid.
TEST_F(ScreenTexts, TheBonusBoostStaysClearOfTheFramesRim)
{
    TestGameApp app;
    // A player with the grid's second page open and H3 beaten, which opens H4.
    const std::string path = Kavo::UserRegistryPath("Lyra");
    app.RegistryWriteInteger(path + "\\UnlockedGridPages", 1);
    app.RegistryWriteString(path + "\\ChallengeGridScores\\H3", "99999 1 \"Lyra\"");
    ASSERT_NO_FATAL_FAILURE(Start(app, "Lyra"));
    app.ShowChallengeGrid();
    app.RunUpdates(25);
    app.KillDialog(Kavo::ChallengeGridScreen::kHintPopupId);
    app.RunUpdates(2);
    Kavo::ChallengeGridScreen* grid = app.mChallengeGrid.get();
    grid->SetPage(1);
    app.ClickWidget(grid->ChallengeButton(15));
    app.RunUpdates(15);
    auto* info =
        dynamic_cast<Kavo::ChallengeInfoDialog*>(app.GetDialog(Kavo::ChallengeInfoDialog::kDialogId));
    ASSERT_NE(info, nullptr);
    app.ClickWidget(info->mPlayButton);
    app.RunUpdates(25);
    ASSERT_EQ(app.GetShownScreen(), TestGameApp::kBoardScreen);
    Board* board = app.mBoard.get();
    ASSERT_EQ(board->rules.sChallengeModeID, "H4");
    // Past the challenge's message and its hint.
    for (int i = 0; i < 1000; ++i)
    {
        app.RunUpdates(1);
        auto* popup = dynamic_cast<Kavo::BoardDialogPopup*>(board->GetCurrentPopup());
        if (popup == nullptr && board->GetCurrentPopup() == nullptr && i > 300) break;
        if (popup != nullptr && popup->mFirstButton != nullptr && popup->mFirstButton->mVisible)
            app.ClickWidget(popup->mFirstButton);
    }
    ASSERT_EQ(board->GetCurrentPopup(), nullptr);

    board->bonusMultiplier = 0.5f; // two bonuses won
    const std::vector<DrawnText> texts = TextsOf(board);
    const std::string boost = Kavo::StringTable::GetString(118) + Kavo::StringTable::GetString(119, "50");
    ASSERT_EQ(std::count_if(texts.begin(), texts.end(), [&](const DrawnText& t) { return t.text == boost; }),
              1);
    ExpectApart(texts);
    const Rect gridArea(board->mGridOriginX, board->mGridOriginY, Board::kCellPitch * board->Width(),
                        Board::kCellPitch * board->Height());
    for (const DrawnText& text : texts)
    {
        for (const Rect& row : text.rows)
            EXPECT_GE(std::abs(row.mY + 0.5 - kTopRimY), kTopRimClearance)
                << Describe(text) << " across the frame's rim, at row " << row.mY;
        if (text.text == boost)
        {
            EXPECT_FALSE(Overlap(text.ink, gridArea)) << Describe(text) << " over the grid";
        }
    }
}

} // namespace
