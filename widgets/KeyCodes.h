#pragma once

namespace Kavo
{

// The virtual-key codes the widgets act on (their Windows values: demo files and the key table
// store them).
enum KeyCode
{
    KEYCODE_BACK = 8,
    KEYCODE_TAB = 9,
    KEYCODE_RETURN = 13,
    KEYCODE_SHIFT = 16,
    KEYCODE_CONTROL = 17,
    KEYCODE_END = 35,
    KEYCODE_HOME = 36,
    KEYCODE_LEFT = 37,
    KEYCODE_UP = 38,
    KEYCODE_RIGHT = 39,
    KEYCODE_DOWN = 40,
    KEYCODE_DELETE = 46,
    KEYCODE_A = 65,
    KEYCODE_Y = 89,
};

} // namespace Kavo
