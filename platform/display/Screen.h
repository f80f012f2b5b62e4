#pragma once

#include "platform/display/DisplayTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Texture;

// Showing the screen in the main window, by one of two roads:
//   - the window's own surface: the screen image is copied from main memory into it, only the
//     rectangles that changed, and the desktop is told of those alone. No renderer is made, so
//     nothing of the system's 3D libraries is loaded. In full screen the image is scaled to the
//     desktop with bilinear filtering, keeping its shape (bars beside or below it), again only
//     where it changed.
//   - the renderer the 3D device draws with (SDL picks it: OpenGL where there is one, its
//     software renderer headless): the whole window is drawn at each present, from a texture of
//     the screen image, scaled to the desktop in full screen, with vertical sync where the
//     driver offers it.
// The display module (DirectDisplay) shows its primary surface through it. Main thread only.
namespace platform
{

enum class ScreenRoad
{
    WindowSurface,
    Renderer,
};

// Sets the road for the main window. The renderer road makes the window's renderer (kept until
// the window goes or the road changes) and sets its vertical sync; the surface road lets a
// renderer go. False with a reason when there is no main window or no renderer can be made.
bool OpenScreen(ScreenRoad road, bool vsync, std::string& error);
void CloseScreen();
// Whether the screen shows through a renderer now.
bool ScreenHasRenderer();

// A screen image in main memory: width x height pixels of a 16- or 32-bit format, rows pitch
// bytes apart.
struct ScreenImage
{
    const uint8_t* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    PixelFormat format;
};
// Shows the rectangles of the image that changed since the last present (the whole image when
// the window was not shown from one of this size before). A present of the whole image (a
// repaint: the desktop lost what the window showed) draws the whole window, the bars beside a
// scaled image black again. The size may change between calls. False when it could not be shown.
bool PresentScreen(const ScreenImage& image, const std::vector<SurfaceRect>& changed);
// Shows width x height words 0xAARRGGBB whole (pitch in bytes).
bool PresentScreen(const uint32_t* pixels, int width, int height, int pitchBytes);
// The renderer road: shows a texture of the renderer (a render target holding the screen image
// of width x height) whole, without reading it back.
bool PresentScreenTexture(SDL_Texture* texture, int width, int height);

// The renderer's name ("opengl", "software" ...), empty on the surface road.
std::string ScreenRendererName();
// What the window shows since the last present, the whole window as 0xAARRGGBB words, for tests
// and checks. False where nothing the program can read holds it (a renderer other than SDL's
// software one).
bool ReadShownScreen(std::vector<uint32_t>& argb, int& width, int& height);

} // namespace platform
