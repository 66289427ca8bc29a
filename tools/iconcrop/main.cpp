// iconcrop: makes a square icon of a given size from a picture of another
// shape (a frame of the show): the middle square, scaled down by averaging,
// written as a PNG file.

#include <stb_image.h>
#include <stb_image_write.h>

#include <filesystem>
#include <iostream>
#include <memory>

#include "tools/common/command_line.h"
#include "tools/iconcrop/square_icon.h"

namespace {

constexpr const char* kTool = "iconcrop";
constexpr long kLargestIcon = 1024;

constexpr char kUsage[] =
    "usage: iconcrop PICTURE OUTPUT.png --size N\n\n"
    "Cuts the square in the middle of PICTURE (PNG, JPEG, TGA, BMP or PNM), as wide as its\n"
    "shorter side, scales it down to N x N pixels by averaging and writes it as a PNG file.\n";

struct StbPixelsDeleter {
    void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

// The picture, top row first; the reason in *problem when it cannot be read.
RgbImage ReadPicture(const std::string& path, std::string* problem)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    std::unique_ptr<unsigned char, StbPixelsDeleter> pixels(stbi_load(path.c_str(), &width, &height, &channels, 3));
    if (!pixels) {
        *problem = "cannot read '" + path + "': " + stbi_failure_reason();
        return {};
    }
    RgbImage picture(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    std::copy(pixels.get(), pixels.get() + picture.rgb.size(), picture.rgb.begin());
    return picture;
}

// Writes beside the output and renames it into place: the output is whole or absent.
std::string WritePng(const std::filesystem::path& path, const RgbImage& icon)
{
    const std::filesystem::path part = path.string() + ".part";
    const int stride = static_cast<int>(icon.width * 3);
    if (!stbi_write_png(part.c_str(), static_cast<int>(icon.width), static_cast<int>(icon.height), 3,
                        icon.rgb.data(), stride)) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        return "cannot write '" + path.string() + "'";
    }
    std::error_code error;
    std::filesystem::rename(part, path, error);
    if (error) {
        std::filesystem::remove(part, error);
        return "cannot write '" + path.string() + "'";
    }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    if (std::string problem = ParseCommandLine(argc, argv, {{"--size"}, {"--help"}}, &line); !problem.empty()) {
        return ReportError(kTool, problem + "\n" + kUsage, kExitUsage);
    }
    if (line.Has("--help")) {
        std::cout << kUsage;
        return 0;
    }
    int side = 0;
    std::string problem = ReadIntOption(line, "--size", 1, kLargestIcon, &side);
    if (problem.empty() && (line.positional.size() != 2 || side == 0)) {
        problem = "give a picture, an output and --size";
    }
    if (!problem.empty()) {
        return ReportError(kTool, problem + "\n" + kUsage, kExitUsage);
    }
    const RgbImage picture = ReadPicture(line.positional[0], &problem);
    if (problem.empty() && std::min(picture.width, picture.height) < static_cast<uint32_t>(side)) {
        problem = "'" + line.positional[0] + "' (" + std::to_string(picture.width) + "x" +
                  std::to_string(picture.height) + ") is smaller than the icon";
    }
    if (problem.empty()) {
        problem = WritePng(line.positional[1], SquareIcon(picture, static_cast<uint32_t>(side)));
    }
    if (!problem.empty()) {
        return ReportError(kTool, problem, kExitFailure);
    }
    std::cout << kTool << ": wrote " << side << "x" << side << " " << line.positional[1] << "\n";
    return 0;
}
