// Shader files are the production's own content: one that declares its
// constants with other types than the values the renderer sets, or gives its
// samplers no units, still draws the right picture, and a constant whose
// type cannot take its value is reported once. Constants are set through
// handles found once per build of a program: the values reach the program,
// a name the file lacks sets nothing, and a program compiled again takes
// only the handles found in it.

#include <fstream>
#include <regex>

#include "render/gl/gl_shader_set.h"
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

// The program's value of a float or vector constant, read back from GL.
std::vector<float> UniformFloats(const ShaderProgram& program, const char* name, int count)
{
    std::vector<float> values(16, -1.0f);
    const GLint location = glGetUniformLocation(program.Program(), name);
    EXPECT_GE(location, 0) << name;
    glGetUniformfv(program.Program(), location, values.data());
    values.resize(static_cast<size_t>(count));
    return values;
}

// The texture bound to the unit a sampler reads.
GLint TextureOfSampler(const ShaderProgram& program, const char* name)
{
    GLint unit = -1;
    glGetUniformiv(program.Program(), glGetUniformLocation(program.Program(), name), &unit);
    GLint texture = -1;
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glActiveTexture(GL_TEXTURE0);
    return texture;
}

// Another constant declared ahead of the others: the program built from the
// file lists its constants in another order.
const std::pair<std::string, std::string> kConstantInFront{"uniform vec4 camPos;",
                                                           "uniform vec4 inFront;\nuniform vec4 camPos;"};
const std::pair<std::string, std::string> kInFrontUsed{"camPos\\.xyz", "(camPos.xyz + inFront.xyz)"};

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

TEST_F(ShaderFilesTest, HandlesSetTheirOwnProgramsConstantsAndAMissingNameSetsNothing)
{
    ASSERT_EQ(StartRenderer(), 0);
    ShaderSet shaders;
    ASSERT_EQ(shaders.Compile(), 0);
    ShaderProgram& lighting = shaders[kLightingShader];
    const FrameConstants& constants = shaders.Constants(kLightingShader);
    StderrCapture warnings;

    EXPECT_TRUE(lighting.SetVector(constants.camPos, 1, 2, 3, 4));
    EXPECT_EQ(UniformFloats(lighting, "camPos", 4), (std::vector<float>{1, 2, 3, 4}));
    Matrix4 translation;
    MatrixTranslation(&translation, 5, 6, 7);
    EXPECT_TRUE(lighting.SetMatrix(constants.viewInverse, translation));
    EXPECT_EQ(UniformFloats(lighting, "ViewInverse", 16)[12], 5.0f);
    EXPECT_EQ(UniformFloats(lighting, "ViewInverse", 16)[14], 7.0f);
    const float cutoffs[3] = {10, 20, 30};
    EXPECT_TRUE(lighting.SetArray(constants.lightCutoff, cutoffs, 3, 1));
    EXPECT_EQ(UniformFloats(lighting, "lightCutoff[2]", 1)[0], 30.0f);
    const float colours[8] = {1, 2, 3, 9, 4, 5, 6, 9};  // vec4 elements from three floats each
    EXPECT_TRUE(lighting.SetArray(constants.lightCol, colours, 2, 4));
    EXPECT_EQ(UniformFloats(lighting, "lightCol[1]", 4), (std::vector<float>{4, 5, 6, 9}));
    GlTexture texture = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(texture.get(), 1, GL_RGBA8, 1, 1);
    EXPECT_TRUE(lighting.BindSampler(constants.depthPass, texture.get()));
    EXPECT_EQ(TextureOfSampler(lighting, "depthPass"), static_cast<GLint>(texture.get()));

    // The lighting file has no resX: its handle names nothing, and sets nothing.
    EXPECT_FALSE(constants.resX.Valid());
    EXPECT_FALSE(lighting.SetFloat(constants.resX, 99.0f));
    EXPECT_FALSE(lighting.Find("noSuchConstant").Valid());
    EXPECT_FALSE(lighting.SetFloat(lighting.Find("noSuchConstant"), 99.0f));
    // Another program's handle is not this one's, whatever its index.
    const ConstantHandle resX = shaders.Constants(kDeferredShader).resX;
    ASSERT_TRUE(resX.Valid());
    EXPECT_FALSE(lighting.Holds(resX));
    for (ConstantHandle other : {resX, shaders.Constants(kDeferredShader).resY}) {
        EXPECT_FALSE(lighting.SetVector(other, 50, 50, 50, 50));
        EXPECT_FALSE(lighting.SetFloat(other, 50.0f));
    }
    EXPECT_EQ(UniformFloats(lighting, "camPos", 4), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(UniformFloats(lighting, "lightCutoff[0]", 1)[0], 10.0f);
    EXPECT_TRUE(shaders[kDeferredShader].SetFloat(resX, 640.0f));
    EXPECT_EQ(UniformFloats(shaders[kDeferredShader], "resX", 1)[0], 640.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(warnings.Lines().empty());
}

TEST_F(ShaderFilesTest, AProgramCompiledAgainTakesOnlyTheHandlesFoundInIt)
{
    ASSERT_EQ(StartRenderer(), 0);
    ShaderSet shaders;
    ASSERT_EQ(shaders.Compile(), 0);
    const FrameConstants before = shaders.Constants(kLightingShader);
    Rewrite("lighting_shader.psh", {kConstantInFront, kInFrontUsed});
    std::string error;
    ASSERT_EQ(shaders.Recompile("lighting_shader.psh", &error), ShaderSet::Recompiled::kSwapped) << error;
    ShaderProgram& lighting = shaders[kLightingShader];

    // The handles of the old build set nothing in the new one.
    EXPECT_FALSE(lighting.Holds(before.camPos));
    EXPECT_TRUE(lighting.SetVector(lighting.Find("inFront"), 0, 0, 0, 0));
    EXPECT_FALSE(lighting.SetVector(before.camPos, 8, 8, 8, 8));
    EXPECT_FALSE(lighting.SetVector(before.projectionTerms, 8, 8, 8, 8));
    EXPECT_EQ(UniformFloats(lighting, "inFront", 4), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_EQ(UniformFloats(lighting, "camPos", 4), (std::vector<float>{0, 0, 0, 0}));
    // The set found them anew.
    const FrameConstants& after = shaders.Constants(kLightingShader);
    EXPECT_TRUE(lighting.SetVector(after.camPos, 1, 2, 3, 4));
    EXPECT_EQ(UniformFloats(lighting, "camPos", 4), (std::vector<float>{1, 2, 3, 4}));

    // A file that does not compile leaves the program and its handles as they were.
    std::ofstream("lighting_shader.psh", std::ios::trunc) << "#version 450 core\nvoid main() { oops }\n";
    EXPECT_EQ(shaders.Recompile("lighting_shader.psh", &error), ShaderSet::Recompiled::kFailed);
    EXPECT_TRUE(lighting.SetVector(shaders.Constants(kLightingShader).camPos, 5, 6, 7, 8));
    EXPECT_EQ(UniformFloats(lighting, "camPos", 4), (std::vector<float>{5, 6, 7, 8}));
}

TEST_F(ShaderFilesTest, TheFrameLightsAsBeforeWithAShaderCompiledAgainWhileRunning)
{
    ASSERT_EQ(StartRenderer(), 0);
    SolidMaterial("grey", 200, 200, 200);
    AddObject(Square(), "grey", Vec3{0, 0, 3}, Vec3{2, 2, 2});
    AddLight(Vec3{0, 0, 0.5f});
    LookFromOrigin();
    const double lit = Render().MeanSum(kWidth / 2 - 10, kHeight / 2 - 10, kWidth / 2 + 10, kHeight / 2 + 10);
    ASSERT_GT(lit, 150.0);
    Rewrite("lighting_shader.psh", {kConstantInFront, kInFrontUsed});
    std::string error;
    ASSERT_EQ(renderer->RecompileShader("lighting_shader.psh", &error), ShaderRecompiled::kSwapped) << error;
    const double again = Render().MeanSum(kWidth / 2 - 10, kHeight / 2 - 10, kWidth / 2 + 10, kHeight / 2 + 10);
    EXPECT_NEAR(again, lit, 6.0);
}
