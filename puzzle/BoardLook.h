#pragma once

#include "puzzle/BoardPlayState.h"

#include <vector>

namespace Kavo
{

class BoardPopup;
class Image;

// What the board screen showed when it last looked for changes (Board::MarkChanges): what decides
// the whole picture (the scene), what the panel writes, and how each square looks. Comparing the
// look of now with it tells what must be drawn again, whatever changed it (a move, the engine's
// real-time rules, an animation's frame).
struct BoardLook
{
    // The whole board is drawn again when any of these differ.
    struct Scene
    {
        const Image* background = nullptr;
        const Image* previousBackground = nullptr; // while the two cross-fade
        const BoardPopup* popup = nullptr;
        bool popupHidesBoard = false;
        bool paused = false;
        // A level transition's play state (each draws the pieces its own way), else kPlayOpen.
        BoardPlayState effect = kPlayOpen;
        int level = 0;
        int flags = 0; // the level's GeneralConfigFlags
        int tutorialStep = -1;
        int originX = 0;
        int originY = 0;
        int columns = 0;
        int rows = 0;
        bool is3D = false;
        bool operator==(const Scene&) const = default;
    };
    // The texts and the bar at the top of the screen.
    struct Panel
    {
        int score = 0;
        int bonusPercent = 0;
        int bonusSize = 0;
        int bonusColour = 0;
        int timeBarWidth = 0;
        bool operator==(const Panel&) const = default;
    };
    // A square's grid cel and piece, with the animation cels the piece shows (-1: none).
    struct Square
    {
        int piece = 0;
        int tile = 0;
        bool hidden = false; // moving or exploding: its animation draws it
        int halo = -1;       // supernova halo cel
        int frame = -1;      // black-hole frame (of the piece or of its maturing)
        int wild = -1;       // the colour shown inside a wild piece
        float shrink = 0.0f; // of a maturing piece
        bool operator==(const Square&) const = default;
    };

    bool valid = false; // false: nothing shown yet, everything is new
    Scene scene;
    Panel panel;
    std::vector<Square> squares; // row by row
    float completion = 0.0f;
    bool meterStars = false;
    bool cursorOn = false;
    int cursorX = 0;
    int cursorY = 0;
};

} // namespace Kavo
