#include "puzzle/BoardHintBox.h"

#include "app/KavoAppBase.h"
#include "base/Logger.h"
#include "base/StringTable.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/Board.h"
#include "puzzle/BoardHost.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "widgets/Checkbox.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

struct HintText
{
    int bit;
    int headerId;
    int messageId;
};

constexpr HintText kHintTexts[] = {
    {hintBonuses, 130, 131},
    {hintBlackHoles, 132, 133},
    {hintBlackHolesGrow, 134, 135},
    {hintSupernovas, 136, 137},
    {hintWilds, 138, 139},
    {hintHardUntimedMode, 140, 141},
    {hintHardTimedMode, 142, 143},
    {0x80, 269, 270},
    {hintScrambleButton, 271, 272},
    {hintBlackHoles4Square, 273, 274},
    {hintBlackHoles5Square, 275, 276},
    {hintBlackHoles6Square, 277, 278},
    {0x1000, 144, 145},
    {hintUnlockedChallengeGrid2, 279, 280},
    {hintUnlockedChallengeGrid3, 281, 282},
    {hintBeatAllChallengeGrids, 283, 284},
    {hintCrazyMode, 286, 287},
    {hintReminderRightClick, 302, 303},
    {hintScrambleButton2, 304, 305},
    {hintSlidingTilesInTimedMode, 306, 307},
    {hintSlidingTilesInTimedMode2, 308, 309},
    {hintDoubleDip, 310, 311},
    {hintChallengeGridGoingStrong, 313, 314},
    {hintCheckpoint, 317, 318},
};

constexpr int kWidth = 450;
constexpr int kHeight = 300;
constexpr int kTop = 150;
constexpr int kCheckboxId = 1;
constexpr int kCheckboxLabelText = 253;
constexpr int kExampleGap = 6; // at least between a hint's example and the text above and the box below
// The bonus example's socket for the bonus colour's small piece: its centre in the picture, and
// the right edge of its rim; the bonus size is written beside it.
constexpr int kSocketCentreX = 28;
constexpr int kSocketCentreY = 28;
constexpr int kSocketRight = 47;
constexpr int kSizeGap = 8;
const Color kYellow(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]);

std::string HintString(int hintBit, bool header)
{
    int headerId = 0, messageId = 0;
    if (!BoardHintBox::HintTexts(hintBit, headerId, messageId)) return std::string();
    return StringTable::GetString(header ? headerId : messageId);
}

// The piece a hint shows as its example; blank for none.
int ExamplePiece(int hintBit)
{
    switch (hintBit)
    {
    case hintBlackHoles:
    case hintBlackHolesGrow:
        return PieceBlackHole;
    case hintSupernovas:
        return PieceSupernovaFlag | 1;
    case hintWilds:
        return PieceWild;
    default:
        return PieceBlank;
    }
}

} // namespace

BoardHintBox::BoardHintBox(BoardPopupListener* listener, Board* board, int popupId, int hintBit)
    : BoardDialogPopup(listener, popupId, HintString(hintBit, true), HintString(hintBit, false), true),
      mBoard(board), mHintBit(hintBit)
{
    if (OffersCheckbox(hintBit))
    {
        mCheckbox = new Checkbox(IMAGE_CHECKBOX, IMAGE_CHECKBOX, kCheckboxId, this);
        if (Image* image = IMAGE_CHECKBOX)
        {
            int half = image->GetWidth() / 2;
            mCheckbox->mUncheckedRect = Rect(0, 0, half, image->GetHeight());
            mCheckbox->mCheckedRect = Rect(half, 0, half, image->GetHeight());
        }
        mCheckbox->SetVisible(false);
    }
    int screenWidth = gKavoApp != nullptr ? gKavoApp->mWidth : 800;
    Resize((screenWidth - kWidth) / 2, kTop, kWidth, kHeight);
}

BoardHintBox::~BoardHintBox()
{
    // Only a box the player saw writes the choice: a box that was never shown (refused, or
    // still queued when its board left) leaves the player's hints as they are.
    if (mShown && mCheckbox != nullptr)
    {
        BoardHost& host = GetBoardHost();
        int hints = host.GetDisabledHints();
        host.SetDisabledHints(mCheckbox->IsChecked() ? (hints | mHintBit) : (hints & ~mHintBit));
    }
    delete mCheckbox;
}

bool BoardHintBox::HintTexts(int hintBit, int& headerId, int& messageId)
{
    for (const HintText& text : kHintTexts)
        if (text.bit == hintBit)
        {
            headerId = text.headerId;
            messageId = text.messageId;
            return true;
        }
    return false;
}

bool BoardHintBox::OffersCheckbox(int hintBit)
{
    return hintBit != hintUnlockedChallengeGrid2 && hintBit != hintUnlockedChallengeGrid3 &&
           hintBit != hintBeatAllChallengeGrids && hintBit != hintChallengeGridGoingStrong;
}

bool BoardHintBox::Show()
{
    if (GetBoardHost().GetDisabledHints() & mHintBit) return false;
    mShown = true;
    return BoardDialogPopup::Show();
}

int BoardHintBox::GetShowFlags()
{
    return mHintBit == hintCheckpoint ? (kBoardGoesOn | kOnlyAfterLevel) : (kBoardGoesOn | kOnlyInPlay);
}

void BoardHintBox::AddedToManager(WidgetManager* manager)
{
    YesNoDialog::AddedToManager(manager);
    if (mCheckbox != nullptr) manager->AddWidget(mCheckbox);
}

void BoardHintBox::RemovedFromManager(WidgetManager* manager)
{
    YesNoDialog::RemovedFromManager(manager);
    if (mCheckbox != nullptr) manager->RemoveWidget(mCheckbox);
}

void BoardHintBox::Resize(int x, int y, int width, int height)
{
    YesNoDialog::Resize(x, y, width, height);
    int fifth = width / 5;
    if (mFirstButton != nullptr)
        mFirstButton->Resize(x + fifth, y + height - 55, width - 2 * fifth, kButtonHeight);
    if (mCheckbox != nullptr)
    {
        Image* image = IMAGE_CHECKBOX;
        int w = image != nullptr ? image->GetWidth() / 2 : 20;
        int h = image != nullptr ? image->GetHeight() : 20;
        mCheckbox->Resize(x + fifth + 25, y + height - 95, w, h);
    }
}

void BoardHintBox::Update()
{
    YesNoDialog::Update();
    if (mCheckbox != nullptr && mOpeningCounter == kOpeningUpdates) mCheckbox->SetVisible(true);
}

Rect BoardHintBox::ExampleRect()
{
    int width = 0, height = 0;
    if (mHintBit == hintBonuses)
    {
        if (Image* example = IMAGE_EXAMPLE_BONUS)
        {
            width = example->GetWidth();
            height = example->GetHeight();
        }
    }
    else if (ExamplePiece(mHintBit) != PieceBlank)
    {
        width = Board::kCellWidth;
        height = Board::kCellHeight;
    }
    if (width == 0) return Rect();
    // Under the text, in the middle of the room left above the check box (or the button).
    const int above = TextBottom() + kExampleGap;
    const Widget* below = mCheckbox != nullptr ? static_cast<Widget*>(mCheckbox) : mFirstButton;
    const int room = (below != nullptr ? below->mY - mY : mHeight) - kExampleGap - above;
    return Rect(mWidth / 2 - width / 2, above + std::max(0, (room - height) / 2), width, height);
}

void BoardHintBox::Draw(Graphics* g)
{
    if (!DrawDialog(g)) return;
    const Rect example = ExampleRect();
    if (mHintBit == hintBonuses)
    {
        // The panel's bonus as the picture shows it: the piece in the socket, the size beside it,
        // in the panel's letters, both centred on the socket's middle (the figures' ink, with
        // their outline and shadow, is centred a third of the ascent above the baseline).
        g->DrawImage(IMAGE_EXAMPLE_BONUS, example.mX, example.mY);
        if (mBoard != nullptr && mBoard->bonusColour != PieceNone)
        {
            const int centreX = example.mX + kSocketCentreX, centreY = example.mY + kSocketCentreY;
            if (Image* mini = IMAGE_PIECES_MINI)
                DrawMiniPiece(g, centreX - mini->GetCelWidth() / 2, centreY - mini->GetCelHeight() / 2,
                              mBoard->bonusColour);
            if (FONT_LABEL != nullptr)
            {
                g->SetFont(FONT_LABEL);
                g->SetColor(kYellow);
                g->DrawString(StringTable::GetString(122, std::to_string(mBoard->bonusSize)),
                              example.mX + kSocketRight + kSizeGap, centreY + FONT_LABEL->GetAscent() / 3);
            }
        }
    }
    else if (int piece = ExamplePiece(mHintBit); piece != PieceBlank)
    {
        DrawPiece(g, example.mX, example.mY, Board::kCellWidth, Board::kCellHeight, piece, 1.0f, 0);
    }
    if (mCheckbox != nullptr && mCheckbox->mVisible && FONT_TEXT != nullptr)
    {
        g->SetFont(FONT_TEXT);
        g->SetColor(Color::White);
        g->DrawString(StringTable::GetString(kCheckboxLabelText), mCheckbox->mX - mX + mCheckbox->mWidth + 8,
                      mCheckbox->mY - mY + (mCheckbox->mHeight + FONT_TEXT->GetAscent()) / 2);
    }
}

void BoardHintBox::ButtonDepress(int id)
{
    YesNoDialog::ButtonDepress(id);
    if (id != ID_YES) return;
    if (Logger* log = Logger::Instance()) log->LogBoardEvent("hint_ok", std::string());
    Close(ID_YES);
}

void BoardHintBox::CheckboxChecked(int id, bool checked)
{
    (void)id;
    if (Logger* log = Logger::Instance()) log->LogBoardEvent("hint_dontshowagain", checked ? "1" : "0");
}

} // namespace Kavo
