#include "tools/musicgen/Score.h"

#include "tools/synth/Dsp.h"

#include "base/TextHelpers.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace musicgen
{

namespace
{

constexpr double kSixteenth = 0.25; // beats

double BarBeat(int bar)
{
    return (bar - 1) * 4.0;
}

std::vector<std::string> Split(std::string_view text, char separator)
{
    return Kavo::SplitIntoWords(std::string(text), separator);
}

std::vector<int> Notes(std::string_view text)
{
    std::vector<int> notes;
    for (const std::string& name : Split(text, ' '))
        notes.push_back(synth::NoteNumber(name));
    return notes;
}

[[noreturn]] void Refuse(std::string_view what, std::string_view token)
{
    throw std::invalid_argument(std::string(what) + ": \"" + std::string(token) + "\"");
}

// Calls step(sixteenth index from the start of bar `from`, token) for every sixteenth of the bars,
// the pattern's tokens repeated.
template <typename Step>
void EachSixteenth(int from, int to, const std::vector<std::string>& pattern, Step step)
{
    if (pattern.empty()) return;
    int count = (to - from + 1) * 16;
    for (int i = 0; i < count; ++i)
        step(i, pattern[size_t(i) % pattern.size()]);
}

// Turns per-sixteenth tokens into notes: a number starts a note of pitch(number, beat), "-"
// lengthens the last one, anything else ends it.
template <typename Pitch>
void AddHeldNotes(Part& part, int from, int to, std::string_view pattern, Pitch pitch, float velocity,
                  bool accentBeats)
{
    constexpr size_t kNone = size_t(-1);
    size_t last = kNone; // the note a "-" lengthens
    EachSixteenth(from, to, Split(pattern, ' '),
                  [&](int i, std::string_view token)
                  {
                      double beat = BarBeat(from) + i * kSixteenth;
                      if (token == "-" && last != kNone)
                      {
                          part.notes[last].beats += kSixteenth;
                          return;
                      }
                      last = kNone;
                      if (token == "." || token == "-") return;
                      int number = 0;
                      for (char c : token)
                      {
                          if (c < '0' || c > '9') Refuse("pattern token", token);
                          number = number * 10 + (c - '0');
                      }
                      float v = velocity * (accentBeats && i % 4 == 0 ? 1.0f : accentBeats ? 0.78f : 1.0f);
                      last = part.notes.size();
                      part.notes.push_back({beat, kSixteenth, pitch(number, beat), v});
                  });
}

} // namespace

Part& Song::Add(Instrument instrument, float gain, float pan, float reverb, float echo, double tone)
{
    parts.push_back({instrument, gain, pan, reverb, echo, tone, {}});
    return parts.back();
}

const Chord& Song::ChordAt(double beat) const
{
    for (const Chord& chord : chords)
        if (beat >= chord.beat - 1e-9 && beat < chord.beat + chord.beats - 1e-9) return chord;
    throw std::out_of_range("no chord at beat " + std::to_string(beat));
}

void AddChords(Song& song, int bar, std::string_view text, int times)
{
    for (int time = 0; time < times; ++time)
        for (const std::string& barText : Split(text, '|'))
        {
            std::vector<std::string> halves = Split(barText, ',');
            if (halves.empty() || halves.size() > 2) Refuse("bar of chords", barText);
            double beats = 4.0 / double(halves.size());
            for (size_t h = 0; h < halves.size(); ++h)
            {
                std::vector<int> notes = Notes(halves[h]);
                if (notes.size() < 2) Refuse("chord", halves[h]);
                song.chords.push_back(
                    {BarBeat(bar) + beats * double(h), beats, notes[0], {notes.begin() + 1, notes.end()}});
            }
            ++bar;
        }
}

void AddLine(Part& part, int bar, std::string_view written, float velocity, int transpose)
{
    // Bar lines stand alone, with or without spaces around them.
    std::string text;
    for (char c : written)
        text += c == '|' ? std::string(" | ") : std::string(1, c);
    double beat = BarBeat(bar);
    double length = 4 * kSixteenth;
    size_t at = 0;
    while (at < text.size())
    {
        size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) break;
        size_t end = text[start] == '[' ? text.find(']', start) : start;
        if (end == std::string_view::npos) Refuse("unclosed chord", std::string_view(text).substr(start));
        end = text.find(' ', end);
        if (end == std::string_view::npos) end = text.size();
        std::string_view token = std::string_view(text).substr(start, end - start);
        at = end;
        if (token == "|")
        {
            if (std::fmod(beat, 4.0) != 0)
                Refuse("bar line off the bar", std::string_view(text).substr(0, start));
            continue;
        }
        size_t colon = token.rfind(':');
        std::string_view what = token.substr(0, colon);
        if (colon != std::string_view::npos)
        {
            std::string_view count = token.substr(colon + 1);
            if (count.empty() || count.find_first_not_of("0123456789") != std::string_view::npos)
                Refuse("length", token);
            length = std::stoi(std::string(count)) * kSixteenth;
        }
        if (what != "-")
        {
            std::vector<int> pitches = what.front() == '[' ? Notes(what.substr(1, what.size() - 2))
                                                           : std::vector<int>{synth::NoteNumber(what)};
            for (int pitch : pitches)
                part.notes.push_back({beat, length, pitch + transpose, velocity});
        }
        beat += length;
    }
    if (std::fmod(beat, 4.0) != 0) Refuse("line does not end on a bar line", written);
}

void AddHits(Part& part, int from, int to, std::string_view pattern, int pitch)
{
    std::vector<std::string> steps;
    for (char c : pattern)
        steps.push_back(std::string(1, c));
    EachSixteenth(from, to, steps,
                  [&](int i, std::string_view step)
                  {
                      float velocity = step == "X" ? 1.0f : step == "x" ? 0.75f : step == "o" ? 0.45f : 0.0f;
                      if (velocity == 0 && step != ".") Refuse("hit", step);
                      if (velocity > 0)
                          part.notes.push_back({BarBeat(from) + i * kSixteenth, kSixteenth, pitch, velocity});
                  });
}

void AddBass(Part& part, const Song& song, int from, int to, std::string_view pattern, int transpose,
             float velocity)
{
    AddHeldNotes(
        part, from, to, pattern,
        [&](int number, double beat) { return song.ChordAt(beat).root + number + transpose; }, velocity,
        false);
}

void AddArpeggio(Part& part, const Song& song, int from, int to, std::string_view pattern, int transpose,
                 float velocity)
{
    AddHeldNotes(
        part, from, to, pattern,
        [&](int number, double beat)
        {
            const std::vector<int>& tones = song.ChordAt(beat).tones;
            int octave = number / int(tones.size());
            return tones[size_t(number) % tones.size()] + 12 * octave + transpose;
        },
        velocity, true);
}

void AddChordTones(Part& part, const Song& song, int from, int to, int transpose, float velocity)
{
    // A tone the chord before also held is tied over, not struck again.
    std::vector<size_t> sounding;
    for (const Chord& chord : song.chords)
    {
        if (chord.beat < BarBeat(from) || chord.beat >= BarBeat(to + 1)) continue;
        std::vector<size_t> next;
        for (int tone : chord.tones)
        {
            auto held = std::find_if(sounding.begin(), sounding.end(),
                                     [&](size_t i)
                                     {
                                         const Note& note = part.notes[i];
                                         return note.pitch == tone + transpose &&
                                                std::abs(note.beat + note.beats - chord.beat) < 1e-9;
                                     });
            if (held != sounding.end())
            {
                part.notes[*held].beats += chord.beats;
                next.push_back(*held);
                continue;
            }
            next.push_back(part.notes.size());
            part.notes.push_back({chord.beat, chord.beats, tone + transpose, velocity});
        }
        sounding = next;
    }
}

} // namespace musicgen
