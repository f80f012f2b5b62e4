#include "AppTestSupport.h"

#include "base/PathUtils.h"
#include "base/StringUtils.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "display/TextureData.h"
#include "graphics/Graphics.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

using apptest::TestApp;

// Colours a 16-bit display keeps exactly.
constexpr uint32_t kRed = 0xFFF80000;
constexpr uint32_t kBlue = 0xFF0000F8;

// Left half red, right half blue.
class TwoColourWidget : public Kavo::Widget
{
public:
    void Draw(Kavo::Graphics* g) override
    {
        g->SetColor(Kavo::Color(248, 0, 0));
        g->FillRect(0, 0, mWidth / 2, mHeight);
        g->SetColor(Kavo::Color(0, 0, 248));
        g->FillRect(mWidth / 2, 0, mWidth - mWidth / 2, mHeight);
    }
};

std::string ReadText(const std::string& path)
{
    std::string text;
    platform::ReadFile(path, text);
    return text;
}

TEST(Screenshots, AreNumberedAfterTheHighestNumberAndHoldTheScreen)
{
    platform::FakeClock clock;
    {
        TestApp app;
        Kavo::SetAppDataFolder(scratch::FreshFolder("shots-"));
        app.TakeScreenshot(); // no display yet: nothing happens
        EXPECT_FALSE(platform::PathExists(Kavo::GetAppDataFolder() + "_screenshots/image1.png"));
    }
    TestApp app;
    app.Initialize();
    const std::string data = scratch::FreshFolder("shots-");
    Kavo::SetAppDataFolder(data);
    const std::string folder = data + "_screenshots/";
    TwoColourWidget widget;
    widget.Resize(0, 0, 320, 240);
    app.mWidgetManager->AddWidget(&widget);
    app.mForceDraw = true;
    ASSERT_TRUE(app.DrawFrame());
    // Where the screen holds no alpha the picture is still opaque, as the display shows it. A
    // screen drawn through the 3D renderer has no memory copy to mark; it is read back from it.
    Kavo::DDImage* screen = app.mDDInterface->GetScreenImage();
    const bool through3D = screen->DrawsThrough3D();
    if (!through3D) screen->GetBits()[239 * 320 + 319] = 0x00123456;

    app.TakeScreenshot(); // the folder is made, and the first one is number 1
    ASSERT_TRUE(platform::PathExists(folder + "image1.png"));
    std::unique_ptr<ImageLib::Image> shot = ImageLib::LoadPNG(folder + "image1.png");
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->width, 320);
    ASSERT_EQ(shot->height, 240);
    EXPECT_EQ(shot->bits[10 * 320 + 10], kRed);
    EXPECT_EQ(shot->bits[200 * 320 + 300], kBlue);
    EXPECT_EQ(shot->bits[239 * 320 + 319], through3D ? kBlue : 0xFF123456u);

    // Gaps and other files: the next is one above the highest number.
    for (const char* name : {"image7.png", "other.png", "image40.jpg", "imageX.png", "Image50.png"})
        platform::WriteFileAtomically(folder + name, "not a picture");
    app.TakeScreenshot();
    EXPECT_TRUE(platform::PathExists(folder + "image8.png"));
    EXPECT_FALSE(platform::PathExists(folder + "image2.png"));
    app.mWidgetManager->RemoveWidget(&widget);
}

TEST(ImageDump, ListsEveryImageWithItsFiguresLargestFirst)
{
    platform::FakeClock clock;
    TestApp app;
    Kavo::SetAppDataFolder(scratch::FreshFolder("dump-"));
    const std::string folder = Kavo::GetAppDataFolder() + "_dump/";
    platform::MakeDirectories(folder + "stale");

    // 32-bit pixels only.
    std::vector<uint32_t> pixels(100 * 50, kRed);
    for (int y = 0; y < 50; ++y)
        for (int x = 50; x < 100; ++x)
            pixels[size_t(y * 100 + x)] = kBlue;
    Kavo::MemoryImage plain;
    plain.SetBits(pixels.data(), 100, 50);
    plain.SetVolatile(true);
    plain.filePath = "images/plain";
    // A palette of two colours: 16 x 16 indices and the palette.
    Kavo::MemoryImage palette;
    palette.SetBits(pixels.data(), 16, 16);
    ASSERT_TRUE(palette.Palletize());
    palette.filePath = "images/palette";
    // Partly transparent: its pixels, the display's premultiplied form and the alpha runs.
    std::vector<uint32_t> seeThrough(10 * 10, 0x80402010);
    Kavo::MemoryImage alpha;
    alpha.SetBits(seeThrough.data(), 10, 10);
    alpha.GetNativeAlphaData(app.GetNativeDisplay());
    alpha.GetRLAlphaData();
    alpha.filePath = "images/alpha";
    // Equal totals keep the order the images were made in.
    Kavo::MemoryImage twinA, twinB;
    twinA.SetBits(pixels.data(), 5, 4);
    twinB.SetBits(pixels.data(), 5, 4);
    twinB.SetImageMode(true, false);

    app.DumpImageList();
    EXPECT_FALSE(platform::PathExists(folder + "stale")); // made afresh
    std::string page = ReadText(folder + "imagelist.html");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.rfind("<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>", 0), 0u);
    EXPECT_NE(page.find("</B></FONT><BR>\nTotal Image Allocation: 22,340 bytes<BR>\n"
                        "<TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>\n"),
              std::string::npos);

    const std::string none = "<TD>&nbsp;</TD>\n";
    auto row = [&](int i, const std::string& size, const std::string& figures, const std::string& path)
    {
        return "<TR>" +
               Kavo::StrFormat(
                   "<TD><A HREF=img%04d.png><IMG SRC=thumb%04d.jpg WIDTH=64 HEIGHT=64></A></TD>\n", i, i) +
               "<TD ALIGN=RIGHT>" + size + " bytes</TD>\n" + figures + "<TD>" + path + "</TD>\n</TR>\n";
    };
    const std::string expectedRows =
        row(0, "100 x 50<BR>20,000",
            "<TD>mBits<BR>20,000</TD>\n" + none + none + none + "<TD>Volatile</TD>\n" + none + none + none +
                none + none + none,
            "images/plain") +
        row(1, "16 x 16<BR>1,280",
            none + "<TD>Palletized<BR>1,280</TD>\n" + none + none + none + none + none + none + none + none +
                none,
            "images/palette") +
        row(2, "10 x 10<BR>900",
            "<TD>mBits<BR>400</TD>\n" + none + none + none + none + none + "<TD>HasAlpha</TD>\n" + none +
                "<TD>NativeAlpha<BR>400</TD>\n<TD>RLAlpha<BR>100</TD>\n" + none,
            "images/alpha") +
        row(3, "5 x 4<BR>80",
            "<TD>mBits<BR>80</TD>\n" + none + none + none + none + none + none + none + none + none + none,
            "&nbsp;") +
        row(4, "5 x 4<BR>80",
            "<TD>mBits<BR>80</TD>\n" + none + none + none + none + "<TD>Forced</TD>\n" + none +
                "<TD>HasTrans</TD>\n" + none + none + none,
            "&nbsp;") +
        "<TR><TD>Totals</TD>\n<TD>22,340</TD>\n<TD>20,560</TD>\n<TD>1,280</TD>\n<TD>0</TD>\n<TD>0</TD>\n" +
        none + none + none + none + "<TD>400</TD>\n<TD>100</TD>\n<TD>0</TD>\n" + none + "</TR>\n" +
        "</TABLE></CENTER></BODY></HTML>\n";
    size_t first = page.find("<TR>");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(page.substr(first), expectedRows);

    // Every row's picture is the image's own pixels, and its thumbnail a 64 x 64 sample of them;
    // the palettised image stays palettised.
    std::unique_ptr<ImageLib::Image> full = ImageLib::LoadPNG(folder + "img0001.png");
    ASSERT_TRUE(full);
    ASSERT_EQ(full->width, 16);
    for (int i = 0; i < 16 * 16; ++i)
        ASSERT_EQ(full->bits[size_t(i)], pixels[size_t(i)]) << i;
    EXPECT_TRUE(palette.IsPalettized());
    for (int i = 0; i < 5; ++i)
    {
        std::unique_ptr<ImageLib::Image> thumb =
            ImageLib::LoadJPEG(folder + Kavo::StrFormat("thumb%04d.jpg", i));
        ASSERT_TRUE(thumb) << i;
        EXPECT_EQ(thumb->width, 64);
        EXPECT_EQ(thumb->height, 64);
    }
    std::unique_ptr<ImageLib::Image> thumb = ImageLib::LoadJPEG(folder + "thumb0000.jpg");
    auto redOf = [&](int x, int y) { return int((thumb->bits[size_t(y * 64 + x)] >> 16) & 0xFF); };
    EXPECT_GT(redOf(10, 30), 200); // the red half
    EXPECT_LT(redOf(54, 30), 40);  // the blue half
}

// The row of the page that lists the image of that file path, from "<TR>" to "</TR>"; empty when
// there is none.
std::string RowOf(const std::string& page, const std::string& path)
{
    size_t cell = page.find("<TD>" + path + "</TD>");
    if (cell == std::string::npos) return std::string();
    size_t start = page.rfind("<TR>", cell);
    return page.substr(start, page.find("</TR>", cell) + 5 - start);
}

// A surface image counts its surface and gets its picture files from the surface, left as it
// was; an image that lives in the 3D renderer's textures alone counts them with their format and
// gets its picture files from them, left as it was too.
TEST(ImageDump, SurfacesAndTexturesAreCountedAndPictured)
{
    platform::FakeClock clock;
    for (bool threeD : {false, true})
    {
        TestApp app;
        app.RegistryWriteBoolean("Is3D", threeD);
        app.Initialize();
        ASSERT_EQ(app.Is3DAccelerated(), threeD);
        Kavo::SetAppDataFolder(scratch::FreshFolder("dumpsurface-"));
        const std::string folder = Kavo::GetAppDataFolder() + "_dump/";

        // 40 x 30, one see-through pixel: its picture only in its surface.
        std::vector<uint32_t> pixels(40 * 30, kRed);
        for (int i = 600; i < 1200; ++i)
            pixels[size_t(i)] = kBlue;
        pixels[0] = 0x00000000;
        Kavo::DDImage surfaceImage(app.mDDInterface);
        surfaceImage.SetBits(pixels.data(), 40, 30);
        surfaceImage.filePath = "images/surface";
        // 16 x 8, drawn through the renderer when 3D is on: red above blue, one see-through pixel.
        std::vector<uint32_t> texels(16 * 8, kRed);
        std::fill(texels.begin() + 64, texels.end(), kBlue);
        texels[0] = 0x00000000;
        Kavo::DDImage textured(app.mDDInterface);
        textured.SetBits(texels.data(), 16, 8);
        textured.filePath = "images/textured";
        if (threeD)
        {
            app.mDDInterface->GetScreenImage()->Blt(&textured, 0, 0, Kavo::Rect(0, 0, 16, 8),
                                                    Kavo::Color::White, 0);
            ASSERT_NE(textured.d3dData, nullptr);
            textured.PurgeBits();
            ASSERT_EQ(textured.bits, nullptr);
        }
        else
        {
            ASSERT_TRUE(surfaceImage.CreateSurface());
            surfaceImage.DiscardMemoryCopies();
        }

        app.DumpImageList();
        const std::string page = ReadText(folder + "imagelist.html");
        const std::string none = "<TD>&nbsp;</TD>\n";
        if (!threeD)
        {
            const std::string row = RowOf(page, "images/surface");
            ASSERT_FALSE(row.empty()) << page;
            EXPECT_NE(row.find("<TD ALIGN=RIGHT>40 x 30<BR>4,800 bytes</TD>\n" + none + none +
                               "<TD>DDSurface<BR>4,800</TD>\n" + none),
                      std::string::npos)
                << row;
            EXPECT_EQ(surfaceImage.bits, nullptr); // read without being changed
            size_t index = row.find("HREF=img");
            ASSERT_NE(index, std::string::npos);
            std::unique_ptr<ImageLib::Image> full = ImageLib::LoadPNG(folder + row.substr(index + 5, 11));
            ASSERT_TRUE(full);
            ASSERT_EQ(full->width, 40);
            ASSERT_EQ(full->height, 30);
            EXPECT_EQ(full->bits[0] >> 24, 0u); // the key reads back as see-through
            for (int i = 1; i < 40 * 30; ++i)
                ASSERT_EQ(full->bits[size_t(i)], pixels[size_t(i)]) << i;
            EXPECT_TRUE(platform::PathExists(folder + row.substr(index + 26, 13)))
                << row.substr(index + 26, 13);
            // The screen is listed with its surface too.
            EXPECT_NE(page.find("<TD ALIGN=RIGHT>320 x 240<BR>"), std::string::npos);
            EXPECT_EQ(page.find("<TD ALIGN=RIGHT>320 x 240<BR>0 bytes"), std::string::npos) << page;
        }
        else
        {
            // Its pixels live only in its texture now: one piece of 16 x 8 texels of 4 bytes (it
            // has a see-through pixel), read back for its picture, the image left as it was.
            const std::string row = RowOf(page, "images/textured");
            ASSERT_FALSE(row.empty()) << page;
            EXPECT_NE(row.find("<TD ALIGN=RIGHT>16 x 8<BR>512 bytes</TD>\n" + none + none + none +
                               "<TD>Texture<BR>512<BR>A8R8G8B8</TD>\n"),
                      std::string::npos)
                << row;
            EXPECT_EQ(textured.bits, nullptr) << "read without being changed";
            size_t index = row.find("HREF=img");
            ASSERT_NE(index, std::string::npos);
            std::unique_ptr<ImageLib::Image> full = ImageLib::LoadPNG(folder + row.substr(index + 5, 11));
            ASSERT_TRUE(full);
            ASSERT_EQ(full->width, 16);
            ASSERT_EQ(full->height, 8);
            for (int i = 0; i < 16 * 8; ++i)
                ASSERT_EQ(full->bits[size_t(i)], texels[size_t(i)]) << i;
            std::unique_ptr<ImageLib::Image> thumb = ImageLib::LoadJPEG(folder + row.substr(index + 26, 13));
            ASSERT_TRUE(thumb) << row.substr(index + 26, 13);
            // A 64 x 64 sample: red above, blue below.
            auto channels = [&](int x, int y)
            {
                uint32_t p = thumb->bits[size_t(y * 64 + x)];
                return std::pair<int, int>(int((p >> 16) & 0xFF), int(p & 0xFF));
            };
            EXPECT_GT(channels(40, 10).first, 200);
            EXPECT_LT(channels(40, 10).second, 40);
            EXPECT_LT(channels(40, 50).first, 40);
            EXPECT_GT(channels(40, 50).second, 200);
        }
    }
}

TEST(ImageDump, AFolderThatCannotBeMadeIsGivenUpAndLogged)
{
    apptest::InOwnFolder own("dump-unmade"); // the error log is written in the working folder
    platform::FakeClock clock;
    TestApp app;
    const std::string data = scratch::FreshFolder("dumpfail-");
    platform::WriteFileAtomically(data + "afile", "a file where a folder should be");
    Kavo::SetAppDataFolder(data + "afile/");
    uint32_t start = clock.Ticks();
    app.DumpImageList();
    // Ten tries, 100 ms apart, and a line in the error log.
    EXPECT_EQ(clock.Ticks() - start, 900u);
    EXPECT_NE(
        ReadText("ScrError.txt").find("The image dump folder " + data + "afile/_dump could not be made."),
        std::string::npos);
}

} // namespace
