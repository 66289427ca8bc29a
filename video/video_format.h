#pragma once
// The formats a video is written in: the container follows the file's
// extension, and each container allows a few picture codecs (the first is
// the default), each with the sound codec that goes with it.
//
//   .mp4   H.264, H.265            AAC
//   .mkv   H.264, H.265, FFV1      AAC; FLAC with FFV1 (the lossless master)
//   .mov   ProRes 422 HQ           PCM
//   .webm  VP9, AV1                Opus

#include <string>

enum class VideoCodec { kH264, kH265, kFfv1, kProRes, kVp9, kAv1 };
enum class SoundCodec { kAac, kFlac, kPcm, kOpus };

struct VideoFormat {
    const char* muxer = "mp4";  // libavformat's name of the container
    VideoCodec codec = VideoCodec::kH264;
    SoundCodec sound = SoundCodec::kAac;
};

// The format for an output path and a codec name ("h264", "h265", "ffv1",
// "prores", "vp9", "av1"; empty: the container's default). Empty on success,
// else the reason (an extension that names no container, a codec the
// container does not take).
std::string ChooseVideoFormat(const std::string& path, const std::string& codecName, VideoFormat* format);

// Whether the path's extension names a video container.
bool IsVideoPath(const std::string& path);

// Whether a quality (--crf) or bit rate (--bitrate) means something for the
// codec: not for the lossless and the fixed-quality intermediate ones.
bool TakesQuality(VideoCodec codec);
// The smallest width and height the codec's encoder takes (AV1: 64).
int SmallestSide(VideoCodec codec);
// The highest constant-quality number the codec takes (0 is the best).
int HighestCrf(VideoCodec codec);

// The codec's name on the command line ("h264").
const char* CodecName(VideoCodec codec);
// "H.264", "ProRes 422 HQ": the codec as people call it.
const char* CodecTitle(VideoCodec codec);
