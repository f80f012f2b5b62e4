#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Showing the screen in the main window: the renderer made for the window (SDL picks it:
// OpenGL where there is one, its software renderer headless) and a streaming texture of the
// screen's size, scaled to the desktop in full screen, with vertical sync where the driver
// offers it. The display module (DirectDisplay) shows its primary surface through it.
// Main thread only.
namespace platform
{

// Makes the window's renderer (kept until the window goes) and sets its vertical sync. False
// with a reason when there is no main window or no renderer can be made.
bool OpenScreen(bool vsync, std::string& error);
void CloseScreen();
bool ScreenIsOpen();
// Shows width x height words 0xAARRGGBB (pitch in bytes); the size may change between calls.
// False when it could not be shown.
bool PresentScreen(const uint32_t* pixels, int width, int height, int pitchBytes);
// Whether the renderer paces presents by the display's refresh.
bool ScreenHasVSync();
// The renderer's name ("opengl", "software" ...), empty without one.
std::string ScreenRendererName();
// What the window shows since the last present, the whole window as 0xAARRGGBB words, for tests
// and checks. False where the renderer keeps no copy of it the program can read (only SDL's
// software renderer does).
bool ReadShownScreen(std::vector<uint32_t>& argb, int& width, int& height);

} // namespace platform
