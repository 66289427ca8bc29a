// texgen: writes textures for the player: procedural materials with their
// normal maps, pictures converted from ordinary image files, and normal maps
// derived from painted height maps.

#include <filesystem>
#include <iostream>
#include <sstream>

#include "tools/common/bitmap_writer.h"
#include "tools/common/command_line.h"
#include "tools/texgen/material_catalog.h"
#include "tools/texgen/picture_input.h"

namespace {

constexpr const char* kTool = "texgen";

std::string Usage()
{
    std::ostringstream text;
    text << "usage: texgen MATERIAL OUTPUT.bmp [--width W] [--height H] [--seed N] [--strength S]\n"
         << "       texgen convert PICTURE OUTPUT.bmp\n"
         << "       texgen normals HEIGHTMAP OUTPUT.bmp [--strength S]\n\n"
         << "MATERIAL writes OUTPUT.bmp and its normal map OUTPUT_normal.bmp (default 256 x 256;\n"
         << "the width must be a multiple of 4). Materials:\n";
    for (const MaterialKind& kind : MaterialCatalog()) {
        text << "  " << kind.name << ": " << kind.summary << "\n";
    }
    text << "\nconvert reads PNG, JPEG, TGA, BMP or PNM and crops the width to a multiple of 4.\n"
         << "normals takes the picture's brightness as height (white is high).\n"
         << "--strength multiplies the slopes of the height field (materials have their own "
            "default).\n";
    return text.str();
}

std::filesystem::path NormalMapPath(const std::filesystem::path& colourPath)
{
    std::filesystem::path path = colourPath;
    path.replace_filename(colourPath.stem().string() + "_normal" + colourPath.extension().string());
    return path;
}

// Options that the command does not use are mistakes, not silently ignored.
std::string RejectOptionsOutside(const CommandLine& line, const std::set<std::string>& allowed,
                                 const std::string& command)
{
    for (const auto& [option, value] : line.values) {
        if (!allowed.count(option)) {
            return option + " does not apply to " + command;
        }
    }
    return {};
}

int WriteOrFail(const std::filesystem::path& path, const RgbImage& image)
{
    if (std::string problem = WriteTextureBitmap(path, image); !problem.empty()) {
        return ReportError(kTool, problem, kExitFailure);
    }
    std::cout << kTool << ": wrote " << image.width << "x" << image.height << " " << path.string()
              << "\n";
    return 0;
}

int MakeMaterial(const MaterialKind& kind, const CommandLine& line)
{
    int width = 256;
    int height = 256;
    int seed = 1;
    float strength = 0.0f;
    std::string problem =
        RejectOptionsOutside(line, {"--width", "--height", "--seed", "--strength"}, kind.name);
    for (const std::string& step : {ReadIntOption(line, "--width", 1, kMaxTextureSide, &width),
                                    ReadIntOption(line, "--height", 1, kMaxTextureSide, &height),
                                    ReadIntOption(line, "--seed", 0, 1000000, &seed),
                                    ReadFloatOption(line, "--strength", 0.0, 1000.0, &strength)}) {
        problem = problem.empty() ? step : problem;
    }
    if (problem.empty()) {
        problem = CheckTextureSize(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    }
    if (!problem.empty()) {
        return ReportError(kTool, problem, kExitUsage);
    }
    const MaterialImages images = kind.make(width, height, static_cast<uint32_t>(seed));
    const bool strengthGiven = line.values.count("--strength") != 0;
    const RgbImage normals =
        NormalMapFromHeights(images.height, strengthGiven ? strength : images.normalStrength);
    const std::filesystem::path output = line.positional[1];
    const int colourResult = WriteOrFail(output, images.colour);
    return colourResult != 0 ? colourResult : WriteOrFail(NormalMapPath(output), normals);
}

int ConvertPicture(const CommandLine& line, bool asHeightMap)
{
    float strength = 4.0f;
    std::string problem = RejectOptionsOutside(
        line, asHeightMap ? std::set<std::string>{"--strength"} : std::set<std::string>{},
        line.positional[0]);
    if (problem.empty()) {
        problem = ReadFloatOption(line, "--strength", 0.0, 1000.0, &strength);
    }
    if (!problem.empty()) {
        return ReportError(kTool, problem, kExitUsage);
    }
    const LoadedPicture picture = LoadPictureForTexture(line.positional[1]);
    if (!picture.error.empty()) {
        return ReportError(kTool, picture.error, kExitFailure);
    }
    const RgbImage output =
        asHeightMap ? NormalMapFromHeights(HeightFromBrightness(picture.image), strength)
                    : picture.image;
    return WriteOrFail(line.positional[2], output);
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    const OptionNames names{{"--width", "--height", "--seed", "--strength"}, {"--help"}};
    if (std::string problem = ParseCommandLine(argc, argv, names, &line); !problem.empty()) {
        return ReportError(kTool, problem + " (texgen --help lists the options)", kExitUsage);
    }
    if (line.Has("--help")) {
        std::cout << Usage();
        return 0;
    }
    const std::vector<std::string>& words = line.positional;
    const bool picture = !words.empty() && (words[0] == "convert" || words[0] == "normals");
    const size_t expected = picture ? 3 : 2;
    if (words.size() != expected) {
        return ReportError(kTool, "wrong number of arguments\n" + Usage(), kExitUsage);
    }
    if (std::filesystem::path(words.back()).extension() != ".bmp") {
        return ReportError(kTool, "the output '" + words.back() + "' must end in .bmp", kExitUsage);
    }
    if (picture) {
        return ConvertPicture(line, words[0] == "normals");
    }
    const MaterialKind* kind = FindMaterialKind(words[0]);
    if (!kind) {
        return ReportError(kTool, "unknown material '" + words[0] + "'\n" + Usage(), kExitUsage);
    }
    return MakeMaterial(*kind, line);
}
