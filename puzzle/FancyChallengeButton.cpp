#include "puzzle/FancyChallengeButton.h"

namespace Kavo
{

FancyChallengeButton::FancyChallengeButton(int id, ButtonListener* listener) : ButtonWidget(id, listener) {}

void FancyChallengeButton::SetChallenge(const std::string& idText, const std::string& title, int medal)
{
    mIdText = idText;
    mTitle = title;
    SetMedal(medal);
}

void FancyChallengeButton::SetMedal(int medal)
{
    mMedal = medal;
}

void FancyChallengeButton::UpdateF(float fraction)
{
    (void)fraction;
}

void FancyChallengeButton::Draw(Graphics* g)
{
    (void)g;
}

} // namespace Kavo
