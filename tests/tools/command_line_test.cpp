// What the four tools refuse: mistakes on the command line (exit code 2)
// and inputs or outputs they cannot use (exit code 1).

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_support.h"
#include "tests/tools/tool_process.h"

namespace {

struct Refusal {
    std::string tool;
    std::vector<std::string> arguments;
    int exitCode;
    std::string reason;  // on standard error after "tool: "; for --help, on standard output
};

std::string PathOf(const std::string& tool)
{
    return tool == "meshconv" ? MESHCONV_PATH : tool == "meshgen" ? MESHGEN_PATH
                                              : tool == "texgen"  ? TEXGEN_PATH
                                                                  : MUSICGEN_PATH;
}

}  // namespace

TEST(ToolCommandLineTest, MistakesAndUnusableFilesAreRefusedWithTheReasonAndNoOutput)
{
    ScopedWorkDir dir;
    WriteFile("tri.obj", std::string("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage.push_back(static_cast<char>((i * 7919 + 13) % 251));
    }
    std::string truncatedPly = ReadFileText(std::string(ASSIMP_SAMPLE_MODELS) + "/PLY/cube_binary.ply");
    truncatedPly.resize(truncatedPly.size() * 2 / 3);
    ASSERT_EQ(std::system((std::string(IMAGEMAGICK_CONVERT) + " -size 64x64 gradient:red-blue good.png").c_str()), 0);
    std::string truncatedPng = ReadFileText("good.png");
    truncatedPng.resize(truncatedPng.size() / 2);
    const std::pair<std::string, std::string> files[] = {
        {"garbage.obj", garbage},
        {"garbage.bin", garbage},
        {"garbage.png", garbage},
        {"empty.obj", ""},
        {"truncated.ply", truncatedPly},
        {"truncated.png", truncatedPng},
        {"header_only.ply", "ply\nformat ascii 1.0\nelement vertex 1000000\nproperty float x\nend_header\n1 2\n"},
        {"lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n"},
        {"bad_index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"},
        {"narrow.ppm", "P6\n3 5\n255\n" + std::string(45, 'x')},
        {"lying.ppm", "P6\n100000 100000\n255\nabc"},
    };
    for (const auto& [name, bytes] : files) {
        WriteFile(name, bytes);
    }

    std::vector<Refusal> refusals = {
        {"meshconv", {"--help"}, 0, "usage: meshconv"},
        {"meshconv", {"tri.obj", "a.obj", "b.obj"}, 2, "expected an input and an output path"},
        {"meshconv", {"--scale", "nan", "tri.obj", "out.obj"}, 2, "--scale needs a number between"},
        {"meshconv", {"tri.obj", "out.obj", "--scale"}, 2, "option --scale needs a value"},
        {"meshconv", {"--mirror", "tri.obj", "out.obj"}, 2, "unknown option --mirror"},
        {"meshconv", {"tri.obj", "no/such/dir/out.obj"}, 1, "no/such/dir/out.obj"},
        {"meshgen", {"--help"}, 0, "torusknot"},
        {"meshgen", {"sphere"}, 2, "expected a kind and an output path"},
        {"meshgen", {"teapot", "out.obj"}, 2, "unknown kind 'teapot'"},
        {"meshgen", {"sphere", "out.obj", "--tube", "0.1"}, 2, "--tube does not apply to sphere"},
        {"meshgen", {"sphere", "out.obj", "--segments", "64.5"}, 2, "--segments needs a whole number"},
        {"meshgen", {"sphere", "out.obj", "--segments", "99999999999999999999"}, 2, "--segments needs a whole"},
        {"meshgen", {"shards", "out.obj", "--subdivisions", "9"}, 2, "between 0 and 6, not '9'"},
        {"meshgen", {"torusknot", "out.obj", "--turns", "2", "--twists", "4"}, 2, "no common factor"},
        {"meshgen", {"torusknot", "out.obj", "--tube", "1.5"}, 2, "less than half of --radius"},
        {"meshgen", {"box", "missing/dir/out.obj"}, 1, "missing/dir/out.obj"},
        {"texgen", {"--help"}, 0, "usage: texgen"},
        {"texgen", {"tiles", "out.bmp", "--width", "10"}, 2, "multiple of 4"},
        {"texgen", {"tiles", "out.bmp", "--width", "twelve"}, 2, "--width needs a whole number"},
        {"texgen", {"marble", "out.bmp"}, 2, "unknown material 'marble'"},
        {"texgen", {"tiles", "out.png"}, 2, "must end in .bmp"},
        {"texgen", {"tiles"}, 2, "wrong number of arguments"},
        {"texgen", {"convert", "good.png", "out.bmp", "--seed", "3"}, 2, "--seed does not apply to convert"},
        {"texgen", {"normals", "garbage.png", "out.bmp"}, 1, "garbage.png"},
        {"texgen", {"tiles", "no/such/dir/out.bmp"}, 1, "no/such/dir/out.bmp"},
        {"musicgen", {"--help"}, 0, "usage: musicgen"},
        {"musicgen", {}, 2, "expected one output path"},
        {"musicgen", {"--seconds", "four", "out.ogg"}, 2, "--seconds needs a number"},
        {"musicgen", {"--seconds"}, 2, "option --seconds needs a value"},
        {"musicgen", {"--tempo", "120", "out.ogg"}, 2, "unknown option --tempo"},
        {"musicgen", {"--seconds", "1", "no/such/dir/out.ogg"}, 1, "no/such/dir/out.ogg"},
    };
    for (const char* input : {"missing.obj", "garbage.obj", "garbage.bin", "empty.obj", "truncated.ply",
                              "header_only.ply", "lines.obj", "bad_index.obj"}) {
        refusals.push_back({"meshconv", {input, "out.obj"}, 1, input});
    }
    for (const char* input : {"missing.png", "garbage.png", "truncated.png", "narrow.ppm", "lying.ppm"}) {
        refusals.push_back({"texgen", {"convert", input, "out.bmp"}, 1, input});
    }
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.tool + " " + testing::PrintToString(refusal.arguments));
        const ToolRun run = RunTool(PathOf(refusal.tool), refusal.arguments);
        EXPECT_EQ(run.exitCode, refusal.exitCode);
        if (refusal.exitCode == 0) {
            EXPECT_NE(run.out.find(refusal.reason), std::string::npos) << run.out;
        } else {
            EXPECT_EQ(run.err.rfind(refusal.tool + ": ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(refusal.reason), std::string::npos) << run.err;
        }
        for (const char* output : {"out.obj", "out.bmp", "out_normal.bmp", "out.ogg", "out.png"}) {
            EXPECT_FALSE(std::filesystem::exists(output)) << output;
        }
    }
}
