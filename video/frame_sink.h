#pragma once
// Where rendered frames go: a video file (H.264 video and AAC sound in MP4 or
// Matroska) or numbered PNG files. Frames are encoded on a worker thread while
// the caller renders the next one.

#include <cstdint>
#include <memory>
#include <string>

// Write and Finish are called from one thread (the one rendering).
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Takes one frame: width x height RGBA pixels, 4 bytes each, top row first,
    // rows packed. The bytes may be reused by the caller as soon as Write returns.
    // False, with the reason in *error, when it cannot be written.
    virtual bool Write(const uint8_t* rgba, std::string* error) = 0;
    // Finishes the output (flushes the encoders, writes the trailer, waits for
    // background work). False, with the reason, when it fails.
    virtual bool Finish(std::string* error) = 0;
};

struct VideoSettings {
    std::string path;        // ".mp4" or ".mkv"
    int width = 0;           // even numbers
    int height = 0;
    int fps = 60;
    std::string musicFile;   // Ogg Vorbis; empty or unreadable: a video without sound (said through *warning)
    double startSeconds = 0; // the span of the show the video covers: the sound track is the
    double endSeconds = 0;   // music from startSeconds to endSeconds, the music looping from its
                             // beginning whenever it ends (the player loops it), so picture and sound stay in sync
};

// Null, with the reason, when the settings are unusable, the file cannot be
// created or an encoder is missing. Without `warning`, a warning goes to the log.
// Destroyed without Finish, the video is closed as far as it was written,
// its sound ending with the picture.
std::unique_ptr<FrameSink> OpenVideo(const VideoSettings& settings, std::string* error,
                                     std::string* warning = nullptr);

// A PNG per frame. `pattern` either contains one printf-style %d (optionally
// like %05d) in its file name, which is replaced by the frame number, or ends in
// '/', in which case files are named "frame_00000.png", "frame_00001.png", ... in
// that folder. A missing folder is made. Numbers start at firstNumber (0 or
// more). No sound. The same frames give the same bytes.
std::unique_ptr<FrameSink> OpenPngSequence(const std::string& pattern, int width, int height,
                                           int firstNumber, std::string* error);

// Whether an output path means a PNG sequence (contains %d or the like, or ends in '/').
bool IsPngSequencePath(const std::string& path);
