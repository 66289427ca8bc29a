#pragma once
// Short Ogg Vorbis files for the video tests, written with FFmpeg's Vorbis
// encoder: a sound given as a function of time, the same on both channels.

#include <functional>
#include <string>

// Empty on success, otherwise the reason.
std::string WriteTestMusic(const std::string& path, double seconds, int sampleRate,
                           const std::function<float(double)>& soundAt);

// A sine tone of 440 Hz at half of full scale.
float Tone(double seconds);
