#include "platform/window/ChoiceBox.h"

#include "platform/files/TextEncoding.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>

namespace platform
{

bool ChoiceBoxDisplayAvailable()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

int ShowChoiceBox(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
                  int closeAnswer)
{
    if (!ChoiceBoxDisplayAvailable() || buttons.empty()) return -1;
    std::vector<std::string> labels;
    for (const std::string& label : buttons)
        labels.push_back(Cp1252ToUtf8(label));
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < labels.size(); ++i)
    {
        Uint32 flags = i == 0 ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        data.push_back({flags, int(i), labels[i].c_str()});
    }
    std::string utf8Title = Cp1252ToUtf8(title), utf8Text = Cp1252ToUtf8(text);
    SDL_MessageBoxData box = {SDL_MESSAGEBOX_ERROR, nullptr, utf8Title.c_str(), utf8Text.c_str(),
                              int(data.size()), data.data(), nullptr};
    int answer = -1;
    if (SDL_ShowMessageBox(&box, &answer) != 0) return -1;
    return answer >= 0 && answer < int(labels.size()) ? answer : closeAnswer;
}

} // namespace platform
