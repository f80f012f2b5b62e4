#include "base/Logger.h"

#include "base/LoggerFeedbackInterface.h"

namespace Kavo
{

namespace
{
Logger* gLogger = nullptr;
} // namespace

Logger::Logger(LoggerFeedbackInterface* feedback) : mFeedback(feedback)
{
    gLogger = this;
}

Logger::~Logger()
{
    if (gLogger == this) gLogger = nullptr;
}

Logger* Logger::Instance()
{
    return gLogger;
}

void Logger::SetNumber(int number)
{
    mNumber = number;
}

void Logger::BeginSession(int)
{
    mSessionName = mFeedback ? mFeedback->GetModeName() : std::string();
    mLevelOpen = false;
    mSessionOpen = true;
}

void Logger::EndSession(const std::string&)
{
    mSessionOpen = false;
    mLevelOpen = false;
}

int Logger::BeginLevel()
{
    mLevelName = mFeedback ? mFeedback->GetModeKeyName() : std::string();
    mLevelNumber = mFeedback ? mFeedback->GetLevel() : 0;
    mLevelOpen = true;
    return mLevelNumber;
}

void Logger::EndLevel(const std::string&)
{
    mLevelOpen = false;
}

void Logger::LogControl(const std::string&, const std::string&) {}

void Logger::SetScreen(const std::string& screen)
{
    mCurrentScreen = screen;
}

void Logger::LogGameEvent(const std::string&, const std::string&) {}

void Logger::LogOtherEvent(const std::string&, const std::string&) {}

void Logger::LogBoardEvent(const std::string&, const std::string&) {}

int Logger::ReportScore(int)
{
    return 0;
}

void Logger::ReportTimeFraction(float) {}

int Logger::ReportValue(int)
{
    return 0;
}

void Logger::EndSessionOnUserRequest()
{
    if (!mSessionOpen) return;
    if (mLevelOpen) EndLevel("user_request");
    EndSession("user_request");
}

int Logger::RestartSession(int unused)
{
    EndSessionOnUserRequest();
    BeginSession(unused);
    return BeginLevel();
}

void Logger::PushScreen()
{
    mScreenQueue.push_back(mCurrentScreen);
}

void Logger::PopScreen()
{
    if (mScreenQueue.empty()) return;
    std::string screen = std::move(mScreenQueue.front());
    mScreenQueue.pop_front();
    SetScreen(screen);
}

} // namespace Kavo
