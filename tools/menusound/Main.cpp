// kavomenusound: writes the short two-note click that stands for the desktop's "Menu Command"
// sound, as sounds/menu_command.wav in the game's folder.
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"

#include <cmath>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: kavomenusound <content folder> <game folder>\n");
        return 2;
    }
    const int rate = 22050;
    const int frames = rate * 70 / 1000;
    std::string data;
    for (int i = 0; i < frames; ++i)
    {
        const double t = double(i) / rate;
        const double hertz = i < frames / 2 ? 1318.5 : 1760.0;
        const double envelope = std::exp(-t * 40.0);
        platform::AppendLE16(
            data, uint16_t(int16_t(std::lround(9000 * envelope * std::sin(6.283185307 * hertz * t)))));
    }
    std::string wave = "RIFF";
    platform::AppendLE32(wave, uint32_t(36 + data.size()));
    wave += "WAVEfmt ";
    platform::AppendLE32(wave, 16);
    platform::AppendLE16(wave, 1);
    platform::AppendLE16(wave, 1);
    platform::AppendLE32(wave, rate);
    platform::AppendLE32(wave, rate * 2);
    platform::AppendLE16(wave, 2);
    platform::AppendLE16(wave, 16);
    wave += "data";
    platform::AppendLE32(wave, uint32_t(data.size()));
    wave += data;
    const std::string folder = std::string(argv[2]) + "/sounds/";
    if (!platform::MakeDirectories(folder) ||
        !platform::WriteFileAtomically(folder + "menu_command.wav", wave))
    {
        std::fprintf(stderr, "kavomenusound: cannot write %smenu_command.wav\n", folder.c_str());
        return 1;
    }
    return 0;
}
