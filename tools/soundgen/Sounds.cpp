#include "tools/soundgen/Sounds.h"

#include "tools/synth/Instruments.h"

#include <cmath>

namespace soundgen
{

using namespace synth;

namespace
{

double Hz(const char* note)
{
    return NoteHz(NoteNumber(note));
}

size_t At(double seconds)
{
    return Frames(seconds);
}

// The dry layers with a reverberated copy added: `wet` of a hall of the given size and decay.
Stereo Space(const Stereo& dry, double wet, double size, double decay)
{
    Stereo out = dry;
    Stereo hall = ApplyReverb(dry, Reverb(size, decay, 6000, 0.012));
    out.Add(hall, 0, float(wet));
    return out;
}

// The chime of a good move: one note for a short chain, more notes ringing above it as the chain
// grows, so the ear hears the chain climb.
Stereo GoodMove(int chain)
{
    static const char* kNotes[10] = {"A4", "B4", "C#5", "E5", "F#5", "A5", "B5", "C#6", "E6", "F#6"};
    double f = Hz(kNotes[chain - 1]);
    Stereo dry(At(1.45));
    dry.Add(Chime(f, 1.2, 0.4 + 0.04 * chain), 0, 0.8f);
    dry.Add(FmBell(f, 0.9, 1.0, 0.9, 0.22), 0, 0.22f);
    if (chain >= 4) dry.Add(Chime(f * 1.5, 1.0, 0.5), At(0.06), 0.32f, 0.35f);
    if (chain >= 7) dry.Add(Chime(f * 2, 0.9, 0.5), At(0.12), 0.26f, -0.35f);
    if (chain >= 10)
    {
        dry.Add(Chime(f * 2.5, 0.8, 0.5), At(0.18), 0.22f, 0.2f);
        dry.Add(NoiseSweep(5000, 11000, 0.9, 5, 0.25, 31), At(0.1), 0.12f);
    }
    return Space(dry, 0.3, 0.7, 1.6);
}

Stereo NormalMove()
{
    Stereo dry(At(0.32));
    dry.Add(Glide(700, 420, 0.14, 0.03), 0, 0.8f);
    dry.Add(NoiseSweep(2600, 1100, 0.12, 1.2, 0.15, 5), 0, 0.45f);
    return Space(dry, 0.15, 0.4, 0.5);
}

Stereo Bonus()
{
    Stereo dry(At(1.2));
    const char* notes[] = {"C#6", "E6", "A6"};
    for (int i = 0; i < 3; ++i)
        dry.Add(FmBell(Hz(notes[i]), 0.6, 3.5, 1.1, 0.16), At(0.07 * i), 0.45f, -0.3f + 0.3f * float(i));
    dry.Add(Chime(Hz("A6"), 0.9, 0.6), At(0.21), 0.6f);
    dry.Add(NoiseSweep(6000, 12000, 0.6, 4, 0.2, 9), At(0.15), 0.18f);
    return Space(dry, 0.35, 0.7, 1.5);
}

Stereo LongChain()
{
    Stereo dry(At(1.1));
    dry.Add(Glide(330, 1320, 0.24, 0.5), 0, 0.5f, -0.2f);
    dry.Add(Glide(660, 2640, 0.24, 0.5), 0, 0.2f, 0.2f);
    dry.Add(Chime(Hz("E6"), 0.85, 0.55), At(0.2), 0.6f, 0.15f);
    dry.Add(Chime(Hz("A6"), 0.8, 0.55), At(0.27), 0.45f, -0.15f);
    return Space(dry, 0.3, 0.7, 1.4);
}

Stereo BlackHoleGrow()
{
    const double length = 1.5;
    Stereo dry(At(length));
    // A sinking sub tone that throbs, a swell of dark noise and a band of air drawn downwards.
    // The sub tone is driven into soft saturation, so its overtones carry it on small speakers.
    Signal sub = Glide(70, 38, 1.4, 0.7);
    for (size_t i = 0; i < sub.size(); ++i)
        sub[i] = float(std::tanh(2.5 * sub[i]) * (0.75 + 0.25 * std::sin(2 * kPi * 6 * double(i) / kRate)));
    dry.Add(sub, 0, 0.4f);
    Signal rumble(At(1.4));
    Noise noise(17);
    Svf low;
    low.Set(170, 0.8);
    for (size_t i = 0; i < rumble.size(); ++i)
    {
        double t = double(i) / kRate;
        double swell = t < 0.35 ? SmoothStep(t / 0.35) : SmoothStep((1.4 - t) / 1.05);
        rumble[i] = low.Low(noise.Brown() * 3) * float(swell);
    }
    dry.Add(rumble, 0, 0.5f);
    dry.Add(Pad({Hz("A1"), Hz("E2"), Hz("Bb2"), Hz("E3")}, 0.8, 0.3, 0.6, 700, 13), 0, 1.1f);
    dry.Add(NoiseSweep(1400, 140, 1.2, 2.5, 0.3, 19), At(0.05), 0.5f);
    // Saturation rounds off the noise's spikes, so the rumble can be loud without a high peak.
    for (Signal* side : {&dry.left, &dry.right})
        for (float& v : *side)
            v = float(std::tanh(2 * v) / 2);
    return Space(dry, 0.25, 1.0, 2.0);
}

Stereo BlackHoleStopped()
{
    Stereo dry(At(0.9));
    dry.Add(Glide(160, 480, 0.25, 0.12), 0, 0.7f);
    dry.Add(NoiseSweep(300, 2000, 0.3, 1.5, 0.2, 23), 0, 0.3f);
    dry.Add(Chime(Hz("E5"), 0.6, 0.35), At(0.12), 0.35f, -0.2f);
    dry.Add(Chime(Hz("A5"), 0.6, 0.35), At(0.2), 0.3f, 0.2f);
    return Space(dry, 0.25, 0.7, 1.2);
}

Stereo FadeIn()
{
    Stereo dry(At(1.9));
    std::vector<double> chord = {Hz("A3"), Hz("E4"), Hz("B4"), Hz("C#5")};
    dry.Add(Pad(chord, 0.9, 0.7, 0.8, 1800, 29), 0, 0.9f);
    Signal air = NoiseSweep(400, 5000, 1.6, 0.9, 0.55, 37);
    dry.Add(air, 0, 0.35f);
    dry.Add(Chime(Hz("E6"), 0.9, 0.4), At(0.7), 0.2f, 0.3f);
    dry.Add(Chime(Hz("B6"), 0.8, 0.4), At(0.85), 0.15f, -0.3f);
    return Space(dry, 0.4, 1.0, 2.2);
}

// A short brass call: three quick notes up to a held one over its chord, a chime on top.
Stereo LevelUp()
{
    Stereo dry(At(1.5));
    const char* run[] = {"E4", "A4", "C#5"};
    for (int i = 0; i < 3; ++i)
        dry.Add(Brass(Hz(run[i]), 0.08, 0.7), At(0.11 * i), 0.5f);
    dry.Add(Brass(Hz("E5"), 0.55, 0.8), At(0.33), 0.55f);
    for (const char* note : {"A3", "E4", "A4"})
        dry.Add(Brass(Hz(note), 0.55, 0.5), At(0.33), 0.25f, note[0] == 'E' ? 0.3f : -0.3f);
    dry.Add(Chime(Hz("E6"), 0.9, 0.5), At(0.33), 0.3f);
    return Space(dry, 0.25, 0.8, 1.6);
}

// The win: a rising call, a step through the subdominant and a held tonic chord with toms under it
// and bells above.
Stereo YouWin()
{
    Stereo dry(At(2.4));
    struct Call
    {
        const char* note;
        double at, held;
    };
    const Call call[] = {{"E4", 0, 0.1},     {"A4", 0.15, 0.1}, {"C#5", 0.3, 0.1},
                         {"E5", 0.45, 0.28}, {"D5", 0.8, 0.12}, {"E5", 0.97, 0.85}};
    for (const Call& c : call)
        dry.Add(Brass(Hz(c.note), c.held, 0.8), At(c.at), 0.5f);
    for (const char* note : {"D4", "F#4", "A4"})
        dry.Add(Brass(Hz(note), 0.12, 0.5), At(0.8), 0.18f, note[0] == 'F' ? 0.35f : -0.35f);
    for (const char* note : {"A3", "E4", "A4", "C#5"})
        dry.Add(Brass(Hz(note), 0.85, 0.5), At(0.97), 0.16f,
                note[0] == 'E' || note[0] == 'C' ? 0.35f : -0.35f);
    const double toms[] = {0.62, 0.7, 0.78};
    for (int i = 0; i < 3; ++i)
        dry.Add(Tom(140 - 25 * i), At(toms[i]), 0.45f, 0.3f - 0.3f * float(i));
    dry.Add(Kick(0.6, 0.5), At(0.97), 0.5f);
    dry.Add(Hat(41, 1.2), At(0.97), 0.12f);
    const char* bells[] = {"A6", "C#7", "E7"};
    for (int i = 0; i < 3; ++i)
        dry.Add(Chime(Hz(bells[i]), 1.0, 0.4), At(1.0 + 0.08 * i), 0.22f, -0.3f + 0.3f * float(i));
    return Space(dry, 0.3, 0.9, 1.8);
}

// The end of a game: soft bells stepping down to a low, settling chord over a sinking drone.
Stereo GameOver()
{
    Stereo dry(At(2.5));
    const char* steps[] = {"E5", "C5", "A4", "G#4"};
    for (int i = 0; i < 4; ++i)
    {
        double at = 0.32 * i;
        dry.Add(FmBell(Hz(steps[i]), 0.8, 1.0, 1.2, 0.3), At(at), 0.5f, 0.2f - 0.13f * float(i));
        dry.Add(Chime(Hz(steps[i]), 0.8, 0.25), At(at), 0.25f);
    }
    for (const char* note : {"A3", "C4", "E4", "A4"})
        dry.Add(FmBell(Hz(note), 1.15, 1.0, 0.8, 0.5), At(1.3), 0.3f, note[1] == '3' ? -0.3f : 0.3f);
    dry.Add(Glide(110, 98, 2.4, 1.2), 0, 0.25f);
    return Space(dry, 0.35, 1.0, 2.0);
}

Stereo LevelFinished()
{
    Stereo dry(At(1.5));
    const char* notes[] = {"A5", "C#6", "E6", "A6", "C#7", "E7"};
    for (int i = 0; i < 6; ++i)
        dry.Add(Chime(Hz(notes[i]), 0.9, 0.55), At(0.05 * i), 0.45f, -0.4f + 0.16f * float(i));
    dry.Add(NoiseSweep(800, 9000, 0.6, 1.2, 0.8, 43), 0, 0.35f);
    dry.Add(FmBell(Hz("A4"), 1.0, 1.0, 0.6, 0.4), At(0.3), 0.3f);
    return Space(dry, 0.35, 0.8, 1.6);
}

Stereo Supernova()
{
    Stereo dry(At(0.5));
    Signal throb = FmBell(Hz("E6"), 0.45, 2.0, 1.5, 0.12);
    for (size_t i = 0; i < throb.size(); ++i)
        throb[i] *= float(0.7 + 0.3 * std::sin(2 * kPi * 16 * double(i) / kRate));
    dry.Add(throb, 0, 0.5f);
    dry.Add(Glide(660, 990, 0.4, 0.15), 0, 0.4f);
    dry.Add(NoiseSweep(5000, 8000, 0.4, 3, 0.3, 47), 0, 0.3f);
    return Space(dry, 0.2, 0.5, 0.8);
}

Stereo SupernovaExplode()
{
    Stereo dry(At(1.5));
    // A white flash that darkens as it spreads, a thump under it, sparks above.
    Signal flash(At(1.2));
    Noise noise(53);
    Svf filter;
    for (size_t i = 0; i < flash.size(); ++i)
    {
        double t = double(i) / kRate;
        if (i % 16 == 0) filter.Set(14000 * std::pow(800.0 / 14000, t / 1.2), 0.7);
        flash[i] = filter.Low(noise.White()) * Strike(t, 0.003, 0.35, 1.2, 0.3);
    }
    dry.Add(flash, 0, 1.0f);
    dry.Add(Kick(0.8, 0.5), 0, 0.45f);
    const char* sparks[] = {"E6", "B6", "E7"};
    for (int i = 0; i < 3; ++i)
        dry.Add(FmBell(Hz(sparks[i]), 0.7, 3.5, 1.3, 0.2), At(0.02 + 0.035 * i), 0.25f, 0.3f * float(i - 1));
    dry.Add(NoiseSweep(3000, 12000, 0.9, 3, 0.15, 59), 0, 0.3f);
    return Space(dry, 0.35, 1.0, 1.8);
}

// A clock: a high tick and, half a second later, a lower tock.
Stereo TickTock()
{
    Stereo dry(At(0.9));
    dry.Add(Block(2300, 61), 0, 0.8f, -0.1f);
    dry.Add(Block(1500, 67), At(0.45), 0.8f, 0.1f);
    Signal body = Glide(220, 200, 0.12, 0.03);
    dry.Add(body, 0, 0.3f);
    dry.Add(body, At(0.45), 0.3f);
    return Space(dry, 0.15, 0.35, 0.5);
}

// A rush of air past the listener: two noise bands gliding up (in) or down (out), swelling towards
// the near end, a faint tone gliding with them.
Stereo Zoom(bool in)
{
    double from = in ? 250 : 5000, to = in ? 5000 : 250, peakAt = in ? 0.75 : 0.25;
    Stereo dry(At(0.75));
    dry.Add(NoiseSweep(from, to, 0.65, 1.6, peakAt, 71), 0, 0.8f, -0.5f);
    dry.Add(NoiseSweep(from * 1.1, to * 1.1, 0.65, 1.6, peakAt, 73), 0, 0.8f, 0.5f);
    dry.Add(Glide(in ? 180 : 720, in ? 720 : 180, 0.6, 1.0), 0, 0.12f);
    return Space(dry, 0.2, 0.6, 0.9);
}

} // namespace

std::vector<SoundRecipe> Recipes()
{
    std::vector<SoundRecipe> recipes = {
        {"blackhole_grow", 0, BlackHoleGrow},
        {"blackhole_stopped", -2, BlackHoleStopped},
        {"bonus", 0, Bonus},
        {"fadein", -4, FadeIn},
        {"gameover", 0, GameOver},
    };
    for (int chain = 1; chain <= 10; ++chain)
        recipes.push_back({"goodmove" + std::to_string(chain), -1, [chain] { return GoodMove(chain); }});
    std::vector<SoundRecipe> rest = {
        {"levelfinished", 0, LevelFinished},
        {"levelup", 0, LevelUp},
        {"longchain", -1, LongChain},
        {"normalmove", -6, NormalMove},
        {"supernova", -4, Supernova},
        {"supernova_explode", 0, SupernovaExplode},
        {"ticktock", -4, TickTock},
        {"youwin", 0, YouWin},
        {"zoomin", -3, [] { return Zoom(true); }},
        {"zoomout", -3, [] { return Zoom(false); }},
    };
    recipes.insert(recipes.end(), rest.begin(), rest.end());
    return recipes;
}

} // namespace soundgen
