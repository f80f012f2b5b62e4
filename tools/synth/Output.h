#pragma once

#include "tools/synth/Dsp.h"

#include <string>

// Finishing a rendered signal and writing it out: edge fades, levels, 16-bit WAVE files and
// spectrogram pictures to look at while composing.
namespace synth
{

// Fades the first and last seconds in and out along a raised cosine, so the ends are silent.
void FadeEdges(Stereo& sound, double inSeconds, double outSeconds);
void Scale(Stereo& sound, double gain);
double Peak(const Stereo& sound);

// How loud a sound feels, in dB: the loudest 100 ms of the signal weighted as the ear hears it
// (lows below 80 Hz count less, highs above 1.5 kHz more), both sides together.
double LoudnessDb(const Stereo& sound);
// The same weighting averaged over the whole signal: the level of a piece of music.
double AverageLoudnessDb(const Stereo& sound);

// Brings the sound to the loudness target, or lower where its peak would pass peakLimit.
// Returns the gain applied.
double Normalise(Stereo& sound, double targetDb, double peakLimit);

// 16-bit PCM at kRate, two channels, rounded and clamped to the 16-bit range.
std::string WaveBytes(const Stereo& sound);
bool WriteWave(const std::string& path, const Stereo& sound);

// A PNG of the sound: a waveform strip (peaks per column, clipped columns in red) above a
// spectrogram on a logarithmic frequency axis from 30 Hz to 18 kHz.
bool WriteSpectrogram(const std::string& path, const Stereo& sound);

} // namespace synth
