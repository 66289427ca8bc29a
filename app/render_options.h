#pragma once
// The options that say how a render is written: frame rate, codec, quality
// or bit rate, frame range and sound, read and checked against the output
// they are for.

#include <cstdint>
#include <string>

struct PlayOptions;

// Text of the options as given; empty: not given.
struct RenderOptionTexts {
    std::string fps;
    std::string crf;
    std::string bitRate;
    std::string frames;
    bool startOrEndGiven = false;
};

// "8M", "2500k" or a number of bits a second; empty on success, else the reason.
std::string ParseBitRate(const std::string& text, int64_t* bitsPerSecond);
// "A:B": frames A up to B (B itself not included), A < B; empty on success,
// else the reason.
std::string ParseFrameRange(const std::string& text, int64_t* first, int64_t* end);

// Reads the texts into *options and checks them against each other and the
// output; a frame range becomes the start and end times too. Empty when
// they can be used, else the reason (one line, for exit code 2).
std::string ApplyRenderOptions(const RenderOptionTexts& texts, PlayOptions* options);
