#include "graphics/Image.h"
#include "graphics/ImageRegistry.h"
#include "graphics/MemoryImage.h"
#include "graphics/NativeDisplay.h"
#include "graphics/SharedImageHandle.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using namespace Kavo;

TEST(Image, CelGeometryAndCopies)
{
    Image image;
    image.width = 40;
    image.height = 20;
    image.numCols = 4;
    image.numRows = 2;
    EXPECT_EQ(image.GetCelRect(5), Rect(10, 10, 10, 10));
    EXPECT_EQ(image.GetCelRect(0), Rect(0, 0, 10, 10));

    image.animInfo = std::make_unique<AnimInfo>();
    image.animInfo->numCels = 7;
    image.drawn = true;
    image.filePath = "images/x";
    Image copy(image);
    EXPECT_EQ(copy.width, 40);
    EXPECT_EQ(copy.numCols, 4);
    EXPECT_FALSE(copy.drawn);
    EXPECT_TRUE(copy.filePath.empty());
    ASSERT_TRUE(copy.animInfo);
    EXPECT_NE(copy.animInfo.get(), image.animInfo.get()); // deep copy
    EXPECT_EQ(copy.animInfo->numCels, 7);

    Image target;
    target.animInfo = std::make_unique<AnimInfo>();
    Image plain;
    plain.numRows = 3;
    Image::CopyAttributes(&plain, &target);
    EXPECT_EQ(target.numRows, 3);
    EXPECT_FALSE(target.animInfo); // the source has none
}

TEST(AnimInfo, Compute)
{
    struct Case
    {
        int type, frameDelay, cels, begin, end;
        std::vector<int> frameMap, delays;
        int numCels, total;
    } cases[] = {
        {AnimInfo::AnimPingPong, 1, 4, 0, 0, {0, 1, 2, 3, 2, 1}, {}, 6, 6},
        {AnimInfo::AnimPingPong, 1, 2, 0, 0, {0, 1}, {}, 2, 2},
        {AnimInfo::AnimPingPong, 1, 1, 0, 0, {}, {}, 1, 1},
        {AnimInfo::AnimLoop, 10, 3, 50, 0, {}, {50, 10, 10}, 3, 70},
        {AnimInfo::AnimLoop, 10, 3, 0, 30, {}, {10, 10, 30}, 3, 50},
        {AnimInfo::AnimOnce, 0, 0, 0, 0, {}, {}, 1, 1}, // delay and count raised to 1
    };
    for (const Case& c : cases)
    {
        AnimInfo info;
        info.animType = c.type;
        info.frameDelay = c.frameDelay;
        info.Compute(c.cels, c.begin, c.end);
        EXPECT_EQ(info.frameMap, c.frameMap);
        EXPECT_EQ(info.perFrameDelay, c.delays);
        EXPECT_EQ(info.numCels, c.numCels);
        EXPECT_EQ(info.totalAnimTime, c.total);
    }
}

// Counts clean-up requests and live images.
class RecordingRegistry : public ImageRegistry
{
public:
    int cleanups = 0;
    int live = 0;
    NativeDisplay display;
    RecordingRegistry() { display.SetLayout8888(); }
    void AddMemoryImage(MemoryImage*) override { ++live; }
    void RemoveMemoryImage(MemoryImage*) override { --live; }
    void RemoveImageFromDisplay(MemoryImage*) override {}
    bool Is3DAccelerated() override { return false; }
    const NativeDisplay* GetNativeDisplay() override { return &display; }
    bool CopyTexturesToBits(MemoryImage*) override { return false; }
    void SetSharedImageCleanupNeeded() override { ++cleanups; }
};

TEST(SharedImageHandle, CountsReferencesAndNeverOwnsCopies)
{
    RecordingRegistry registry;
    ImageRegistry::Install(&registry);
    {
        SharedImage record;
        record.image = new MemoryImage(&registry);
        EXPECT_EQ(registry.live, 1);
        {
            SharedImageHandle a;
            a.AssignShared(&record);
            EXPECT_EQ(record.refCount, 1);
            SharedImageHandle b(a);
            EXPECT_EQ(record.refCount, 2);
            EXPECT_EQ(b.GetImage(), record.image);
            EXPECT_EQ(b.GetSharedImagePtr(), record.image);
            SharedImageHandle c;
            c.AssignHandle(a);
            EXPECT_EQ(record.refCount, 3);
        }
        EXPECT_EQ(record.refCount, 0);
        EXPECT_EQ(registry.cleanups, 1); // only when the count reaches 0
        delete record.image;
        EXPECT_EQ(registry.live, 0);

        MemoryImage* alone = new MemoryImage(&registry);
        {
            SharedImageHandle owner;
            owner.ownsUnshared = true;
            owner.AssignUnshared(alone);
            {
                SharedImageHandle copy(owner);
                EXPECT_EQ(copy.GetImage(), alone);
                EXPECT_FALSE(copy.ownsUnshared);
            }
            EXPECT_EQ(registry.live, 1); // the copy left the image alive
            owner.AssignUnshared(alone); // the image it already owns: kept, not deleted
            EXPECT_EQ(registry.live, 1);
            EXPECT_EQ(owner.GetImage(), alone);
        }
        EXPECT_EQ(registry.live, 0); // the owner deleted it
    }
    ImageRegistry::Install(nullptr);
}

// Records the FillRect calls the base outline makes.
class FillRecorder : public Image
{
public:
    std::vector<Rect> fills;
    void FillRect(const Rect& rect, const Color&, int) override { fills.push_back(rect); }
};

TEST(Image, DefaultOutlineAndScanLines)
{
    FillRecorder image;
    image.DrawRect(Rect(2, 3, 10, 5), Color::White, 0);
    std::vector<Rect> outline = {{2, 3, 11, 1}, {2, 8, 11, 1}, {2, 4, 1, 4}, {12, 4, 1, 4}};
    EXPECT_EQ(image.fills, outline);

    image.fills.clear();
    Span spans[] = {{5, 1, 3}, {6, 0, 4}};
    image.FillScanLines(spans, 2, Color::White, 0);
    std::vector<Rect> rows = {{1, 5, 3, 1}, {0, 6, 4, 1}};
    EXPECT_EQ(image.fills, rows);
    EXPECT_FALSE(image.PolyFill(nullptr, 0, Rect(), Color::White, 0, 0, 0));
}

} // namespace
