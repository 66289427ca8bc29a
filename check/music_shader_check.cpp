// The music (there, decodable, and how long) and the shader files (there,
// holding text).
#include "check/file_checks.h"
#include "core/file_read.h"
#include "media/music_decoder.h"

namespace {

constexpr int kDecodeRate = 44100;
constexpr int kMostPacketsTried = 64;  // enough to reach the first sound

// True when the first samples decode; the reason otherwise.
bool FirstSamplesDecode(MusicDecoder& music, std::string* error)
{
    if (!music.StartResampling(kDecodeRate, error)) {
        return false;
    }
    AvPtr<AVAudioFifo> samples(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 2, kDecodeRate));
    if (!samples) {
        *error = "not enough memory to decode the music";
        return false;
    }
    for (int packet = 0; packet < kMostPacketsTried && av_audio_fifo_size(samples.get()) == 0; ++packet) {
        const MusicDecoder::Result result = music.DecodeSome(samples.get(), error);
        if (result == MusicDecoder::Result::Failed) {
            return false;
        }
        if (result == MusicDecoder::Result::End) {
            break;
        }
    }
    if (av_audio_fifo_size(samples.get()) == 0) {
        *error = "it holds no sound";
        return false;
    }
    return true;
}

}  // namespace

std::optional<double> CheckMusic(const std::string& path, Diagnostics& found)
{
    FileBytes bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, &error)) {
        found.Error(path, {}, "the music cannot be read: " + error);
        return std::nullopt;
    }
    std::unique_ptr<MusicDecoder> music = MusicDecoder::Open(path, &error);
    if (!music || !FirstSamplesDecode(*music, &error)) {
        found.Error(path, {}, "the music cannot be decoded: " + error);
        return std::nullopt;
    }
    if (music->LengthSeconds() <= 0.0) {
        found.Warning(path, {}, "the music does not state its length: trigger times are not checked against it");
        return std::nullopt;
    }
    return music->LengthSeconds();
}

const std::vector<std::string>& ShaderFileNames()
{
    static const std::vector<std::string> names = {
        "diffuse_shader.psh", "lighting_shader.psh", "gshader.psh",         "gshader_nv.psh",
        "mesh_shader.vsh",    "deffered_shader.psh", "2dflat_shader.psh",   "depth_shader.psh",
        "ovrlay_shader.vsh",  "prim3d_shader.vsh",   "mesh_shader_simple.vsh", "mesh_shader_nv.vsh",
        "text_shader.psh",
    };
    return names;
}

void CheckShaderFiles(Diagnostics& found)
{
    for (const std::string& name : ShaderFileNames()) {
        FileBytes bytes;
        std::string error;
        if (!ReadWholeFile(name, bytes, &error)) {
            found.Error(name, {}, "the shader file cannot be read: " + error);
        } else if (bytes.size == 0) {
            found.Error(name, {}, "the shader file is empty");
        }
    }
}
