#include "tools/common/ogg_vorbis_writer.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <fstream>

namespace {

constexpr int kChannels = 2;
constexpr int kBlockFrames = 4096;
constexpr int kStreamSerial = 0x1353;  // fixed, so that the same music gives the same file

// The encoder's libogg and libvorbis state, released in reverse order of
// set-up whatever happens in between.
class VorbisEncoder {
public:
    explicit VorbisEncoder(std::ostream& out) : out_(out)
    {
        vorbis_info_init(&info_);
        vorbis_comment_init(&comment_);
    }
    ~VorbisEncoder();
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    // Sets up the encoder and writes the three header packets.
    std::string Start(int sampleRate, float quality);
    void Encode(const float* left, const float* right, int frames);
    // Marks the end of the stream and writes what is left.
    void Finish();

private:
    void DrainBlocks();
    void WritePages(bool flush);

    std::ostream& out_;
    vorbis_info info_{};
    vorbis_comment comment_{};
    vorbis_dsp_state dsp_{};
    vorbis_block block_{};
    ogg_stream_state stream_{};
    bool started_ = false;
};

VorbisEncoder::~VorbisEncoder()
{
    if (started_) {
        ogg_stream_clear(&stream_);
        vorbis_block_clear(&block_);
        vorbis_dsp_clear(&dsp_);
    }
    vorbis_comment_clear(&comment_);
    vorbis_info_clear(&info_);
}

std::string VorbisEncoder::Start(int sampleRate, float quality)
{
    if (vorbis_encode_init_vbr(&info_, kChannels, sampleRate, quality) != 0) {
        return "the Vorbis encoder refuses " + std::to_string(sampleRate) + " Hz at quality " +
               std::to_string(quality);
    }
    vorbis_analysis_init(&dsp_, &info_);
    vorbis_block_init(&dsp_, &block_);
    ogg_stream_init(&stream_, kStreamSerial);
    started_ = true;

    ogg_packet identification;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&dsp_, &comment_, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream_, &identification);
    ogg_stream_packetin(&stream_, &comments);
    ogg_stream_packetin(&stream_, &codebooks);
    WritePages(true);  // audio starts on a fresh page
    return {};
}

void VorbisEncoder::Encode(const float* left, const float* right, int frames)
{
    float** buffer = vorbis_analysis_buffer(&dsp_, frames);
    std::copy(left, left + frames, buffer[0]);
    std::copy(right, right + frames, buffer[1]);
    vorbis_analysis_wrote(&dsp_, frames);
    DrainBlocks();
}

void VorbisEncoder::Finish()
{
    vorbis_analysis_wrote(&dsp_, 0);
    DrainBlocks();
    WritePages(true);
}

void VorbisEncoder::DrainBlocks()
{
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
        vorbis_analysis(&block_, nullptr);
        vorbis_bitrate_addblock(&block_);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
            ogg_stream_packetin(&stream_, &packet);
            WritePages(false);
        }
    }
}

void VorbisEncoder::WritePages(bool flush)
{
    ogg_page page;
    while ((flush ? ogg_stream_flush(&stream_, &page) : ogg_stream_pageout(&stream_, &page)) != 0) {
        out_.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out_.write(reinterpret_cast<const char*>(page.body), page.body_len);
    }
}

std::string EncodeSignal(std::ostream& out, const StereoSignal& signal, int sampleRate,
                         float quality)
{
    VorbisEncoder encoder(out);
    if (std::string problem = encoder.Start(sampleRate, quality); !problem.empty()) {
        return problem;
    }
    const size_t frames = signal.left.size();
    for (size_t first = 0; first < frames; first += kBlockFrames) {
        const int count = static_cast<int>(std::min<size_t>(kBlockFrames, frames - first));
        encoder.Encode(signal.left.data() + first, signal.right.data() + first, count);
    }
    encoder.Finish();
    return {};
}

}  // namespace

std::string WriteOggVorbis(const std::filesystem::path& path, const StereoSignal& signal,
                           int sampleRate, float quality)
{
    if (signal.left.size() != signal.right.size()) {
        return "the two channels differ in length";
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return "cannot create '" + path.string() + "'";
    }
    std::string problem = EncodeSignal(out, signal, sampleRate, quality);
    out.close();
    if (problem.empty() && !out) {
        problem = "cannot write '" + path.string() + "'";
    }
    if (!problem.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return problem;
}
