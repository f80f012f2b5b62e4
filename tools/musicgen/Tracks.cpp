#include "tools/musicgen/Tracks.h"

namespace musicgen
{

namespace
{

// The menu theme: slow, open chords in D major with a drifting bell arpeggio; a glass melody
// joins in the second and third passes of the progression. No drums.
Song Drift()
{
    Song song("drift", 72, 24, {1.1, 5}, {1.5, 0.4}, -19);
    AddChords(song, 1,
              "D2 A3 C#4 E4 F#4 | B1 F#3 A3 C#4 D4 | G1 D3 F#3 A3 C#4 | A1 E3 G3 B3 D4 , A1 E3 G3 C#4 E4 |"
              "F#2 A3 C#4 D4 E4 | E2 B3 D4 F#4 G4 | G2 B3 D4 F#4 A4 | A1 E3 G3 B3 D4 , A1 E3 G3 C#4 E4",
              3);

    AddChordTones(song.Add(Instrument::Pad, 0.35f, 0, 0.5f, 0, 0.5), song, 1, 24);
    AddBass(song.Add(Instrument::Sub, 0.45f, 0, 0.05f), song, 1, 24, "0 - - - - - - - - - - - - - - -");
    AddArpeggio(song.Add(Instrument::Bell, 0.3f, 0.25f, 0.45f, 0.25f, 0.3), song, 1, 24,
                "0 - 1 - 2 - 3 - 4 - 3 - 2 - 1 -", 12, 0.5f);

    Part& melody = song.Add(Instrument::Glass, 0.5f, -0.1f, 0.5f, 0.3f, 0.65);
    AddLine(melody, 9,
            "A5:8 F#5:4 E5:4 | F#5:6 E5:2 D5:4 C#5:4 | D5:4 E5:4 F#5:4 A5:4 | B5:8 A5:4 E5:4 |"
            "F#5:12 E5:4 | G5:6 F#5:2 E5:4 B4:4 | D5:4 F#5:4 B5:4 A5:4 | E5:8 C#5:8");
    AddLine(melody, 17,
            "F#5:4 A5:4 E6:8 | D6:6 C#6:2 B5:4 F#5:4 | G5:4 A5:4 B5:4 D6:4 | B5:8 A5:4 C#6:4 |"
            "A5:12 F#5:4 | G5:4 F#5:4 E5:4 D5:4 | B4:4 D5:4 F#5:4 E5:4 | E5:16");
    // Single high bells through the first pass, before the melody arrives.
    AddLine(song.Add(Instrument::Glass, 0.2f, 0.4f, 0.7f, 0.4f, 0.8), 1,
            "-:8 A6:8 | -:16 | -:4 F#6:12 | -:16 | -:8 E6:8 | -:16 | -:12 C#7:4 | -:16");
    return song;
}

// The first level theme: an A minor groove at a walking pace; plucked arpeggios, a soft kick and
// rim, shaker, and an electric-piano melody from the fourth phrase.
Song Orbit()
{
    Song song("orbit", 96, 28, {0.9, 3}, {0.75, 0.3}, -17.5);
    AddChords(song, 1, "A2 E3 G3 B3 C4 | F2 C3 E3 G3 A3 | D2 F3 A3 C4 E4 | E2 D3 E3 A3 B3 , E2 D3 E3 G#3 B3");
    AddChords(song, 5,
              "A2 E3 G3 B3 C4 | F2 C3 E3 G3 A3 | C3 G3 B3 D4 E4 | G2 D3 E3 G3 B3 |"
              "A2 E3 G3 B3 C4 | D2 F3 A3 C4 E4 | F2 C3 E3 G3 A3 | E2 D3 E3 A3 B3 , E2 D3 E3 G#3 B3",
              3);

    AddChordTones(song.Add(Instrument::Pad, 0.28f, 0, 0.4f, 0, 0.4), song, 1, 28);
    AddArpeggio(song.Add(Instrument::Pluck, 0.9f, 0.2f, 0.3f, 0.2f, 0.45), song, 1, 28,
                "0 1 2 3 1 2 3 4 2 3 4 3 2 1 2 1", 12, 0.6f);
    AddBass(song.Add(Instrument::Bass, 0.55f, 0, 0.05f, 0, 0.35), song, 5, 28,
            "0 - - 0 . . 0 - 0 - - 12 . 0 7 .");

    Part& kick = song.Add(Instrument::Kick, 0.7f, 0, 0.05f, 0, 0.4);
    AddHits(kick, 5, 28, "x.......x.....x.");
    AddHits(song.Add(Instrument::Rim, 0.45f, -0.15f, 0.2f), 5, 28, "....x.......x...", 92);
    AddHits(song.Add(Instrument::Shaker, 0.18f, 0.3f, 0.15f), 1, 28, "o.xoo.xoo.xoo.xo");
    AddHits(song.Add(Instrument::Hat, 0.2f, -0.3f, 0.1f), 13, 28, "..x...x...x...x.");
    Part& toms = song.Add(Instrument::Tom, 0.45f, 0.1f, 0.2f);
    for (int bar : {12, 20, 28})
        AddLine(toms, bar, "-:12 E3:2 C3:1 A2:1");

    Part& keys = song.Add(Instrument::Keys, 0.45f, -0.1f, 0.35f, 0.2f, 0.5);
    AddLine(keys, 13,
            "A5:3 G5:3 E5:2 -:2 E5:2 G5:2 A5:2 | C6:6 B5:2 A5:4 G5:4 | E5:3 G5:3 B5:2 -:2 B5:2 C6:2 D6:2 |"
            "B5:8 A5:4 G5:4 | A5:3 G5:3 E5:2 -:2 E5:2 G5:2 A5:2 | F5:6 E5:2 D5:4 A5:4 | G5:6 A5:2 C6:4 E6:4 |"
            "D6:8 B5:4 G#5:4");
    const char* second = "E6:3 D6:3 C6:2 B5:2 C6:2 A5:4 | A5:3 G5:3 A5:2 C6:8 | G5:3 E5:3 G5:2 B5:4 D6:4 |"
                         "D6:6 B5:2 G5:8 | A5:3 C6:3 E6:2 -:2 D6:2 C6:2 B5:2 | A5:6 F5:2 D5:4 E5:4 |"
                         "F5:4 A5:4 C6:4 B5:4 | B5:8 G#5:8";
    AddLine(keys, 21, second);
    AddLine(song.Add(Instrument::Glass, 0.15f, 0.3f, 0.5f, 0.3f, 0.4), 21, second, 0.8f, 12);
    return song;
}

// The second level theme: E minor at a run; a filtered-saw arpeggio through echoes, four-to-the-
// floor drums, a lead tune, a quieter bell passage and a snare roll back into the tune.
Song NebulaRun()
{
    Song song("nebula run", 112, 32, {0.8, 2.5}, {0.75, 0.35}, -16.5);
    AddChords(song, 1,
              "E2 G3 B3 D4 F#4 | C2 G3 B3 D4 E4 | G2 G3 B3 D4 E4 | F#2 F#3 A3 D4 E4 |"
              "E2 G3 B3 D4 F#4 | A2 G3 B3 C4 E4 | C2 G3 B3 C4 E4 | B1 F#3 A3 B3 E4 , B1 F#3 A3 B3 D#4",
              4);

    AddChordTones(song.Add(Instrument::Pad, 0.22f, 0, 0.4f, 0, 0.5), song, 1, 32);
    AddChordTones(song.Add(Instrument::Pad, 0.25f, 0, 0.5f, 0, 0.6), song, 17, 24, 12, 0.5f);
    AddArpeggio(song.Add(Instrument::Lead, 0.4f, 0.3f, 0.2f, 0.35f, 0.35), song, 1, 32,
                "0 2 1 3 2 4 3 1 0 2 1 3 2 4 3 5", 12, 0.6f);
    Part& bass = song.Add(Instrument::Bass, 0.55f, 0, 0.05f, 0, 0.6);
    AddBass(bass, song, 1, 16, "0 - 0 - 12 - 0 - 0 - 0 - 12 - 7 -");
    AddBass(bass, song, 17, 24, "0 - - - - - - - - - - - 0 - - -");
    AddBass(bass, song, 25, 32, "0 - 0 - 12 - 0 - 0 - 0 - 12 - 7 -");

    Part& kick = song.Add(Instrument::Kick, 0.8f, 0, 0.05f, 0, 0.7);
    AddHits(kick, 1, 16, "x...x...x...x...");
    AddHits(kick, 17, 24, "x...............");
    AddHits(kick, 25, 32, "x...x...x...x...");
    Part& hat = song.Add(Instrument::Hat, 0.25f, 0.25f, 0.1f);
    AddHits(hat, 1, 8, "..x...x...x...x.");
    AddHits(hat, 9, 16, "o.x.o.x.o.x.o.xo");
    AddHits(hat, 17, 24, "..o...o...o...o.");
    AddHits(hat, 25, 32, "o.x.o.x.o.x.o.xo");
    Part& snare = song.Add(Instrument::Snare, 0.5f, -0.1f, 0.2f);
    AddHits(snare, 9, 16, "....x.......x...");
    AddHits(snare, 23, 24, "o...o...o...x...o.o.o.o.x.x.xxXX");
    AddHits(snare, 25, 32, "....x.......x...");
    AddHits(song.Add(Instrument::Clap, 0.45f, 0.1f, 0.25f), 25, 32, "....x.......x...");
    Part& riser = song.Add(Instrument::Riser, 0.6f, 0, 0.4f);
    AddLine(riser, 8, "C4:16");
    AddLine(riser, 24, "C4:16");

    Part& lead = song.Add(Instrument::Lead, 0.6f, -0.1f, 0.25f, 0.3f, 0.55);
    const char* tune = "B4:2 E5:2 -:2 G5:2 -:2 F#5:2 E5:2 D5:2 | E5:6 B4:2 -:4 C5:2 D5:2 |"
                       "D5:2 G5:2 -:2 B5:2 -:2 A5:2 G5:2 F#5:2 | A5:6 F#5:2 -:4 D5:2 E5:2 |";
    AddLine(lead, 9,
            std::string(tune) + "G5:2 B5:2 -:2 E6:2 -:2 D6:2 B5:2 G5:2 | A5:6 G5:2 -:2 E5:2 G5:2 A5:2 |"
                                "B5:4 G5:4 E5:4 G5:4 | F#5:8 D#5:8");
    AddLine(lead, 25,
            std::string(tune) + "G5:2 B5:2 -:2 E6:2 -:2 F#6:2 G6:2 E6:2 | C6:6 B5:2 -:2 A5:2 G5:2 E5:2 |"
                                "G5:4 B5:4 D6:4 E6:4 | F#6:8 D#6:4 B5:4");
    AddLine(
        song.Add(Instrument::Bell, 0.5f, 0.2f, 0.4f, 0.3f, 0.3), 17,
        "E6:8 D6:8 | B5:8 G5:8 | D6:8 B5:8 | A5:16 | G5:8 B5:8 | C6:8 E6:8 | D6:8 B5:8 | A5:8 F#5:4 D#5:4");
    return song;
}

// The third level theme: F# minor, fast and driving; rolling sixteenth bass, full drums with
// fills and risers, two lead tunes, a bell breakdown that builds back into the first tune with a
// glass line an octave above.
Song EventHorizon()
{
    Song song("event horizon", 126, 40, {0.75, 2.2}, {0.75, 0.4}, -15.5);
    AddChords(
        song, 1,
        "F#2 F#3 A3 C#4 E4 | D2 F#3 A3 C#4 E4 | E2 E3 G#3 B3 C#4 | C#2 E3 G#3 B3 C#4 , C#2 F3 G#3 B3 C#4 |"
        "F#2 F#3 A3 C#4 E4 | B1 F#3 A3 B3 D4 | D2 F#3 A3 C#4 E4 | C#2 F#3 G#3 B3 C#4 , C#2 F3 G#3 B3 C#4",
        5);

    AddChordTones(song.Add(Instrument::Pad, 0.22f, 0, 0.4f, 0, 0.3), song, 1, 40);
    AddChordTones(song.Add(Instrument::Pad, 0.3f, 0, 0.5f, 0, 0.55), song, 25, 32, 12, 0.5f);
    AddArpeggio(song.Add(Instrument::Lead, 0.4f, -0.3f, 0.2f, 0.4f, 0.3), song, 1, 40,
                "0 1 2 3 2 1 2 3 0 1 2 3 4 3 2 1", 12, 0.6f);
    Part& bass = song.Add(Instrument::Bass, 0.55f, 0, 0.03f, 0, 0.75);
    const char* rolling = "0 . 0 0 . 0 0 . 0 . 0 0 12 . 0 .";
    AddBass(bass, song, 1, 24, rolling);
    AddBass(bass, song, 25, 32, "0 - - - - - - - - - - - - - - -");
    AddBass(bass, song, 33, 40, rolling);

    Part& kick = song.Add(Instrument::Kick, 0.9f, 0, 0.04f, 0, 0.9);
    AddHits(kick, 1, 24, "x...x...x...x...");
    AddHits(kick, 31, 40, "x...x...x...x...");
    Part& snare = song.Add(Instrument::Snare, 0.5f, -0.1f, 0.2f);
    AddHits(snare, 5, 24, "....x.......x...");
    AddHits(snare, 29, 30, "x.......x.......");
    AddHits(snare, 31, 31, "x...x...x...x...");
    AddHits(snare, 32, 32, "x.x.x.x.xxxxXXXX");
    AddHits(snare, 33, 40, "....x.......x...");
    Part& clap = song.Add(Instrument::Clap, 0.4f, 0.1f, 0.25f);
    AddHits(clap, 9, 24, "....x.......x...");
    AddHits(clap, 33, 40, "....x.......x...");
    Part& hat = song.Add(Instrument::Hat, 0.25f, 0.25f, 0.08f);
    AddHits(hat, 1, 24, "xoxoxoxoxoxoxoxo");
    AddHits(hat, 25, 32, "..o...o...o...o.");
    AddHits(hat, 33, 40, "xoxoxoxoxoxoxoxo");
    Part& open = song.Add(Instrument::OpenHat, 0.18f, -0.25f, 0.15f);
    AddHits(open, 17, 24, "..x...x...x...x.");
    AddHits(open, 33, 40, "..x...x...x...x.");
    Part& toms = song.Add(Instrument::Tom, 0.5f, 0.15f, 0.2f);
    for (int bar : {16, 24, 40})
        AddLine(toms, bar, "-:8 A3:2 A3:2 F#3:2 D3:1 D3:1");
    Part& riser = song.Add(Instrument::Riser, 0.6f, 0, 0.4f);
    AddLine(riser, 8, "C4:16");
    AddLine(riser, 23, "C4:32");
    AddLine(riser, 31, "C4:32");

    Part& lead = song.Add(Instrument::Lead, 0.55f, 0.1f, 0.25f, 0.3f, 0.6);
    const char* first = "C#5:3 F#5:3 A5:2 -:2 G#5:2 F#5:2 E5:2 | F#5:6 C#5:2 -:2 D5:2 E5:2 F#5:2 |"
                        "G#5:3 B5:3 E5:2 -:2 G#5:2 A5:2 B5:2 | C#6:6 B5:2 G#5:4 F5:4 |"
                        "C#5:3 F#5:3 A5:2 -:2 C#6:2 B5:2 A5:2 | B5:6 A5:2 -:2 F#5:2 D5:2 F#5:2 |"
                        "A5:3 F#5:3 D5:2 -:2 E5:2 F#5:2 A5:2 | G#5:8 F5:4 C#5:4";
    AddLine(lead, 9, first);
    AddLine(
        lead, 17,
        "F#5:2 A5:2 C#6:2 A5:2 F#6:4 E6:2 C#6:2 | D6:4 C#6:2 A5:2 F#5:4 A5:4 |"
        "E6:2 B5:2 G#5:2 B5:2 E6:4 F#6:2 G#6:2 | E6:6 C#6:2 B5:4 G#5:4 |"
        "A5:2 C#6:2 F#6:4 E6:2 C#6:2 A5:4 | D6:6 C#6:2 B5:4 A5:4 | F#5:4 A5:4 D6:4 E6:4 | F#6:6 E6:2 F6:8");
    AddLine(lead, 33, first);
    AddLine(song.Add(Instrument::Glass, 0.15f, -0.2f, 0.35f, 0.3f, 0.45), 33, first, 0.8f, 12);
    AddLine(song.Add(Instrument::Bell, 0.4f, 0.2f, 0.45f, 0.3f, 0.3), 25,
            "C#6:8 A5:8 | F#5:12 A5:4 | B5:8 G#5:8 | E5:8 F5:8 | F#5:8 C#6:8 | D6:12 C#6:4 | A5:16 | G#5:16");
    return song;
}

} // namespace

std::vector<Song> Tracks()
{
    return {Drift(), Orbit(), NebulaRun(), EventHorizon()};
}

} // namespace musicgen
