#pragma once

#include "graphics/Image.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Kavo
{
class Board;
class SilentBoardHost;
} // namespace Kavo

namespace benchscene
{

// One frame of a 7 x 8 board at 800 x 600: background, frame, meter, grid, pieces, twelve
// squares exploding, floating score texts and 40 twinkling stars. The board's pictures are made
// by the caller's maker from their pixels (software images, or images of a display), and bound
// to the board's resource slots while the scene lives.
class BoardScene
{
public:
    using ImageMaker =
        std::function<Kavo::MemoryImage*(int width, int height, const std::vector<uint32_t>& pixels)>;

    explicit BoardScene(const ImageMaker& make);
    ~BoardScene();
    BoardScene(const BoardScene&) = delete;
    BoardScene& operator=(const BoardScene&) = delete;

    // Draws one frame into dest (the explosions start again each frame).
    void Draw(Kavo::Image* dest);

private:
    std::vector<std::unique_ptr<Kavo::Image>> mImages;
    std::unique_ptr<Kavo::Image> mBackground;
    Kavo::SysFont mFont{"Arial", 18, true};
    std::unique_ptr<Kavo::SilentBoardHost> mHost;
    std::unique_ptr<Kavo::Board> mBoard;
};

} // namespace benchscene
