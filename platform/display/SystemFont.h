#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Fonts installed on the system, found by face name through fontconfig and drawn with
// FreeType. Text is narrow Windows-1252; one line is measured and drawn at a time.
namespace platform
{

struct FontRequest
{
    std::string face;     // a face name such as "Arial" or "Tahoma" (Windows-1252)
    int pixelHeight = 12; // height of the characters (the em) in pixels, 1 or more
    int weight = 400;     // 100 thin to 900 black; 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
};

struct FontMetrics
{
    int ascent = 0;      // pixels from the top of a line to the baseline
    int descent = 0;     // pixels from the baseline to the bottom of a line
    int height = 0;      // ascent + descent
    int lineSpacing = 0; // the face's distance between baselines, at least height
};

// A 32-bit 0xAARRGGBB pixel buffer that text is blended into.
struct PixelBuffer
{
    uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0; // pixels from one row to the next
};

// A clip rectangle in buffer coordinates: columns x to x + width - 1, rows y to y + height - 1.
struct ClipBox
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class SystemFont
{
public:
    // The installed face nearest to the request: fontconfig substitutes a similar family when
    // the face is not installed, and a face without a bold or italic style is emboldened or
    // slanted. Null only when no usable font is installed at all.
    static std::unique_ptr<SystemFont> Open(const FontRequest& request);
    ~SystemFont();
    SystemFont(const SystemFont&) = delete;
    SystemFont& operator=(const SystemFont&) = delete;

    // A second font of the same face and request (fonts are not shared between threads).
    std::unique_ptr<SystemFont> Clone() const;

    const FontRequest& Request() const;
    const FontMetrics& Metrics() const;
    // The family and the file fontconfig chose.
    const std::string& FamilyName() const;
    const std::string& FilePath() const;

    // Advance of one character in pixels; control characters (below 0x20) have none.
    int CharWidth(unsigned char c);
    // Pixels added between previous and c by the face's kerning table (0 without one).
    int Kerning(unsigned char previous, unsigned char c);
    // Width of the widest line ("\r\n", "\r" and "\n" break lines); kerning only when asked.
    int TextWidth(std::string_view text, bool kerning = false);

    // Blends one line of anti-aliased text in the colour 0xAARRGGBB (its alpha scales the
    // coverage) into the buffer, source over destination, the top of the line at (x, y).
    // Only pixels inside both the clip box and the buffer change. Control characters are
    // skipped; with underline requested a line runs under the whole text.
    void DrawText(const PixelBuffer& target, int x, int y, std::string_view text, uint32_t argb,
                  const ClipBox& clip, bool kerning = false);

    struct Impl;

private:
    explicit SystemFont(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> mImpl;
};

} // namespace platform
