#include "puzzle/TutorialRow.h"

#include "puzzle/ResourceIds.h"

#include <array>
#include <cstddef>

namespace Kavo
{

namespace
{

TutorialRow Row(int boxX, int boxY, int textX, int textY, int textWidth, int textHeight, int textId,
                int squareX, int squareY, bool needsMatch, bool clickContinues, int box,
                bool untimedOnly = false, bool timedOnly = false)
{
    TutorialRow row;
    row.boxX = boxX;
    row.boxY = boxY;
    row.textX = textX;
    row.textY = textY;
    row.textWidth = textWidth;
    row.textHeight = textHeight;
    row.textId = textId;
    row.squareX = squareX;
    row.squareY = squareY;
    row.needsMatch = needsMatch;
    row.clickContinues = clickContinues;
    row.box = box;
    row.untimedOnly = untimedOnly;
    row.timedOnly = timedOnly;
    return row;
}

std::array<TutorialRow, 32> MakeRows()
{
    std::array<TutorialRow, 32> rows{};
    rows[0] = Row(125, 345, 15, 30, 240, 130, 112, 2, 4, false, false, TutorialRow::kArrowBox);
    rows[1] = Row(125, 220, 12, 30, 240, 130, 113, 2, 2, false, false, TutorialRow::kArrowBox);
    rows[2] = Row(25, 150, 40, 30, 240, 130, 114, -1, -1, true, false, TutorialRow::kPlainBox);
    rows[3] =
        Row(160, 15, 30, 35, 300, 130, 115, -1, -1, false, true, TutorialRow::kLongArrowBox, true, false);
    rows[4] =
        Row(160, 15, 30, 35, 300, 130, 116, -1, -1, false, true, TutorialRow::kLongArrowBox, false, true);
    rows[6] = Row(25, 150, 20, 35, 240, 130, 117, -1, -1, true, false, TutorialRow::kPlainBox);
    rows[16] = Row(25, 150, 20, 35, 240, 130, 301, -1, -1, true, false, TutorialRow::kPlainBox);
    rows[31] = rows[16];
    return rows;
}

const std::array<TutorialRow, 32> kRows = MakeRows();

} // namespace

Image* TutorialRow::BoxImage() const
{
    switch (box)
    {
    case kArrowBox:
        return IMAGE_TUTORIAL_BOX_ARROW;
    case kPlainBox:
        return IMAGE_TUTORIAL_BOX;
    case kLongArrowBox:
        return IMAGE_TUTORIAL_BOX_LONG_ARROW;
    default:
        return nullptr;
    }
}

const TutorialRow& TutorialRowAt(int step)
{
    return kRows[std::size_t(step < 0 ? 0 : step > 31 ? 31 : step)];
}

} // namespace Kavo
