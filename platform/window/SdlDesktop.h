#pragma once

// Internal to the platform layer: the desktop state shared by the window, message and screen
// modules.
#include <SDL.h>

#include <atomic>
#include <bitset>
#include <string>

namespace platform::detail
{

struct Desktop
{
    bool videoUp = false;
    std::string videoError;
    SDL_Window* window = nullptr;
    bool fullscreen = false;
    int clientWidth = 0; // the main window's size as made; a window that may be maximised keeps it
    int clientHeight = 0;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int screenWidth = 0; // size of the presented screen image (logical size in full screen)
    int screenHeight = 0;
    bool rendererVSync = false;
    // Without a renderer the screen image is copied into the window's own surface. The surface
    // it was last drawn into, and that surface's size (a new one is drawn whole).
    SDL_Surface* shownSurface = nullptr;
    int shownWidth = 0;
    int shownHeight = 0;
    // Where the screen image lands in that surface (scaled in full screen, bars beside or below
    // it) and the scale: mouse positions are mapped back through it.
    SDL_Rect viewport{0, 0, 0, 0};
    float viewportScale = 1.0f;
    // Counts renderers made and closed: a texture made under another count is gone.
    uint64_t rendererGeneration = 1;
    int renderersMade = 0;
    // The thread that brought the video up: the only one that may call SDL's video and
    // renderer functions.
    SDL_threadID mainThread = 0;
    // The main window's X11 window, for the crash windows' connection to hide it from another
    // thread; 0 without one.
    std::atomic<unsigned long> x11Window{0};
    // The last cursor position in game coordinates and whether it is over the window; written
    // by the message pump, read by any thread.
    std::atomic<int> mouseX{0};
    std::atomic<int> mouseY{0};
    std::atomic<bool> mouseInside{false};
    // The keys the desktop's events have pressed and not let go, by virtual-key code, with the
    // desktop's scancode of each; kept when the main window is replaced (main thread).
    std::bitset<256> keysDown;
    SDL_Scancode keyScancodes[256] = {};
    // The modifier keys held as of the last key event translated (main thread): text typed
    // between two key events is read with them, not with the state at the end of the events
    // the desktop has delivered so far.
    uint16_t keyModifiers = 0;
};

Desktop& GetDesktop();

// Whether the caller runs on the thread that brought the video up.
bool OnVideoThread();

// A pointer position of a mouse event to game coordinates. In full screen the renderer maps
// events to the scaled screen image itself; without a renderer they are mapped here through the
// viewport, as the renderer would. A position over the bars beside or below the image is kept on
// its nearest edge, as on a desktop of the game's own size.
void WindowToGame(int& x, int& y);

} // namespace platform::detail
