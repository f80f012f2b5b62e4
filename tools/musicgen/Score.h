#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A song as data: parts of notes on a grid of beats (4/4, sixteenths as the finest step), written
// with a small text notation that checks its own bar lines.
namespace musicgen
{

enum class Instrument
{
    Pad,   // slow detuned chord voices
    Bass,  // synth bass
    Sub,   // a plain sine bass
    Pluck, // plucked string
    Keys,  // soft FM electric piano
    Bell,  // glassy FM bell
    Glass, // struck metal bar
    Lead,  // saw and pulse lead
    Kick,  // the drums from here on; they are not moved in time like the players above
    Snare,
    Clap,
    Hat,
    OpenHat,
    Shaker,
    Tom,  // tuned by the note's pitch
    Rim,  // a wooden knock at the note's pitch
    Riser // a noise sweep over the note's length
};

struct Note
{
    double beat = 0;  // from the start of the song
    double beats = 1; // how long it is held
    int pitch = 60;   // note number (69 = A4)
    float velocity = 0.8f;
};

struct Part
{
    Instrument instrument = Instrument::Pad;
    float gain = 1;
    float pan = 0;       // -1 left to 1 right
    float reverb = 0.2f; // send levels
    float echo = 0;
    double tone = 0.5; // brightness, 0 to 1, read by each instrument in its own way
    std::vector<Note> notes;
};

// One chord of a progression: its bass note and the tones above it.
struct Chord
{
    double beat = 0, beats = 4;
    int root = 0;
    std::vector<int> tones;
};

// The hall every part of a song sends to: its size (1 is a large hall) and the seconds it takes
// to fall 60 dB; and the song's echo: its delay in beats and how much of each repeat comes back.
struct Hall
{
    double size = 1, decay = 3;
};
struct Echo
{
    double beats = 0.75, feedback = 0.35;
};

struct Song
{
    std::string name;
    int bpm = 100;
    int bars = 16;
    Hall hall;
    Echo echo;
    double loudnessDb = -16; // the whole loop's average loudness (see synth::AverageLoudnessDb)
    std::vector<Chord> chords;
    std::deque<Part> parts; // a deque, so the parts a track is still writing stay in place

    Song(std::string name, int bpm, int bars, Hall hall, Echo echo, double loudnessDb)
        : name(std::move(name)), bpm(bpm), bars(bars), hall(hall), echo(echo), loudnessDb(loudnessDb)
    {
    }
    Part& Add(Instrument instrument, float gain, float pan, float reverb, float echo = 0, double tone = 0.5);
    // The chord sounding at a beat.
    const Chord& ChordAt(double beat) const;
};

// Appends chords from bar `bar` (1-based), `times` over: bars separated by "|", each bar one chord
// or two half-bar chords separated by ",", a chord written as note names from the bass up
// ("A2 E3 G3 C4 | F2 C3 E3 A3 , G2 D3 F3 B3").
void AddChords(Song& song, int bar, std::string_view text, int times = 1);

// A melody from bar `bar`: tokens "<note>:<sixteenths>", "-:<sixteenths>" for a rest, or
// "[<note> <note> ...]:<sixteenths>" for a chord; without ":n" a token keeps the previous length;
// "|" marks a bar line and must fall on one. transpose shifts every note by semitones.
// Throws std::invalid_argument on a malformed token or a misplaced bar line.
void AddLine(Part& part, int bar, std::string_view text, float velocity = 0.8f, int transpose = 0);

// Drum hits from bar `from` to bar `to` (inclusive), one character per sixteenth, the pattern
// repeated: 'X' accent, 'x' normal, 'o' soft, '.' nothing. Tom and pitched hits take `pitch`.
void AddHits(Part& part, int from, int to, std::string_view pattern, int pitch = 60);

// Notes from the song's chords, one token per sixteenth, from bar `from` to `to` (inclusive):
//  - bass: a number is semitones above the chord's bass note, "-" holds the note before, "." rests;
//  - arpeggio: a number picks the chord's n-th tone (counting on into the octaves above), "-"
//    holds, "." rests; accented on the beats.
void AddBass(Part& part, const Song& song, int from, int to, std::string_view pattern, int transpose = 0,
             float velocity = 0.8f);
void AddArpeggio(Part& part, const Song& song, int from, int to, std::string_view pattern, int transpose = 0,
                 float velocity = 0.7f);
// Each chord of bars `from` to `to` held as a whole, its tones only (not its bass); a tone that goes
// on into the next chord is held across.
void AddChordTones(Part& part, const Song& song, int from, int to, int transpose = 0, float velocity = 0.7f);

} // namespace musicgen
