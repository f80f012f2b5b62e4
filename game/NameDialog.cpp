#include "game/NameDialog.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "widgets/EditWidget.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

namespace
{

constexpr int kFieldId = 0;
constexpr int kInsetX = 23;
constexpr int kInsetY = 20;

} // namespace

NameDialog::NameDialog(const std::string& initialName)
    : Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, kDialogId, true, std::string(), std::string(),
             std::string(), BUTTONS_NONE),
      mNameField(new EditWidget(kFieldId, this)),
      mOkButton(new FancyButton(ID_OK, this, FancyButton::kDialogStyle))
{
    mContentInsets = Insets(kInsetX, kInsetY, kInsetX, kInsetY);
    mSpaceAfterHeader = 0;
    if (FONT_TEXT != nullptr)
    {
        SetHeaderFont(FONT_TEXT);
        SetLinesFont(FONT_TEXT);
        SetButtonFont(FONT_TEXT);
    }
    SetColor(COLOR_HEADER, Color::Black);
    SetColor(COLOR_LINES, Color::Black);

    mNameField->mMaxChars = kMaxChars;
    if (FONT_NUMBER != nullptr) mNameField->SetFont(FONT_NUMBER);
    mNameField->SetText(initialName);
    mOkButton->mLabel = StringTable::GetString(203);
    UpdateOkButton(initialName);
    Resize(250, 125, 300, 200);
}

NameDialog::~NameDialog()
{
    delete mNameField;
    delete mOkButton;
}

std::string NameDialog::GetName() const
{
    return mNameField->mText;
}

bool NameDialog::IsValidName(const std::string& name)
{
    return !TrimWhitespace(name).empty();
}

bool NameDialog::IsAllowedChar(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '\'' || c == ' ' || byte >= 128;
}

void NameDialog::UpdateOkButton(const std::string& text)
{
    mOkButton->SetDisabled(!IsValidName(text));
    MarkDirty();
}

void NameDialog::AddedToManager(WidgetManager* manager)
{
    Dialog::AddedToManager(manager);
    manager->AddWidget(mNameField);
    manager->AddWidget(mOkButton);
    manager->SetFocus(mNameField);
}

void NameDialog::RemovedFromManager(WidgetManager* manager)
{
    Dialog::RemovedFromManager(manager);
    manager->RemoveWidget(mNameField);
    manager->RemoveWidget(mOkButton);
}

void NameDialog::Resize(int x, int y, int width, int height)
{
    Dialog::Resize(x, y, width, height);
    const int fieldHeight = (FONT_NUMBER != nullptr ? FONT_NUMBER->GetHeight() : 20) + 10;
    mNameField->Resize(x + kInsetX, y + kInsetY + 80, width - 2 * kInsetX, fieldHeight);
    mOkButton->Resize(x + kInsetX + 65, y + height - kInsetY - 25, width - 2 * kInsetX - 130, 35);
}

void NameDialog::Draw(Graphics* g)
{
    YesNoDialog::DrawBox(g, Rect(0, 0, mWidth, mHeight));
    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        const std::string title = StringTable::GetString(201);
        g->DrawString(title, (mWidth - g->StringWidth(title)) / 2, FONT_LABEL->GetHeight() + 5);
    }
    if (FONT_TEXT != nullptr)
    {
        g->SetFont(FONT_TEXT);
        g->SetColor(Color::White);
        g->WriteWordWrapped(Rect(kInsetX, kInsetY + 30, mWidth - 2 * kInsetX, mHeight - 30),
                            StringTable::GetString(202));
    }
}

void NameDialog::ButtonDepress(int id)
{
    if (Logger* log = Logger::Instance()) log->LogControl("entername_ok", std::string());
    Dialog::ButtonDepress(id);
}

bool NameDialog::AllowChar(int id, char c)
{
    (void)id;
    return IsAllowedChar(c);
}

bool NameDialog::AllowText(int id, const std::string& text)
{
    (void)id;
    UpdateOkButton(text);
    return true;
}

void NameDialog::EditWidgetText(int id, const std::string& text)
{
    (void)id;
    UpdateOkButton(text);
    if (IsValidName(text)) ButtonDepress(ID_OK);
}

} // namespace Kavo
