#pragma once

#include <cstdint>
#include <string>

// Presenting frames: the screen image (32-bit 0xAARRGGBB pixels) shown in the main window,
// through a renderer and a streaming texture; scaled to the desktop in full screen, with
// vertical sync where the driver offers it. Main thread only.
namespace platform
{

// Faults a test can make the next calls meet.
enum class ScreenFault
{
    None,
    RefuseFullscreen, // OpenScreen in full screen fails as a refused display mode
    LosePresents,     // PresentScreen fails (as a lost surface) until the fault is cleared
};
void SetScreenFault(ScreenFault fault);

// Attaches presentation to the main window for a screen of width x height pixels.
// False with a reason when the window is missing or the renderer cannot be made;
// fullscreenRefused tells a refused full-screen mode apart from other failures.
bool OpenScreen(int width, int height, bool vsync, std::string& error, bool& fullscreenRefused);
void CloseScreen();
bool ScreenIsOpen();
// Shows a frame of the opened size; pitch in bytes. False when it could not be shown.
bool PresentScreen(const uint32_t* pixels, int pitchBytes);
// Whether the renderer paces presents by the display's refresh.
bool ScreenHasVSync();

} // namespace platform
