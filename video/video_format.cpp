#include "video/video_format.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

struct Container {
    const char* extension;
    const char* muxer;
    std::vector<VideoCodec> codecs;  // the first is the default
};

const std::vector<Container>& Containers()
{
    static const std::vector<Container> containers = {
        {".mp4", "mp4", {VideoCodec::kH264, VideoCodec::kH265}},
        {".mkv", "matroska", {VideoCodec::kH264, VideoCodec::kH265, VideoCodec::kFfv1}},
        {".mov", "mov", {VideoCodec::kProRes}},
        {".webm", "webm", {VideoCodec::kVp9, VideoCodec::kAv1}},
    };
    return containers;
}

struct CodecNames {
    VideoCodec codec;
    const char* name;
    const char* title;
};

constexpr CodecNames kCodecNames[] = {
    {VideoCodec::kH264, "h264", "H.264"}, {VideoCodec::kH265, "h265", "H.265"},
    {VideoCodec::kFfv1, "ffv1", "FFV1"},  {VideoCodec::kProRes, "prores", "ProRes 422 HQ"},
    {VideoCodec::kVp9, "vp9", "VP9"},     {VideoCodec::kAv1, "av1", "AV1"},
};

std::string LowerExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return {};
    }
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

const Container* ContainerFor(const std::string& path)
{
    const std::string extension = LowerExtension(path);
    for (const Container& container : Containers()) {
        if (extension == container.extension) {
            return &container;
        }
    }
    return nullptr;
}

SoundCodec SoundFor(const Container& container, VideoCodec codec)
{
    const std::string muxer = container.muxer;
    if (muxer == "mov") {
        return SoundCodec::kPcm;
    }
    if (muxer == "webm") {
        return SoundCodec::kOpus;
    }
    return codec == VideoCodec::kFfv1 ? SoundCodec::kFlac : SoundCodec::kAac;
}

std::string Allowed(const Container& container)
{
    std::string names;
    for (VideoCodec codec : container.codecs) {
        names += (names.empty() ? "" : ", ") + std::string(CodecName(codec));
    }
    return names;
}

}  // namespace

std::string ChooseVideoFormat(const std::string& path, const std::string& codecName, VideoFormat* format)
{
    const Container* container = ContainerFor(path);
    if (!container) {
        return "cannot tell the video type of '" + path + "': its name must end in .mp4, .mkv, .mov or .webm";
    }
    VideoCodec chosen = container->codecs.front();
    if (!codecName.empty()) {
        const auto named = std::find_if(container->codecs.begin(), container->codecs.end(),
                                        [&](VideoCodec codec) { return codecName == CodecName(codec); });
        if (named == container->codecs.end()) {
            return "a " + std::string(container->extension) + " file takes the codecs " + Allowed(*container) +
                   ", not '" + codecName + "'";
        }
        chosen = *named;
    }
    format->muxer = container->muxer;
    format->codec = chosen;
    format->sound = SoundFor(*container, chosen);
    return {};
}

bool IsVideoPath(const std::string& path)
{
    return ContainerFor(path) != nullptr;
}

bool TakesQuality(VideoCodec codec)
{
    return codec != VideoCodec::kFfv1 && codec != VideoCodec::kProRes;
}

int SmallestSide(VideoCodec codec)
{
    return codec == VideoCodec::kAv1 ? 64 : 2;
}

int HighestCrf(VideoCodec codec)
{
    return codec == VideoCodec::kVp9 || codec == VideoCodec::kAv1 ? 63 : 51;
}

const char* CodecName(VideoCodec codec)
{
    for (const CodecNames& names : kCodecNames) {
        if (names.codec == codec) {
            return names.name;
        }
    }
    return "?";
}

const char* CodecTitle(VideoCodec codec)
{
    for (const CodecNames& names : kCodecNames) {
        if (names.codec == codec) {
            return names.title;
        }
    }
    return "?";
}
