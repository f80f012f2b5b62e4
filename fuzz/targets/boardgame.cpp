// The board screen's saved game: the game mode, the rules engine's part and the board's own state
// (slide and explosion animations, floating texts, level start and end, cursor, tutorial step),
// resumed by a board of the real application as the game resumes one. A game that resumes is
// updated three times and drawn, so a state the reader lets through must also be one the board
// can run and draw.
#include "base/PathUtils.h"
#include "base/StringTable.h"
#include "fuzz/FuzzTarget.h"
#include "graphics/Graphics.h"
#include "platform/files/Files.h"
#include "puzzle/BoardHost.h"
#include "tests/puzzle/BoardTestSupport.h"

#include <cstdlib>

namespace
{

constexpr int kVersionDialogId = 104;

// The application, the board's pictures and its host, made once: starting the application is
// what takes the time.
struct Screen
{
    Screen()
    {
        Kavo::StringTable::LoadFile(std::string(KAVO_SOURCE_DIR) + "/data/properties/strings.txt");
        app.Initialize();
        Kavo::SetBoardHost(&host);
    }

    platform::FakeClock clock;
    boardtest::BoardApp app;
    boardtest::FixtureResources resources;
    boardtest::FakeHost host;
};

} // namespace

KAVO_FUZZ_TARGET(boardgame)
{
    static Screen* screen = new Screen; // left for the process's end
    const std::string name = "fuzz.dat";
    platform::MakeDirectories(Kavo::GetAppDataFolder());
    if (!platform::WriteFileAtomically(Kavo::Board::SavedGamePath(name), fuzz::AsText(data, size)))
        std::abort();

    Kavo::GameRulesConfig rules;
    for (int n = 1; n <= Kavo::GameRulesConfig::kLevelRecords; ++n)
        for (int i = 0; i < 4; ++i)
            rules.GetLevelConfig(n).PieceRatio[i] = 10;
    Kavo::Board board(&screen->app, rules);
    board.Resize(0, 0, 800, 600);
    if (board.ResumeFromSaveFile(name, false))
    {
        // Updated and drawn directly: shown through the widget manager, the board would first
        // fade the whole screen in, frame by frame.
        for (int i = 0; i < 3; ++i)
            board.Update();
        static Kavo::MemoryImage* image = []
        {
            auto* made = new Kavo::MemoryImage();
            made->Create(800, 600);
            return made;
        }();
        Kavo::Graphics g(image);
        board.Draw(&g);
        board.DrawOverlay(&g);
    }
    screen->app.KillDialog(kVersionDialogId);
    return 0;
}
