// What the four tools refuse: mistakes on the command line (exit code 2)
// and inputs or outputs they cannot use (exit code 1).

#include <gtest/gtest.h>

#include "tests/tools/tool_process.h"

namespace {

struct Refusal {
    std::string program;
    std::vector<std::string> arguments;
    int exitCode;
    std::string reason;  // on standard error after "tool: "; for --help, on standard output
};

}  // namespace

TEST(ToolCommandLineTest, MistakesAndUnusableFilesAreRefusedWithTheReasonAndNoOutput)
{
    ScopedWorkDir dir;
    WriteFile("tri.obj", std::string("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919 + 13) % 251));
    }
    const std::pair<std::string, std::string> files[] = {
        {"garbage.obj", garbage},
        {"garbage.png", garbage},
        {"empty.obj", ""},
        {"lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n"},
        {"bad_index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"},
        {"narrow.ppm", "P6\n3 5\n255\n" + std::string(45, 'x')},
        {"lying.ppm", "P6\n100000 100000\n255\nabc"},
    };
    for (const auto& [name, bytes] : files) {
        WriteFile(name, bytes);
    }

    std::vector<Refusal> refusals = {
        {MESHCONV_PATH, {"--help"}, 0, "usage: meshconv"},
        {MESHCONV_PATH, {"tri.obj", "a.obj", "b.obj"}, 2, "expected an input and an output path"},
        {MESHCONV_PATH, {"--scale", "nan", "tri.obj", "out.obj"}, 2, "--scale needs a number between"},
        {MESHCONV_PATH, {"--mirror", "tri.obj", "out.obj"}, 2, "unknown option --mirror"},
        {MESHCONV_PATH, {"tri.obj", "no/such/dir/out.obj"}, 1, "no/such/dir/out.obj"},
        {MESHGEN_PATH, {"--help"}, 0, "torusknot"},
        {MESHGEN_PATH, {"sphere"}, 2, "expected a kind and an output path"},
        {MESHGEN_PATH, {"sphere", "out.obj", "--tube", "0.1"}, 2, "--tube does not apply to sphere"},
        {MESHGEN_PATH, {"sphere", "out.obj", "--segments", "99999999999999999999"}, 2, "--segments needs a whole"},
        {MESHGEN_PATH, {"shards", "out.obj", "--subdivisions", "9"}, 2, "between 0 and 6, not '9'"},
        {MESHGEN_PATH, {"torusknot", "out.obj", "--turns", "2", "--twists", "4"}, 2, "no common factor"},
        {TEXGEN_PATH, {"tiles", "out.bmp", "--width", "10"}, 2, "multiple of 4"},
        {TEXGEN_PATH, {"velvet", "out.bmp"}, 2, "unknown material 'velvet'"},
        {TEXGEN_PATH, {"tiles", "out.png"}, 2, "must end in .bmp"},
        {TEXGEN_PATH, {"convert", "garbage.png", "out.bmp", "--seed", "3"}, 2, "--seed does not apply to convert"},
        {TEXGEN_PATH, {"normals", "garbage.png", "out.bmp"}, 1, "garbage.png"},
        {MUSICGEN_PATH, {}, 2, "expected one output path"},
        {MUSICGEN_PATH, {"--seconds", "four", "out.ogg"}, 2, "--seconds needs a number"},
        {MUSICGEN_PATH, {"--seconds", "1", "no/such/dir/out.ogg"}, 1, "no/such/dir/out.ogg"},
    };
    for (const char* input : {"missing.obj", "garbage.obj", "empty.obj", "lines.obj", "bad_index.obj"}) {
        refusals.push_back({MESHCONV_PATH, {input, "out.obj"}, 1, input});
    }
    for (const char* input : {"missing.png", "garbage.png", "narrow.ppm", "lying.ppm"}) {
        refusals.push_back({TEXGEN_PATH, {"convert", input, "out.bmp"}, 1, input});
    }
    for (const Refusal& refusal : refusals) {
        const std::string tool = std::filesystem::path(refusal.program).filename();
        SCOPED_TRACE(tool + " " + testing::PrintToString(refusal.arguments));
        const ToolRun run = RunTool(refusal.program, refusal.arguments);
        EXPECT_EQ(run.exitCode, refusal.exitCode);
        if (refusal.exitCode == 0) {
            EXPECT_NE(run.out.find(refusal.reason), std::string::npos) << run.out;
        } else {
            EXPECT_EQ(run.err.rfind(tool + ": ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(refusal.reason), std::string::npos) << run.err;
        }
        for (const char* output : {"out.obj", "out.bmp", "out_normal.bmp", "out.ogg", "out.png"}) {
            EXPECT_FALSE(std::filesystem::exists(output)) << output;
        }
    }
}
