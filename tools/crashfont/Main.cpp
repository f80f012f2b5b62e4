// Renders the crash windows' faces (crash/CrashFace.h) into a C++ source file: every character
// of Windows-1252 from 32 up as 8-bit coverage, the whole line's height, cut to the columns its
// ink covers. The same installed faces give the same file.
#include "platform/display/SystemFont.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{

struct FaceSpec
{
    const char* name;   // of the CrashFace accessor
    const char* family; // the installed face
    int pixelHeight;
    int weight;
};

const FaceSpec kFaces[] = {
    {"Normal", "DejaVu Sans", 12, 400},
    {"Bold", "DejaVu Sans", 12, 700},
    {"Fixed", "DejaVu Sans Mono", 11, 400},
};

bool WriteFace(std::FILE* out, const FaceSpec& spec)
{
    platform::FontRequest request;
    request.face = spec.family;
    request.pixelHeight = spec.pixelHeight;
    request.weight = spec.weight;
    std::unique_ptr<platform::SystemFont> font = platform::SystemFont::Open(request);
    if (!font)
    {
        std::fprintf(stderr, "kavocrashfont: no font for %s\n", spec.family);
        return false;
    }
    const platform::FontMetrics& metrics = font->Metrics();
    const int height = metrics.height;
    const int pad = 4;

    std::vector<unsigned> coverage;
    std::string glyphs;
    for (int c = 0; c < 256; ++c)
    {
        int advance = c < 32 ? 0 : font->CharWidth(static_cast<unsigned char>(c));
        int left = 0, width = 0;
        size_t offset = coverage.size();
        if (c >= 32)
        {
            int cellWidth = advance + 2 * pad + spec.pixelHeight;
            std::vector<uint32_t> pixels(size_t(cellWidth) * size_t(height), 0);
            platform::PixelBuffer buffer{pixels.data(), cellWidth, height, cellWidth};
            std::string text(1, char(c));
            font->DrawText(buffer, pad, 0, text, 0xFFFFFFFF, platform::ClipBox{0, 0, cellWidth, height});
            int first = cellWidth, last = -1;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < cellWidth; ++x)
                    if (pixels[size_t(y * cellWidth + x)] >> 24)
                    {
                        first = std::min(first, x);
                        last = std::max(last, x);
                    }
            if (last >= first)
            {
                left = first - pad;
                width = last - first + 1;
                for (int y = 0; y < height; ++y)
                    for (int x = first; x <= last; ++x)
                        coverage.push_back(pixels[size_t(y * cellWidth + x)] >> 24);
            }
        }
        char row[96];
        std::snprintf(row, sizeof row, "    {%d, %d, %d, %zu},\n", left, advance, width, offset);
        glyphs += row;
    }

    std::fprintf(out, "const uint8_t k%sCoverage[] = {", spec.name);
    for (size_t i = 0; i < coverage.size(); ++i)
        std::fprintf(out, "%s%u,", i % 24 == 0 ? "\n    " : "", coverage[i]);
    std::fprintf(out, "\n    0};\n\nconst CrashFace::Glyph k%sGlyphs[256] = {\n%s};\n\n", spec.name,
                 glyphs.c_str());
    std::fprintf(out, "const CrashFace k%sFace = {%d, %d, k%sGlyphs, k%sCoverage};\n\n", spec.name,
                 metrics.ascent, height, spec.name, spec.name);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: kavocrashfont <source file>\n");
        return 2;
    }
    std::string path = argv[1];
    std::string temporary = path + ".part";
    std::FILE* out = std::fopen(temporary.c_str(), "w");
    if (!out) return 1;
    std::fprintf(out, "// Made by kavocrashfont (tools/crashfont) from the installed DejaVu faces.\n"
                      "#include \"crash/CrashFace.h\"\n\nnamespace Kavo\n{\n\nnamespace\n{\n\n");
    for (const FaceSpec& spec : kFaces)
        if (!WriteFace(out, spec))
        {
            std::fclose(out);
            std::remove(temporary.c_str());
            return 1;
        }
    std::fprintf(out, "} // namespace\n\n");
    for (const FaceSpec& spec : kFaces)
        std::fprintf(out, "const CrashFace& CrashFace::%s()\n{\n    return k%sFace;\n}\n\n", spec.name,
                     spec.name);
    std::fprintf(out, "} // namespace Kavo\n");
    if (std::fclose(out) != 0 || std::rename(temporary.c_str(), path.c_str()) != 0) return 1;
    return 0;
}
