#include "game/ChallengeInfoText.h"

#include "base/StringTable.h"
#include "base/StringUtils.h"
#include "base/TextHelpers.h"
#include "game/ChallengeList.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/Transform2D.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

namespace
{

constexpr int kNumberLeft = 70;
constexpr int kNumberWidth = 90;
constexpr int kStarGap = 10; // between the number field and the star
constexpr int kNameGap = 8;
constexpr int kLargestShortScore = 999999;

// The medal's star (cel medal - 1) centred on (cx, cy), scaled.
void DrawMedalStar(Graphics* g, int medal, int cx, int cy, float scale)
{
    Image* stars = IMAGE_CHALLENGEGRID_STARS;
    if (stars == nullptr || medal < 1 || medal > 4) return;
    const Rect cel = stars->GetCelRect(medal - 1);
    if (scale == 1.0f)
    {
        g->DrawImageSrc(stars, cx - cel.mWidth / 2, cy - cel.mHeight / 2, cel);
        return;
    }
    Transform2D transform;
    transform.Scale(scale, scale);
    g->DrawImageTransformSrc(stars, transform, cel, cx, cy);
}

} // namespace

bool OutlinedNumberTextPulses(const ChallengeList& page, int index, int earlierBest, int best)
{
    const ChallengeRecord* record = page.At(index);
    if (record == nullptr || FONT_TEXT == nullptr) return false;
    const UserProfile& player = page.Profile();
    const int medal = std::max(0, record->GetMedalLevel(player, nullptr, best));
    return medal > record->GetMedalLevel(player, nullptr, earlierBest);
}

void DrawOutlinedNumberText(Graphics* g, const Rect& rect, const ChallengeList& page, int index,
                            int earlierBest, int best, int counter, int scoreTop)
{
    const ChallengeRecord* record = page.At(index);
    if (record == nullptr || FONT_TEXT == nullptr) return;
    const UserProfile& player = page.Profile();

    g->SetFont(FONT_TEXT);
    g->SetColor(Color::White);
    g->WriteWordWrapped(Rect(rect.mX, rect.mY, rect.mWidth, scoreTop), record->Desc, -1, 2);

    const int medal = std::max(0, record->GetMedalLevel(player, nullptr, best));
    const bool newMedal = medal > record->GetMedalLevel(player, nullptr, earlierBest);
    const int needed = record->GetNextMedalScore(player, best);
    const int nextMedal = std::min(medal + 1, 4);
    const struct
    {
        int score;
        int medal;
        std::string name;
        bool pulse;
    } lines[2] = {{best, medal, MedalText(medal), newMedal},
                  {needed, nextMedal, record->GetMedalText(player, best), false}};

    const bool longScores = best > kLargestShortScore || needed > kLargestShortScore;
    // The two labels are one text, split at its line break (written "\n" in the text table).
    const std::string labelText =
        StringReplaceAll(StringTable::GetString(longScores ? 267 : 174), "\\n", "\n");
    const std::vector<std::string> labels = SplitIntoWords(labelText, '\n');
    Font* numbers = FONT_NUMBER != nullptr ? FONT_NUMBER : FONT_TEXT;
    const int labelHeight = FONT_TEXT->GetHeight();
    const int rowHeight = std::max(numbers->GetHeight(), labelHeight) + 6;
    const float pulse = 1.0f + 0.25f * float(std::sin(counter * 0.15));

    int y = rect.mY + scoreTop;
    for (int i = 0; i < 2; ++i)
    {
        g->SetFont(FONT_TEXT);
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        if (size_t(i) < labels.size()) g->DrawString(labels[size_t(i)], rect.mX, y + FONT_TEXT->GetAscent());
        y += labelHeight;

        const int baseline = y + (rowHeight + numbers->GetAscent() - numbers->GetDescent()) / 2;
        g->SetFont(numbers);
        g->SetColor(lines[i].pulse ? Color(128, (4 * counter) % 256, 128) : Color::White);
        const std::string number = StrFormat("% 8d", lines[i].score);
        g->DrawString(number, rect.mX + kNumberLeft + kNumberWidth - g->StringWidth(number), baseline);

        Image* stars = IMAGE_CHALLENGEGRID_STARS;
        const int starHalf = stars != nullptr ? stars->GetCelWidth() / 2 : 16;
        const int starX = rect.mX + kNumberLeft + kNumberWidth + kStarGap + starHalf;
        const int starCentre = y + rowHeight / 2;
        DrawMedalStar(g, lines[i].medal, starX, starCentre, lines[i].pulse ? pulse : 1.0f);
        g->SetFont(FONT_TEXT);
        g->SetColor(Color::White);
        g->DrawString(lines[i].name, starX + starHalf + kNameGap,
                      starCentre + (FONT_TEXT->GetAscent() - FONT_TEXT->GetDescent()) / 2);
        y += rowHeight;
    }
}

} // namespace Kavo
