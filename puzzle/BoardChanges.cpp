// What the board marks for drawing: its look compared with the last one (BoardLook), and the
// places on screen that each part of its picture takes.
#include "puzzle/Board.h"

#include "graphics/Font.h"
#include "graphics/Image.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"
#include "widgets/DirtyRegion.h"

#include <algorithm>
#include <utility>

namespace Kavo
{

namespace
{

// The supernova halo and the explosion cels, centred on a cell.
constexpr int kHaloWidth = 124;
constexpr int kHaloHeight = 120;
// The meter's stars: x offsets -6 to 12, at most 50 pixels of fall.
constexpr int kMeterStarLeft = -6;
constexpr int kMeterStarRight = 12;
constexpr int kMeterStarFall = 51;

Rect Union(const Rect& a, const Rect& b)
{
    if (a.mWidth <= 0 || a.mHeight <= 0) return b;
    if (b.mWidth <= 0 || b.mHeight <= 0) return a;
    return DirtyRegion::BoundingBox(a, b);
}

} // namespace

void Board::LookNow(BoardLook& look)
{
    // Every call starts from a fresh look, keeping only the squares' storage.
    std::vector<BoardLook::Square> squares = std::move(look.squares);
    squares.clear();
    look = BoardLook();
    look.squares = std::move(squares);
    look.valid = true;
    const LevelSpecificConfig& config = LevelConfig();
    const BoardPlayState state = GetPlayState();

    BoardLook::Scene& scene = look.scene;
    scene.background = mBackground;
    scene.previousBackground = mUpdatesSinceStart <= kCrossFadeUpdates ? mPreviousBackground : nullptr;
    scene.popup = mCurrentPopup;
    scene.popupHidesBoard =
        mCurrentPopup != nullptr && (mCurrentPopup->GetShowFlags() & BoardPopup::kHidesBoard);
    scene.paused = mPaused;
    scene.effect = IsLevelTransition(state) ? state : kPlayOpen;
    scene.level = level;
    scene.flags = config.GeneralConfigFlags;
    scene.tutorialStep = CurrentTutorialStep();
    scene.originX = mGridOriginX;
    scene.originY = mGridOriginY;
    scene.columns = Width();
    scene.rows = Height();
    scene.is3D = Is3DDrawing();

    BoardLook::Panel& panel = look.panel;
    panel.score = score;
    panel.bonusPercent = bonusMultiplier > 0.00001f ? int(bonusMultiplier * 100.0f) : -1;
    panel.bonusSize = bonusSize;
    panel.bonusColour = bonusSize > 0 ? bonusColour : 0;
    if ((config.GeneralConfigFlags & gcfDrawTimeLeftBar) && IMAGE_TIMELEFT_BAR != nullptr)
    {
        float maxTime = rules.GetMaxTimeLeft(level);
        float share = maxTime > 0.0f ? std::clamp(timeLeft / maxTime, 0.0f, 1.0f) : 0.0f;
        panel.timeBarWidth = int(float(IMAGE_TIMELEFT_BAR->GetWidth()) * share);
    }

    // The cels of the animated pieces, as DrawPiece picks them.
    const int counter = AnimationCounter();
    const int frame8 = (counter / 8) % 8;
    const int cel6 = (counter / 8) % 6;
    const int kinds = CountColourKinds();
    const int wild = kinds > 0 ? (counter / 32) % kinds : -1;
    const float matureTime = config.fTimeBeforeBlackHolesMature;
    look.squares.reserve(size_t(Width() * Height()));
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
        {
            const BoardSquareInfo& square = Square(x, y);
            BoardLook::Square& cell = look.squares.emplace_back();
            cell.piece = square.piece;
            cell.tile = square.tile;
            cell.hidden = square.boardFlagA || square.boardFlagB;
            if (cell.hidden) continue;
            const int code = PieceColour(square.piece);
            if (square.piece & PieceSupernovaFlag) cell.halo = cel6;
            if (code == PieceBlackHole || (square.piece & PieceMaturingFlag)) cell.frame = frame8;
            if (code == PieceWild) cell.wild = wild;
            if ((square.piece & PieceMaturingFlag) && matureTime > 0.0f)
                cell.shrink = std::clamp(square.matureTimer / matureTime, 0.0f, 1.0f);
        }

    look.completion = mShownCompletion;
    look.meterStars = !mMeterStars.empty();
    look.cursorOn = mCursorDeviceOn && InArea(mCellCursorX, mCellCursorY);
    look.cursorX = mCellCursorX;
    look.cursorY = mCellCursorY;
}

void Board::MarkChanges()
{
    // The look of now is taken into the spare one, which then changes places with the one
    // shown: the squares' storage is made once, not at every call.
    BoardLook& look = mSpareLook;
    LookNow(look);
    const BoardLook& was = mShownLook;
    if (!was.valid || !(look.scene == was.scene) || look.scene.previousBackground != nullptr)
    {
        MarkDirty();
        std::swap(mShownLook, mSpareLook);
        return;
    }
    if (!look.scene.popupHidesBoard)
    {
        if (!look.scene.paused)
        {
            const BoardPlayState effect = look.scene.effect;
            if (effect == kPlayLevelStart || effect == kPlayLevelEnd)
            {
                MarkDirtyRect(GridArea()); // every piece grows in or shrinks out
            }
            else if (effect == kPlayOpen)
            {
                for (int y = 0, i = 0; y < Height(); ++y)
                    for (int x = 0; x < Width(); ++x, ++i)
                    {
                        const BoardLook::Square& now = look.squares[size_t(i)];
                        const BoardLook::Square& before = was.squares[size_t(i)];
                        if (!(now == before))
                            MarkDirtyRect(CellArea(x, y, now.halo >= 0 || before.halo >= 0));
                    }
            }
            if (look.cursorOn != was.cursorOn || look.cursorX != was.cursorX || look.cursorY != was.cursorY)
            {
                if (was.cursorOn) MarkDirtyRect(CellArea(was.cursorX, was.cursorY, false));
                if (look.cursorOn) MarkDirtyRect(CellArea(look.cursorX, look.cursorY, false));
            }
            for (const BoardAnimation& slide : mSlideAnimations)
                MarkDirtyRect(SlideArea(slide));
            if (GetPlayState() == kPlayExploding)
                for (const BoardAnimation& explosion : mExplosionAnimations)
                    MarkDirtyRect(ExplosionArea(explosion));
        }
        if (!(look.panel == was.panel)) MarkDirtyRect(PanelArea());
        if ((look.scene.flags & gcfDisplayPiecesRemaining) &&
            (look.completion != was.completion || look.meterStars || was.meterStars))
            MarkDirtyRect(MeterArea());
        for (const FloatingText& text : mFloatingTexts)
            MarkDirtyRect(FloatingTextArea(text));
    }
    std::swap(mShownLook, mSpareLook);
}

Rect Board::CellArea(int x, int y, bool halo) const
{
    const int cellX = mGridOriginX + kCellPitch * x, cellY = mGridOriginY + kCellPitch * y;
    Image* gridSquare = IMAGE_GRID_SQUARE;
    Image* crossbeam = IMAGE_GRID_CROSSBEAM;
    // The piece, the cursor's frame round it, the grid's cel and the crossbeam at its corner.
    Rect area(cellX - 1, cellY - 1, kCellWidth + 2, kCellHeight + 2);
    if (gridSquare != nullptr)
        area = Union(area, Rect(cellX, cellY - 1, gridSquare->GetCelWidth(), gridSquare->GetCelHeight()));
    area = Union(
        area, Rect(cellX + kCrossbeamX, cellY + kCrossbeamY, ImageWidth(crossbeam), ImageHeight(crossbeam)));
    if (halo)
        area = Union(area, Rect(cellX + kCellWidth / 2 - kHaloWidth / 2,
                                cellY + kCellHeight / 2 - kHaloHeight / 2, kHaloWidth, kHaloHeight));
    return area;
}

Rect Board::SlideArea(const BoardAnimation& slide) const
{
    const bool halo = (slide.piece & PieceSupernovaFlag) != 0;
    return Union(CellArea(slide.fromX, slide.fromY, halo), CellArea(slide.toX, slide.toY, halo));
}

Rect Board::ExplosionArea(const BoardAnimation& explosion) const
{
    return CellArea(explosion.fromX, explosion.fromY, true);
}

Rect Board::FloatingTextArea(const FloatingText& text) const
{
    // Anywhere on its way up: from 30 pixels above its start to its start.
    Image* image = text.text == "*" ? IMAGE_BONUS : text.text == "+" ? IMAGE_COMBO : nullptr;
    if (image != nullptr)
        return Rect(text.x - image->GetWidth() / 2 - 1, text.y - 30 - image->GetHeight() / 2 - 1,
                    image->GetWidth() + 2, image->GetHeight() + 32);
    Font* font = FONT_FLOATYNUMBER;
    if (font == nullptr || text.text == "*" || text.text == "+") return Rect();
    // The font's outer layers may reach past its advance and its height: a font height round it.
    const int width = font->StringWidth(text.text), height = font->GetHeight();
    return Rect(text.x - width / 2 - height, text.y - 30 - height, width + 2 * height, 30 + 3 * height);
}

Rect Board::GridArea() const
{
    if (Width() <= 0 || Height() <= 0) return Rect();
    return Union(CellArea(0, 0, true), CellArea(Width() - 1, Height() - 1, true));
}

Rect Board::MeterArea() const
{
    constexpr int kMeterBottom = 365, kMeterTop = 127;
    Image* meter = IMAGE_COMPLETION_METER;
    Image* indicator = IMAGE_COMPLETION_INDICATOR;
    Image* star = IMAGE_COMPLETION_STAR1;
    Rect area(0, 65, ImageWidth(meter), ImageHeight(meter));
    if (indicator != nullptr)
        area = Union(area, Rect(0, kMeterTop - indicator->GetHeight() / 2 - 4, indicator->GetWidth(),
                                kMeterBottom - kMeterTop + indicator->GetHeight()));
    if (star != nullptr)
        area =
            Union(area, Rect(kMeterStarLeft, kMeterTop, kMeterStarRight - kMeterStarLeft + star->GetWidth(),
                             kMeterBottom - kMeterTop + kMeterStarFall + star->GetHeight()));
    return area;
}

Rect Board::PanelArea() const
{
    // The score and the level at the top, the bonus boost under the bar, the bonus piece, the bar.
    const int label = FONT_LABEL != nullptr ? FONT_LABEL->GetHeight() : 0;
    Image* mini = IMAGE_PIECES_MINI;
    int bottom = std::max({kBonusBoostY + label, 10 + label, 6 + (mini != nullptr ? mini->GetCelHeight() : 0),
                           17 + ImageHeight(IMAGE_TIMELEFT_BAR)});
    return Rect(0, 0, mWidth, bottom + label / 2 + 2);
}

} // namespace Kavo
