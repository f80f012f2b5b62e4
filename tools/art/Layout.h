#pragma once

#include "tools/art/Effects.h"

// Sizes and places the pictures share: the screen frame's pieces fit together at these
// measures, and the screens place their buttons where the pictures expect them.
namespace Art
{

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

// The screen frame: a bar at the top (its lower rows a soft shade), thin sides and bottom.
constexpr int kTopHeight = 46;
constexpr int kTopBar = 38;
constexpr int kSideWidth = 12;
constexpr int kBottomHeight = 12;

// The main-menu button of the frame's lower-left corner: the screens place it at (11, 489)
// with the size of IMAGE_MAINMENUBTN_HILIGHT; the corner piece shows its normal look.
constexpr int kMenuButtonX = 11;
constexpr int kMenuButtonY = 489;
constexpr int kMenuButtonWidth = 128;
constexpr int kMenuButtonHeight = 86;
constexpr int kCornerWidth = 152;
constexpr int kCornerTop = 478;

// The main menu's bar of buttons along the bottom.
constexpr int kBubbleHeight = 64;

// The frame's colours.
inline const Rgba kFrameLine = Colour255(120, 200, 255);
inline const Rgba kFrameGlow = Colour255(60, 150, 255, 0.5f);
inline const Rgba kFrameDark = Colour255(10, 14, 34);
inline const Rgba kFrameMid = Colour255(26, 36, 78);
// The title yellow of the game's texts.
inline const Rgba kTitleYellow = Colour255(252, 244, 35);

} // namespace Art
