#include "tests/puzzle/BoardTestSupport.h"

#include "base/StringTable.h"
#include "graphics/Graphics.h"
#include "graphics/ImageLib.h"
#include "media/ResourceManager.h"
#include "puzzle/BackgroundLoader.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/TwinklingStars.h"
#include "puzzle/YesNoDialog.h"
#include "rules/Pieces.h"
#include "tests/ScratchNames.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"
#include "widgets/WidgetManager.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace
{

using namespace Kavo;

class GameWidgetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StringTable::LoadFile(std::string(KAVO_SOURCE_DIR) + "/data/properties/strings.txt");
        app.Initialize();
        SetBoardHost(&host);
        screen.Create(200, 200);
    }
    void TearDown() override { SetBoardHost(nullptr); }
    uint32_t Pixel(int x, int y) { return screen.GetBits()[size_t(y) * 200 + size_t(x)]; }

    platform::FakeClock clock;
    boardtest::FixtureResources resources;
    boardtest::BoardApp app;
    boardtest::FakeHost host;
    MemoryImage screen;
};

// Two colours equal but for blending's rounding.
bool Near(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > 2) return false;
    return true;
}

// The fixture's colour of a cel of a strip.
uint32_t Cel(int column, int row = 0)
{
    return 0xFF000000u | uint32_t(column * 20 + 10) << 16 | uint32_t(row * 20 + 10);
}

TEST(PulseScale, RisesTo115AndComesBack)
{
    struct Case
    {
        float t, scale;
    };
    for (const Case& c : {Case{0.0f, 0.0f}, Case{0.5f, 0.65f}, Case{1.0f, 1.0f}, Case{2.0f, 0.85f}})
        EXPECT_NEAR(PulseScale(c.t), c.scale, 1e-5) << c.t;
}

TEST_F(GameWidgetsTest, PiecesAreDrawnFromTheirStripsAndOverlays)
{
    Graphics g(&screen);
    // A maturing red piece: darkened, with the black hole at three quarters of its size.
    DrawPiece(&g, 10, 10, 62, 60, 1 | PieceMaturingFlag, 0.25f, 3);
    EXPECT_PRED2(Near, Pixel(41, 40), Cel(0, 0)) << "the black hole's first frame in the middle";
    uint32_t corner = Pixel(11, 11);
    EXPECT_NE(corner, Cel(0));
    EXPECT_NEAR(int(corner >> 16 & 0xFF), 5, 1) << "half dark";
    EXPECT_EQ(Pixel(16, 16), corner) << "outside the three-quarter black hole";

    // A supernova of colour 4 drawn small shows colour 4's cel; codes past the strip draw nothing.
    screen.Clear();
    DrawMiniPiece(&g, 0, 0, 4 | PieceSupernovaFlag);
    EXPECT_PRED2(Near, Pixel(5, 5), Cel(3));
    screen.Clear();
    DrawPiece(&g, 0, 0, 62, 60, 20, 1.0f, 0);
    DrawPieceSprite(&g, 0, 0, 62, 60, 20, 1.0f, false);
    DrawMiniPiece(&g, 0, 0, 20);
    DrawPieceOrExploding(&g, 0, 0, 62, 60, 20, 2);
    for (int y = 0; y < 130; y += 13)
        for (int x = 0; x < 130; x += 13)
            ASSERT_EQ(Pixel(x, y), 0u) << x << "," << y;

    // An explosion cel: column piece - 1 (10 for a black hole), row frame - 1, centred on the cell.
    DrawPieceOrExploding(&g, 31, 30, 62, 60, PieceBlackHole, 3);
    EXPECT_PRED2(Near, Pixel(0, 0), Cel(10, 2));
    // A blank or a gap draws nothing.
    screen.Clear();
    DrawPiece(&g, 0, 0, 62, 60, PieceGap, 1.0f, 0);
    EXPECT_EQ(Pixel(30, 30), 0u);
}

TEST_F(GameWidgetsTest, AFadeRunsItsStepsAndShowsTheProgressBeforeEachStep)
{
    struct Faded : Widget
    {
        Faded() : fader(this) {}
        void Update() override
        {
            Widget::Update();
            if (fader.fading)
                alphas.push_back(
                    int((fader.fadingIn ? 1.0f - fader.fadeProgress : fader.fadeProgress) * 255 + 0.5f));
            if (alphas.size() == 3) again = fader.FadeIn(5, Color::White); // a second fade while one runs
        }
        Fader fader;
        std::vector<int> alphas;
        bool again = true;
    } widget;
    app.mWidgetManager->AddWidget(&widget);
    int before = app.mUpdateCount;
    EXPECT_TRUE(widget.fader.FadeOut(20, Color::Black));
    EXPECT_FALSE(widget.again) << "refused: its caller is inside the running fade";
    EXPECT_EQ(app.mUpdateCount - before, 20);
    ASSERT_EQ(widget.alphas.size(), 20u);
    EXPECT_EQ(widget.alphas.front(), 0);
    EXPECT_EQ(widget.alphas[1], 13);
    EXPECT_EQ(widget.alphas.back(), 242);
    EXPECT_FALSE(widget.fader.fading);
    EXPECT_EQ(widget.fader.fadeProgress, 1.0f);

    widget.alphas.clear();
    EXPECT_TRUE(widget.fader.FadeIn(0, Color::Black));
    EXPECT_TRUE(widget.alphas.empty());
    app.mWidgetManager->RemoveWidget(&widget);
}

TEST_F(GameWidgetsTest, AFadeNeverStartsInsideAnUpdatePass)
{
    struct Starter : Widget
    {
        Starter() : fader(this) {}
        void Update() override
        {
            Widget::Update();
            int before = gKavoApp->mUpdateCount;
            goOn = fader.FadeOut(20, Color::Black);
            ran = gKavoApp->mUpdateCount != before || fader.fadeSteps != 0;
        }
        Fader fader;
        bool ran = true;
        bool goOn = false;
    } widget;
    app.mWidgetManager->AddWidget(&widget);
    app.Run(1);
    EXPECT_FALSE(widget.ran);
    EXPECT_TRUE(widget.goOn) << "what follows the fade is done at once";
    app.mWidgetManager->RemoveWidget(&widget);
}

// The frames a fade runs may take its owner out of the manager or delete it: the fade stops
// there, reads nothing of a deleted owner, and tells its caller not to go on.
TEST_F(GameWidgetsTest, AFadeStopsWhenItsOwnerLeavesOrIsDeletedAndSaysSo)
{
    struct Owner : Widget
    {
        Owner(int step, bool deletes, bool* deleted, int* steps)
            : fader(this), step(step), deletes(deletes), deleted(deleted), steps(steps)
        {
        }
        ~Owner() override { *deleted = true; }
        void Update() override
        {
            Widget::Update();
            if (!fader.fading) return;
            *steps = fader.fadeStep;
            if (fader.fadeStep != step) return;
            mParent->RemoveWidget(this);
            if (deletes) gKavoApp->SafeDeleteWidget(this);
        }
        Fader fader;
        int step;
        bool deletes;
        bool* deleted;
        int* steps; // the last step whose update it saw
    };
    struct Case
    {
        int step; // the step whose frame takes the owner away; 0 none
        bool deletes;
        bool goOn;
        int steps;
    };
    for (const Case& c : {Case{0, false, true, 20}, Case{7, false, false, 7}, Case{1, true, false, 1},
                          Case{7, true, false, 7}, Case{20, true, false, 20}})
    {
        SCOPED_TRACE(testing::Message() << c.step << (c.deletes ? " deleted" : " removed"));
        bool deleted = false;
        int steps = 0;
        auto* owner = new Owner(c.step, c.deletes, &deleted, &steps);
        app.mWidgetManager->AddWidget(owner);
        EXPECT_EQ(owner->fader.FadeOut(20, Color::Black), c.goOn);
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(deleted, c.deletes);
        if (deleted) continue;
        EXPECT_FALSE(owner->fader.fading);
        EXPECT_EQ(owner->fader.fadeStep, c.step == 0 ? 21 : c.step) << "no step after it left";
        app.mWidgetManager->RemoveWidget(owner);
        delete owner;
    }
}

TEST_F(GameWidgetsTest, StarsLiveAHundredFramesAndAreDrawnByThe3DSetting)
{
    StarList stars;
    SpawnStar(stars);
    EXPECT_TRUE(stars.empty()) << "the setting is off";
    host.stars = true;
    for (int i = 0; i < 200; ++i)
        SpawnStar(stars);
    for (const StarRecord& star : stars)
    {
        ASSERT_TRUE(star.kind >= 0 && star.kind < 8);
        ASSERT_TRUE(star.x >= 10 && star.x < 790 && star.y >= 10 && star.y < 590);
    }
    stars.assign(1, StarRecord{0, 20, 20, 0.0f});
    for (int i = 0; i < 99; ++i)
        UpdateStarField(stars, 1.0f);
    EXPECT_EQ(stars.size(), 1u);
    UpdateStarField(stars, 1.0f);
    EXPECT_TRUE(stars.empty());

    // Kind 0: the first star plainly without 3D; with 3D the second star, faint at first.
    IMAGE_COMPLETION_STAR2 = boardtest::MakeImage(16, 16, 1, 1, [](int, int) { return 0xFF00FF00u; });
    std::unique_ptr<Image> star2(IMAGE_COMPLETION_STAR2);
    stars.assign(1, StarRecord{0, 20, 20, 0.0f});
    Graphics g(&screen);
    DrawStarField(stars, &g);
    EXPECT_PRED2(Near, Pixel(28, 28), Cel(0));
    screen.Clear();
    app.is3D = true;
    DrawStarField(stars, &g);
    EXPECT_NE(Pixel(28, 28) & 0x0000FF00u, 0u);
    EXPECT_EQ(Pixel(28, 28) & 0x00FF0000u, 0u);
    IMAGE_COMPLETION_STAR2 = nullptr;
}

// Given their screen, stars mark what they change on it: without 3D a star looks the same all
// its life, so only its birth and its end; with 3D every star at every step, in an area that
// holds it at any turn.
TEST_F(GameWidgetsTest, StarsMarkWhatTheyChangeOnTheirScreen)
{
    host.stars = true;
    Widget sky;
    sky.Resize(0, 0, 800, 600);
    WidgetManager& manager = *app.mWidgetManager;
    manager.AddWidget(&sky);
    auto marked = [&manager]()
    {
        std::vector<Rect> rects = manager.DirtyRects();
        manager.DrawScreen();
        return rects;
    };
    marked();

    StarList stars{StarRecord{3, 100, 120, 0.5f}};
    UpdateStarField(stars, 1.0f, &sky);
    EXPECT_TRUE(marked().empty());
    SpawnStar(stars, &sky);
    ASSERT_EQ(stars.size(), 2u);
    EXPECT_EQ(marked(), std::vector<Rect>{StarArea(stars[1])});
    const StarRecord ending = stars[0];
    stars[0].phase = 0.995f;
    UpdateStarField(stars, 1.0f, &sky);
    EXPECT_EQ(stars.size(), 1u);
    EXPECT_EQ(marked(), std::vector<Rect>{StarArea(ending)});

    app.is3D = true;
    stars = {StarRecord{1, 300, 200, 0.2f}};
    UpdateStarField(stars, 1.0f, &sky);
    EXPECT_EQ(marked(), std::vector<Rect>{StarArea(StarRecord{1, 300, 200, 0.2f})});
    // Every pixel a turned star draws lies in its area.
    for (float phase : {0.0f, 0.3f, 0.6f, 0.785f, 0.9f}) // turned by phase radians, fading out
    {
        screen.Clear();
        screen.Create(200, 200);
        StarList one{StarRecord{3, 80, 80, phase}};
        Graphics g(&screen);
        DrawStarField(one, &g);
        const Rect area = StarArea(one[0]);
        int inked = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (Pixel(x, y) != 0)
                {
                    ++inked;
                    EXPECT_TRUE(area.Contains(x, y)) << phase << ": " << x << "," << y;
                }
        EXPECT_GT(inked, 0) << phase;
    }
    manager.RemoveWidget(&sky);
}

struct RecordingListener : DialogListener
{
    void DialogButtonDepress(int dialogId, int buttonId) override
    {
        presses.push_back({dialogId, buttonId});
        bothDisabled =
            dialog->mFirstButton->mDisabled && (!dialog->mSecondButton || dialog->mSecondButton->mDisabled);
    }
    YesNoDialog* dialog = nullptr;
    std::vector<std::pair<int, int>> presses;
    bool bothDisabled = false;
};

TEST_F(GameWidgetsTest, TheYesNoDialogLaysOutItsButtonsAndOpensBeforeTheyTakeClicks)
{
    auto rect = [](Widget* w) { return std::vector<int>{w->mX, w->mY, w->mWidth, w->mHeight}; };
    {
        YesNoDialog one("Header", "Text", nullptr, true, 104);
        EXPECT_EQ(rect(&one), (std::vector<int>{225, 150, 350, 234}));
        EXPECT_EQ(rect(one.mFirstButton), (std::vector<int>{270, 327, 260, 35}));
        EXPECT_EQ(one.mFirstButton->mLabel, StringTable::GetString(203));
        EXPECT_EQ(one.mSecondButton, nullptr);
        one.SetNoButtonLabel("No");
        EXPECT_EQ(one.mSecondButton, nullptr);
    }
    RecordingListener listener;
    auto* two = new YesNoDialog("Header", "Text", &listener, false, 104);
    listener.dialog = two;
    EXPECT_EQ(rect(two->mFirstButton), (std::vector<int>{270, 327, 104, 35}));
    EXPECT_EQ(rect(two->mSecondButton), (std::vector<int>{426, 327, 104, 35}));
    EXPECT_EQ(two->mFirstButton->mLabel, StringTable::GetString(205));
    EXPECT_EQ(two->mSecondButton->mLabel, StringTable::GetString(206));

    app.AddDialogWithId(104, two);
    EXPECT_EQ(app.Count(SOUND_ZOOMOUT), 1);
    app.Run(14);
    auto clickSecond = [&]
    {
        app.mWidgetManager->MouseDown(470, 340, 1);
        app.mWidgetManager->MouseUp(470, 340, 1);
    };
    clickSecond();
    EXPECT_TRUE(listener.presses.empty()) << "the buttons are hidden while it opens";
    app.Run(1);
    EXPECT_TRUE(two->mSecondButton->mVisible);
    clickSecond();
    EXPECT_EQ(listener.presses, (std::vector<std::pair<int, int>>{{104, 1001}}));
    EXPECT_TRUE(listener.bothDisabled);
    clickSecond();
    EXPECT_EQ(listener.presses.size(), 1u);
    app.KillDialog(104);
    app.Run(1);
}

TEST_F(GameWidgetsTest, AGreyedButtonNeverReportsAndAChallengeButtonFollowsItsMedal)
{
    struct Listener : ButtonListener
    {
        void ButtonDepress(int id) override { ids.push_back(id); }
        std::vector<int> ids;
    } listener;
    FancyButton button(7, &listener, FancyButton::kMenuStyle);
    button.Resize(10, 10, 100, 30);
    app.mWidgetManager->AddWidget(&button);
    auto click = [&]
    {
        app.mWidgetManager->MouseDown(20, 20, 1);
        app.mWidgetManager->MouseUp(20, 20, 1);
    };
    EXPECT_TRUE(button.mHandCursor);
    button.SetGreyed(true);
    EXPECT_FALSE(button.mHandCursor);
    click();
    EXPECT_TRUE(listener.ids.empty());
    button.SetGreyed(false);
    click();
    EXPECT_EQ(listener.ids, std::vector<int>{7});
    app.mWidgetManager->RemoveWidget(&button);

    FancyChallengeButton challenge(3, &listener);
    challenge.SetChallenge("1-3", "Title", -1);
    EXPECT_TRUE(challenge.mDisabled);
    challenge.SetMedal(3);
    EXPECT_FALSE(challenge.mDisabled);
    EXPECT_EQ(challenge.mSpinSpeed, 1.5f);
    challenge.UpdateF(10.0f);
    EXPECT_FLOAT_EQ(challenge.mSpinAngle, 0.075f);
    // Only the 3D drawing shows the turn, so only then does a step mark the button.
    challenge.Resize(0, 0, 80, 80);
    app.mWidgetManager->AddWidget(&challenge);
    app.mWidgetManager->DrawScreen();
    challenge.UpdateF(1.0f);
    EXPECT_FALSE(challenge.mDirty);
    app.is3D = true;
    challenge.UpdateF(1.0f);
    EXPECT_TRUE(challenge.mDirty);
    app.mWidgetManager->RemoveWidget(&challenge);
    app.is3D = false;
    challenge.SetMedal(0);
    EXPECT_EQ(challenge.mSpinSpeed, 1.5f);
}

// A loader whose worker waits at a gate the test opens, counting loads per id and deletions.
class GatedLoader : public BackgroundLoader
{
public:
    struct Picture : MemoryImage
    {
        explicit Picture(std::atomic<int>* deleted) : mDeleted(deleted) {}
        ~Picture() override { ++*mDeleted; }
        std::atomic<int>* mDeleted;
    };

    GatedLoader() : BackgroundLoader(nullptr) {}
    ~GatedLoader() override
    {
        Open();
        WaitForWorker();
    }
    void Close()
    {
        std::lock_guard<std::mutex> lock(mGateLock);
        mOpen = false;
    }
    void Open()
    {
        {
            std::lock_guard<std::mutex> lock(mGateLock);
            mOpen = true;
        }
        mGate.notify_all();
    }
    int Loads(int id)
    {
        std::lock_guard<std::mutex> lock(mGateLock);
        return mLoads[id];
    }
    std::atomic<int> deleted{0};

protected:
    Image* LoadBackgroundImage(int id) override
    {
        std::unique_lock<std::mutex> lock(mGateLock);
        ++mLoads[id];
        mGate.wait(lock, [this] { return mOpen; });
        return new Picture(&deleted);
    }

private:
    std::mutex mGateLock;
    std::condition_variable mGate;
    bool mOpen = true;
    std::map<int, int> mLoads;
};

TEST(BackgroundLoader, HandsOutPreloadedBackgroundsAndLoadsEachOnce)
{
    GatedLoader loader;
    Image* first = loader.GetBackground(1);
    EXPECT_EQ(loader.GetBackground(1), first);
    EXPECT_EQ(loader.Loads(1), 1);
    EXPECT_EQ(loader.GetCurrentId(), 1);

    loader.Preload(2);
    while (!loader.IsWorkerDone())
        std::this_thread::yield();
    loader.Preload(2);
    EXPECT_TRUE(loader.IsWorkerDone()) << "a preloaded id starts no worker";
    EXPECT_EQ(loader.Loads(2), 1);

    // An id neither current nor preloaded is loaded at once; the preloaded one stays.
    loader.GetBackground(4);
    EXPECT_EQ(loader.Loads(4), 1);
    EXPECT_EQ(loader.deleted, 1) << "the replaced current background";
    loader.GetBackground(2);
    EXPECT_EQ(loader.Loads(2), 1);

    // Asking for the id being loaded waits for the worker and takes its image.
    loader.Close();
    loader.Preload(3);
    std::thread opener(
        [&]
        {
            while (loader.Loads(3) == 0)
                std::this_thread::yield();
            loader.Open();
        });
    Image* third = loader.GetBackground(3);
    opener.join();
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(loader.Loads(3), 1);

    // A current background given away survives its replacement.
    int deleted = loader.deleted;
    loader.SetCurrentNotOwned(true);
    loader.GetBackground(5);
    EXPECT_EQ(loader.deleted, deleted);
    delete third;
    EXPECT_EQ(loader.GetBackground(0), nullptr);
    EXPECT_EQ(loader.GetCurrentId(), 5);
}

TEST_F(GameWidgetsTest, BindingStopsAtTheFirstMissingIdWithTheEarlierOnesBound)
{
    std::string folder = scratch::FreshFolder("binding-");
    const char* names[] = {"IMAGE_LOADER_BACKGROUND", "IMAGE_LOADER_LOGO", "IMAGE_LOADER_MOON",
                           "IMAGE_LOADER_PLANET",     "IMAGE_VELQUIS",     "IMAGE_PUBLISHER",
                           "IMAGE_SPLASH1",           "IMAGE_SPLASH2"};
    std::string manifest = "<ResourceManifest><Resources id=\"TitleScreen\">";
    for (const char* name : names)
    {
        ImageLib::Image pixels;
        ASSERT_TRUE(pixels.Allocate(2, 1));
        ASSERT_TRUE(ImageLib::WritePNG(folder + name + ".png", pixels));
        manifest += std::string("<Image id=\"") + name + "\" path=\"" + folder + name + "\"/>";
    }
    manifest += "</Resources></ResourceManifest>";
    std::ofstream(folder + "resources.xml") << manifest;
    ResourceManager& manager = *app.mResourceManager;
    ASSERT_TRUE(manager.LoadManifest(folder + "resources.xml")) << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("TitleScreen")) << "[" << manager.GetErrorText() << "]";

    IMAGE_SPLASH3 = nullptr;
    EXPECT_FALSE(ExtractTitleScreenResources(&manager));
    Image* bound[] = {IMAGE_LOADER_BACKGROUND, IMAGE_LOADER_LOGO, IMAGE_LOADER_MOON, IMAGE_LOADER_PLANET,
                      IMAGE_VELQUIS,           IMAGE_PUBLISHER,   IMAGE_SPLASH1,     IMAGE_SPLASH2};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(bound[i], manager.GetImageOrThrow(names[i]).GetImage()) << names[i];
    EXPECT_EQ(IMAGE_SPLASH3, nullptr);
    EXPECT_FALSE(ExtractTitleScreenResources(&manager));
    EXPECT_EQ(IMAGE_LOADER_LOGO, bound[1]) << "binding again gives the same pointers";
    for (Image*& image : {std::ref(IMAGE_LOADER_BACKGROUND), std::ref(IMAGE_LOADER_LOGO),
                          std::ref(IMAGE_LOADER_MOON), std::ref(IMAGE_LOADER_PLANET), std::ref(IMAGE_VELQUIS),
                          std::ref(IMAGE_PUBLISHER), std::ref(IMAGE_SPLASH1), std::ref(IMAGE_SPLASH2)})
        image = nullptr;
}

} // namespace
