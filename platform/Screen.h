#pragma once

#include <cstdint>
#include <string>

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

} // namespace platform
