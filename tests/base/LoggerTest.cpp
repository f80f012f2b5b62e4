#include "base/Logger.h"
#include "base/LoggerFeedbackInterface.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace
{

using Kavo::Logger;
using testing::InSequence;

class FakeFeedback : public Kavo::LoggerFeedbackInterface
{
public:
    int GetUpdateCount() override { return 0; }
    int GetScore() override { return 0; }
    int GetLevel() override { return 7; }
    std::string GetModeName() override { return "Timed"; }
    std::string GetModeKeyName() override { return "Classic"; }
};

// Records which of the session and level operations run.
class RecordingLogger : public Logger
{
public:
    using Logger::Logger;
    MOCK_METHOD(void, EndSession, (const std::string&), (override));
    MOCK_METHOD(void, EndLevel, (const std::string&), (override));
};

TEST(Logger, PublishesItself)
{
    EXPECT_EQ(Logger::Instance(), nullptr);
    {
        Logger first;
        EXPECT_EQ(Logger::Instance(), &first);
        {
            Logger second;
            EXPECT_EQ(Logger::Instance(), &second);
        }
        EXPECT_EQ(Logger::Instance(), nullptr); // the last one made cleared it
    }
    EXPECT_EQ(Logger::Instance(), nullptr);
}

TEST(Logger, SessionsAndLevels)
{
    Logger log;
    EXPECT_EQ(log.BeginLevel(), 0); // no feedback: number 0, names empty
    EXPECT_EQ(log.GetLevelName(), "");

    FakeFeedback feedback;
    log.SetFeedbackInterface(&feedback);
    EXPECT_EQ(log.RestartSession(0), 7);
    EXPECT_TRUE(log.IsSessionOpen());
    EXPECT_TRUE(log.IsLevelOpen());
    EXPECT_EQ(log.GetSessionName(), "Timed");
    EXPECT_EQ(log.GetLevelName(), "Classic");
    EXPECT_EQ(log.GetLevelNumber(), 7);

    log.EndSessionOnUserRequest();
    EXPECT_FALSE(log.IsSessionOpen());
    EXPECT_FALSE(log.IsLevelOpen());
    log.SetNumber(5);
    EXPECT_EQ(log.GetNumber(), 5);
    EXPECT_EQ(log.ReportScore(100), 0);
    EXPECT_EQ(log.ReportValue(3), 0);
}

TEST(Logger, EndOnUserRequestClosesOnlyWhatIsOpen)
{
    RecordingLogger log;
    EXPECT_CALL(log, EndLevel).Times(0);
    EXPECT_CALL(log, EndSession).Times(0);
    log.EndSessionOnUserRequest(); // nothing open: nothing called
    testing::Mock::VerifyAndClearExpectations(&log);

    log.BeginSession(0);
    EXPECT_CALL(log, EndLevel).Times(0);
    EXPECT_CALL(log, EndSession("user_request")).Times(1);
    log.EndSessionOnUserRequest(); // a session without a level
    testing::Mock::VerifyAndClearExpectations(&log);

    log.BeginSession(0);
    log.BeginLevel();
    {
        InSequence order;
        EXPECT_CALL(log, EndLevel("user_request"));
        EXPECT_CALL(log, EndSession("user_request"));
    }
    log.EndSessionOnUserRequest();
}

TEST(Logger, ScreenQueueIsFirstInFirstOut)
{
    Logger log;
    log.SetScreen("A");
    log.PushScreen();
    log.SetScreen("B");
    log.PushScreen();
    log.SetScreen("options");
    log.PopScreen();
    EXPECT_EQ(log.GetCurrentScreen(), "A");
    log.PopScreen();
    EXPECT_EQ(log.GetCurrentScreen(), "B");
    log.PopScreen(); // empty queue: nothing changes
    EXPECT_EQ(log.GetCurrentScreen(), "B");
}

} // namespace
