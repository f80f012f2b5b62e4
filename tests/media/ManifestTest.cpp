#include "ResourceTestSupport.h"

#include "base/MersenneTwister.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

using Kavo::ResourceManager;
using restest::FakeHost;

class ManifestTest : public ::testing::Test
{
protected:
    void SetUp() override { folder = restest::Folder(); }

    std::string folder;
    FakeHost host;
};

// Each bad manifest with the exact error it records: the first failure, with its line and file.
TEST_F(ManifestTest, ErrorsNameTheFailureTheLineAndTheFile)
{
    const std::string group = "<ResourceManifest>\n<Resources id=\"g\">\n"; // lines 1 and 2
    struct Case
    {
        const char* what;
        std::string text;
        std::string error; // " on Line <n> in File '<path>'" follows unless noted
        int line;
    } cases[] = {
        {"empty file", "", "Expecting ResourceManifest tag", 1},
        {"wrong root", "<?xml version=\"1.0\"?>\n<Resources id=\"g\">\n</Resources>\n",
         "Expecting ResourceManifest tag", 2},
        {"group without id", "<ResourceManifest>\n\n<Resources>\n</Resources>\n</ResourceManifest>",
         "No id specified.", 3},
        {"unknown section", "<ResourceManifest>\n  <Group id=\"g\"/>\n</ResourceManifest>",
         "Invalid Section 'Group'", 2},
        {"text at the top", "<ResourceManifest>\nhello\n<Resources id=\"g\"/>\n</ResourceManifest>",
         "Element Not Expected 'hello'", 3},
        {"no path", group + "<Image id=\"A\"/>\n", "No path specified.", 3},
        {"empty path", group + "<Sound id=\"A\" path=\"\"/>\n", "No path specified.", 3},
        {"same id twice", group + "<Image id=\"A\" path=\"x\"/>\n<Image id=\"A\" path=\"y\"/>\n",
         "Resource already defined.", 4},
        {"element inside a resource", group + "<Image path=\"a\">\n<Sound path=\"b\"/>\n</Image>\n",
         "Unexpected element found.", 4},
        {"unknown kind", group + "<Music path=\"m\"/>\n", "Invalid Section 'Music'", 3},
        {"text in a group", group + "junk\n<Image path=\"a\"/>\n", "Element Not Expected 'junk'", 4},
        {"animation word", group + "<Image path=\"a\" anim=\"sideways\"/>\n", "Invalid animation type.", 3},
        {"system font without size", group + "<Font path=\"!sys:Sans\"/>\n", "SysFont needs point size", 3},
        {"system font of size 0", group + "<Font path=\"!sys:Sans\" size=\"0\"/>\n",
         "SysFont needs point size", 3},
        {"rows 0", group + "<Image path=\"a\" rows=\"0\"/>\n", "Invalid rows '0'.", 3},
        {"cols not a number", group + "<Image path=\"a\" cols=\"many\"/>\n", "Invalid cols 'many'.", 3},
        {"negative rows", group + "<Image path=\"a\" rows=\"-2\"/>\n", "Invalid rows '-2'.", 3},
        {"rows past any image", group + "<Image path=\"a\" rows=\"99999999999\"/>\n",
         "Invalid rows '99999999999'.", 3},
        {"frame delay past the limit",
         group + "<Image path=\"a\" anim=\"loop\" framedelay=\"2147483647\"/>\n",
         "Invalid framedelay '2147483647'.", 3},
        {"end delay past the limit", group + "<Image path=\"a\" anim=\"once\" enddelay=\"40000\"/>\n",
         "Invalid enddelay '40000'.", 3},
        {"per-frame delay past the limit",
         group + "<Image path=\"a\" anim=\"once\" perframedelay=\"1,99999\"/>\n",
         "Invalid perframedelay '99999'.", 3},
        {"frame map outside the grid",
         group + "<Image path=\"a\" rows=\"2\" anim=\"once\" framemap=\"0,1,2\"/>\n", "Invalid framemap '2'.",
         3},
        {"mismatched end tag", group + "<Image path=\"a\"/>\n</Oops>\n",
         "End 'Oops' Doesn't Match Start 'Resources'", 4},
        {"file ending in a group", group + "<Image path=\"a\"/>\n", "Unexpected End of File", 4},
        {"file ending in a resource", group + "<Image path=\"a\">", "Unexpected End of File", 3},
        {"file ending before the root's end", group + "</Resources>\n", "Unexpected End of File", 4},
    };
    for (const Case& c : cases)
    {
        std::string path = folder + "bad.xml";
        restest::WriteFile(path, c.text);
        ResourceManager manager(&host);
        EXPECT_FALSE(manager.LoadManifest(path)) << c.what;
        EXPECT_TRUE(manager.HadError()) << c.what;
        EXPECT_EQ(manager.GetErrorText(),
                  c.error + " on Line " + std::to_string(c.line) + " in File '" + path + "'")
            << c.what;
    }

    ResourceManager manager(&host);
    EXPECT_FALSE(manager.LoadManifest(folder + "nosuch.xml"));
    EXPECT_EQ(manager.GetErrorText(), "Resource file not found: " + folder + "nosuch.xml");
}

TEST_F(ManifestTest, AcceptsWhatTheFormatAllows)
{
    std::string path = restest::WriteManifest(
        folder, "<!-- a comment -->\n"
                "<?process this?>\n"
                "<Resources id=\"g\">\n"
                "  <!-- the same id for an image, a sound and a font -->\n"
                "  <Image id=\"SAME\" path=\"a\" rows=\"3\" anim=\"PingPong\" framedelay=\"-5\"></Image>\n"
                "  <Sound id=\"SAME\" path=\"b\" volume=\" 0.25\" pan=\"99\"/>\n"
                "  <Font id=\"SAME\" path=\"!sys:Sans\" size=\"12\" bold=\"\" italic=\"\"/>\n"
                "  <SetDefaults/>\n"
                "</Resources>\n"
                "<Resources id=\"empty\"></Resources>\n");
    ResourceManager manager(&host);
    EXPECT_TRUE(manager.LoadManifest(path)) << manager.GetErrorText();
    EXPECT_FALSE(manager.HadError());
    EXPECT_EQ(manager.GetErrorText(), "");
    EXPECT_EQ(manager.CountGroupResources("g"), 3);
    EXPECT_EQ(manager.CountGroupResources("empty"), 0);
    EXPECT_EQ(manager.CountGroupResources("nosuch"), 0);
}

// Ids and paths: the default path and id prefix, ids from file names, '!' paths kept as given.
TEST_F(ManifestTest, DefaultsMakeIdsAndPaths)
{
    std::filesystem::create_directories(folder + "images/sub");
    for (const char* name : {"images/title.png", "images/sub/logo.old.png"})
        restest::WritePng(folder + name, 1, 1, {0xFF102030});
    std::string path = restest::WriteManifest(folder, "<Resources id=\"Init\">\n"
                                                      "  <SetDefaults path=\"" +
                                                          folder +
                                                          "images\\\" idprefix=\"IMAGE_/\"/>\n"
                                                          "  <Image path=\"title.png\"/>\n"
                                                          "  <Image path=\"sub\\logo.old.png\"/>\n"
                                                          "  <Image id=\"MADE\" path=\"!program\"/>\n"
                                                          "</Resources>\n"
                                                          "<Resources id=\"Sounds\">\n"
                                                          "  <SetDefaults path=\"" +
                                                          folder +
                                                          "sounds/\" idprefix=\"SOUND_\"/>\n"
                                                          "  <Sound path=\"click\"/>\n"
                                                          "  <Sound id=\"BANG\" path=\"!bang\"/>\n"
                                                          "  <SetDefaults path=\"\"/>\n"
                                                          "  <Sound id=\"RAW\" path=\"" +
                                                          folder +
                                                          "raw\"/>\n"
                                                          "</Resources>\n");
    ResourceManager manager(&host);
    ASSERT_TRUE(manager.LoadManifest(path)) << manager.GetErrorText();
    EXPECT_EQ(manager.CountGroupResources("Init"), 2); // the from-program image left out
    EXPECT_EQ(manager.CountGroupResources("Sounds"), 3);
    EXPECT_EQ(manager.CountGroupResources(""), 6); // every record

    ASSERT_TRUE(manager.LoadResources("Init")) << manager.GetErrorText();
    EXPECT_EQ(host.requested,
              (std::vector<std::string>{folder + "images/title.png", folder + "images/sub\\logo.old.png"}));
    EXPECT_TRUE(manager.GetImageOrThrow("IMAGE_title").GetImage());
    EXPECT_TRUE(manager.GetImageOrThrow("IMAGE_logo.old").GetImage());
    EXPECT_THROW(manager.GetImageOrThrow("IMAGE_MADE"), Kavo::ResourceManagerException);

    ASSERT_TRUE(manager.LoadResources("Sounds")) << manager.GetErrorText();
    EXPECT_EQ(host.sounds.log, (std::vector<std::string>{"load 0 " + folder + "sounds/click", "load 1 !bang",
                                                         "load 2 " + folder + "raw"}));
    EXPECT_EQ(manager.GetSoundOrThrow("SOUND_click"), 0);
    EXPECT_EQ(manager.GetSoundOrThrow("SOUND_BANG"), 1);
    EXPECT_EQ(manager.GetSoundOrThrow("SOUND_RAW"), 2);
}

// Every prefix and many corrupted copies of a manifest that uses every element: the reader
// accepts or refuses each with an error text, and never crashes (the sanitizer build checks).
TEST_F(ManifestTest, HostileManifests)
{
    const std::string fixture =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<ResourceManifest>\n"
        "  <Resources id=\"Init\">\n"
        "    <SetDefaults path=\"images\" idprefix=\"IMAGE_\"/>\n"
        "    <Image path=\"pieces\" rows=\"4\" cols=\"10\" anim=\"pingpong\" framedelay=\"3\" "
        "begindelay=\"9\"/>\n"
        "    <Image id=\"FRAME\" path=\"frame\" alphaimage=\"frame_a\" alphagrid=\"grid\" "
        "alphacolor=\"FF00FF\"\n"
        "           nopal=\"\" a4r4g4b4=\"\" nobits=\"\" ddsurface=\"\" variant=\"v\"/>\n"
        "    <Image path=\"spin\" cols=\"8\" anim=\"once\" perframedelay=\"1,2,3\" framemap=\"7,6,5\"/>\n"
        "  </Resources>\n"
        "  <!-- sounds and fonts -->\n"
        "  <Resources id=\"Game\">\n"
        "    <SetDefaults path=\"sounds/\" idprefix=\"SOUND_\"/>\n"
        "    <Sound path=\"click\" volume=\"0.5\" pan=\"-300\"/>\n"
        "    <Sound id=\"BOOM\" path=\"!program\"></Sound>\n"
        "    <SetDefaults path=\"fonts\" idprefix=\"FONT_\"/>\n"
        "    <Font path=\"text.txt\" tags=\"bold, shiny\"/>\n"
        "    <Font id=\"SYS\" path=\"!sys:Sans\" size=\"12\" bold=\"\" shadow=\"\"/>\n"
        "    <Font id=\"COPY\" path=\"!ref:FONT_text\"/>\n"
        "    <Font id=\"OLD\" path=\"widths.txt\" image=\"strip\"/>\n"
        "  </Resources>\n"
        "</ResourceManifest>\n";
    std::string path = folder + "hostile.xml";
    auto check = [&](const std::string& text)
    {
        restest::WriteFile(path, text);
        ResourceManager manager(&host);
        bool read = manager.LoadManifest(path);
        ASSERT_EQ(read, !manager.HadError());
        ASSERT_EQ(read, manager.GetErrorText().empty());
        ASSERT_GE(manager.CountGroupResources(""), manager.CountGroupResources("Init"));
    };
    {
        restest::WriteFile(path, fixture);
        ResourceManager manager(&host);
        ASSERT_TRUE(manager.LoadManifest(path)) << manager.GetErrorText();
        EXPECT_EQ(manager.CountGroupResources(""), 9);
    }
    for (size_t n = 0; n < fixture.size(); ++n)
        check(fixture.substr(0, n));
    constexpr uint32_t kCorruptionSeed = 48611; // any fixed seed: the same copies on every run
    Kavo::MersenneTwister random(kCorruptionSeed);
    const char noise[] = "<>/=\"!?- \n0123456789";
    for (int round = 0; round < 400; ++round)
    {
        std::string text = fixture;
        int flips = 1 + int(random.Next() % 4);
        for (int k = 0; k < flips; ++k)
        {
            char c = random.Next() % 2 ? noise[random.Next() % (sizeof noise - 1)] : char(random.Next());
            text[random.Next() % text.size()] = c;
        }
        check(text);
    }
}

} // namespace
