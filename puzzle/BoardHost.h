#pragma once

#include <string>

namespace Kavo
{

class BackgroundLoader;

// Values of the player's GUI flags word that the board sets at the player's first win of
// Untimed and of Timed, when it shows that win's message; the main menu opens Mastermind and
// Speedblitz by them.
constexpr int kGuiFlagUntimedWon = 2;
constexpr int kGuiFlagTimedWon = 4;

// What the board and its popups ask of the game application. The game application implements
// it and installs itself with SetBoardHost; tests install a fake. Every operation runs on the
// main thread. Until a host is installed a silent one answers (no flags, no stars, no loader).
class BoardHost
{
public:
    virtual ~BoardHost() = default;

    // --- Game flow ---

    // A game has ended (retry false), or the player answered yes to the retry question
    // (retry true). gameMode is the rules' GameMode, challengeKey their sChallengeModeID, extra
    // the system time in ms at which the game started. The board relies on nothing afterwards:
    // the host may remove it from the widget manager or start the next game on it.
    virtual void LevelOver(int gameMode, const std::string& challengeKey, int score, int level, int extra,
                           bool retry) = 0;
    // Cross-fades to the music track; nothing when it already plays.
    virtual void PlayMusicTrack(int track) = 0;
    // Leaves the board for the main menu (the board leaves the widget manager).
    virtual void ShowMainMenu() = 0;
    // Called at every new board of a level (not on a resume): raises the player's top level of
    // the mode when the level's flags ask for the level chooser.
    virtual void RecordTopLevelReached(int level) = 0;

    // --- The current player ---

    // The player's GUI flags word (the board sets kGuiFlagUntimedWon and kGuiFlagTimedWon
    // with SetGuiFlags).
    virtual int GetGuiFlags() = 0;
    virtual void SetGuiFlags(int flags) = 0;
    // The hint bits the player turned off (hint boxes read it and write it when they close).
    virtual int GetDisabledHints() = 0;
    virtual void SetDisabledHints(int hints) = 0;

    // --- Settings and services ---

    // The player's "TwinklingStars" setting: the star functions do nothing while it is off.
    virtual bool TwinklingStarsOn() = 0;
    // The background preloader; null when there is none (the board then draws no background).
    virtual BackgroundLoader* GetBackgroundLoader() = 0;
    // A cursor device (pad) for the board's cell cursor: the direction on each axis (its sign
    // counts) and the buttons (bit 1: main move, bit 2: alternate move). False when there is no
    // device; then nothing is read.
    virtual bool ReadCursorDevice(int& dirX, int& dirY, int& buttons)
    {
        (void)dirX;
        (void)dirY;
        (void)buttons;
        return false;
    }
};

// The host of the process: the installed one, or the silent one when none is.
BoardHost& GetBoardHost();
// Installs the host (not owned); null restores the silent one.
void SetBoardHost(BoardHost* host);

} // namespace Kavo
