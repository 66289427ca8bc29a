#pragma once
// Where rendered frames go: a video file (MP4, Matroska, QuickTime or WebM,
// in the codecs of video/video_format.h) or numbered PNG files. Frames are encoded on a worker thread while
// the caller renders the next one. Every file is written whole or not at all
// (video/whole_file.h): under a hidden temporary name beside it, given its
// name once complete.

#include <cstdint>
#include <memory>
#include <string>

#include "core/frame_rate.h"
#include "video/whole_file.h"

// Write and the Finish calls are made from one thread (the one rendering).
class FrameSink {
public:
    // Destroyed without a Finish, or after one that failed, nothing is left
    // of an unfinished file under any name.
    virtual ~FrameSink() = default;
    // Takes one frame: width x height RGBA pixels, 4 bytes each, top row first,
    // rows packed. The bytes may be reused by the caller as soon as Write returns.
    // False, with the reason in *error, when it cannot be written.
    virtual bool Write(const uint8_t* rgba, std::string* error) = 0;
    // Finishes the output (flushes the encoders, writes the trailer, waits for
    // background work) and gives it its name. False, with the reason, when it
    // fails.
    virtual bool Finish(std::string* error) = 0;
    // Ends the output early: what was written is finished so that it plays,
    // a video's sound cut to the length of its picture, and kept under a
    // name that says it is partial (NAME.partial.EXT), which goes to *kept.
    // PNG files are each complete once written: *kept stays empty, as it
    // does when no frame was written. False, with the reason, when it fails.
    virtual bool FinishPartial(std::string* kept, std::string* error) = 0;
};

struct VideoSettings {
    std::string path;        // ".mp4", ".mkv", ".mov" or ".webm"
    Replace replace = Replace::kNever;  // what becomes of a file of that name
    int width = 0;           // even numbers
    int height = 0;
    FrameRate fps = 60;
    std::string codec{};     // "h264", "ffv1", ...; empty: the container's first
    int crf = -1;            // constant quality; -1: the codec's default
    int64_t bitRate = 0;     // bits a second instead of a constant quality; 0: none
    bool sound = true;       // false: a video without sound, as asked (nothing said)
    std::string musicFile;   // Ogg Vorbis; empty or unreadable: a video without sound (said through *warning)
    double startSeconds = 0; // the span of the show the video covers: the sound track is the
    double endSeconds = 0;   // music from startSeconds to endSeconds, the music looping from its
                             // beginning whenever it ends (the player loops it), so picture and sound stay in sync
};

// Null, with the reason, when the settings are unusable, the file cannot be
// created or an encoder is missing. Without `warning`, a warning goes to the log.
std::unique_ptr<FrameSink> OpenVideo(const VideoSettings& settings, std::string* error,
                                     std::string* warning = nullptr);

// A PNG per frame. `pattern` either contains one printf-style %d (optionally
// like %05d) in its file name, which is replaced by the frame number, or ends in
// '/', in which case files are named "frame_00000.png", "frame_00001.png", ... in
// that folder. A missing folder is made. Numbers start at firstNumber (0 or
// more). No sound. The same frames give the same bytes. Without
// Replace::kAlways, a frame's file that exists fails the write.
std::unique_ptr<FrameSink> OpenPngSequence(const std::string& pattern, int width, int height,
                                           int firstNumber, std::string* error,
                                           Replace replace = Replace::kNever);

// Whether an output path means a PNG sequence (contains %d or the like, or ends in '/').
bool IsPngSequencePath(const std::string& path);
