#pragma once

#include "tools/art/Canvas.h"

#include <functional>
#include <string>
#include <vector>

// Everything the art generator makes, with the place each picture takes in the content folder
// and in the resource manifest. Sizes and cel grids live here beside the painting code, so the
// manifest cannot drift from the pictures.
namespace Art
{

enum class Format
{
    Png,  // pictures with transparency
    Jpeg, // opaque full-screen pictures
};

struct ImageSpec
{
    std::string id;   // the manifest id (IMAGE_...); empty for pictures the game loads by path
    std::string path; // below the content folder, without the extension: "images/pieces"
    int cols = 1;
    int rows = 1;
    Format format = Format::Png;
    std::function<Canvas()> paint;
};

// The pictures of each part of the game; each list adds to out.
void AddPieceImages(std::vector<ImageSpec>& out);
void AddInterfaceImages(std::vector<ImageSpec>& out);
void AddMenuImages(std::vector<ImageSpec>& out);
void AddTitleImages(std::vector<ImageSpec>& out);
void AddSceneImages(std::vector<ImageSpec>& out);
void AddTutorialImages(std::vector<ImageSpec>& out);

std::vector<ImageSpec> ImageCatalogue();

// The bitmap fonts: the id and the description file below the content folder.
struct FontSpec;
const std::vector<FontSpec>& FontCatalogue();

// Writes "properties/resources.xml" below the content folder from the catalogues; false (with
// a message on stderr) when a bound id has no picture or font.
bool WriteManifest(const std::string& contentDir, const std::vector<ImageSpec>& images);

} // namespace Art
