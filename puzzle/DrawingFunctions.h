#pragma once

#include "base/Rect.h"

#include <string>

// Drawing shared by the board and the game's screens: pieces with their animated overlays,
// explosion cels, small pieces, the screen frame, the tutorial's highlight box, a white flash
// and the title screen's loading badge. They keep no state: animation phases come from the
// board's update counter (0 when there is no board), with
//   frame8 = (counter / 8) mod 8 (black-hole frames) and cel6 = (counter / 8) mod 6 (supernova).
// Piece codes are those of rules/Pieces.h; a cell is 62 x 60 on the board.
namespace Kavo
{

class Graphics;
class Image;

// The title yellow of labels and titles.
constexpr int kTitleYellow[3] = {252, 244, 35};

// The board's update counter that drives the animations (0 without a board).
int AnimationCounter();
// True while drawing goes through 3D acceleration.
bool Is3DDrawing();

// The piece in the cell: nothing for a blank or a gap; a supernova's halo (a cel of
// IMAGE_SUPERNOVA, 124 x 120, centred) behind it; the piece (black hole frames from
// IMAGE_BLACKHOLE, a wild piece with the level's colours cycling inside it every 32 frames,
// else column code - 1 of IMAGE_PIECES); a maturing piece is darkened, the black hole grows
// over it as shrink falls from 1 to 0, and label > 0 is written on it.
void DrawPiece(Graphics* g, int x, int y, int w, int h, int piece, float shrink, int label);
// Frame 0: DrawPiece without the maturing bit. Else the explosion cel (column piece - 1, or 10
// for a black hole; row frame - 1) of IMAGE_PIECESEXPLODING, 124 x 120, centred on the cell.
void DrawPieceOrExploding(Graphics* g, int x, int y, int w, int h, int piece, int frame);
// The piece image scaled about the cell's centre (PulseScale(scale) with pulse).
void DrawPieceSprite(Graphics* g, int x, int y, int w, int h, int piece, float scale, bool pulse);
// s = t x 1.3; above 1.15 it comes back: 1.15 - fmod(s, 1.15).
float PulseScale(float t);
// The small piece (IMAGE_PIECES_MINI) of the code without flags; nothing for blank or gap.
void DrawMiniPiece(Graphics* g, int x, int y, int piece);
// The tutorial's highlight frame around r, from the IMAGE_GLOWYBOX_ pieces.
void DrawGlowyBox(Graphics* g, const Rect& r);
// White over the rectangle at alpha Lerp(0, 255, t) (t clamped to 0..1).
void DrawWhiteFlash(Graphics* g, int x, int y, int w, int h, double t);
// The picture's size (0 for a missing one).
int ImageWidth(const Image* image);
int ImageHeight(const Image* image);
// Drawn plainly at (0, 0), the picture hides a width x height rectangle: it is at least that
// large and every pixel of it is opaque. False for a missing picture.
bool CoversOpaquely(Image* image, int width, int height);
// The text in the current font and colour, its middle at x and its baseline at y.
void DrawStringCentred(Graphics* g, const std::string& text, int x, int y);

// Flag bits of DrawScreenFrame.
enum ScreenFrameFlags
{
    kFrameTitle = 1,
    kFrameSides = 2,
    kFrameMainMenuLeft = 4,
    kFrameBottomBubble = 8,
    kFrameGameTop = 16,
};
// The widest title that stays inside the plate of the frame's top bar (340 pixels wide, its
// rim and rounded corners inside that).
constexpr int kFrameTitleWidth = 300;
// The screen frame pieces and the title (FONT_LABEL, title yellow, centred).
void DrawScreenFrame(Graphics* g, int width, int height, const std::string& title, int flags);
// The loading badge: IMAGE_LOADER_PLANET greyed at (cx - 98, cy - 98), the share fraction of
// it from the left in its own colours, and the text centred below (cx, cy) in FONT_LABEL.
void DrawProgressBadge(Graphics* g, float cx, float cy, float fraction, const std::string& text);
// The medal's name: text 170 + k - 1 for k = 1 (bronze) to 4 (ultra), else "".
std::string MedalText(int k);

} // namespace Kavo
