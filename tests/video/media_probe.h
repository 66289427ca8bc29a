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
    bool present = false;
    AVCodecID codec = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    int pixelFormat = -1;
    AVColorSpace colourSpace = AVCOL_SPC_UNSPECIFIED;
    AVRational frameRate{0, 1};  // as the container records it
    int sampleRate = 0;
    int channels = 0;
    int64_t packets = 0;
    double seconds = 0;  // from the earliest packet start to the latest packet end
};

struct MediaFacts {
    std::string error;  // empty when the file could be read to its end
    StreamFacts video;
    StreamFacts sound;
    // The largest lead, in seconds, that one stream's packets take over the
    // other's while the file is read in order.
    double largestLead = 0;
};

MediaFacts ProbeMedia(const std::string& path);

// A decoded picture as RGB (BT.709, limited range, as the stream says).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

// Every picture, in presentation order; empty when the file cannot be decoded.
std::vector<Picture> DecodePictures(const std::string& path);

// The left channel of the decoded sound and its rate.
struct Sound {
    int rate = 0;
    std::vector<float> left;
};
Sound DecodeSound(const std::string& path);

// Root mean square of the sound between two times in seconds.
double Loudness(const Sound& sound, double from, double to);
