#pragma once

#include "graphics/FontHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// A tiny bitmap font made by the tests: a glyph strip drawn from ASCII art and a description
// file beside it, served through a fake application that records error boxes.
namespace FontFixture
{

// The strip: four rows, glyphs side by side ('#' opaque white, '.' transparent).
//   A (3 wide)  B (2)  V (3)  a (2)  e-acute 0xE9 (1)  dot (1)
extern const char* const kStripRows[4];
constexpr int kStripWidth = 12;
constexpr int kStripHeight = 4;

// A software image of w x h pixels from rows of '#' (opaque white), '.' (transparent) and
// 'o' (opaque black).
Kavo::MemoryImage* ImageFromArt(const std::vector<std::string>& rows);
// Rows of '.' (alpha 0), '#' (opaque white), 'K' (opaque black), 'R' (opaque red), 'G' (opaque
// green), '?' anything else; a channel counts as full from 250 and as empty up to 5.
std::vector<std::string> ArtFromImage(Kavo::MemoryImage& image);

// The fixture description: layers "Main" (the glyphs, point size 10, kerning AV -1), "Shadow"
// (a copy of Main drawn one pixel down and right in black under it), "Bold" (tag BOLD only) and
// "Large" (sizes 20 and up, drawn at twice the strip size).
extern const char* const kDescription;

// Serves images by file name (either separator): those the test added, else image files read
// from the disk. Records every error box.
class FakeHost : public Kavo::FontHost
{
public:
    std::vector<std::string> popups;
    std::vector<std::string> requested;

    ~FakeHost() override;
    // The host owns the image from now on; names use "/".
    void AddImage(const std::string& fileName, Kavo::MemoryImage* image);

    void Popup(const std::string& text) override { popups.push_back(text); }
    Kavo::SharedImageHandle GetSharedImage(const std::string& fileName, const std::string& variant,
                                           bool* isNew) override;

private:
    std::map<std::string, std::unique_ptr<Kavo::SharedImage>> mShared;
    std::map<std::string, bool> mLoaded;
};

// Writes text to a file of the test's own name in the working folder and returns its path.
std::string WriteTestFile(const std::string& suffix, const std::string& text);

// A folder of the test's own name holding kDescription as "font.txt" and the strip as
// "strip.png", which the host loads through the image readers. Returns the description's path.
std::string MakeFixtureFont();

} // namespace FontFixture
