// What both sinks refuse, and how they fail: bad names and settings, folders
// that cannot be made, music that cannot be read, a full disk. PNG files
// read back with an independent decoder: the pixels under their file names.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <memory>
#include <numeric>
#include <tuple>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "tests/support/test_support.h"
#include "video/frame_sink.h"
#include "video/whole_file.h"

namespace {

// A PNG sequence or a video of 1 s, as the path says, of frames `width` x 16;
// `number` is the video's frame rate or the first PNG number.
std::unique_ptr<FrameSink> OpenSink(const std::string& path, std::string* error, int width = 32, int number = 10,
                                    double start = 0, const std::string& music = "", std::string* warning = nullptr)
{
    if (IsPngSequencePath(path)) {
        return OpenPngSequence(path, width, 16, number, error);
    }
    return OpenVideo({.path = path, .width = width, .height = 16, .fps = number, .musicFile = music,
                      .startSeconds = start, .endSeconds = 1}, error, warning);
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// 7 x 5 pixels in which every byte differs from its neighbours, alpha included.
std::vector<uint8_t> PatternFrame(int seed)
{
    std::vector<uint8_t> frame(7 * 5 * 4);
    std::iota(frame.begin(), frame.end(), static_cast<uint8_t>(seed * 101));
    return frame;
}

// The pixels of a 7 x 5 PNG file; empty when it is missing or of another size.
std::vector<uint8_t> ReadPng(const std::string& path)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    std::vector<uint8_t> bytes(pixels, pixels + (pixels && width == 7 && height == 5 ? 7 * 5 * 4 : 0));
    stbi_image_free(pixels);
    return bytes;
}

}  // namespace

TEST(FrameSink, BadSettingsAreRefusedWithAReasonAndUnusableMusicOnlyWarns)
{
    ScopedWorkDir dir;
    WriteFile("blocker", std::string("a file, not a folder"));
    // Path, width, frame rate or first PNG number, span start, the reason.
    const std::tuple<std::string, int, int, double, std::string> cases[] = {
        {"show.avi", 32, 10, 0, ".mp4, .mkv, .mov or .webm"},
        {"odd.mp4", 33, 10, 0, "33 x 16"},
        {"still.mp4", 32, 0, 0, "frame rate"},
        {"back.mp4", 32, 10, 2, "span"},
        {"blocker/show.mkv", 32, 10, 0, "cannot create 'blocker/show.mkv'"},
        {"a%d%d.png", 32, 0, 0, "one %d"},
        {"run%d/shot.png", 32, 0, 0, "file name"},
        {"frames/", 0, 0, 0, "0 x 16"},
        {"frames/", 32, -1, 0, "-1"},
        {"blocker/frames/", 32, 0, 0, "cannot make the folder 'blocker/frames'"},
    };
    for (const auto& [path, width, number, start, reason] : cases) {
        std::string error;
        EXPECT_FALSE(OpenSink(path, &error, width, number, start)) << path;
        EXPECT_TRUE(Has(error, reason)) << error;
    }
    // Music that cannot be read: the video is made without sound, and says so.
    std::string error;
    std::string warning;
    EXPECT_TRUE(OpenSink("silent.mkv", &error, 32, 10, 0, "missing.ogg", &warning)) << error;
    EXPECT_TRUE(Has(warning, "has no sound") && Has(warning, "missing.ogg")) << warning;
}

// A limit on the size of the files this process writes, as a full disk
// would stop them, for the object's lifetime: writes past it fail with EFBIG
// instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    sighandler_t previousHandler_ = SIG_DFL;
};

// Writes go on until one fails; Finish then fails too, with the file's name
// and the system's reason, nothing hangs, and nothing is left: neither the
// output nor its temporary file.
TEST(FrameSink, FullDiskIsReportedWithTheFileAndTheReason)
{
    ScopedWorkDir dir;
    for (const auto& [path, file] : {std::pair{"frames/", "frames/frame_00010.png"}, {"full.mkv", "full.mkv"}}) {
        SCOPED_TRACE(path);
        std::string error;
        auto sink = OpenSink(path, &error);
        ASSERT_TRUE(sink) << error;
        std::vector<uint8_t> frame(32 * 16 * 4);
        {
            // Less than a PNG file, less than the video's first write.
            const FileSizeLimit full(50);
            for (int i = 0; i < 100 && sink->Write(frame.data(), &error); ++i) {
                std::iota(frame.begin(), frame.end(), static_cast<uint8_t>(i * 37));  // little to compress
            }
            EXPECT_FALSE(sink->Finish(&error));
            sink.reset();
        }
        EXPECT_TRUE(Has(error, file) && Has(error, "File too large")) << error;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);  // the empty folder "frames"
    EXPECT_TRUE(std::filesystem::is_empty("frames"));
}

// Each file is written under a temporary name and takes its own only when
// complete. Without Replace::kAlways an output that appears meanwhile stays:
// the video goes to the next free name, a PNG frame fails the write. With
// it, the output is replaced in one step.
TEST(FrameSink, AnOutputThatAppearsMeanwhileIsReplacedOnlyWhenAsked)
{
    ScopedWorkDir dir;
    std::vector<uint8_t> frame(32 * 16 * 4, 90);
    for (const Replace replace : {Replace::kNever, Replace::kAlways}) {
        std::string error;
        auto video = OpenVideo({.path = "show.mkv", .replace = replace, .width = 32, .height = 16, .fps = 10, .musicFile = "",
                                .startSeconds = 0, .endSeconds = 1}, &error);
        auto png = OpenPngSequence("frames/", 32, 16, 0, &error, replace);
        ASSERT_TRUE(video && png) << error;
        ASSERT_TRUE(video->Write(frame.data(), &error) && png->Write(frame.data(), &error)) << error;
        WriteFile("show.mkv", std::string("someone else's"));
        WriteFile("frames/frame_00001.png", std::string("someone else's"));
        const bool kept = replace == Replace::kAlways;
        EXPECT_TRUE(png->Write(frame.data(), &error));  // queued: written by the worker
        EXPECT_EQ(png->Finish(&error), kept);
        EXPECT_EQ(!kept, Has(error, "'frames/frame_00001.png' exists and is not replaced")) << error;
        EXPECT_EQ(video->Finish(&error), kept);
        EXPECT_EQ(!kept, Has(error, "'show.mkv' exists and is not replaced") && Has(error, "the new one is 'show.2.mkv'")) << error;
        EXPECT_EQ(ReadFileText("show.mkv") == "someone else's", !kept);
        EXPECT_EQ(ReadFileText("frames/frame_00001.png") == "someone else's", !kept);
        EXPECT_EQ(std::filesystem::exists("show.2.mkv"), !kept);
        std::filesystem::remove("show.2.mkv");
    }
}

// The temporary file is hidden beside its output and goes when the output is
// not kept; partial outputs say so in their names; the rename that refuses
// to replace, and its fallback for file systems that cannot refuse within a
// rename, keep the file they find.
TEST(WholeFile, NamesAndRenamesNeverLoseAFile)
{
    ScopedWorkDir dir;
    std::filesystem::create_directory("out.d");
    {
        WholeFile whole("out.d/show.mp4", Replace::kNever);
        ASSERT_TRUE(whole.ok()) << whole.error();
        EXPECT_EQ(whole.TemporaryPath().rfind("out.d/.show.mp4.", 0), 0u) << whole.TemporaryPath();
        EXPECT_TRUE(std::filesystem::exists(whole.TemporaryPath()));
    }
    EXPECT_TRUE(std::filesystem::is_empty("out.d"));
    EXPECT_EQ(PartialName("out.d/show.mp4"), "out.d/show.partial.mp4");
    EXPECT_EQ(PartialName("out.d/show"), "out.d/show.partial");
    EXPECT_EQ(PartialName(".hidden"), ".hidden.partial");

    for (const auto rename : {RenameWithoutReplacing, LinkThenUnlink}) {
        WriteFile("new", std::string("new"));
        WriteFile("old", std::string("old"));
        std::string error;
        EXPECT_FALSE(rename("new", "old", &error));
        EXPECT_TRUE(Has(error, "cannot name 'old'") && Has(error, "exists")) << error;
        EXPECT_EQ(ReadFileText("old"), "old");
        EXPECT_TRUE(rename("new", "free", &error)) << error;
        EXPECT_EQ(ReadFileText("free"), "new");
        EXPECT_FALSE(std::filesystem::exists("new"));
        std::filesystem::remove("free");
    }
}

// Frames 1 and 2, each freed as soon as Write returns.
TEST(PngSequence, FramesReadBackExactUnderTheirNumbersAndTheSameBytesEachTime)
{
    ScopedWorkDir dir;
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {"frames/", 7, "frames/frame_00007.png", "frames/frame_00008.png"},
        {"shot-%d.png", 9, "shot-9.png", "shot-10.png"},
        {"out/take_%04d_x.png", 0, "out/take_0000_x.png", "out/take_0001_x.png"},
        {"pad%3d.png", 98, "pad 98.png", "pad 99.png"},  // spaces, as printf pads
    };
    for (const auto& [pattern, first, name1, name2] : cases) {
        std::string error;
        auto sink = OpenPngSequence(pattern, 7, 5, first, &error);
        ASSERT_TRUE(sink) << error;
        for (int seed : {1, 2}) {
            ASSERT_TRUE(sink->Write(PatternFrame(seed).data(), &error)) << error;
        }
        ASSERT_TRUE(sink->Finish(&error)) << error;
        EXPECT_EQ(ReadPng(name1), PatternFrame(1)) << name1;
        EXPECT_EQ(ReadPng(name2), PatternFrame(2)) << name2;
    }
}
