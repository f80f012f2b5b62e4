#include "game/OptionsDialog.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/CreditsDialog.h"
#include "game/GameApp.h"
#include "game/GameDialogLook.h"
#include "game/ScreenButtons.h"
#include "game/TutorialScreen.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "widgets/Checkbox.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

namespace
{

constexpr int kInsetX = 65;
constexpr int kButtonHeight = 35;
constexpr int kButtonGap = 10;
constexpr int kButtonRowInsetX = 45;
constexpr int kBelowRule = 7; // between the title's rule and the music slider's thumb
constexpr int kNoticeId = 104;

void Log(const char* event, const std::string& detail = std::string())
{
    if (Logger* log = Logger::Instance()) log->LogControl(event, detail);
}

std::string StateText(bool checked)
{
    return checked ? "1" : "0";
}

} // namespace

OptionsDialog::OptionsDialog(GameApp* app)
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kDialogId, true, std::string(), std::string(),
             std::string(), BUTTONS_NONE),
      mApp(app), mMusicSlider(new Slider(IMAGE_SLIDER_TRACK, IMAGE_SLIDER_THUMB, kMusicSlider, this)),
      mSoundSlider(new Slider(IMAGE_SLIDER_TRACK, IMAGE_SLIDER_THUMB, kSoundSlider, this)),
      m3DBox(NewPictureCheckbox(k3DBox, this)), mFullScreenBox(NewPictureCheckbox(kFullScreenBox, this)),
      mStarsBox(NewPictureCheckbox(kStarsBox, this)),
      mHelpButton(new FancyButton(kHelpButton, this, FancyButton::kDialogStyle)),
      mCreditsButton(new FancyButton(kCreditsButton, this, FancyButton::kDialogStyle)),
      mOkButton(new FancyButton(ID_OK, this, FancyButton::kDialogStyle))
{
    ApplyGameDialogLook(*this, kInsetX);
    mMusicSlider->SetValue(app->GetMusicVolume());
    mSoundSlider->SetValue(app->GetSfxVolume());
    mHelpButton->mLabel = StringTable::GetString(207);
    mCreditsButton->mLabel = StringTable::GetString(152);
    mOkButton->mLabel = StringTable::GetString(209);
    Resize(199, 100, 402, 402);
}

OptionsDialog::~OptionsDialog()
{
    delete mMusicSlider;
    delete mSoundSlider;
    delete m3DBox;
    delete mFullScreenBox;
    delete mStarsBox;
    delete mHelpButton;
    delete mCreditsButton;
    delete mOkButton;
    delete mHelpScreen;
}

// ---------------------------------------------------------------- life in the widget manager

void OptionsDialog::AddedToManager(WidgetManager* manager)
{
    if (Logger* log = Logger::Instance())
    {
        log->PushScreen();
        log->SetScreen("options");
    }
    Dialog::AddedToManager(manager);
    manager->AddWidget(mMusicSlider);
    manager->AddWidget(mSoundSlider);
    // The boxes show the settings as they are; nobody is told, nothing is logged.
    m3DBox->SetChecked(mApp->Is3DAccelerated(), false);
    mFullScreenBox->SetChecked(!mApp->mIsWindowed, false);
    mStarsBox->SetChecked(mApp->mTwinklingStars, false);
    for (Widget* widget : {static_cast<Widget*>(m3DBox), static_cast<Widget*>(mFullScreenBox),
                           static_cast<Widget*>(mStarsBox), static_cast<Widget*>(mHelpButton),
                           static_cast<Widget*>(mCreditsButton), static_cast<Widget*>(mOkButton)})
        manager->AddWidget(widget);
}

void OptionsDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    for (Widget* widget : {static_cast<Widget*>(mMusicSlider), static_cast<Widget*>(mSoundSlider),
                           static_cast<Widget*>(m3DBox), static_cast<Widget*>(mFullScreenBox),
                           static_cast<Widget*>(mStarsBox), static_cast<Widget*>(mHelpButton),
                           static_cast<Widget*>(mCreditsButton), static_cast<Widget*>(mOkButton)})
        manager->RemoveWidget(widget);
    if (Logger* log = Logger::Instance()) log->PopScreen();
}

void OptionsDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    const int left = x + kInsetX;
    const int inner = width - 2 * kInsetX;
    const int sliderHeight = ImageHeight(IMAGE_SLIDER_THUMB);
    mMusicSlider->Resize(left, y + GameDialogBelowRule(height) + kBelowRule, inner, sliderHeight);
    mSoundSlider->Resize(left, mMusicSlider->mY + sliderHeight + 28, inner, sliderHeight);

    const int boxWidth = ImageWidth(IMAGE_CHECKBOX) / 2;
    const int boxHeight = ImageHeight(IMAGE_CHECKBOX);
    m3DBox->Resize(left, mSoundSlider->mY + sliderHeight + 26, boxWidth, boxHeight);
    mFullScreenBox->Resize(m3DBox->mX + boxWidth + 138, m3DBox->mY, boxWidth, boxHeight);
    mStarsBox->Resize(m3DBox->mX + 60, m3DBox->mY + boxHeight + 12, boxWidth, boxHeight);

    // How to Play and Credits share the row under the boxes, which reaches further out than the
    // other controls: half of their width would not hold the label "How to Play".
    const int buttonTop = mStarsBox->mY + boxHeight + 20;
    const int row = width - 2 * kButtonRowInsetX;
    const int half = (row - kButtonGap) / 2;
    mHelpButton->Resize(x + kButtonRowInsetX, buttonTop, half, kButtonHeight);
    mCreditsButton->Resize(x + width - kButtonRowInsetX - half, buttonTop, half, kButtonHeight);
    mOkButton->Resize(left, y + height - 22 - kButtonHeight, inner, kButtonHeight);
}

// ---------------------------------------------------------------- drawing

void OptionsDialog::Draw(Graphics* g)
{
    DrawGameDialog(g, 0, 0, mWidth, mHeight, StringTable::GetString(108));
    if (FONT_TEXT == nullptr) return;
    g->SetFont(FONT_TEXT);
    g->SetColor(Color::White);
    auto underSlider = [&](Slider* slider, int text)
    {
        const std::string label = StringTable::GetString(text);
        g->DrawString(label, slider->mX - mX + (slider->mWidth - g->StringWidth(label)) / 2,
                      slider->mY - mY + slider->mHeight + 10);
    };
    underSlider(mMusicSlider, 149);
    underSlider(mSoundSlider, 163);
    auto besideBox = [&](Checkbox* box, int text)
    {
        g->DrawString(StringTable::GetString(text), box->mX - mX + box->mWidth + 5,
                      box->mY - mY + box->mHeight - 5);
    };
    besideBox(m3DBox, 210);
    besideBox(mFullScreenBox, 211);
    besideBox(mStarsBox, 315);
}

// ---------------------------------------------------------------- controls

void OptionsDialog::SliderVal(int id, double value)
{
    if (id == kMusicSlider)
    {
        if (!mMusicSlider->mDragging) Log("options_musicvolume", ToPaddedText(value, 0));
        mApp->SetMusicVolume(value);
    }
    else if (id == kSoundSlider)
    {
        const bool dragging = mSoundSlider->mDragging;
        if (!dragging) Log("options_soundvolume", ToPaddedText(value, 0));
        mApp->SetSfxVolume(value);
        if (!dragging) mApp->PlaySample(SOUND_GOODMOVE1);
    }
}

void OptionsDialog::ShowNotice(int header, int text)
{
    auto* notice =
        new YesNoDialog(StringTable::GetString(header), StringTable::GetString(text), mApp, true, kNoticeId);
    mApp->AddDialogWithId(kNoticeId, notice);
}

void OptionsDialog::CheckboxChecked(int id, bool checked)
{
    MarkDirty();
    switch (id)
    {
    case k3DBox:
        Log("options_3d", StateText(checked));
        if (!checked) break;
        if (!mApp->Is3DAccelerationSupported())
        {
            m3DBox->SetChecked(false, true);
            ShowNotice(212, 213);
        }
        else if (!mApp->Is3DAccelerationRecommended())
        {
            ShowNotice(214, 215);
        }
        break;
    case kFullScreenBox:
        Log("options_fullscreen", StateText(checked));
        if (mApp->mWindowedNotAllowed && !checked)
        {
            mFullScreenBox->SetChecked(true, true);
            ShowNotice(216, 217);
        }
        break;
    case kStarsBox:
        if (mApp->mTwinklingStars != checked && mApp->mWidgetManager != nullptr)
            mApp->mWidgetManager->MarkAllDirty(); // the screens' stars come or go
        mApp->mTwinklingStars = checked;
        break;
    default:
        break;
    }
}

void OptionsDialog::SetFullScreenChecked(bool checked)
{
    // Also reached from OK, which switches to what the box shows: only a change is told.
    if (mFullScreenBox->IsChecked() != checked) mFullScreenBox->SetChecked(checked, true);
}

void OptionsDialog::ButtonDepress(int id)
{
    Dialog::ButtonDepress(id);
    WidgetManager* manager = mApp->mWidgetManager;
    switch (id)
    {
    case ID_OK:
        Log("options_ok");
        mApp->SwitchScreenMode(!mFullScreenBox->IsChecked(), m3DBox->IsChecked(), false);
        mApp->KillDialogPtr(this);
        mApp->FocusCurrentScreen();
        break;
    case kHelpButton:
        Log("options_help");
        if (mHelpScreen != nullptr) break;
        mHelpScreen = new TutorialScreen(this, false);
        mHelpScreen->CreateControls();
        mHelpScreen->Resize(0, 0, mApp->mWidth, mApp->mHeight);
        manager->AddWidget(mHelpScreen);
        manager->SetFocus(mHelpScreen);
        break;
    case kCreditsButton:
    {
        Log("options_credits");
        GameApp* app = mApp;
        app->KillDialogPtr(this);
        app->AddDialogWithId(CreditsDialog::kDialogId, new CreditsDialog());
        break;
    }
    default:
        break;
    }
}

void OptionsDialog::OnTutorialFinished()
{
    if (mHelpScreen == nullptr) return;
    // Out of the manager first: it must not be drawn or reached once it is on its way out.
    mApp->mWidgetManager->RemoveWidget(mHelpScreen);
    mApp->SafeDeleteWidget(mHelpScreen);
    mHelpScreen = nullptr;
}

} // namespace Kavo
