#pragma once

// Internal to the platform layer: the keys the private desktop's windows take, as the desktop
// names them, shared by the connection that reads them and the probe that types them.
#include "platform/window/Messages.h"

#include <X11/keysym.h>

namespace platform::detail
{

struct X11Key
{
    int virtualKey;
    unsigned long sym;       // the key's symbol, which the probe types
    unsigned long alternate; // another symbol of the same key (the keypad's, Shift+Tab's); 0 none
};

inline constexpr X11Key kX11Keys[] = {
    {VK_RETURN, XK_Return, XK_KP_Enter},  {VK_ESCAPE, XK_Escape, 0},
    {VK_TAB, XK_Tab, XK_ISO_Left_Tab},    {VK_BACK, XK_BackSpace, 0},
    {VK_DELETE, XK_Delete, XK_KP_Delete}, {VK_LEFT, XK_Left, XK_KP_Left},
    {VK_RIGHT, XK_Right, XK_KP_Right},    {VK_UP, XK_Up, XK_KP_Up},
    {VK_DOWN, XK_Down, XK_KP_Down},       {VK_HOME, XK_Home, XK_KP_Home},
    {VK_END, XK_End, XK_KP_End},          {VK_PRIOR, XK_Prior, XK_KP_Prior},
    {VK_NEXT, XK_Next, XK_KP_Next},       {VK_SPACE, XK_space, 0},
};

} // namespace platform::detail
