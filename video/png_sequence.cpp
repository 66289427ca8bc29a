// The PNG sequence sink: one numbered PNG file per frame, written on a worker.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "video/background_sink.h"
#include "core/failure.h"
#include "video/frame_sink.h"
#include "video/png_encode.h"
#include "video/png_names.h"

namespace {

constexpr int kLargestSide = 16384;

// Writes the bytes to a temporary file beside `path`, which takes the name
// once it is whole; a partly written file is removed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, Replace replace,
                    std::string* error)
{
    WholeFile whole(path, replace);
    if (!whole.ok()) {
        return Fail(error, "cannot create '" + path + "': " + whole.error());
    }
    std::FILE* file = std::fopen(whole.TemporaryPath().c_str(), "wb");
    if (!file) {
        return Fail(error, "cannot create '" + path + "': " + std::strerror(errno));
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int writeErrno = errno;
    bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        return Fail(error, "cannot write '" + path + "': " + std::strerror(written ? errno : writeErrno));
    }
    std::string kept;
    return whole.Keep(&kept, error, false);
}

class PngSequence final : public FrameSink {
public:
    PngSequence(const PngNames& names, int width, int height, int firstNumber, Replace replace)
        : names_(names), width_(width), height_(height), next_(firstNumber), replace_(replace)
    {
    }

    bool Write(const uint8_t* rgba, std::string* error) override
    {
        std::string path = names_.Name(next_);
        if (!EncodePng(rgba, width_, height_, &png_)) {
            return Fail(error, "cannot encode '" + path + "': not enough memory");
        }
        if (!WriteWholeFile(path, png_, replace_, error)) {
            return false;
        }
        ++next_;
        return true;
    }

    bool Finish(std::string*) override { return true; }
    // Every file written is whole already.
    bool FinishPartial(std::string* kept, std::string*) override
    {
        kept->clear();
        return true;
    }

private:
    PngNames names_;
    int width_;
    int height_;
    int next_;
    Replace replace_;
    std::vector<uint8_t> png_;
};

// Makes the folder when it is missing; false when it cannot be made or written to.
bool PrepareFolder(const std::string& folder, std::string* error)
{
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        return Fail(error, "cannot make the folder '" + folder + "': " + failure.message());
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        return Fail(error, "cannot write to the folder '" + folder + "': " + std::strerror(errno));
    }
    return true;
}

}  // namespace

std::unique_ptr<FrameSink> OpenPngSequence(const std::string& pattern, int width, int height,
                                           int firstNumber, std::string* error, Replace replace)
{
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
        Fail(error, "PNG frames must be 1 to 16384 pixels wide and high, not " + std::to_string(width) +
                        " x " + std::to_string(height));
        return nullptr;
    }
    if (firstNumber < 0) {
        Fail(error, "PNG frame numbers start at 0 or more, not " + std::to_string(firstNumber));
        return nullptr;
    }
    PngNames names;
    if (!names.Parse(pattern, error) || !PrepareFolder(names.Folder(), error)) {
        return nullptr;
    }
    auto sink = std::make_unique<PngSequence>(names, width, height, firstNumber, replace);
    return RunInBackground(std::move(sink), static_cast<size_t>(width) * height * 4);
}
