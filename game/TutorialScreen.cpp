#include "game/TutorialScreen.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/ScreenButtons.h"
#include "game/TutorialScreenListener.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "widgets/Checkbox.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kTextOkBeforeGame = 251;
constexpr int kTextOkAsHelp = 203;
constexpr int kTextTitle = 252;
constexpr int kTextSkip = 253;
constexpr int kOkWidth = 100;

} // namespace

TutorialScreen::TutorialScreen(TutorialScreenListener* listener, bool gameStartForm)
    : mListener(listener), mGameStartForm(gameStartForm)
{
}

TutorialScreen::~TutorialScreen()
{
    delete mOkButton;
    delete mSkipCheckbox;
}

void TutorialScreen::CreateControls()
{
    if (mOkButton == nullptr) mOkButton = new FancyButton(kOkButtonId, this, FancyButton::kDialogStyle);
    mOkButton->mLabel = StringTable::GetString(mGameStartForm ? kTextOkBeforeGame : kTextOkAsHelp);
    if (mSkipCheckbox == nullptr) mSkipCheckbox = NewPictureCheckbox(kSkipCheckboxId, this);
}

void TutorialScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    TutorialActor::sTutorialLooped = false;
    if (mOkButton != nullptr)
    {
        mOkButton->SetVisible(true);
        manager->AddWidgetInfront(mOkButton, this); // directly in front of the screen
        // 100 wide, right edge 45 from the screen's; wider when the label needs it.
        int width = kOkWidth;
        if (FONT_LABEL != nullptr) width = std::max(width, FONT_LABEL->StringWidth(mOkButton->mLabel) + 24);
        mOkButton->Resize(mWidth - 45 - width, mHeight - 46, width, 36);
    }
    if (mGameStartForm && mSkipCheckbox != nullptr)
    {
        Image* image = IMAGE_CHECKBOX;
        mSkipCheckbox->Resize(45, mHeight - 45, image != nullptr ? image->GetWidth() / 2 : 20,
                              image != nullptr ? image->GetHeight() : 20);
        manager->AddWidgetInfront(mSkipCheckbox,
                                  mOkButton != nullptr ? static_cast<Widget*>(mOkButton) : this);
    }
    mActors = TutorialScript::Build();
    mShownActors.clear();
    mScriptTime = 0;
    Update();
}

void TutorialScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mOkButton != nullptr) manager->RemoveWidget(mOkButton);
    if (mGameStartForm && mSkipCheckbox != nullptr) manager->RemoveWidget(mSkipCheckbox);
    mActors.clear();
}

void TutorialScreen::Update()
{
    Widget::Update();
    if (mScriptTime > TutorialScript::kLastTime)
    {
        mScriptTime = 0;
        mActors = TutorialScript::Build();
        mShownActors.clear();
        TutorialActor::sTutorialLooped = true;
    }
    for (auto& actor : mActors)
        actor->Update(mScriptTime);
    ++mScriptTime;
    MarkChangedActors();
}

void TutorialScreen::UpdateF(float fraction)
{
    for (auto& actor : mActors)
        actor->Move(fraction);
    MarkChangedActors();
}

void TutorialScreen::MarkChangedActors()
{
    if (mShownActors.size() != mActors.size())
    {
        // New actors: all of them, and whatever the old ones left.
        mShownActors.assign(mActors.size(), ShownActor());
        MarkDirty();
    }
    // One look is read at a time, into storage kept from call to call: a changed look changes
    // places with the shown one, whose storage the next actor's look then takes.
    std::vector<float>& look = mLookNow;
    for (size_t i = 0; i < mActors.size(); ++i)
    {
        const TutorialActor& actor = *mActors[i];
        ShownActor& shown = mShownActors[i];
        look.clear();
        actor.AddLook(look);
        if (look == shown.look) continue;
        if (shown.visible) MarkDirtyRect(shown.area);
        shown.visible = actor.mVisible;
        shown.area = actor.Area();
        shown.look.swap(look);
        if (shown.visible) MarkDirtyRect(shown.area);
    }
}

bool TutorialScreen::IsOpaque()
{
    return CoversOpaquely(IMAGE_TUTORIAL, mWidth, mHeight);
}

void TutorialScreen::Draw(Graphics* g)
{
    g->DrawImage(IMAGE_TUTORIAL, 0, 0);
    DrawScreenFrame(g, mWidth, mHeight, StringTable::GetString(kTextTitle), kFrameTitle | kFrameSides);
    if (mGameStartForm && FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->SetColor(Color::White);
        g->DrawString(StringTable::GetString(kTextSkip), 80, mHeight - 20);
    }
    for (auto& actor : mActors)
        if (actor->mVisible) actor->Draw(g);
}

void TutorialScreen::ButtonDepress(int id)
{
    if (id != kOkButtonId) return;
    if (Logger* log = Logger::Instance()) log->LogControl("tutorial_ok", std::string());
    if (mListener != nullptr) mListener->OnTutorialFinished();
}

void TutorialScreen::CheckboxChecked(int id, bool checked)
{
    if (id != kSkipCheckboxId) return;
    if (Logger* log = Logger::Instance())
        log->LogControl("tutorial_dontshowagain", ToPaddedText(checked ? 1 : 0, 0));
    if (mListener != nullptr)
    {
        if (checked)
            mListener->SetSkipTutorial();
        else
            mListener->ClearSkipTutorial();
    }
    MarkDirty();
}

} // namespace Kavo
