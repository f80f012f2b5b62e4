#include "puzzle/DrawingFunctions.h"

#include "app/KavoAppBase.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/Transform2D.h"
#include "puzzle/Board.h"
#include "puzzle/ResourceIds.h"
#include "rules/Pieces.h"

#include <cmath>

namespace Kavo
{

namespace
{

constexpr int kHaloWidth = 124; // supernova halo and explosion cells
constexpr int kHaloHeight = 120;
constexpr int kExplosionBlackHoleColumn = 10;
constexpr int kWildCycleFrames = 32;
constexpr int kWildMiniOffset = 15;

int Frame8()
{
    return (AnimationCounter() / 8) % 8;
}

int Cel6()
{
    return (AnimationCounter() / 8) % 6;
}

// The image's cel (column, row) scaled by scale about (cx, cy), at sub-pixel precision when
// drawing is 3D-accelerated.
void DrawCelScaled(Graphics* g, Image* image, int column, int row, float scale, float cx, float cy)
{
    if (image == nullptr || column < 0 || row < 0 || column >= image->numCols || row >= image->numRows)
        return;
    int cw = image->GetCelWidth(), ch = image->GetCelHeight();
    Rect src(column * cw, row * ch, cw, ch);
    Transform2D transform;
    transform.Scale(scale, scale);
    if (Is3DDrawing())
        g->DrawImageTransformF(image, transform, src, cx, cy);
    else
        g->DrawImageTransformSrc(image, transform, src, int(cx), int(cy));
}

void DrawSupernovaHalo(Graphics* g, int x, int y, int w, int h, int cel)
{
    g->DrawImageCel(IMAGE_SUPERNOVA, x + w / 2 - kHaloWidth / 2, y + h / 2 - kHaloHeight / 2, cel);
}

} // namespace

int AnimationCounter()
{
    Board* board = Board::Current();
    return board != nullptr ? board->mUpdateCounter : 0;
}

bool Is3DDrawing()
{
    return gKavoApp != nullptr && gKavoApp->Is3DAccelerated();
}

void DrawPiece(Graphics* g, int x, int y, int w, int h, int piece, float shrink, int label)
{
    if (piece == PieceBlank || piece == PieceGap) return;
    if (piece & PieceSupernovaFlag) DrawSupernovaHalo(g, x, y, w, h, Cel6());

    int code = PieceColour(piece);
    if (code == PieceBlackHole)
    {
        g->DrawImageCelColRow(IMAGE_BLACKHOLE, x, y, 0, Frame8());
    }
    else if (code == PieceWild)
    {
        g->DrawImageCelColRow(IMAGE_WILDCARD, x, y, 0, 0);
        // The colour inside cycles through the level's colours; a level without colours has
        // none to show.
        Board* board = Board::Current();
        int kinds = board != nullptr ? board->CountColourKinds() : 0;
        if (kinds > 0)
            g->DrawImageCelColRow(IMAGE_PIECES_MINI, x + kWildMiniOffset, y + kWildMiniOffset,
                                  (AnimationCounter() / kWildCycleFrames) % kinds, 0);
    }
    else
    {
        g->DrawImageCelColRow(IMAGE_PIECES, x, y, code - 1, 0);
    }

    if (!(piece & PieceMaturingFlag)) return;
    Color saved = g->GetColor();
    g->SetColor(Color(0, 0, 0, 128));
    g->FillRect(x, y, w, h);
    g->SetColor(saved);
    DrawCelScaled(g, IMAGE_BLACKHOLE, 0, Frame8(), 1.0f - shrink, float(x + w / 2), float(y + h / 2));
    if (label > 0 && FONT_TEXT != nullptr)
    {
        std::string text = std::to_string(label);
        g->SetFont(FONT_TEXT);
        g->SetColor(Color::White);
        g->DrawString(text, x + (w - g->StringWidth(text)) / 2,
                      y + (h - FONT_TEXT->GetHeight()) / 2 + FONT_TEXT->GetAscent());
    }
}

void DrawPieceOrExploding(Graphics* g, int x, int y, int w, int h, int piece, int frame)
{
    if (frame == 0)
    {
        DrawPiece(g, x, y, w, h, piece & ~PieceMaturingFlag, 1.0f, 0);
        return;
    }
    int code = PieceColour(piece);
    int column = code == PieceBlackHole ? kExplosionBlackHoleColumn : code - 1;
    g->DrawImageCelColRow(IMAGE_PIECESEXPLODING, x - (kHaloWidth - w) / 2, y - (kHaloHeight - h) / 2, column,
                          frame - 1);
}

void DrawPieceSprite(Graphics* g, int x, int y, int w, int h, int piece, float scale, bool pulse)
{
    if (piece == PieceBlank || piece == PieceGap) return;
    if (piece & PieceSupernovaFlag) DrawSupernovaHalo(g, x, y, w, h, 0);
    float factor = pulse ? PulseScale(scale) : scale;
    float cx = float(x + w / 2), cy = float(y + h / 2);
    int code = PieceColour(piece);
    if (code == PieceBlackHole)
        DrawCelScaled(g, IMAGE_BLACKHOLE, 0, Frame8(), factor, cx, cy);
    else if (code == PieceWild)
        DrawCelScaled(g, IMAGE_WILDCARD, 0, 0, factor, cx, cy);
    else
        DrawCelScaled(g, IMAGE_PIECES, code - 1, 0, factor, cx, cy);
}

float PulseScale(float t)
{
    float s = t * 1.3f;
    if (s > 1.15f) return 1.15f - std::fmod(s, 1.15f);
    return s;
}

void DrawMiniPiece(Graphics* g, int x, int y, int piece)
{
    if (piece == PieceBlank || piece == PieceGap) return;
    g->DrawImageCelColRow(IMAGE_PIECES_MINI, x, y, PieceColour(piece) - 1, 0);
}

void DrawGlowyBox(Graphics* g, const Rect& r)
{
    if (Image* edge = IMAGE_GLOWYBOX_LEFTRIGHTPIXEL)
    {
        g->DrawImageStretched(edge, r.mX + 3, r.mY - 3, r.mWidth - 6, edge->GetHeight());
        g->DrawImageStretched(edge, r.mX + 3, r.mY + r.mHeight - 3, r.mWidth - 6, edge->GetHeight());
    }
    if (Image* edge = IMAGE_GLOWYBOX_UPDOWNPIXEL)
    {
        g->DrawImageStretched(edge, r.mX - 3, r.mY + 3, edge->GetWidth(), r.mHeight - 6);
        g->DrawImageStretched(edge, r.mX + r.mWidth - 3, r.mY + 3, edge->GetWidth(), r.mHeight - 6);
    }
    g->DrawImage(IMAGE_GLOWYBOX_UPLEFTCORNER, r.mX - 3, r.mY - 3);
    g->DrawImageMirror(IMAGE_GLOWYBOX_UPLEFTCORNER, r.mX + r.mWidth - 3, r.mY - 3);
    g->DrawImage(IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER, r.mX + r.mWidth - 3, r.mY + r.mHeight - 3);
    g->DrawImageMirror(IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER, r.mX - 3, r.mY + r.mHeight - 3);
}

void DrawWhiteFlash(Graphics* g, int x, int y, int w, int h, double t)
{
    Color saved = g->GetColor();
    g->SetColor(Color(255, 255, 255, int(Lerp(0.0, 255.0, t))));
    g->FillRect(x, y, w, h);
    g->SetColor(saved);
}

int ImageWidth(const Image* image)
{
    return image != nullptr ? image->GetWidth() : 0;
}

int ImageHeight(const Image* image)
{
    return image != nullptr ? image->GetHeight() : 0;
}

bool CoversOpaquely(Image* image, int width, int height)
{
    return image != nullptr && image->GetWidth() >= width && image->GetHeight() >= height &&
           image->IsOpaque();
}

void DrawStringCentred(Graphics* g, const std::string& text, int x, int y)
{
    g->DrawString(text, x - g->StringWidth(text) / 2, y);
}

void DrawScreenFrame(Graphics* g, int width, int height, const std::string& title, int flags)
{
    if (flags & kFrameSides)
    {
        int top = ImageHeight(IMAGE_FRAME_TOP_SHADED);
        g->DrawImage((flags & kFrameGameTop) ? IMAGE_FRAME_TOP_SHADED_GAME : IMAGE_FRAME_TOP_SHADED, 0, 0);
        g->DrawImage(IMAGE_FRAME_RIGHT_FULL, width - ImageWidth(IMAGE_FRAME_RIGHT_FULL), top);
        if (flags & kFrameMainMenuLeft)
        {
            g->DrawImage(IMAGE_FRAME_LEFT_PARTIAL, 0, top);
            g->DrawImage(IMAGE_FRAME_LEFT_MAINMENU_BTN, 0, top + ImageHeight(IMAGE_FRAME_LEFT_PARTIAL));
            g->DrawImage(IMAGE_FRAME_BOTTOM_PARTIAL, ImageWidth(IMAGE_FRAME_LEFT_MAINMENU_BTN),
                         height - ImageHeight(IMAGE_FRAME_BOTTOM_FULL));
        }
        else
        {
            g->DrawImage(IMAGE_FRAME_LEFT_FULL, 0, top);
            g->DrawImage(IMAGE_FRAME_BOTTOM_FULL, 0, height - ImageHeight(IMAGE_FRAME_BOTTOM_FULL));
        }
    }
    if (flags & kFrameBottomBubble)
        g->DrawImage(IMAGE_FRAME_BOTTOM_BUBBLE, 0, height - ImageHeight(IMAGE_FRAME_BOTTOM_BUBBLE));
    if ((flags & kFrameTitle) && FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        g->DrawString(title, (width - g->StringWidth(title)) / 2, FONT_LABEL->GetHeight() + 2);
    }
}

void DrawProgressBadge(Graphics* g, float cx, float cy, float fraction, const std::string& text)
{
    if (Image* planet = IMAGE_LOADER_PLANET)
    {
        bool colorize = g->GetColorizeImages();
        Color saved = g->GetColor();
        g->SetColorizeImages(true);
        g->SetColor(Color(128, 128, 128, 255));
        g->DrawImageF(planet, cx - 98.0f, cy - 98.0f);
        g->SetColorizeImages(colorize);
        g->SetColor(saved);
        int shown = int(planet->GetWidth() * Lerp(0.0, 1.0, fraction));
        g->DrawImageFSrc(planet, cx - 98.0f, cy - 98.0f, Rect(0, 0, shown, planet->GetHeight()));
    }
    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        g->DrawString(text, int(cx - float(g->StringWidth(text)) / 2.0f),
                      int(cy + float(FONT_LABEL->GetHeight()) / 2.0f));
    }
}

std::string MedalText(int k)
{
    if (k < 1 || k > 4) return std::string();
    return StringTable::GetString(170 + k - 1);
}

} // namespace Kavo
