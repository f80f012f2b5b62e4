#pragma once

#include <string>

namespace Kavo
{

// What the event log asks of the game being played (the board answers).
class LoggerFeedbackInterface
{
public:
    virtual ~LoggerFeedbackInterface() = default;

    virtual int GetUpdateCount() = 0;
    virtual int GetScore() = 0;
    virtual int GetLevel() = 0;
    // The mode's display name ("Untimed", "Timed", ...).
    virtual std::string GetModeName() = 0;
    // The mode's key name ("Classic", or the challenge's key).
    virtual std::string GetModeKeyName() = 0;
};

} // namespace Kavo
