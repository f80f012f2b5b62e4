#include "tools/art/BitmapFonts.h"

#include "platform/files/Files.h"
#include "tools/art/Effects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Art
{

namespace
{

constexpr int kAtlasWidth = 1024;

// The characters every font holds: the printable Windows-1252 set.
std::vector<unsigned char> CharacterSet()
{
    std::vector<unsigned char> chars;
    for (int c = 32; c < 256; ++c)
    {
        if (c == 127 || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) continue;
        chars.push_back(static_cast<unsigned char>(c));
    }
    return chars;
}

// A character written as a one-character string of the description language.
std::string Quoted(unsigned char c)
{
    if (c == '"') return "'\"'";
    if (c == '\\') return "\"\\\\\"";
    return std::string("\"") + char(c) + "\"";
}

struct Glyph
{
    unsigned char c = 0;
    int advance = 0;
    bool empty = true;
    int offsetX = 0, offsetY = 0; // cell position relative to the pen and the top of the line
    int width = 0, height = 0;    // the cell
    int atlasX = 0, atlasY = 0;   // the cell in the first band
    Canvas face, outline, shadow, glow;
};

// Rows of numbers for a list define, wrapped to readable lines.
void AppendList(std::string& out, const std::vector<std::string>& items)
{
    out += "(";
    size_t lineLength = 0;
    for (size_t i = 0; i < items.size(); ++i)
    {
        if (i > 0)
        {
            if (lineLength > 90)
            {
                out += "\n    ";
                lineLength = 0;
            }
            else
            {
                out += " ";
            }
        }
        out += items[i];
        lineLength += items[i].size() + 1;
    }
    out += ")";
}

std::string Rect4(int x, int y, int w, int h)
{
    char text[64];
    std::snprintf(text, sizeof text, "(%d %d %d %d)", x, y, w, h);
    return text;
}

} // namespace

std::string FontDescriptionPath(const FontSpec& spec)
{
    return "fonts/" + spec.name + ".txt";
}

bool WriteBitmapFont(const FontSpec& spec, const std::string& contentDir)
{
    TextRenderer renderer(spec.face);
    const int ascent = renderer.Ascent();
    const int lineHeight = renderer.LineHeight();
    const int margin = spec.face.pixelHeight; // room for overhangs while measuring
    const int pad =
        int(std::ceil(spec.outline +
                      std::max(spec.glow * 1.3f,
                               spec.shadowBlur + std::max(std::abs(spec.shadowX), std::abs(spec.shadowY))))) +
        1;

    std::vector<Glyph> glyphs;
    for (unsigned char c : CharacterSet())
    {
        Glyph g;
        g.c = c;
        g.advance = renderer.Advance(c);
        Canvas scratch(g.advance + 2 * margin, lineHeight + 2 * margin);
        renderer.DrawChar(scratch, margin, margin, c);
        int left = scratch.Width(), right = -1, top = scratch.Height(), bottom = -1;
        for (int y = 0; y < scratch.Height(); ++y)
            for (int x = 0; x < scratch.Width(); ++x)
                if (scratch.At(x, y).a > 0.004f)
                {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (right >= 0)
        {
            g.empty = false;
            int cellLeft = left - pad, cellRight = right + pad + 1;
            int cellTop = std::min(top, margin) - pad,
                cellBottom = std::max(bottom + 1, margin + lineHeight) + pad;
            g.offsetX = cellLeft - margin;
            g.offsetY = cellTop - margin;
            g.width = cellRight - cellLeft;
            g.height = cellBottom - cellTop;
            // The glyph's coverage in its cell, with room for every effect.
            Canvas mask(g.width, g.height);
            mask.Draw(scratch, -cellLeft, -cellTop);
            // The face: white shading from the top of the capitals to the baseline, so that
            // the drawing colour tints it.
            float capTop = float(margin - cellTop + ascent) - float(spec.face.pixelHeight) * 0.74f;
            float base = float(margin - cellTop + ascent);
            g.face = GradientFilled(mask, Colour(spec.faceTop, spec.faceTop, spec.faceTop),
                                    Colour(spec.faceBottom, spec.faceBottom, spec.faceBottom), capTop, base);
            Canvas body = spec.outline > 0 ? Dilate(mask, spec.outline) : mask;
            if (spec.outline > 0) g.outline = Tinted(body, spec.outlineColour);
            if (spec.shadowAlpha > 0 && (spec.shadowBlur > 0 || spec.shadowX != 0 || spec.shadowY != 0))
            {
                Canvas shadow = Shadow(body, spec.shadowBlur, Colour(0, 0, 0, spec.shadowAlpha));
                g.shadow = Canvas(g.width, g.height);
                g.shadow.Draw(shadow, int(std::lround(spec.shadowX)), int(std::lround(spec.shadowY)));
            }
            if (spec.glow > 0)
            {
                g.glow = Tinted(body, Colour(spec.glowStrength, spec.glowStrength, spec.glowStrength));
                g.glow.Blur(spec.glow);
            }
        }
        glyphs.push_back(std::move(g));
    }

    // Cells side by side in rows of the atlas; every band repeats the same layout.
    int rowHeight = 0;
    for (const Glyph& g : glyphs)
        rowHeight = std::max(rowHeight, g.height);
    int x = 0, y = 0;
    for (Glyph& g : glyphs)
    {
        if (g.empty) continue;
        if (x + g.width > kAtlasWidth)
        {
            x = 0;
            y += rowHeight;
        }
        g.atlasX = x;
        g.atlasY = y;
        x += g.width;
    }
    const int bandHeight = y + rowHeight;
    struct Band
    {
        const char* layer;
        Canvas Glyph::*canvas;
        bool present;
    };
    std::vector<Band> bands = {
        {"Face", &Glyph::face, true},
        {"Outline", &Glyph::outline, spec.outline > 0},
        {"Shadow", &Glyph::shadow,
         spec.shadowAlpha > 0 && (spec.shadowBlur > 0 || spec.shadowX != 0 || spec.shadowY != 0)},
        {"Glow", &Glyph::glow, spec.glow > 0}};
    bands.erase(std::remove_if(bands.begin(), bands.end(), [](const Band& b) { return !b.present; }),
                bands.end());
    Canvas atlas(kAtlasWidth, bandHeight * int(bands.size()));
    for (size_t b = 0; b < bands.size(); ++b)
        for (const Glyph& g : glyphs)
            if (!g.empty) atlas.Draw(g.*(bands[b].canvas), g.atlasX, g.atlasY + int(b) * bandHeight);

    std::string folder = contentDir + "/fonts";
    platform::MakeDirectories(folder);
    if (!WritePng(atlas, folder + "/" + spec.name + ".png")) return false;

    // The description.
    std::vector<std::string> chars, widths, offsets;
    for (const Glyph& g : glyphs)
    {
        chars.push_back(Quoted(g.c));
        widths.push_back(std::to_string(g.advance));
        offsets.push_back("(" + std::to_string(g.offsetX) + " " + std::to_string(g.offsetY) + ")");
    }
    std::string d;
    d += "# " + spec.id + ": " + spec.face.family + (spec.face.weight >= 600 ? " bold" : "") +
         (spec.face.italic ? " italic" : "") + ", " + std::to_string(spec.face.pixelHeight) +
         " pixels, in layers drawn from the picture " + spec.name + ".png (one band per layer).\n";
    d += "# Made by the art generator (tools/art): edit the generator, not this file.\n\n";
    d += "SetDefaultPointSize " + std::to_string(spec.face.pixelHeight) + ";\n\n";
    d += "Define Chars ";
    AppendList(d, chars);
    d += ";\nDefine Widths ";
    AppendList(d, widths);
    d += ";\nDefine Offsets ";
    AppendList(d, offsets);
    d += ";\n";
    for (size_t b = 0; b < bands.size(); ++b)
    {
        std::vector<std::string> rects;
        for (const Glyph& g : glyphs)
            rects.push_back(g.empty ? Rect4(0, 0, 0, 0)
                                    : Rect4(g.atlasX, g.atlasY + int(b) * bandHeight, g.width, g.height));
        d += "Define " + std::string(bands[b].layer) + "Rects ";
        AppendList(d, rects);
        d += ";\n";
    }
    // Kerning of the plain letters, from the face's own table.
    std::vector<std::string> pairs, amounts;
    for (int a = 33; a < 127; ++a)
        for (int c = 33; c < 127; ++c)
        {
            if (a == '"' || a == '\\' || a == '\'' || c == '"' || c == '\\' || c == '\'') continue;
            int k = renderer.Kerning(static_cast<unsigned char>(a), static_cast<unsigned char>(c));
            if (k == 0) continue;
            pairs.push_back(std::string("\"") + char(a) + char(c) + "\"");
            amounts.push_back(std::to_string(k));
        }

    // Draw order: shadow, glow, outline, face.
    auto order = [](const std::string& layer) {
        return layer == "Face" ? 0 : layer == "Outline" ? -1 : layer == "Glow" ? -2 : -3;
    };
    for (const Band& band : bands)
    {
        std::string L = band.layer;
        d += "\nCreateLayer " + L + ";\n";
        d += "LayerSetImage " + L + " '" + spec.name + "';\n";
        d += "LayerSetImageMap " + L + " Chars " + L + "Rects;\n";
        d += "LayerSetCharOffsets " + L + " Chars Offsets;\n";
        d += "LayerSetAscent " + L + " " + std::to_string(ascent) + ";\n";
        d += "LayerSetHeight " + L + " " + std::to_string(lineHeight) + ";\n";
        d += "LayerSetPointSize " + L + " " + std::to_string(spec.face.pixelHeight) + ";\n";
        d += "LayerSetBaseOrder " + L + " " + std::to_string(order(L)) + ";\n";
        if (L == "Face")
        {
            // Only the face advances the pen, so the other layers never widen the text.
            d += "LayerSetCharWidths Face Chars Widths;\n";
            d += "LayerSetLineSpacingOffset Face " + std::to_string(spec.lineSpacingOffset) + ";\n";
            if (!pairs.empty())
            {
                d += "LayerSetKerningPairs Face ";
                AppendList(d, pairs);
                d += "\n    ";
                AppendList(d, amounts);
                d += ";\n";
            }
        }
        else if (L == "Glow")
        {
            // Added light in the drawing colour.
            d += "LayerSetDrawMode Glow 1;\n";
        }
        else
        {
            // The outline and the shadow keep their own colours whatever colour draws the text;
            // only its opacity carries over.
            d += "LayerSetColorMult " + L + " 0xFF000000;\n";
            d += "LayerSetColorAdd " + L + " (1.0 1.0 1.0 0.0);\n";
        }
    }
    return platform::WriteFileAtomically(contentDir + "/" + FontDescriptionPath(spec), d);
}

const std::vector<FontSpec>& FontCatalogue()
{
    static const std::vector<FontSpec> fonts = {
        // Titles, labels and buttons: bold and outlined, readable on any picture.
        {.id = "FONT_LABEL",
         .name = "label",
         .face = {"DejaVu Sans", 19, 700},
         .faceBottom = 0.78f,
         .outline = 1.6f,
         .shadowBlur = 2,
         .shadowX = 1,
         .shadowY = 2,
         .shadowAlpha = 0.7f},
        // Lively texts (mode descriptions, challenge names, tips): condensed bold slant with a glow.
        {.id = "FONT_EXCITED",
         .name = "excited",
         .face = {"DejaVu Sans Condensed", 17, 700, true},
         .faceBottom = 0.8f,
         .outline = 1.6f,
         .outlineColour = Colour255(24, 6, 40),
         .shadowBlur = 2,
         .shadowX = 1,
         .shadowY = 2,
         .glow = 4,
         .glowStrength = 0.28f},
        // Scores rising over the board.
        {.id = "FONT_FLOATYNUMBER",
         .name = "floatynumber",
         .face = {"DejaVu Sans", 26, 700},
         .faceBottom = 0.72f,
         .outline = 2.6f,
         .outlineColour = Colour255(40, 14, 4),
         .shadowBlur = 3,
         .shadowX = 2,
         .shadowY = 3,
         .shadowAlpha = 0.65f,
         .glow = 5,
         .glowStrength = 0.3f},
        // Numbers in columns and the name field.
        {.id = "FONT_NUMBER",
         .name = "number",
         .face = {"DejaVu Sans Mono", 18, 700},
         .faceBottom = 0.8f,
         .outline = 1.5f,
         .shadowBlur = 2,
         .shadowX = 1,
         .shadowY = 2},
        // Story texts between levels.
        {.id = "FONT_SEGUE",
         .name = "segue",
         .face = {"DejaVu Serif", 24, 700},
         .faceBottom = 0.82f,
         .outline = 1.8f,
         .outlineColour = Colour255(16, 8, 40),
         .shadowBlur = 4,
         .shadowX = 2,
         .shadowY = 3,
         .glow = 7,
         .glowStrength = 0.32f},
        // Small print: challenge titles.
        {.id = "FONT_SMALLTEXT",
         .name = "smalltext",
         .face = {"DejaVu Sans Condensed", 12, 700},
         .faceBottom = 0.88f,
         .outline = 1.0f,
         .outlineColour = Colour255(8, 8, 24, 0.85f),
         .shadowBlur = 1.2f,
         .shadowX = 1,
         .shadowY = 1,
         .shadowAlpha = 0.5f},
        // Body text of dialogs, lists and the top-ten rows.
        {.id = "FONT_TEXT",
         .name = "text",
         .face = {"DejaVu Sans", 15, 400},
         .faceBottom = 0.9f,
         .outline = 1.0f,
         .outlineColour = Colour255(6, 6, 20, 0.7f),
         .shadowBlur = 1.5f,
         .shadowX = 1,
         .shadowY = 1,
         .shadowAlpha = 0.55f},
    };
    return fonts;
}

} // namespace Art
