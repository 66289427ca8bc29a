#include "app/render_options.h"

#include <charconv>
#include <string_view>

#include "app/command_line.h"
#include "video/frame_sink.h"
#include "video/video_format.h"

namespace {

constexpr double kLowestFps = 1.0;
constexpr double kHighestFps = 240.0;
constexpr int64_t kHighestBitRate = 2000000000;  // 2 Gbit/s

bool ReadNumber(std::string_view text, int64_t* number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
    return error == std::errc() && end == text.data() + text.size();
}

std::string ApplyFps(const std::string& text, PlayOptions* options)
{
    if (text.empty()) {
        return {};
    }
    FrameRate rate;
    if (std::string problem = ParseFrameRate(text, &rate); !problem.empty()) {
        return "--fps: " + problem;
    }
    if (rate.PerSecond() < kLowestFps || rate.PerSecond() > kHighestFps) {
        return "--fps: " + text + " is outside 1 .. 240 frames a second";
    }
    options->fps = rate;
    return {};
}

std::string ApplyFrames(const RenderOptionTexts& texts, PlayOptions* options)
{
    if (texts.frames.empty()) {
        return {};
    }
    if (texts.startOrEndGiven) {
        return "--frames says where to begin and end: give it or --start/--end, not both";
    }
    int64_t first = 0;
    int64_t end = 0;
    if (std::string problem = ParseFrameRange(texts.frames, &first, &end); !problem.empty()) {
        return problem;
    }
    options->frames = FrameRange{first, end};
    options->startSeconds = options->fps.TimeOf(first);
    options->endSeconds = options->fps.TimeOf(end);
    return {};
}

// --codec, --crf and --bitrate against the output's format.
std::string ApplyEncoding(const RenderOptionTexts& texts, PlayOptions* options)
{
    const bool qualityGiven = !texts.crf.empty() || !texts.bitRate.empty();
    if (options->codec.empty() && !qualityGiven) {
        return {};
    }
    if (!options->Rendering() || IsPngSequencePath(options->renderPath)) {
        return std::string(qualityGiven ? (texts.crf.empty() ? "--bitrate" : "--crf") : "--codec") +
               " is for --render to a video file";
    }
    VideoFormat format;
    if (std::string problem = ChooseVideoFormat(options->renderPath, options->codec, &format); !problem.empty()) {
        return "--codec: " + problem;
    }
    if (!texts.crf.empty() && !texts.bitRate.empty()) {
        return "--crf and --bitrate both set the quality: give one of them";
    }
    if (qualityGiven && !TakesQuality(format.codec)) {
        return std::string(texts.crf.empty() ? "--bitrate" : "--crf") + " means nothing for " +
               CodecTitle(format.codec) + ", which has a quality of its own";
    }
    int64_t crf = 0;
    if (!texts.crf.empty()) {
        if (!ReadNumber(texts.crf, &crf) || crf > HighestCrf(format.codec)) {
            return "--crf: '" + texts.crf + "' is not a quality from 0 (best) to " +
                   std::to_string(HighestCrf(format.codec)) + " for " + CodecTitle(format.codec);
        }
        options->crf = static_cast<int>(crf);
    }
    if (!texts.bitRate.empty()) {
        if (std::string problem = ParseBitRate(texts.bitRate, &options->bitRate); !problem.empty()) {
            return "--bitrate: " + problem;
        }
    }
    return {};
}

}  // namespace

std::string ParseBitRate(const std::string& text, int64_t* bitsPerSecond)
{
    std::string_view digits(text);
    int64_t scale = 1;
    if (!digits.empty() && (digits.back() == 'k' || digits.back() == 'K')) {
        scale = 1000;
        digits.remove_suffix(1);
    } else if (!digits.empty() && (digits.back() == 'm' || digits.back() == 'M')) {
        scale = 1000000;
        digits.remove_suffix(1);
    }
    int64_t number = 0;
    if (!ReadNumber(digits, &number) || number == 0 || number > kHighestBitRate / scale) {
        return "'" + text + "' is not a bit rate from 1 to 2000M bits a second (e.g. 8M or 2500k)";
    }
    *bitsPerSecond = number * scale;
    return {};
}

std::string ParseFrameRange(const std::string& text, int64_t* first, int64_t* end)
{
    const size_t colon = text.find(':');
    const std::string_view all(text);
    if (colon == std::string::npos || !ReadNumber(all.substr(0, colon), first) ||
        !ReadNumber(all.substr(colon + 1), end)) {
        return "--frames: '" + text + "' is not FIRST:END, frame numbers (e.g. 0:600)";
    }
    if (*end <= *first) {
        return "--frames: the end (" + std::to_string(*end) + ") must come after the first frame (" +
               std::to_string(*first) + ")";
    }
    return {};
}

std::string ApplyRenderOptions(const RenderOptionTexts& texts, PlayOptions* options)
{
    if (std::string problem = ApplyFps(texts.fps, options); !problem.empty()) {
        return problem;
    }
    if (std::string problem = ApplyFrames(texts, options); !problem.empty()) {
        return problem;
    }
    return ApplyEncoding(texts, options);
}
