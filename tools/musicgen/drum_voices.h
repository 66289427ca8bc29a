#pragma once
// Synthesised drums. Each function adds one hit, starting at `start`
// seconds, into a track; the seed varies the noise from hit to hit.

#include <cstdint>
#include <vector>

#include "tools/common/stereo_signal.h"

void AddKick(std::vector<float>& track, double start, float velocity, uint32_t seed);
void AddSnare(std::vector<float>& track, double start, float velocity, uint32_t seed);
void AddClap(std::vector<float>& track, double start, float velocity, uint32_t seed);
void AddHat(StereoSignal& track, double start, float velocity, bool open, uint32_t seed);
void AddCrash(StereoSignal& track, double start, float velocity, uint32_t seed);
// Noise swept upwards through a resonant band-pass, growing louder.
void AddRiser(StereoSignal& track, double start, double seconds, float velocity, uint32_t seed);
