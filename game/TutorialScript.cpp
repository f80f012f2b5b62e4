#include "game/TutorialScript.h"

#include "game/BoardFrameActor.h"
#include "game/ClickActor.h"
#include "game/FadedBoardFrameActor.h"
#include "game/GamePieceActor.h"
#include "game/GlowyBoxActor.h"
#include "game/MouseCursorActor.h"

namespace Kavo
{

namespace
{

using E = TutorialEvent;

// Every piece of the left board fades out at the end of the loop.
constexpr int kFadeStart = 2559;
constexpr int kFadeEnd = 2608;

struct Builder
{
    TutorialActorList actors;

    template <typename Actor, typename... Args>
    Actor* Add(Args... args)
    {
        actors.push_back(std::make_unique<Actor>(args...));
        return static_cast<Actor*>(actors.back().get());
    }
    // A piece of the left board: it fades out with the rest at the end of the loop.
    GamePieceActor* LeftPiece(int x, int y, int piece)
    {
        GamePieceActor* actor = Add<GamePieceActor>(x, y, piece, false);
        return actor;
    }
    static void Fade(TutorialActor* actor) { actor->AddEvent(E::kFadeOut, 0, 0, kFadeStart, kFadeEnd); }
};

} // namespace

TutorialActorList TutorialScript::Build()
{
    Builder b;
    b.Add<BoardFrameActor>(77, 129, 5, 6);

    // The left board, row by row; the events play the moves the pointer makes.
    Builder::Fade(b.LeftPiece(77, 132, 1));
    Builder::Fade(b.LeftPiece(142, 132, 2)
                      ->AddEvent(E::kMove, 0, 3, 1573, 1594)
                      ->AddEvent(E::kExplode, 0, 0, 1603, 1618));
    Builder::Fade(
        b.LeftPiece(207, 132, 3)->AddEvent(E::kMove, 0, 3, 265, 286)->AddEvent(E::kMove, 0, -3, 605, 626));
    Builder::Fade(b.LeftPiece(272, 132, 3));
    Builder::Fade(b.LeftPiece(337, 132, 1));
    Builder::Fade(b.LeftPiece(77, 197, 3));
    Builder::Fade(b.LeftPiece(142, 197, 2)
                      ->AddEvent(E::kMove, 3, 0, 1368, 1388)
                      ->AddEvent(E::kExplode, 0, 0, 1603, 1618));
    Builder::Fade(b.LeftPiece(207, 197, 1)
                      ->AddEvent(E::kMove, 0, 3, 265, 286)
                      ->AddEvent(E::kMove, 0, -3, 605, 626)
                      ->AddEvent(E::kMove, 3, 0, 1368, 1388));
    Builder::Fade(b.LeftPiece(272, 197, 1)->AddEvent(E::kMove, 0, 3, 1095, 1116));
    Builder::Fade(b.LeftPiece(337, 197, 2));
    Builder::Fade(b.LeftPiece(77, 262, 2)->AddEvent(E::kExplode, 0, 0, 1613, 1628));
    Builder::Fade(b.LeftPiece(142, 262, 2)->AddEvent(E::kExplode, 0, 0, 1603, 1618));
    Builder::Fade(b.LeftPiece(272, 262, 3)->AddEvent(E::kMove, 0, 3, 1095, 1116));
    Builder::Fade(b.LeftPiece(337, 262, 1));
    Builder::Fade(b.LeftPiece(77, 327, 1));
    Builder::Fade(b.LeftPiece(142, 327, 3));
    Builder::Fade(b.LeftPiece(207, 327, 2)
                      ->AddEvent(E::kMove, 0, -3, 605, 626)
                      ->AddEvent(E::kExplode, 0, 0, 1603, 1618));
    Builder::Fade(b.LeftPiece(272, 327, 1)->AddEvent(E::kMove, -3, 0, 815, 835));
    Builder::Fade(b.LeftPiece(337, 327, 1));
    const int row5[5] = {2, 1, 3, 3, 1};
    const int row6[5] = {1, 2, 3, 2, 2};
    for (int column = 0; column < 5; ++column)
        Builder::Fade(b.LeftPiece(77 + 65 * column, 392, row5[column]));
    for (int column = 0; column < 5; ++column)
        Builder::Fade(b.LeftPiece(77 + 65 * column, 457, row6[column]));

    // The refill: pieces that appear where the group exploded and grow in.
    const struct
    {
        int x, y, piece, at;
    } refills[5] = {{142, 197, 1, 1619},
                    {207, 197, 3, 1629},
                    {77, 262, 2, 1619},
                    {142, 262, 3, 1619},
                    {207, 262, 2, 1619}};
    for (const auto& refill : refills)
        Builder::Fade(b.LeftPiece(refill.x, refill.y, refill.piece)
                          ->AddEvent(E::kHide, 0, 0, 0, 0)
                          ->AddEvent(E::kShow, 0, 0, refill.at, refill.at)
                          ->AddEvent(E::kGrow, 0, 0, refill.at, refill.at + 29));

    b.Add<MouseCursorActor>(360, 285)
        ->AddEvent(E::kMove, -1, -1, 80, 204)
        ->AddEvent(E::kMove, 0, 1, 345, 544)
        ->AddEvent(E::kMove, 1, 0, 685, 754)
        ->AddEvent(E::kMove, 0, -1, 895, 1034)
        ->AddEvent(E::kMove, -1, 0, 1175, 1307)
        ->AddEvent(E::kMove, 0, -1, 1448, 1512)
        ->AddEvent(E::kHide, 0, 0, 1660, 1709);
    b.Add<ClickActor>(242, 132)
        ->AddEvent(E::kShow, 0, 0, 215, 264)
        ->AddEvent(E::kMove, 0, 200, 345, 345)
        ->AddEvent(E::kShow, 0, 0, 555, 604)
        ->AddEvent(E::kMove, 70, 0, 685, 685)
        ->AddEvent(E::kShow, 0, 0, 765, 814)
        ->AddEvent(E::kMove, 0, -140, 895, 895)
        ->AddEvent(E::kShow, 0, 0, 1045, 1094)
        ->AddEvent(E::kMove, -133, 0, 1175, 1175)
        ->AddEvent(E::kShow, 0, 0, 1318, 1367)
        ->AddEvent(E::kMove, 0, -65, 1448, 1448)
        ->AddEvent(E::kShow, 0, 0, 1523, 1572);

    // The right side: a block of four, and a board with one group highlighted.
    b.Add<BoardFrameActor>(556, 129, 2, 2);
    for (int i = 0; i < 4; ++i)
        b.Add<GamePieceActor>(556 + 65 * (i % 2), 132 + 65 * (i / 2), 1, false);
    b.Add<FadedBoardFrameActor>(491, 324);
    const struct
    {
        int piece;
        bool faded;
    } group[3][4] = {{{3, true}, {1, false}, {1, false}, {2, true}},
                     {{1, false}, {1, false}, {1, false}, {1, false}},
                     {{3, true}, {2, true}, {1, false}, {3, true}}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            b.Add<GamePieceActor>(491 + 65 * column, 327 + 65 * row, group[row][column].piece,
                                  group[row][column].faded);
    b.Add<GlowyBoxActor>(491, 390, 62, 60);
    b.Add<GlowyBoxActor>(686, 390, 62, 60);
    b.Add<GlowyBoxActor>(621, 453, 62, 60);
    b.Add<GlowyBoxActor>(556, 325, 127, 125);
    return std::move(b.actors);
}

} // namespace Kavo
