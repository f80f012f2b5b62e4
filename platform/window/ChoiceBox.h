#pragma once

#include <string>
#include <vector>

namespace platform
{

// True when a box has a desktop to show on (a display is named and the video driver is not
// one that shows nothing, such as the tests' dummy driver).
bool ChoiceBoxDisplayAvailable();

// A box with the caller's text and buttons (Windows-1252), on a window of its own, from any
// thread; blocks until it is answered. Returns the index of the pressed button, closeAnswer
// when the box was closed without one, or -1 when no box could be shown.
int ShowChoiceBox(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
                  int closeAnswer);

} // namespace platform
