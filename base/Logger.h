#pragma once

#include <deque>
#include <string>

namespace Kavo
{

class LoggerFeedbackInterface;

// The game's event log. Screens, dialogs, the board and the rules engine report what happens
// to it; every event operation is an empty sink (a place to attach a real log later). What
// the logger keeps is its state: the current screen, a first-in-first-out queue of screens to
// return to, and the open session (one logged game) and level with their names.
//
// Exactly one logger is meant to exist; it publishes itself through Logger::Instance(), which
// is null while there is none, so callers write
//     if (Logger* log = Logger::Instance()) log->LogGameEvent("Match", "120");
class Logger
{
public:
    explicit Logger(LoggerFeedbackInterface* feedback = nullptr);
    virtual ~Logger();
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    static Logger* Instance();

    virtual void SetNumber(int number);
    // Opens a session named after the feedback's mode (empty without feedback); the level
    // is closed.
    virtual void BeginSession(int unused);
    virtual void EndSession(const std::string& reason);
    // Opens a level named after the feedback's mode key and numbered by its level (0 without
    // feedback); returns that number.
    virtual int BeginLevel();
    virtual void EndLevel(const std::string& reason);
    virtual void LogControl(const std::string& control, const std::string& value);
    virtual void SetScreen(const std::string& screen);
    virtual void LogGameEvent(const std::string& event, const std::string& detail);
    virtual void LogOtherEvent(const std::string& first, const std::string& second);
    virtual void LogBoardEvent(const std::string& event, const std::string& detail);
    virtual int ReportScore(int score);
    virtual void ReportTimeFraction(float fraction);
    virtual int ReportValue(int value);

    // Closes the open level and session with "user_request"; nothing when no session is open.
    void EndSessionOnUserRequest();
    // Ends the open session, begins a new one and its level; returns the level number.
    int RestartSession(int unused);
    // Queues the current screen, to come back to with PopScreen.
    void PushScreen();
    // Makes the oldest queued screen current; nothing when the queue is empty.
    void PopScreen();

    void SetFeedbackInterface(LoggerFeedbackInterface* feedback) { mFeedback = feedback; }
    LoggerFeedbackInterface* GetFeedbackInterface() const { return mFeedback; }
    const std::string& GetSessionName() const { return mSessionName; }
    const std::string& GetLevelName() const { return mLevelName; }
    const std::string& GetCurrentScreen() const { return mCurrentScreen; }
    int GetLevelNumber() const { return mLevelNumber; }
    int GetNumber() const { return mNumber; }
    bool IsSessionOpen() const { return mSessionOpen; }
    bool IsLevelOpen() const { return mLevelOpen; }

private:
    LoggerFeedbackInterface* mFeedback; // not owned
    std::string mSessionName;
    std::string mLevelName;
    std::string mCurrentScreen;
    int mLevelNumber = 0;
    int mNumber = 0;
    bool mSessionOpen = false;
    bool mLevelOpen = false;
    std::deque<std::string> mScreenQueue;
};

} // namespace Kavo
