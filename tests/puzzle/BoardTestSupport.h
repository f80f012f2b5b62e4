#pragma once

// The board driven through the real application object, headless: the fake clock, SDL's dummy
// drivers, an application that writes down the sounds it is asked to play and answers "3D" as a
// test says, a board host that writes down what the board asks of the game, and small fixture
// images of the sizes the board draws with, each a solid colour per cel.
#include "graphics/MemoryImage.h"
#include "platform/system/Clock.h"
#include "puzzle/Board.h"
#include "puzzle/BoardHost.h"
#include "puzzle/ResourceIds.h"
#include "tests/app/AppTestSupport.h"
#include "tests/rules/HeadlessGame.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace boardtest
{

class BoardApp : public apptest::TestApp
{
public:
    BoardApp()
    {
        mWidth = 800;
        mHeight = 600;
    }
    bool Is3DAccelerated() override { return is3D; }
    void PlaySample(int soundId) override { sounds.push_back(soundId); }
    // n updates, each followed by the fractional pass of one update unit, as the game's
    // display-paced loop runs them. Counted exactly: as on a screen the player uses, so a board
    // that stands still does not have its updates run five at a time.
    void Run(int n)
    {
        for (int i = 0; i < n && !mShutdown; ++i)
        {
            mLastInputSeenTick = platform::Clock::Get().Ticks();
            RunUpdates(1);
            mWidgetManager->UpdateFrameF(1.0f);
        }
    }
    int Count(int soundId) const { return int(std::count(sounds.begin(), sounds.end(), soundId)); }

    bool is3D = false;
    std::vector<int> sounds;
};

class FakeHost : public Kavo::BoardHost
{
public:
    struct LevelOverCall
    {
        int mode, score, level;
        std::string key;
        bool retry;
    };

    void LevelOver(int gameMode, const std::string& challengeKey, int score, int level, int,
                   bool retry) override
    {
        levelOvers.push_back({gameMode, score, level, challengeKey, retry});
    }
    void PlayMusicTrack(int track) override { tracks.push_back(track); }
    void ShowMainMenu() override { ++mainMenus; }
    void RecordTopLevelReached(int level) override { topLevels.push_back(level); }
    int GetGuiFlags() override { return guiFlags; }
    void SetGuiFlags(int flags) override { guiFlags = flags; }
    int GetDisabledHints() override { return disabledHints; }
    void SetDisabledHints(int hints) override { disabledHints = hints; }
    bool TwinklingStarsOn() override { return stars; }
    Kavo::BackgroundLoader* GetBackgroundLoader() override { return loader; }

    std::vector<LevelOverCall> levelOvers;
    std::vector<int> tracks;
    std::vector<int> topLevels;
    int mainMenus = 0;
    int guiFlags = 0;
    int disabledHints = 0;
    bool stars = false;
    Kavo::BackgroundLoader* loader = nullptr;
};

// An image of cols x rows cels of w x h pixels; cel (c, r) is filled with colour(c, r).
inline Kavo::MemoryImage* MakeImage(
    int w, int h, int cols = 1, int rows = 1,
    uint32_t (*colour)(int, int) = [](int c, int r)
    { return 0xFF000000u | uint32_t(c * 20 + 10) << 16 | uint32_t(r * 20 + 10); })
{
    auto* image = new Kavo::MemoryImage();
    std::vector<uint32_t> pixels(size_t(w * cols) * size_t(h * rows));
    for (int y = 0; y < h * rows; ++y)
        for (int x = 0; x < w * cols; ++x)
            pixels[size_t(y) * size_t(w * cols) + size_t(x)] = colour(x / w, y / h);
    image->SetBits(pixels.data(), w * cols, h * rows);
    image->numCols = cols;
    image->numRows = rows;
    return image;
}

// The board's images at their sizes, and a distinct id per sound; unbound again at the end.
class FixtureResources
{
public:
    FixtureResources()
    {
        Set(Kavo::IMAGE_PIECES, MakeImage(62, 60, 11));
        Set(Kavo::IMAGE_PIECES_MINI, MakeImage(31, 30, 11));
        Set(Kavo::IMAGE_BLACKHOLE, MakeImage(62, 60, 1, 8));
        Set(Kavo::IMAGE_SUPERNOVA, MakeImage(124, 120, 6));
        Set(Kavo::IMAGE_WILDCARD, MakeImage(62, 60));
        Set(Kavo::IMAGE_PIECESEXPLODING, MakeImage(124, 120, 11, 5));
        Set(Kavo::IMAGE_GRID_SQUARE, MakeImage(64, 62, 10));
        Set(Kavo::IMAGE_GRID_CROSSBEAM, MakeImage(10, 10));
        Set(Kavo::IMAGE_COMPLETION_METER, MakeImage(40, 320));
        Set(Kavo::IMAGE_COMPLETION_INDICATOR, MakeImage(40, 12));
        Set(Kavo::IMAGE_COMPLETION_STAR1, MakeImage(16, 16));
        Set(Kavo::IMAGE_COMPLETION_STAR2, MakeImage(16, 16));
        Set(Kavo::IMAGE_TIMELEFT_BAR, MakeImage(300, 20));
        Set(Kavo::IMAGE_BONUS, MakeImage(60, 30));
        Set(Kavo::IMAGE_COMBO, MakeImage(60, 30));
        Set(Kavo::IMAGE_DIALOG_BOX, MakeImage(100, 100));
        Set(Kavo::IMAGE_DIALOG_BUTTON, MakeImage(100, 35));
        Set(Kavo::IMAGE_CHECKBOX, MakeImage(20, 20, 2));
        int id = 100;
#define KAVO_FIXTURE_Image(name)
#define KAVO_FIXTURE_Font(name)
#define KAVO_FIXTURE_Sound(name) Sound(Kavo::name, id++);
#define KAVO_FIXTURE(kind, name) KAVO_FIXTURE_##kind(name)
        KAVO_GAME_RESOURCES(KAVO_FIXTURE)
#undef KAVO_FIXTURE
#undef KAVO_FIXTURE_Image
#undef KAVO_FIXTURE_Font
#undef KAVO_FIXTURE_Sound
    }
    ~FixtureResources()
    {
        for (auto& [slot, image] : mImages)
            *slot = nullptr;
        for (auto& [slot, old] : mSounds)
            *slot = old;
    }

private:
    void Set(Kavo::ImageResource& slot, Kavo::MemoryImage* image)
    {
        slot = image;
        mImages.emplace_back(&slot, std::unique_ptr<Kavo::MemoryImage>(image));
    }
    void Sound(Kavo::SoundResource& slot, int id)
    {
        mSounds.emplace_back(&slot, slot);
        slot = id;
    }

    std::vector<std::pair<Kavo::ImageResource*, std::unique_ptr<Kavo::MemoryImage>>> mImages;
    std::vector<std::pair<Kavo::SoundResource*, int>> mSounds;
};

} // namespace boardtest
