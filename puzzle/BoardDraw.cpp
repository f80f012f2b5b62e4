#include "puzzle/Board.h"

#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/TutorialRow.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

#include <algorithm>
#include <cstdio>

namespace Kavo
{

namespace
{

const Color kYellow(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]);
constexpr int kBoardFrameFlags = kFrameSides | kFrameMainMenuLeft | kFrameGameTop;
constexpr int kMeterBottom = 365; // y of an empty meter
constexpr int kMeterTop = 127;    // y of a full one
// The score close after the level's two digits, so the bonus and its label fit between it and
// the time bar's trough of the frame (x 398).
constexpr int kScoreX = 95;
constexpr int kBonusPieceX = 294;
constexpr int kBonusPieceY = 6;
// The challenge's texts on the left, under the frame's top bar: its name and lines from y 120,
// the bonus boost above them (Board::kBonusBoostY).
constexpr int kChallengeTextX = 34;
constexpr int kChallengeTextY = 120;

// text with its left edge at x and its baseline at y; nothing without the font.
void WriteText(Graphics* g, Font* font, const Color& colour, const std::string& text, int x, int y)
{
    if (font == nullptr) return;
    g->SetFont(font);
    g->SetColor(colour);
    g->DrawString(text, x, y);
}

} // namespace

void Board::Draw(Graphics* g)
{
    Fader::DeferOverlay();
    DrawBackground(g);
    if (mCurrentPopup != nullptr && (mCurrentPopup->GetShowFlags() & BoardPopup::kHidesBoard)) return;
    DrawStarField(mStars, g);
    DrawScreenFrame(g, mWidth, mHeight, std::string(), kBoardFrameFlags);
    const int flags = LevelConfig().GeneralConfigFlags;
    if (flags & gcfDisplayPiecesRemaining) DrawCompletionMeter(g);
    const BoardPlayState state = GetPlayState();
    if (!mPaused)
    {
        DrawGrid(g);
        DrawPieces(g, state);
        if (mCursorDeviceOn && InArea(mCellCursorX, mCellCursorY))
        {
            g->SetColor(Color(255, 0, 0));
            g->DrawRect(mGridOriginX + kCellPitch * mCellCursorX - 1,
                        mGridOriginY + kCellPitch * mCellCursorY - 1, kCellWidth + 1, kCellHeight + 1);
        }
        if (state == kPlayExploding) DrawExplosions(g);
        DrawSlides(g);
    }
    DrawPanel(g, state);
    DrawFloatingTexts(g);
    DrawTutorialBox(g, state);
}

void Board::FrameDrawn()
{
    // What the frame showed at its end is dropped, as far as the frame showed it.
    if (mCurrentPopup != nullptr && (mCurrentPopup->GetShowFlags() & BoardPopup::kHidesBoard)) return;
    if (!mPaused)
    {
        if (GetPlayState() == kPlayExploding) FinishExplosions();
        FinishSlides();
    }
    FinishFloatingTexts();
}

bool Board::IsOpaque()
{
    if (mBackground == nullptr) return true;
    // The same choice as DrawBackground's.
    if (mPreviousBackground != nullptr && mUpdatesSinceStart <= kCrossFadeUpdates)
        return CoversOpaquely(mPreviousBackground, mWidth, mHeight);
    return CoversOpaquely(mBackground, mWidth, mHeight);
}

void Board::DrawBackground(Graphics* g)
{
    if (mBackground == nullptr)
    {
        g->SetColor(Color(0, 0, 112));
        g->FillRect(0, 0, mWidth, mHeight);
        return;
    }
    if (mPreviousBackground != nullptr && mUpdatesSinceStart <= kCrossFadeUpdates)
    {
        g->DrawImage(mPreviousBackground, 0, 0);
        g->SetColorizeImages(true);
        g->SetColor(
            Color(255, 255, 255, int(Lerp(0.0, 255.0, double(mUpdatesSinceStart) / kCrossFadeUpdates))));
        g->DrawImage(mBackground, 0, 0);
        g->SetColorizeImages(false);
        return;
    }
    g->DrawImage(mBackground, 0, 0);
}

void Board::DrawCompletionMeter(Graphics* g)
{
    g->DrawImage(IMAGE_COMPLETION_METER, 0, 65);
    if (Image* indicator = IMAGE_COMPLETION_INDICATOR)
        g->DrawImage(indicator, 0,
                     int(Lerp(kMeterBottom, kMeterTop, mShownCompletion)) - indicator->GetHeight() / 2 - 4);
    for (const MeterStar& star : mMeterStars)
        g->DrawImage(IMAGE_COMPLETION_STAR1, int(star.xOffset),
                     int(Lerp(kMeterBottom, kMeterTop, star.position) + star.phase * star.speed));
}

void Board::DrawGrid(Graphics* g)
{
    const int w = Width(), h = Height();
    auto isGap = [this](int x, int y) { return PieceColour(Square(x, y).piece) == PieceGap; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            int piece = PieceColour(Square(x, y).piece);
            if (piece == PieceWall || piece == PieceGap) continue;
            int cellX = mGridOriginX + kCellPitch * x, cellY = mGridOriginY - 1 + kCellPitch * y;
            g->DrawImageCel(IMAGE_GRID_SQUARE, cellX, cellY, Square(x, y).tile);
            if (x < w - 1 && y < h - 1 && !isGap(x + 1, y) && !isGap(x, y + 1) && !isGap(x + 1, y + 1))
                g->DrawImage(IMAGE_GRID_CROSSBEAM, cellX + kCrossbeamX, cellY + kCrossbeamY);
        }
}

void Board::DrawPieces(Graphics* g, BoardPlayState state)
{
    if (state == kPlayCrossFade) return;
    const int w = Width(), h = Height();
    const float matureTime = LevelConfig().fTimeBeforeBlackHolesMature;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const BoardSquareInfo& square = Square(x, y);
            int cellX = mGridOriginX + kCellPitch * x, cellY = mGridOriginY + kCellPitch * y;
            if (state == kPlayLevelStart || state == kPlayLevelEnd)
            {
                int piece = square.boardFlagB ? square.explodedPiece : square.piece;
                float scale = state == kPlayLevelStart ? std::min(mLevelStartProgress, 1.0f)
                                                       : 1.0f - std::min(mLevelFinishingProgress, 1.0f);
                DrawPieceSprite(g, cellX, cellY, kCellWidth, kCellHeight, piece, scale, false);
                continue;
            }
            if (square.boardFlagA || square.boardFlagB) continue;
            float shrink = matureTime > 0.0f ? std::clamp(square.matureTimer / matureTime, 0.0f, 1.0f) : 0.0f;
            DrawPiece(g, cellX, cellY, kCellWidth, kCellHeight, square.piece, shrink, 0);
        }
}

int Board::WaitingFrame(const BoardAnimation& explosion)
{
    int delay = int(explosion.delay);
    return delay <= 20 ? (20 - delay) / 4 : 0;
}

void Board::DrawExplosions(Graphics* g)
{
    for (const BoardAnimation& explosion : mExplosionAnimations)
    {
        int cellX = mGridOriginX + kCellPitch * explosion.fromX,
            cellY = mGridOriginY + kCellPitch * explosion.fromY;
        if (explosion.progress == 0.0f && explosion.delay > 0.0f)
            DrawPieceOrExploding(g, cellX, cellY, kCellWidth, kCellHeight, explosion.shownPiece,
                                 WaitingFrame(explosion));
        else
            DrawPieceSprite(g, cellX, cellY, kCellWidth, kCellHeight, explosion.piece,
                            std::min(explosion.progress, 1.0f), true);
    }
}

void Board::FinishExplosions()
{
    bool removed = false;
    for (size_t i = 0; i < mExplosionAnimations.size();)
    {
        BoardAnimation& explosion = mExplosionAnimations[i];
        if (explosion.progress == 0.0f && explosion.delay > 0.0f)
        {
            if (WaitingFrame(explosion) == 1 && (explosion.shownPiece & PieceSupernovaFlag))
                PlaySound(SOUND_SUPERNOVA_EXPLODE);
            ++i;
            continue;
        }
        if (explosion.progress < 1.0f)
        {
            ++i;
            continue;
        }
        MarkDirtyRect(ExplosionArea(explosion));
        BoardSquareInfo& square = Square(explosion.fromX, explosion.fromY);
        square.boardFlagB = false;
        square.explodedPiece = PieceNone;
        mExplosionAnimations.erase(mExplosionAnimations.begin() + std::ptrdiff_t(i));
        removed = true;
    }
    if (removed && mExplosionAnimations.empty())
        for (BoardSquareInfo& square : squares)
        {
            square.boardFlagB = false;
            square.explodedPiece = PieceNone;
        }
}

void Board::DrawSlides(Graphics* g)
{
    for (const BoardAnimation& slide : mSlideAnimations)
    {
        float t = std::min(slide.progress, 1.0f);
        int x = int(Lerp(mGridOriginX + kCellPitch * slide.fromX, mGridOriginX + kCellPitch * slide.toX, t));
        int y = int(Lerp(mGridOriginY + kCellPitch * slide.fromY, mGridOriginY + kCellPitch * slide.toY, t));
        DrawPiece(g, x, y, kCellWidth, kCellHeight, slide.piece, 0.0f, 0);
    }
}

void Board::FinishSlides()
{
    bool removed = false;
    for (size_t i = 0; i < mSlideAnimations.size();)
    {
        if (mSlideAnimations[i].progress >= 1.0f)
        {
            MarkDirtyRect(SlideArea(mSlideAnimations[i]));
            mSlideAnimations.erase(mSlideAnimations.begin() + std::ptrdiff_t(i));
            removed = true;
        }
        else
        {
            ++i;
        }
    }
    if (!removed || !mSlideAnimations.empty()) return;
    for (BoardSquareInfo& square : squares)
        square.boardFlagA = false;
    if (GetPlayState() == kPlayExploding) PlayGoodMoveSound();
}

void Board::PlayGoodMoveSound()
{
    static const int* const kSounds[] = {
        &SOUND_GOODMOVE1, &SOUND_GOODMOVE2, &SOUND_GOODMOVE3, &SOUND_GOODMOVE4, &SOUND_GOODMOVE5,
        &SOUND_GOODMOVE6, &SOUND_GOODMOVE7, &SOUND_GOODMOVE8, &SOUND_GOODMOVE9, &SOUND_GOODMOVE10};
    if (mLongestChain <= 0) return;
    PlaySound(*kSounds[std::min(mLongestChain, 10) - 1]);
}

void Board::DrawPanel(Graphics* g, BoardPlayState state)
{
    if (!rules.sNameOfChallenge.empty() && !rules.sDisplayLine1.empty() && FONT_EXCITED != nullptr &&
        FONT_LABEL != nullptr)
    {
        int y = kChallengeTextY + FONT_EXCITED->GetAscent();
        for (int n = 0; n <= 10; ++n)
        {
            const std::string& text = n == 0 ? rules.sNameOfChallenge : *rules.DisplayLine(n);
            if (text.empty()) continue;
            Color colour = kYellow;
            bool swap = false;
            std::string shown = ParseColorTaggedText(text, colour, swap);
            Font* font = (n == 0) != swap ? FONT_EXCITED : FONT_LABEL;
            WriteText(g, font, colour, shown, kChallengeTextX, y);
            y += font->GetLineSpacing();
        }
    }
    if (bonusMultiplier > 0.00001f && FONT_LABEL != nullptr)
    {
        std::string text = StringTable::GetString(118) +
                           StringTable::GetString(119, std::to_string(int(bonusMultiplier * 100.0f)));
        WriteText(g, FONT_LABEL, Color(245, 232, 85), text, kChallengeTextX,
                  kBonusBoostY + FONT_LABEL->GetAscent());
    }
    if (IsLevelTransition(state) && FONT_SEGUE != nullptr)
    {
        std::string text = StringTable::GetString(120);
        g->SetFont(FONT_SEGUE);
        WriteText(g, FONT_SEGUE, Color::White, text, (mWidth - g->StringWidth(text)) / 2, 300);
    }
    const int flags = LevelConfig().GeneralConfigFlags;
    if (FONT_LABEL != nullptr)
    {
        char text[16];
        int baseline = FONT_LABEL->GetAscent() + 10;
        if (flags & gcfDrawLevelIndicator)
        {
            std::snprintf(text, sizeof text, "%02d", level);
            WriteText(g, FONT_LABEL, kYellow, text, 50, baseline);
        }
        std::snprintf(text, sizeof text, "%07d", score);
        WriteText(g, FONT_LABEL, kYellow, text, kScoreX, baseline);
    }
    if (bonusSize > 0)
    {
        DrawMiniPiece(g, kBonusPieceX, kBonusPieceY, bonusColour);
        if (FONT_LABEL != nullptr)
        {
            int baseline = FONT_LABEL->GetAscent() + 10;
            std::string label = StringTable::GetString(121);
            g->SetFont(FONT_LABEL);
            WriteText(g, FONT_LABEL, kYellow, label, kBonusPieceX - 4 - g->StringWidth(label), baseline);
            int miniWidth = IMAGE_PIECES_MINI != nullptr ? IMAGE_PIECES_MINI->GetCelWidth() : 0;
            WriteText(g, FONT_LABEL, kYellow, StringTable::GetString(122, std::to_string(bonusSize)),
                      kBonusPieceX + miniWidth + 4, baseline);
        }
    }
    if ((flags & gcfDrawTimeLeftBar) && IMAGE_TIMELEFT_BAR != nullptr)
    {
        float maxTime = rules.GetMaxTimeLeft(level);
        float share = maxTime > 0.0f ? std::clamp(timeLeft / maxTime, 0.0f, 1.0f) : 0.0f;
        Image* bar = IMAGE_TIMELEFT_BAR;
        g->DrawImageSrc(bar, 403, 17, Rect(0, 0, int(float(bar->GetWidth()) * share), bar->GetHeight()));
    }
}

void Board::DrawFloatingTexts(Graphics* g)
{
    for (const FloatingText& text : mFloatingTexts)
    {
        int y = text.y - int(30.0f * std::min(text.phase, 1.0f));
        Image* image = text.text == "*" ? IMAGE_BONUS : text.text == "+" ? IMAGE_COMBO : nullptr;
        if (image != nullptr)
        {
            g->DrawImage(image, text.x - image->GetWidth() / 2, y - image->GetHeight() / 2);
        }
        else if (text.text != "*" && text.text != "+" && FONT_FLOATYNUMBER != nullptr)
        {
            g->SetFont(FONT_FLOATYNUMBER);
            WriteText(g, FONT_FLOATYNUMBER, Color(255, 255, 0), text.text,
                      text.x - g->StringWidth(text.text) / 2, y + FONT_FLOATYNUMBER->GetAscent());
        }
    }
}

void Board::FinishFloatingTexts()
{
    for (size_t i = 0; i < mFloatingTexts.size();)
    {
        FloatingText& text = mFloatingTexts[i];
        if (text.sound)
        {
            text.sound = false;
            PlaySound(SOUND_LONGCHAIN);
        }
        if (text.phase >= 1.0f)
        {
            MarkDirtyRect(FloatingTextArea(text));
            mFloatingTexts.erase(mFloatingTexts.begin() + std::ptrdiff_t(i));
        }
        else
        {
            ++i;
        }
    }
}

void Board::DrawTutorialBox(Graphics* g, BoardPlayState state)
{
    if (IsLevelTransition(state)) return;
    int step = CurrentTutorialStep();
    if (step < 0) return;
    const TutorialRow& row = TutorialRowAt(step);
    if (row.textId == 0) return;
    g->DrawImage(row.BoxImage(), row.boxX, row.boxY);
    if (FONT_LABEL == nullptr) return;
    g->SetFont(FONT_LABEL);
    g->SetColor(kYellow);
    WriteWordWrapped(g, Rect(row.boxX + row.textX, row.boxY + row.textY, row.textWidth, row.textHeight),
                     StringTable::GetString(row.textId), -1, -1);
}

} // namespace Kavo
