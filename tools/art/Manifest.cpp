#include "platform/files/Files.h"
#include "puzzle/ResourceIds.h"
#include "tools/art/BitmapFonts.h"
#include "tools/art/Catalogue.h"

#include <cctype>
#include <cstdio>
#include <map>

namespace Art
{

namespace
{

// SOUND_GOODMOVE1 -> sounds/goodmove1: the sound files are named after their ids.
std::string SoundPath(const std::string& id)
{
    std::string name = id.substr(std::string("SOUND_").size());
    for (char& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return "sounds/" + name;
}

} // namespace

bool WriteManifest(const std::string& contentDir, const std::vector<ImageSpec>& images)
{
    std::map<std::string, const ImageSpec*> imageById;
    for (const ImageSpec& spec : images)
        if (!spec.id.empty()) imageById[spec.id] = &spec;
    std::map<std::string, const FontSpec*> fontById;
    for (const FontSpec& spec : FontCatalogue())
        fontById[spec.id] = &spec;

    std::string xml =
        "<?xml version=\"1.0\"?>\n"
        "<!-- The game's images, fonts and sounds by group, written by the art generator (tools/art). -->\n"
        "<!-- Pictures are named without their extension; sounds are the sound generator's files. -->\n"
        "<ResourceManifest>\n";
    bool ok = true;
    using Kind = Kavo::ResourceKind;
    for (const Kavo::ResourceIdGroup& group : Kavo::kResourceIdGroups)
    {
        xml += "  <Resources id=\"" + std::string(group.name) + "\">\n";
        for (const Kavo::ResourceIdEntry* e = group.begin; e != group.end; ++e)
        {
            std::string id = e->id;
            switch (e->kind)
            {
            case Kind::Image:
            {
                auto found = imageById.find(id);
                if (found == imageById.end())
                {
                    std::fprintf(stderr, "art: no picture for %s\n", id.c_str());
                    ok = false;
                    continue;
                }
                const ImageSpec& spec = *found->second;
                xml += "    <Image id=\"" + id + "\" path=\"" + spec.path + "\"";
                if (spec.cols != 1) xml += " cols=\"" + std::to_string(spec.cols) + "\"";
                if (spec.rows != 1) xml += " rows=\"" + std::to_string(spec.rows) + "\"";
                xml += "/>\n";
                break;
            }
            case Kind::Font:
            {
                auto found = fontById.find(id);
                if (found == fontById.end())
                {
                    std::fprintf(stderr, "art: no font for %s\n", id.c_str());
                    ok = false;
                    continue;
                }
                xml += "    <Font id=\"" + id + "\" path=\"" + FontDescriptionPath(*found->second) + "\"/>\n";
                break;
            }
            case Kind::Sound:
                xml += "    <Sound id=\"" + id + "\" path=\"" + SoundPath(id) + "\"/>\n";
                break;
            }
        }
        xml += "  </Resources>\n";
    }
    xml += "</ResourceManifest>\n";
    platform::MakeDirectories(contentDir + "/properties");
    return platform::WriteFileAtomically(contentDir + "/properties/resources.xml", xml) && ok;
}

} // namespace Art
