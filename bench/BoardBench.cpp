#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "puzzle/Board.h"
#include "puzzle/SilentBoardHost.h"
#include "puzzle/Pieces.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/RulesFlags.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace
{

using namespace Kavo;

// A picture of cols x rows cels with soft round edges, as the game's piece art has.
MemoryImage* Picture(int w, int h, int cols = 1, int rows = 1, bool opaque = false)
{
    auto* image = new MemoryImage();
    std::vector<uint32_t> pixels(size_t(w * cols) * size_t(h * rows));
    for (int y = 0; y < h * rows; ++y)
        for (int x = 0; x < w * cols; ++x)
        {
            int cx = x % w - w / 2, cy = y % h - h / 2;
            int d = cx * cx * 4 / (w * w / 4 + 1) + cy * cy * 4 / (h * h / 4 + 1);
            uint32_t alpha = opaque ? 255u : d >= 4 ? 0u : d == 3 ? 128u : 255u;
            pixels[size_t(y) * size_t(w * cols) + size_t(x)] = alpha << 24 | uint32_t(x * 3 % 256) << 16 |
                                                               uint32_t(y * 5 % 256) << 8 | uint32_t((x + y) % 256);
        }
    image->SetBits(pixels.data(), w * cols, h * rows);
    image->numCols = cols;
    image->numRows = rows;
    return image;
}

class StarsOn : public SilentBoardHost
{
public:
    bool TwinklingStarsOn() override { return true; }
};

// One frame of a 7 x 8 board at 800 x 600 in software: background, frame, meter, grid, pieces,
// twelve squares exploding, floating score texts and 40 twinkling stars.
void BM_BoardFrame(benchmark::State& state)
{
    std::vector<std::unique_ptr<Image>> images;
    auto bind = [&](ImageResource& slot, MemoryImage* image) {
        slot = image;
        images.emplace_back(image);
    };
    bind(IMAGE_PIECES, Picture(62, 60, 11));
    bind(IMAGE_PIECES_MINI, Picture(31, 30, 11));
    bind(IMAGE_BLACKHOLE, Picture(62, 60, 1, 8));
    bind(IMAGE_SUPERNOVA, Picture(124, 120, 6));
    bind(IMAGE_WILDCARD, Picture(62, 60));
    bind(IMAGE_PIECESEXPLODING, Picture(124, 120, 11, 5));
    bind(IMAGE_GRID_SQUARE, Picture(64, 62, 10, 1, true));
    bind(IMAGE_GRID_CROSSBEAM, Picture(10, 10));
    bind(IMAGE_COMPLETION_METER, Picture(40, 320));
    bind(IMAGE_COMPLETION_INDICATOR, Picture(40, 12));
    bind(IMAGE_COMPLETION_STAR1, Picture(16, 16));
    bind(IMAGE_FRAME_TOP_SHADED_GAME, Picture(800, 60));
    bind(IMAGE_FRAME_TOP_SHADED, Picture(800, 60));
    bind(IMAGE_FRAME_RIGHT_FULL, Picture(30, 520));
    bind(IMAGE_FRAME_LEFT_PARTIAL, Picture(30, 400));
    bind(IMAGE_FRAME_LEFT_MAINMENU_BTN, Picture(150, 120));
    bind(IMAGE_FRAME_BOTTOM_FULL, Picture(800, 40));
    bind(IMAGE_FRAME_BOTTOM_PARTIAL, Picture(650, 40));
    bind(IMAGE_TIMELEFT_BAR, Picture(300, 20));
    bind(IMAGE_BONUS, Picture(60, 30));
    std::unique_ptr<MemoryImage> background(Picture(800, 600, 1, 1, true));
    SysFont font("Arial", 18, true);
    FONT_FLOATYNUMBER = FONT_LABEL = &font;

    StarsOn host;
    SetBoardHost(&host);
    GameRulesConfig rules;
    rules.RandomSeed = 3;
    for (LevelSpecificConfig& level : rules.levels)
    {
        for (int i = prColor1; i <= prColor5; ++i)
            level.PieceRatio[i] = 10;
        level.PieceRatio[prWild] = 1;
        level.GeneralConfigFlags = gcfDisplayPiecesRemaining | gcfDrawTimeLeftBar | gcfDrawLevelIndicator;
    }
    Board board(nullptr, rules);
    board.Resize(0, 0, 800, 600);
    board.NewGame(1, true);
    board.mLevelStartEffect = false;
    board.mBackground = background.get();
    board.Square(2, 2).piece = 3 | PieceSupernovaFlag;
    board.Square(4, 5).piece = PieceBlackHole;
    for (int i = 0; i < 40; ++i)
        board.mStars.push_back({i % 8, 15 + i * 19, 20 + i * 13 % 560, float(i % 10) / 10.0f});

    // The screen is opaque, as the display's screen image is.
    MemoryImage screen;
    screen.Create(800, 600);
    screen.SetImageMode(false, false);
    for (auto _ : state)
    {
        board.mExplosionAnimations.clear();
        for (int i = 0; i < 12; ++i)
        {
            BoardAnimation explosion;
            explosion.fromX = i % 4 + 1;
            explosion.fromY = i / 4 + 2;
            explosion.shownPiece = 1 + i % 5;
            explosion.piece = 1 + (i + 2) % 5;
            explosion.delay = i < 6 ? float(6 + i * 2) : 0.0f;
            explosion.progress = i < 6 ? 0.0f : 0.1f * float(i - 5);
            board.mExplosionAnimations.push_back(explosion);
        }
        board.mFloatingTexts.assign(6, FloatingText{300, 250, 0.3f, "1250", false});
        Graphics g(&screen);
        board.Draw(&g);
        benchmark::DoNotOptimize(screen.GetBits());
    }
    SetBoardHost(nullptr);
    FONT_FLOATYNUMBER = FONT_LABEL = nullptr;
    for (ImageResource* slot : {&IMAGE_PIECES, &IMAGE_PIECES_MINI, &IMAGE_BLACKHOLE, &IMAGE_SUPERNOVA, &IMAGE_WILDCARD,
                                &IMAGE_PIECESEXPLODING, &IMAGE_GRID_SQUARE, &IMAGE_GRID_CROSSBEAM,
                                &IMAGE_COMPLETION_METER, &IMAGE_COMPLETION_INDICATOR, &IMAGE_COMPLETION_STAR1,
                                &IMAGE_FRAME_TOP_SHADED_GAME, &IMAGE_FRAME_TOP_SHADED, &IMAGE_FRAME_RIGHT_FULL,
                                &IMAGE_FRAME_LEFT_PARTIAL, &IMAGE_FRAME_LEFT_MAINMENU_BTN, &IMAGE_FRAME_BOTTOM_FULL,
                                &IMAGE_FRAME_BOTTOM_PARTIAL, &IMAGE_TIMELEFT_BAR, &IMAGE_BONUS})
        *slot = nullptr;
}
BENCHMARK(BM_BoardFrame)->Unit(benchmark::kMicrosecond);

} // namespace
