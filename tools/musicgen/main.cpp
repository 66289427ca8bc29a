// musicgen: synthesises the soundtrack and writes it as Ogg Vorbis
// (44.1 kHz stereo).

#include <chrono>
#include <cmath>
#include <iomanip>
#include <iostream>

#include "tools/common/command_line.h"
#include "tools/musicgen/delivery.h"
#include "tools/musicgen/song_renderer.h"

namespace {

constexpr const char* kTool = "musicgen";
// The decoded file's peak stays below this: half a decibel under full scale.
constexpr float kFileCeiling = 0.944f;

std::string Usage()
{
    return "usage: musicgen [--seconds N] OUTPUT.ogg\n\n"
           "Synthesises the soundtrack (176 beats a minute; intro, build, drop, break,\n"
           "build, drop, outro) and writes it as Ogg Vorbis, 44.1 kHz stereo.\n\n"
           "  --seconds N  render only the first N seconds (the whole song is " +
           std::to_string(static_cast<int>(FullSongSeconds())) + " s)\n";
}

float Decibels(float level)
{
    return 20.0f * std::log10(std::max(level, 1e-6f));
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    const OptionNames names{{"--seconds"}, {"--help"}};
    if (std::string problem = ParseCommandLine(argc, argv, names, &line); !problem.empty()) {
        return ReportError(kTool, problem + "\n" + Usage(), kExitUsage);
    }
    if (line.Has("--help")) {
        std::cout << Usage();
        return 0;
    }
    if (line.positional.size() != 1) {
        return ReportError(kTool, "expected one output path\n" + Usage(), kExitUsage);
    }
    float seconds = static_cast<float>(FullSongSeconds());
    if (std::string problem = ReadFloatOption(line, "--seconds", 0.1, 3600.0, &seconds);
        !problem.empty()) {
        return ReportError(kTool, problem, kExitUsage);
    }

    const auto began = std::chrono::steady_clock::now();
    RenderedSong song = RenderSong(seconds);
    DecodedFacts file;
    if (std::string problem =
            WriteBelowCeiling(line.positional[0], song.signal, kFileCeiling, &file);
        !problem.empty()) {
        return ReportError(kTool, problem, kExitFailure);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
    std::cout << std::fixed << std::setprecision(2) << kTool << ": wrote " << line.positional[0]
              << ": " << file.seconds << " s, " << file.channels << " channels at "
              << file.sampleRate << " Hz, peak " << file.peak << " (" << Decibels(file.peak)
              << " dBFS; the limiter took up to " << -Decibels(song.limiterGain) << " dB off), in "
              << took.count() << " s\n";
    return 0;
}
