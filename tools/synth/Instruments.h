#pragma once

#include "tools/synth/Dsp.h"

#include <vector>

// One note or hit of each instrument, rendered on its own: the sound effects layer them, the music
// sequencer places them. Frequencies in Hz, times in seconds; `held` is how long the note is down,
// and the returned signal also holds its release. Every signal starts and ends at silence.
namespace synth
{

// A struck metal bar: a few inharmonic partials, the higher ones dying sooner; brightness 0 to 1
// weighs the upper partials.
Signal Chime(double hz, double seconds, double brightness);

// A two-operator FM bell: a modulator at ratio x hz whose depth dies faster than the tone.
Signal FmBell(double hz, double seconds, double ratio, double index, double decay);

// A plucked string: a burst of noise circulating in a tuned, damped delay loop. brightness 0 to 1
// colours the burst; ring is the time for the string to fall 60 dB.
Signal Pluck(double hz, double seconds, double brightness, double ring, uint32_t seed);

// A wide chord of detuned saws through a slowly breathing low-pass.
Stereo Pad(const std::vector<double>& hz, double held, double attack, double release, double cutoffHz,
           uint32_t seed);

// A synth bass: a sine body and a saw edge (0 to 1) whose filter closes after the attack.
Signal Bass(double hz, double held, double edge);

// A saw and pulse lead with a filter that opens on the attack, and vibrato that grows in.
Signal Lead(double hz, double held, double brightness, double resonance);

// A brass-like tone: detuned saws that swell in through a filter, with a scooped attack.
Signal Brass(double hz, double held, double brightness);

// Drums. punch 0 to 1 sets how far the kick's pitch falls; seeds vary the noise between hits.
Signal Kick(double punch, double length);
Signal Snare(uint32_t seed, double length);
Signal Clap(uint32_t seed);
Signal Hat(uint32_t seed, double length);
Signal Shaker(uint32_t seed);
Signal Tom(double hz);
// A hollow wooden knock (a rim shot, a clock's tick) sounding at hz.
Signal Block(double hz, uint32_t seed);

// Pink noise through a band-pass whose centre glides exponentially from one frequency to the
// other; the level swells to its top at peakAt (0 to 1 of the length) and falls to silence.
Signal NoiseSweep(double fromHz, double toHz, double seconds, double q, double peakAt, uint32_t seed);

// A sine gliding exponentially from one frequency to another, dying away with the time constant.
Signal Glide(double fromHz, double toHz, double seconds, double decay);

} // namespace synth
