#include "app/command_line.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "app/render_options.h"
#include "video/frame_sink.h"
#include "video/video_format.h"
#include "video/png_names.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitUsage = 2;
constexpr unsigned kMinSide = 16;
constexpr unsigned kMaxSide = 8192;

constexpr char kExamples[] = R"(
Examples:
  demoplayer                                play the production in this folder (or, without
                                            demofinal.xml here, the installed one), full screen
  demoplayer build/production               play another folder's production
  demoplayer --windowed --size 1280x720 --start 60 build/production
                                            play in a window, from a minute in
  demoplayer --render show.mp4 build/production
                                            make a video with sound (no display needed)
  demoplayer --render frames/ --size 480x270 --fps 30 --start 10 --end 12 build/production
                                            two seconds as numbered PNG files in frames/
  demoplayer --render master.mkv --codec ffv1 --fps 29.97 --frames 0:60 build/production
                                            the first 60 frames at NTSC's 30000/1001 as a
                                            lossless master
  demoplayer --watch --windowed build/production
                                            edit the production's files while it plays
  demoplayer --check build/production       list every problem of the production;
                                            exit code 1 if any is an error)";

// A run of decimal digits, read whole; false for anything else, and for a
// number too large for 64 bits (nothing wraps around).
bool ReadDigits(std::string_view text, uint64_t* number)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
    return error == std::errc() && end == text.data() + text.size();
}

// "WxH" with both sides in range; the reason otherwise.
std::string ParseSize(const std::string& text, unsigned* width, unsigned* height)
{
    const size_t cross = text.find('x');
    uint64_t w = 0;
    uint64_t h = 0;
    if (cross == std::string::npos || !ReadDigits(std::string_view(text).substr(0, cross), &w) ||
        !ReadDigits(std::string_view(text).substr(cross + 1), &h)) {
        return "--size: '" + text + "' is not WIDTHxHEIGHT, e.g. 1280x720";
    }
    if (w < kMinSide || h < kMinSide || w > kMaxSide || h > kMaxSide) {
        return "--size: " + text + " is outside " + std::to_string(kMinSide) + "x" + std::to_string(kMinSide) +
               " .. " + std::to_string(kMaxSide) + "x" + std::to_string(kMaxSide);
    }
    *width = static_cast<unsigned>(w);
    *height = static_cast<unsigned>(h);
    return {};
}

bool WritableFolder(const fs::path& folder)
{
    std::error_code error;
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK) == 0;
}

// A missing folder is made when the folder it belongs in exists.
void MakeOutputFolder(const fs::path& folder)
{
    std::error_code error;
    if (fs::exists(folder, error)) {
        return;
    }
    const fs::path above = folder.has_parent_path() ? folder.parent_path() : fs::path(".");
    if (fs::is_directory(above, error)) {
        fs::create_directory(folder, error);  // when it fails, the check below says so
    }
}

// Empty when the render output can be written without losing a file.
std::string CheckRenderPath(const std::string& path, bool overwrite)
{
    fs::path first = path;
    if (IsPngSequencePath(path)) {
        PngNames names;
        std::string problem;
        if (!names.Parse(path, &problem)) {
            return "--render: " + problem;
        }
        first = names.Name(0);
    } else {
        if (!IsVideoPath(path)) {
            return "--render: '" + path +
                   "' should end in .mp4, .mkv, .mov or .webm, contain %d, or end in / for PNG files";
        }
    }
    const fs::path folder = first.has_parent_path() ? first.parent_path() : fs::path(".");
    MakeOutputFolder(folder);
    if (!WritableFolder(folder)) {
        return "--render: the folder '" + folder.string() + "' does not exist or cannot be written";
    }
    std::error_code error;
    if (fs::exists(first, error) && !overwrite) {
        return "--render: '" + first.string() + "' exists (add --overwrite to replace it)";
    }
    return {};
}

// A video's sides are even (4:2:0 halves them) and as large as its codec needs.
std::string CheckVideoSize(const PlayOptions& options)
{
    VideoFormat format;
    if (IsPngSequencePath(options.renderPath) || !ChooseVideoFormat(options.renderPath, options.codec, &format).empty()) {
        return {};
    }
    if (options.width % 2 != 0 || options.height % 2 != 0) {
        return "--size: a video needs an even width and height";
    }
    const unsigned smallest = static_cast<unsigned>(SmallestSide(format.codec));
    if (options.width < smallest || options.height < smallest) {
        return "--size: " + std::string(CodecTitle(format.codec)) + " needs at least " + std::to_string(smallest) +
               "x" + std::to_string(smallest);
    }
    return {};
}

// An absolute path that keeps a trailing slash: the production folder
// becomes the working directory later.
std::string Absolute(const std::string& path)
{
    const bool folder = !path.empty() && path.back() == '/';
    std::string absolute = fs::absolute(path).lexically_normal().string();
    if (folder && (absolute.empty() || absolute.back() != '/')) {
        absolute += '/';
    }
    return absolute;
}

std::string CheckOptions(PlayOptions& options, const std::string& sizeText, bool endGiven, double end)
{
    if (!sizeText.empty()) {
        if (std::string problem = ParseSize(sizeText, &options.width, &options.height); !problem.empty()) {
            return problem;
        }
    }
    if (options.verbose && options.quiet) {
        return "--verbose and --quiet ask for opposite things: give one of them";
    }
    if (!std::isfinite(options.startSeconds) || options.startSeconds < 0) {
        return "--start: give a time in seconds, 0 or more";
    }
    if (endGiven) {
        if (!std::isfinite(end) || end < 0) {
            return "--end: give a time in seconds, 0 or more";
        }
        if (end <= options.startSeconds) {
            return "--end (" + CLI::detail::to_string(end) + ") must come after --start (" +
                   CLI::detail::to_string(options.startSeconds) + ")";
        }
        options.endSeconds = end;
    }
    if (!options.productionDir.empty() && !fs::is_directory(options.productionDir)) {
        return "'" + options.productionDir + "' is not a folder";
    }
    if (options.Rendering()) {
        if (std::string problem = CheckVideoSize(options); !problem.empty()) {
            return problem;
        }
        if (std::string problem = CheckRenderPath(options.renderPath, options.overwrite); !problem.empty()) {
            return problem;
        }
        options.renderPath = Absolute(options.renderPath);
    }
    return {};
}

}  // namespace

bool ParseCommandLine(int argc, char** argv, PlayOptions* options, int* exitCode)
{
    CLI::App app{"Plays a demo production: its scene, music and shaders.", "demoplayer"};
    app.footer(kExamples);
    app.set_version_flag("--version", std::string("demoplayer ") + DEMO_VERSION);
    std::string sizeText;
    double end = 0.0;
    RenderOptionTexts renderTexts;
    app.add_option("PRODUCTION_DIR", options->productionDir,
                   "folder with demofinal.xml, model/, tex/, 13_3.ogg and the shaders (default: this folder "
                   "when it holds demofinal.xml, else the production installed with the player, "
                   "../share/demoplayer/production beside the folder of the executable)");
    app.add_flag("--windowed", options->windowed, "play in a window instead of full screen");
    app.add_option("--size", sizeText, "picture size WIDTHxHEIGHT (default 1920x1080); 16:9 is kept, with black bars");
    CLI::Option* startOption =
        app.add_option("--start", options->startSeconds, "begin at this point of the show, in seconds");
    CLI::Option* endOption = app.add_option("--end", end, "end at this point of the show (default: its exit event)");
    app.add_option("--frames", renderTexts.frames,
                   "begin at frame FIRST and end before frame END at the chosen --fps (0:600 is the first 600 "
                   "frames; 600:1200 the next); instead of --start and --end")
        ->type_name("FIRST:END");
    app.add_option("--render", options->renderPath,
                   "render offline to a video (.mp4: H.264 or H.265 with AAC; .mkv: H.264, H.265 or FFV1 with AAC, "
                   "FFV1 with FLAC; .mov: ProRes 422 HQ with PCM; .webm: VP9 or AV1 with Opus) or to PNG files "
                   "(a path with %d, or a folder ending in /); its folder is made when the folder it belongs in "
                   "exists");
    app.add_option("--codec", options->codec,
                   "picture codec of a video, among those its container takes: h264, h265, ffv1, prores, vp9, av1 "
                   "(default: the first the container lists)")
        ->type_name("NAME");
    app.add_option("--crf", renderTexts.crf,
                   "constant quality of an H.264, H.265 (0-51), VP9 or AV1 (0-63) video; lower is better")
        ->type_name("N");
    app.add_option("--bitrate", renderTexts.bitRate,
                   "bits a second of an H.264, H.265, VP9 or AV1 video instead of a constant quality (8M, 2500k)")
        ->type_name("R");
    app.add_flag("--no-audio", options->noAudio, "write a video without sound");
    app.add_option("--fps", renderTexts.fps,
                   "frames a second of the fixed-step clock: a whole number, a fraction such as 30000/1001, or "
                   "29.97 and 59.94 for their NTSC fractions (default 60)")
        ->type_name("N");
    app.add_flag("--fixed-step", options->fixedStep,
                 "advance the show exactly 1/fps a frame, however fast the machine (the music is not kept in step)");
    app.add_flag("--overwrite", options->overwrite, "replace an existing render output");
    app.add_flag("--watch", options->watch,
                 "apply changed shader, texture, model and scene files while the show plays; "
                 "Space pauses, Left/Right jump 5 s, Home returns to --start");
    app.add_flag("--check", options->check,
                 "check the production (scene, models, textures, music, shaders), list each problem and end");
    app.add_flag("--verbose", options->verbose,
                 "print the diagnostic log on standard output when rendering or checking too (playing prints it "
                 "anyway)");
    app.add_flag("--quiet", options->quiet,
                 "print no diagnostic log while playing; errors and warnings still go to standard error");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        *exitCode = app.exit(done);  // --help or --version, printed
        return false;
    } catch (const CLI::ParseError& error) {
        std::cerr << "demoplayer: " << error.what() << " (see demoplayer --help)\n";
        *exitCode = kExitUsage;
        return false;
    }
    renderTexts.startOrEndGiven = startOption->count() > 0 || endOption->count() > 0;
    // The render's options first: a command line refused makes no folder.
    std::string problem = ApplyRenderOptions(renderTexts, options);
    if (problem.empty()) {
        problem = CheckOptions(*options, sizeText, endOption->count() > 0, end);
    }
    if (!problem.empty()) {
        std::cerr << "demoplayer: " << problem << "\n";
        *exitCode = kExitUsage;
        return false;
    }
    return true;
}
