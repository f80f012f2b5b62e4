#pragma once

#include <cstdint>

namespace Kavo
{

// A face of the crash windows, compiled into the program (tools/crashfont renders it at build
// time): a crash draws its text without opening a font, reading a file or taking the font
// modules' locks, which the faulting thread may hold. Characters are Windows-1252 codes; each
// glyph is 8-bit coverage, the face's whole height tall and width columns wide, drawn left
// pixels right of the pen (negative: to its left).
struct CrashFace
{
    struct Glyph
    {
        int16_t left;
        uint16_t advance; // pixels the pen moves on; 0 for control characters
        uint16_t width;   // columns of coverage (0: nothing to draw)
        uint32_t offset;  // of the glyph's first row in coverage
    };

    int ascent;          // from the top of a line to the baseline
    int height;          // of a line
    const Glyph* glyphs; // 256, by character code
    const uint8_t* coverage;

    static const CrashFace& Normal(); // the notices and the user's text
    static const CrashFace& Bold();   // the first lines and the buttons
    static const CrashFace& Fixed();  // the report
};

} // namespace Kavo
