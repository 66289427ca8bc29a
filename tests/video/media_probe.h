#pragma once
// Reads a written video back with libavformat and libavcodec, as a player
// would: its streams, their packets and timing, the decoded pictures and sound.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <string>
#include <vector>

struct StreamFacts {
    AVCodecID codec = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    AVColorSpace colourSpace = AVCOL_SPC_UNSPECIFIED;
    AVRational frameRate{0, 1};  // as the container records it
    int64_t packets = 0;
    double seconds = 0;  // from the earliest packet start to the latest packet end
};

struct MediaFacts {
    std::string error;  // empty when the file could be read to its end
    StreamFacts video;
    StreamFacts sound;
};

MediaFacts ProbeMedia(const std::string& path);

// Every picture as RGB bytes, converted as the stream says (BT.709, limited
// range), in presentation order.
std::vector<std::vector<uint8_t>> DecodePictures(const std::string& path);

// The left channel of the decoded sound and its rate.
struct Sound {
    int rate = 0;
    std::vector<float> left;
};
Sound DecodeSound(const std::string& path);

// Root mean square of the sound between two times in seconds.
double Loudness(const Sound& sound, double from, double to);
