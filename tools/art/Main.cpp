// artgen: paints the game's pictures, renders its bitmap fonts and writes the resource manifest.
//
//   artgen <content folder> <game folder> [<contact sheet>]
//
// Everything goes below the content folder (images/, fonts/, properties/resources.xml), which the
// build packs into main.pak; the contact sheet, a PNG of every picture with its id, goes where
// the third argument says. With KAVO_ART_ONLY set to a piece of a path, only the pictures whose
// path holds it are painted (and neither manifest nor sheet is written): for quick looks while
// drawing.
#include "tools/art/BitmapFonts.h"
#include "tools/art/Catalogue.h"
#include "tools/art/ContactSheet.h"

#include "platform/files/Files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: artgen <content folder> <game folder> [<contact sheet>]\n");
        return 2;
    }
    const std::string content = argv[1];
    const std::string sheet = argc > 3 ? argv[3] : "";
    const char* onlyEnv = std::getenv("KAVO_ART_ONLY");
    const std::string only = onlyEnv ? onlyEnv : "";

    // The generator owns these folders: what it no longer makes must not stay behind.
    std::error_code ignored;
    if (only.empty())
    {
        std::filesystem::remove_all(content + "/images", ignored);
        std::filesystem::remove_all(content + "/fonts", ignored);
    }

    std::vector<Art::ImageSpec> images = Art::ImageCatalogue();
    std::vector<std::string> loosePictures;
    bool ok = true;
    for (const Art::ImageSpec& spec : images)
    {
        if (!only.empty() && spec.path.find(only) == std::string::npos) continue;
        Art::Canvas canvas = spec.paint();
        if (canvas.Width() % spec.cols != 0 || canvas.Height() % spec.rows != 0)
        {
            std::fprintf(stderr, "art: %s is %d x %d, not a grid of %d x %d cels\n", spec.path.c_str(),
                         canvas.Width(), canvas.Height(), spec.cols, spec.rows);
            ok = false;
        }
        std::string path = content + "/" + spec.path;
        platform::MakeDirectories(path.substr(0, path.rfind('/')));
        bool written = spec.format == Art::Format::Jpeg ? Art::WriteJpeg(canvas, path + ".jpg")
                                                        : Art::WritePng(canvas, path + ".png");
        if (!written)
        {
            std::fprintf(stderr, "art: cannot write %s\n", path.c_str());
            ok = false;
        }
        if (spec.id.empty()) loosePictures.push_back(spec.path);
    }
    if (!only.empty()) return ok ? 0 : 1;

    std::vector<std::string> fontDescriptions;
    for (const Art::FontSpec& font : Art::FontCatalogue())
    {
        if (!Art::WriteBitmapFont(font, content))
        {
            std::fprintf(stderr, "art: cannot write the font %s\n", font.name.c_str());
            ok = false;
        }
        fontDescriptions.push_back(Art::FontDescriptionPath(font));
    }
    if (!Art::WriteManifest(content, images)) ok = false;
    if (ok && !sheet.empty() && !Art::DrawContactSheet(content, fontDescriptions, loosePictures, sheet))
    {
        std::fprintf(stderr, "art: cannot draw the contact sheet %s\n", sheet.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}
