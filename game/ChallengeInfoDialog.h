#pragma once

#include "widgets/Dialog.h"

namespace Kavo
{

class ChallengeList;
class DialogListener;
class FancyButton;

// Describes one challenge of the grid and asks whether to play it (dialog 109, 402 x 402 at
// (199, 100)): its title, its description and two score lines (game/ChallengeInfoText.h).
// Button 1000 ("Play", or "Play Again" after a game) starts the challenge through the grid,
// 1001 ("Cancel", or "Done") closes it; a press disables both, tells the listener and kills the
// dialog.
//
// | opened                                 | sound            | opening                       |
// |----------------------------------------|------------------|-------------------------------|
// | from the grid, or after a game that    | SOUND_ZOOMOUT    | grows from its centre over 15 |
// | left the medal as it was               |                  | updates, buttons hidden       |
// | after a game that earned a new medal   | SOUND_LONGCHAIN  | at once                       |
class ChallengeInfoDialog : public Dialog
{
public:
    static constexpr int kDialogId = 109;
    static constexpr int kZoomUpdates = 15;

    // page: not owned, outlives the dialog. earlierBest: the best score before the game just
    // played (best itself when opened from the grid). listener: null for the application's.
    ChallengeInfoDialog(const ChallengeList* page, int index, int earlierBest, int best, bool showResult,
                        DialogListener* listener);
    ~ChallengeInfoDialog() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void Draw(Graphics* g) override;
    using Dialog::Resize;
    void Resize(int x, int y, int width, int height) override;
    void ButtonDepress(int id) override;

    // Whether the game just played raised the medal.
    bool EarnedNewMedal() const;

    const ChallengeList* mPage; // not owned
    int mIndex;
    int mEarlierBest;
    int mBest;
    int mUpdateCounter = 0;
    bool mZoom = true;
    FancyButton* mPlayButton;   // id 1000, owned
    FancyButton* mCancelButton; // id 1001, owned
};

} // namespace Kavo
