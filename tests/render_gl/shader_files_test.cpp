// Shader files are the production's own content: one that declares its
// constants with other types than the values the renderer sets, or gives its
// samplers no units, still draws the right picture, and a constant whose
// type cannot take its value is reported once.

#include <fstream>
#include <regex>

#include "tests/render_gl/gl_fixture.h"

namespace {

using ShaderFilesTest = GlFixture;

// Rewrites a shader file in the working directory; every pattern must match.
void Rewrite(const std::string& file, const std::vector<std::pair<std::string, std::string>>& changes)
{
    std::string text = ReadFileText(file);
    for (const auto& [pattern, replacement] : changes) {
        const std::regex expression(pattern);
        ASSERT_TRUE(std::regex_search(text, expression)) << file << ": " << pattern;
        text = std::regex_replace(text, expression, replacement);
    }
    std::ofstream(file, std::ios::trunc) << text;
}

const std::pair<std::string, std::string> kNoBinding{"layout\\(binding = [0-9]+\\) ", ""};

}  // namespace

TEST_F(ShaderFilesTest, NarrowerConstantsAndSamplersWithoutUnitsDrawTheSamePicture)
{
    // Light colour and camera as vec3, and no sampler with a unit of its own.
    Rewrite("lighting_shader.psh", {kNoBinding,
                                    {"uniform vec4 lightCol\\[", "uniform vec3 lightCol["},
                                    {"uniform vec4 camPos;", "uniform vec3 camPos;"}});
    for (const char* file : {"gshader.psh", "deffered_shader.psh", "text_shader.psh"}) {
        Rewrite(file, {kNoBinding});
    }
    StdoutCapture log;
    ASSERT_EQ(StartRenderer(), 0);
    // Top row red, bottom row blue, under a yellow light.
    MaterialFromRows("stripes", 2, 2, {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255});
    AddObject(Square(), "stripes", Vec3{0, 0, 3}, Vec3{2, 2, 2});
    AddLight(Vec3{0, 0, 0.5f}, Vec3{1, 1, 0});
    LookFromOrigin();
    const Frame frame = Render();
    EXPECT_EQ(log.Text().find("Shader constant"), std::string::npos);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const Pixel upper = frame.At(kWidth / 2, kHeight / 2 - 15);
    const Pixel lower = frame.At(kWidth / 2, kHeight / 2 + 15);
    // The yellow light on the red top shows red beyond its highlight (which
    // adds as much green as red); on the blue bottom, only the highlight.
    EXPECT_GT(upper.r, upper.g + 80);
    EXPECT_NEAR(lower.r, lower.g, 20);
    EXPECT_LT(std::max(upper.b, lower.b), 30);
}

TEST_F(ShaderFilesTest, AConstantThatCannotTakeItsValueIsReportedOnce)
{
    Rewrite("lighting_shader.psh", {{"uniform vec4 camPos;", "uniform mat4 camPos;"},
                                    {"camPos\\.xyz", "camPos[3].xyz"}});
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Square(), "grey", Vec3{0, 0, 3}, Vec3{2, 2, 2});
    AddLight(Vec3{0, 0, 0.5f});
    LookFromOrigin();
    StderrCapture warnings;
    Render();
    Render();
    const std::vector<std::string> lines = warnings.Lines();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Shader constant camPos of lighting_shader.psh cannot take a vector"),
              1);
}
