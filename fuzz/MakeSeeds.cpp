// fuzz_seeds <folder>: writes the fuzz targets' seed corpora, <folder>/<target>/<name>, with the
// tests' fixture makers and the program's own writers. The corpora under fuzz/corpus/ were made
// by it (the Ogg Vorbis and MP3 seeds by kavosoundfixture, the XML, rules and text table seeds
// from data/).
#include "app/DemoFile.h"
#include "base/CFileSerializer.h"
#include "base/PakWriter.h"
#include "platform/files/Files.h"
#include "platform/files/Registry.h"
#include "puzzle/Board.h"
#include "rules/GameBoardLogic.h"
#include "rules/MatchGroup.h"
#include "rules/RulesFlags.h"
#include "tests/graphics/FontFixture.h"
#include "tests/graphics/ImageFixtures.h"
#include "tests/media/SoundTestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::string gFolder;

void Seed(const std::string& target, const std::string& name, const std::string& contents)
{
    platform::MakeDirectories(gFolder + target);
    const std::string path = gFolder + target + "/" + name;
    if (!platform::WriteFileAtomically(path, contents))
    {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string ReadBack(const std::string& path)
{
    std::string contents;
    platform::ReadFile(path, contents);
    platform::RemoveFile(path);
    return contents;
}

void ImageSeeds()
{
    using namespace imagefixture;
    const std::vector<uint32_t> pixels = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFFFFFFFF};
    Seed("tga", "rgba.tga", MakeTga(2, 2, pixels));
    Seed("tga", "with-id.tga", MakeTga(2, 2, pixels, 32, 0x08, 2, "id"));
    const uint32_t colors[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    Seed("gif", "plain.gif", MakeGif(2, 2, {0, 1, 2, 3}, colors));
    Seed("gif", "transparent-interlaced.gif", MakeGif(2, 3, {0, 1, 2, 3, 1, 0}, colors, 2, true));
    Seed("png", "rgba.png", MakePng(2, 2, pixels, {}));
    Seed("png", "palette.png", MakePng(2, 2, pixels, {8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE}));
    Seed("png", "grey16-interlaced.png",
         MakePng(2, 2, pixels, {16, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_ADAM7}));
    std::vector<uint32_t> big(8 * 8);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = 0xFF000000u | uint32_t(i * 0x030507);
    Seed("jpeg", "rgb.jpg", MakeJpeg(8, 8, big, 3, 50));
    Seed("jpeg", "grey.jpg", MakeJpeg(8, 8, big, 1, 50));
    Seed("jpeg", "cmyk-progressive.jpg", MakeJpeg(8, 8, big, 4, 50, true));
    Seed("jpeg2000", "codestream.j2k",
         MakeJ2k(4, 4, std::vector<uint32_t>(big.begin(), big.begin() + 16), false));
    Seed("jpeg2000", "file.jp2", MakeJ2k(4, 4, std::vector<uint32_t>(big.begin(), big.begin() + 16), true));
}

void SoundSeeds()
{
    using namespace soundtest;
    const std::string tone = Samples16({0, 3000, 6000, 3000, 0, -3000, -6000, -3000});
    Seed("sound_wav", "mono16.wav", MakeWave({{"fmt ", FmtChunk(1, 22050, 16)}, {"data", tone}}));
    Seed("sound_wav", "stereo8.wav",
         MakeWave({{"fmt ", FmtChunk(2, 11025, 8)}, {"LIST", "INFO"}, {"data", "\x80\x90\xA0\x90\x80\x70"}}));
    Seed("music", "mono16.wav", MakeWave({{"fmt ", FmtChunk(1, 22050, 16)}, {"data", tone}}));
    const std::string bytes("\x00\x10\x80\xFF\x7F\x20", 6);
    Seed("sound_au", "mulaw.au", MakeAu(1, 8000, 1, bytes));
    Seed("sound_au", "linear8-stereo.au", MakeAu(2, 8000, 2, bytes, 32));
}

void ArchiveSeed()
{
    Kavo::PakWriter writer;
    writer.AddFile("properties\\a.txt", "first line\r\nsecond\n", 0x01D0000000000000ull);
    writer.AddFile("images/b.bin", std::string("\x00\x01\x02\xB3", 4));
    writer.AddFile("empty", "");
    Seed("pak", "three-files.pak", writer.Build());
}

void DemoSeed()
{
    Kavo::DemoFileContents demo;
    demo.seed = 99;
    demo.version = "1.01";
    demo.markers = {{"start", 0}, {"later", 1500}};
    demo.finalUpdateCount = 2000;
    demo.events.WriteNumBits(0x2AB, 11);
    demo.events.WriteLong(0x12345678);
    const std::string path = gFolder + "demo.tmp";
    Kavo::WriteDemoFile(path, demo);
    const std::string markers = ReadBack(path);
    Seed("demo", "markers.dmo", markers);
    Seed("demoplay", "markers.dmo", markers);
    demo.formatVersion = 1;
    demo.markers.clear();
    Kavo::WriteDemoFile(path, demo);
    const std::string version1 = ReadBack(path);
    Seed("demo", "version1.dmo", version1);
    Seed("demoplay", "version1.dmo", version1);
}

void SettingsSeed()
{
    platform::RegistryStore store;
    const std::string key = "SOFTWARE\\VelquisGames\\Orlavintide";
    store.CreateKey(key + "\\Players\\Ann");
    store.SetValue(key, "MusicVolume", platform::kRegDword, std::string("\x55\x00\x00\x00", 4));
    store.SetValue(key, "LastPlayer", platform::kRegString, "Ann");
    store.SetValue(key + "\\Players\\Ann", "Progress", platform::kRegBinary, std::string("\x01\x00\xFF", 3));
    Seed("settings", "players.reg", store.Serialize());
}

void SavedGameSeeds()
{
    const std::string path = gFolder + "game.tmp";
    {
        Kavo::GameBoardLogic board;
        board.rules.Random().Seed(1); // the generator's state is saved; unseeded it follows the clock
        Kavo::CFileSerializer writer(path, false, 1);
        board.Serialize(writer);
    }
    Seed("savedgame", "new-game.sav", ReadBack(path));
    {
        Kavo::GameBoardLogic board;
        board.rules.RandomSeed = 4242;
        board.rules.nWidth = 7;
        board.rules.nHeight = 8;
        for (Kavo::LevelSpecificConfig& level : board.rules.levels)
        {
            for (int i = Kavo::prColor1; i <= Kavo::prColor5; ++i)
                level.PieceRatio[i] = 10;
            level.PieceRatio[Kavo::prBlackHole] = 1;
            level.PieceRatio[Kavo::prWild] = 1;
            level.sTileLayout = "0120120120";
        }
        board.ResetForLevel(2, true);
        Kavo::MatchGroupList groups;
        int x, y;
        for (int i = 0; i < 10; ++i)
            board.ResolveMove(Kavo::mtFourSquareRotateCW, i % 7, (i * 3) % 8, x, y, groups);
        board.StartBlackHoleAt(3, 3);
        Kavo::CFileSerializer writer(path, false, 1);
        board.Serialize(writer);
    }
    Seed("savedgame", "level2-played.sav", ReadBack(path));
}

// The board screen's saved games: the game mode, then the engine's and the board's state, as
// Board::SaveGame writes them; one of a new game, one with a slide, an explosion and a floating
// text under way.
void BoardGameSeeds()
{
    const std::string path = gFolder + "board.tmp";
    Kavo::GameRulesConfig rules;
    for (Kavo::LevelSpecificConfig& level : rules.levels)
        for (int i = Kavo::prColor1; i <= Kavo::prColor4; ++i)
            level.PieceRatio[i] = 10;
    rules.Random().Seed(1);
    Kavo::Board board(nullptr, rules);
    auto save = [&](const std::string& name)
    {
        {
            Kavo::CFileSerializer writer(path, false, Kavo::Board::kSavedGameVersion);
            int32_t mode = 2;
            writer.SerializeInt(mode);
            board.Serialize(writer);
        }
        Seed("boardgame", name, ReadBack(path));
    };
    save("new-game.dat");
    Kavo::BoardAnimation slide;
    slide.fromX = 1;
    slide.fromY = 0;
    slide.toX = 2;
    slide.toY = 0;
    slide.progress = 0.5f;
    board.mSlideAnimations.push_back(slide);
    Kavo::BoardAnimation explosion;
    explosion.fromX = 3;
    explosion.fromY = 4;
    explosion.label = "+50";
    board.mExplosionAnimations.push_back(explosion);
    board.mFloatingTexts.push_back({});
    board.mFloatingTexts.back().text = "Combo";
    board.mTutorialStep = 2;
    save("under-way.dat");
}

void FontSeeds()
{
    Seed("fontdesc", "layers.txt", FontFixture::kDescription);
    Seed("fontwidths", "widths.txt", "4 5\na 3\nb 2 \xE9 1\n");
    Seed("fontwidths", "past-the-strip.txt", "4 5\nA 30\n. 2\n-");
}

void ManifestSeed()
{
    Seed("manifest", "groups.xml",
         "<ResourceManifest>\n"
         "<Resources id=\"Init\">\n"
         "  <SetDefaults path=\"images\" idprefix=\"IMAGE_\"/>\n"
         "  <Image id=\"STRIP\" path=\"strip\" cols=\"4\" rows=\"2\" anim=\"loop\" framedelay=\"5\""
         " framemap=\"0,1,2\" perframedelay=\"1,2,3\"/>\n"
         "  <Image id=\"ALPHA\" path=\"a\" alphaimage=\"a_\" alphagrid=\"grid\" nopal=\"true\"/>\n"
         "  <Sound id=\"CLICK\" path=\"sounds/click\" volume=\"0.5\" pan=\"-300\"/>\n"
         "  <Font id=\"SYS\" path=\"!sys:Sans\" size=\"12\" bold=\"true\"/>\n"
         "  <Font id=\"BITMAP\" path=\"fonts/small.txt\" tags=\"bold\"/>\n"
         "  <Image id=\"GREY\" path=\"b\" alphacolor=\"808080\" noalpha=\"true\" variant=\"x\"/>\n"
         "</Resources>\n"
         "<Resources id=\"Later\">\n"
         "  <Image id=\"ONCE\" path=\"!program\" anim=\"pingpong\" begindelay=\"2\" enddelay=\"10\"/>\n"
         "</Resources>\n"
         "</ResourceManifest>\n");
}

void CrashSeeds()
{
    Seed("http", "length.txt",
         "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Type: text/plain\r\n\r\nthanks");
    Seed("http", "chunked.txt",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nthan\r\n2\r\nks\r\n0\r\n\r\n");
    Seed("http", "until-close.txt", "HTTP/1.0 200 OK\r\nConnection: close\r\n\r\nthe rest");
    Seed("http", "not-found.txt", "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    // A link map as the build writes it: sections, symbols, and a block of line numbers whose
    // rows hold four entries of 20 characters.
    Seed("linkmap", "game.map",
         " game\r\n"
         " 0001:00001000 00000200H .text                   CODE\n"
         " 0001:00000200       _Z3Foov 0000000000401200 f foo.o\r\n"
         " 0001:00000300       _ZN4Kavo2FnEi 0000000000401300 f bar.o\n"
         " 0002:00000010       _Z4Datav 0000000000402010 f data.o\n"
         " 0003:00000000       X0003:00000000 0000000000403000\n"
         "Line numbers for foo.o(F.cpp) segment .text\n\n"
         "   120 0001:00000230   121 0001:00000240   122 0001:00000250   123 0001:00000260\n"
         "   124 0001:00000270\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    gFolder = std::string(argv[1]) + "/";
    platform::MakeDirectories(gFolder);
    ImageSeeds();
    SoundSeeds();
    ArchiveSeed();
    DemoSeed();
    SettingsSeed();
    SavedGameSeeds();
    BoardGameSeeds();
    FontSeeds();
    ManifestSeed();
    CrashSeeds();
    return 0;
}
