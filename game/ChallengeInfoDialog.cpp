#include "game/ChallengeInfoDialog.h"

#include "app/KavoAppBase.h"
#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/ChallengeInfoText.h"
#include "game/ChallengeList.h"
#include "game/GameDialogLook.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

namespace
{

constexpr int kInsetX = 45;
constexpr int kButtonHeight = 35;
constexpr int kBodyTop = 50;
constexpr int kScoreTop = 170;

} // namespace

ChallengeInfoDialog::ChallengeInfoDialog(const ChallengeList* page, int index, int earlierBest, int best,
                                         bool showResult, DialogListener* listener)
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kDialogId, true, std::string(), std::string(),
             std::string(), BUTTONS_NONE),
      mPage(page), mIndex(index), mEarlierBest(earlierBest), mBest(best),
      mPlayButton(new FancyButton(ID_OK, this, FancyButton::kDialogStyle)),
      mCancelButton(new FancyButton(ID_CANCEL, this, FancyButton::kDialogStyle))
{
    if (listener != nullptr) mDialogListener = listener;
    ApplyGameDialogLook(*this, kInsetX);
    mPlayButton->mLabel = StringTable::GetString(showResult ? 148 : 150);
    mCancelButton->mLabel = StringTable::GetString(showResult ? 209 : 151);
    Resize(199, 100, 402, 402);
}

ChallengeInfoDialog::~ChallengeInfoDialog()
{
    delete mPlayButton;
    delete mCancelButton;
}

bool ChallengeInfoDialog::EarnedNewMedal() const
{
    return mPage->GetMedalLevel(mIndex, mEarlierBest) != mPage->GetMedalLevel(mIndex, mBest);
}

void ChallengeInfoDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    if (EarnedNewMedal())
    {
        if (gKavoApp != nullptr) gKavoApp->PlaySample(SOUND_LONGCHAIN);
        mZoom = false;
        mPlayButton->SetVisible(true);
        mCancelButton->SetVisible(true);
    }
    else
    {
        if (gKavoApp != nullptr) gKavoApp->PlaySample(SOUND_ZOOMOUT);
        mPlayButton->SetVisible(false);
        mCancelButton->SetVisible(false);
        mZoom = true;
    }
    manager->AddWidget(mPlayButton);
    manager->AddWidget(mCancelButton);
    mUpdateCounter = 0;
}

void ChallengeInfoDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mPlayButton);
    manager->RemoveWidget(mCancelButton);
}

void ChallengeInfoDialog::Update()
{
    Dialog::Update();
    ++mUpdateCounter;
    if (mZoom && mUpdateCounter == kZoomUpdates)
    {
        mPlayButton->SetVisible(true);
        mCancelButton->SetVisible(true);
    }
    // The box grows while it opens; then only a medal just won moves.
    if ((mZoom && mUpdateCounter <= kZoomUpdates) ||
        OutlinedNumberTextPulses(*mPage, mIndex, mEarlierBest, mBest))
        MarkDirty();
}

void ChallengeInfoDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    const int content = width - mContentInsets.mLeft - mContentInsets.mRight;
    const int fifth = content / 5;
    const int top = y + height - mContentInsets.mBottom - kButtonHeight;
    mPlayButton->Resize(x + mContentInsets.mLeft, top, 2 * fifth, kButtonHeight);
    mCancelButton->Resize(mPlayButton->mX + mPlayButton->mWidth + fifth, top, 2 * fifth, kButtonHeight);
}

void ChallengeInfoDialog::Draw(Graphics* g)
{
    if (mZoom && mUpdateCounter < kZoomUpdates)
    {
        const double t = mUpdateCounter / double(kZoomUpdates);
        // Insets rounded up to whole pixels.
        const int ix = -int(-Lerp(mWidth / 2, 0, t));
        const int iy = -int(-Lerp(mHeight / 2, 0, t));
        DrawGameDialog(g, ix, iy, mWidth - 2 * ix, mHeight - 2 * iy, std::string());
        return;
    }
    const ChallengeRecord* record = mPage->At(mIndex);
    DrawGameDialog(g, 0, 0, mWidth, mHeight, record != nullptr ? record->Title() : std::string());
    const Insets& in = mContentInsets;
    const Rect content(in.mLeft, in.mTop + kBodyTop, mWidth - in.mLeft - in.mRight,
                       mHeight - in.mTop - in.mBottom);
    DrawOutlinedNumberText(g, content, *mPage, mIndex, mEarlierBest, mBest, mUpdateCounter, kScoreTop);
}

void ChallengeInfoDialog::ButtonDepress(int id)
{
    if (Logger* log = Logger::Instance())
        log->LogControl(id == ID_OK ? "challengeinfo_ok" : "challengeinfo_cancel", std::string());
    if (id != ID_OK && id != ID_CANCEL) return;
    mPlayButton->SetDisabled(true);
    mCancelButton->SetDisabled(true);
    // Closed before the grid hears of the choice, which may fade the grid out and show the board
    // (beneath any open dialog). Deleted only once this call has returned.
    if (gKavoApp != nullptr) gKavoApp->KillDialogPtr(this);
    Dialog::ButtonDepress(id);
}

} // namespace Kavo
