#include "bench/BoardScene.h"

#include "graphics/Graphics.h"
#include "puzzle/Board.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/SilentBoardHost.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

namespace benchscene
{

using namespace Kavo;

namespace
{

// The pixels of a picture of cols x rows cels with soft round edges, as the game's piece art has.
std::vector<uint32_t> PicturePixels(int w, int h, int cols, int rows, bool opaque)
{
    std::vector<uint32_t> pixels(size_t(w * cols) * size_t(h * rows));
    for (int y = 0; y < h * rows; ++y)
        for (int x = 0; x < w * cols; ++x)
        {
            int cx = x % w - w / 2, cy = y % h - h / 2;
            int d = cx * cx * 4 / (w * w / 4 + 1) + cy * cy * 4 / (h * h / 4 + 1);
            uint32_t alpha = opaque ? 255u : d >= 4 ? 0u : d == 3 ? 128u : 255u;
            pixels[size_t(y) * size_t(w * cols) + size_t(x)] = alpha << 24 | uint32_t(x * 3 % 256) << 16 |
                                                               uint32_t(y * 5 % 256) << 8 |
                                                               uint32_t((x + y) % 256);
        }
    return pixels;
}

class StarsOn : public SilentBoardHost
{
public:
    bool TwinklingStarsOn() override { return true; }
};

ImageResource* const kSlots[] = {&IMAGE_PIECES,
                                 &IMAGE_PIECES_MINI,
                                 &IMAGE_BLACKHOLE,
                                 &IMAGE_SUPERNOVA,
                                 &IMAGE_WILDCARD,
                                 &IMAGE_PIECESEXPLODING,
                                 &IMAGE_GRID_SQUARE,
                                 &IMAGE_GRID_CROSSBEAM,
                                 &IMAGE_COMPLETION_METER,
                                 &IMAGE_COMPLETION_INDICATOR,
                                 &IMAGE_COMPLETION_STAR1,
                                 &IMAGE_FRAME_TOP_SHADED_GAME,
                                 &IMAGE_FRAME_TOP_SHADED,
                                 &IMAGE_FRAME_RIGHT_FULL,
                                 &IMAGE_FRAME_LEFT_PARTIAL,
                                 &IMAGE_FRAME_LEFT_MAINMENU_BTN,
                                 &IMAGE_FRAME_BOTTOM_FULL,
                                 &IMAGE_FRAME_BOTTOM_PARTIAL,
                                 &IMAGE_TIMELEFT_BAR,
                                 &IMAGE_BONUS};

} // namespace

BoardScene::BoardScene(const ImageMaker& make)
{
    auto picture = [&](int w, int h, int cols = 1, int rows = 1, bool opaque = false)
    {
        MemoryImage* image = make(w * cols, h * rows, PicturePixels(w, h, cols, rows, opaque));
        image->numCols = cols;
        image->numRows = rows;
        return image;
    };
    const struct
    {
        int w, h, cols, rows;
        bool opaque;
    } sizes[] = {
        {62, 60, 11, 1, false}, {31, 30, 11, 1, false},   {62, 60, 1, 8, false},  {124, 120, 6, 1, false},
        {62, 60, 1, 1, false},  {124, 120, 11, 5, false}, {64, 62, 10, 1, true},  {10, 10, 1, 1, false},
        {40, 320, 1, 1, false}, {40, 12, 1, 1, false},    {16, 16, 1, 1, false},  {800, 60, 1, 1, false},
        {800, 60, 1, 1, false}, {30, 520, 1, 1, false},   {30, 400, 1, 1, false}, {150, 120, 1, 1, false},
        {800, 40, 1, 1, false}, {650, 40, 1, 1, false},   {300, 20, 1, 1, false}, {60, 30, 1, 1, false}};
    static_assert(std::size(sizes) == std::size(kSlots));
    for (size_t i = 0; i < std::size(kSlots); ++i)
    {
        MemoryImage* image = picture(sizes[i].w, sizes[i].h, sizes[i].cols, sizes[i].rows, sizes[i].opaque);
        *kSlots[i] = image;
        mImages.emplace_back(image);
    }
    mBackground.reset(picture(800, 600, 1, 1, true));
    FONT_FLOATYNUMBER = FONT_LABEL = &mFont;

    mHost = std::make_unique<StarsOn>();
    SetBoardHost(mHost.get());
    GameRulesConfig rules;
    rules.RandomSeed = 3;
    for (LevelSpecificConfig& level : rules.levels)
    {
        for (int i = prColor1; i <= prColor5; ++i)
            level.PieceRatio[i] = 10;
        level.PieceRatio[prWild] = 1;
        level.GeneralConfigFlags = gcfDisplayPiecesRemaining | gcfDrawTimeLeftBar | gcfDrawLevelIndicator;
    }
    mBoard = std::make_unique<Board>(nullptr, rules);
    Board& board = *mBoard;
    board.Resize(0, 0, 800, 600);
    board.NewGame(1, true);
    board.mLevelStartEffect = false;
    board.mBackground = mBackground.get();
    board.Square(2, 2).piece = 3 | PieceSupernovaFlag;
    board.Square(4, 5).piece = PieceBlackHole;
    for (int i = 0; i < 40; ++i)
        board.mStars.push_back({i % 8, 15 + i * 19, 20 + i * 13 % 560, float(i % 10) / 10.0f});
}

BoardScene::~BoardScene()
{
    mBoard.reset();
    SetBoardHost(nullptr);
    FONT_FLOATYNUMBER = FONT_LABEL = nullptr;
    for (ImageResource* slot : kSlots)
        *slot = nullptr;
}

void BoardScene::Draw(Image* dest)
{
    Board& board = *mBoard;
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
    Graphics g(dest);
    board.Draw(&g);
}

} // namespace benchscene
