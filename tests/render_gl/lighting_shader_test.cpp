// The lighting shader file on its own, over a one-pixel G-buffer: what it
// adds for a pixel the geometry pass's clear left behind.

#include <array>
#include <cmath>

#include "render/gl/gl_objects.h"
#include "render/gl/gl_shader_program.h"
#include "tests/render_gl/gl_fixture.h"

namespace {

using LightingShaderTest = GlFixture;

GlTexture OnePixel(GLenum target, GLenum format)
{
    GlTexture texture = NewTexture(target);
    glTextureStorage2D(texture.get(), 1, format, 1, 1);
    return texture;
}

// The light and specular the shader writes for one pixel whose normal target
// holds `normal` and whose depth is `depth`, lit by a white light 2 units in
// front of the camera.
std::array<float, 8> ShadeOnePixel(const float normal[4], float depth)
{
    ShaderProgram vertex;
    ShaderProgram pixel;
    std::string error;
    EXPECT_TRUE(vertex.CompileFile("ovrlay_shader.vsh", ShaderProgram::Stage::kVertex, &error)) << error;
    EXPECT_TRUE(pixel.CompileFile("lighting_shader.psh", ShaderProgram::Stage::kPixel, &error)) << error;
    GlTexture normals = OnePixel(GL_TEXTURE_2D, GL_RGB10_A2);
    glTextureSubImage2D(normals.get(), 0, 0, 0, 1, 1, GL_RGBA, GL_FLOAT, normal);
    GlTexture depths = OnePixel(GL_TEXTURE_2D, GL_DEPTH_COMPONENT32F);
    glTextureSubImage2D(depths.get(), 0, 0, 0, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    GlTexture shadow = OnePixel(GL_TEXTURE_CUBE_MAP, GL_R32F);
    const float nothingNear = 0.0f;
    glClearTexImage(shadow.get(), 0, GL_RED, GL_FLOAT, &nothingNear);
    GlTexture light = OnePixel(GL_TEXTURE_2D, GL_RGBA32F);
    GlTexture specular = OnePixel(GL_TEXTURE_2D, GL_RGBA32F);
    GlFramebuffer framebuffer = NewFramebuffer();
    glNamedFramebufferTexture(framebuffer.get(), GL_COLOR_ATTACHMENT0, light.get(), 0);
    glNamedFramebufferTexture(framebuffer.get(), GL_COLOR_ATTACHMENT1, specular.get(), 0);
    const GLenum buffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glNamedFramebufferDrawBuffers(framebuffer.get(), 2, buffers);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer.get());
    glViewport(0, 0, 1, 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);

    Matrix4 identity;
    MatrixIdentity(&identity);
    Matrix4 projection;
    MatrixPerspectiveFovLH(&projection, 1.2217305f, 1.0f, 0.05f, 30.0f);
    vertex.SetVec2(vertex.Find("screenSize"), 1.0f, 1.0f);
    pixel.SetVector(pixel.Find("camPos"), 0, 0, 0, 0);
    pixel.SetMatrix(pixel.Find("ViewInverse"), identity);
    pixel.SetVector(pixel.Find("projectionTerms"), projection.m[0][0], projection.m[1][1], projection.m[2][2],
                    projection.m[3][2]);
    const float position[4] = {0, 0, 2, 1};
    const float colour[4] = {1, 1, 1, 0};
    const float cutoff = 20.0f;
    pixel.SetFloat(pixel.Find("lightCount"), 1.0f);
    pixel.SetArray(pixel.Find("lightPosUT"), position, 1, 4);
    pixel.SetArray(pixel.Find("lightCol"), colour, 1, 4);
    pixel.SetArray(pixel.Find("lightCutoff"), &cutoff, 1, 1);
    pixel.BindSampler(pixel.Find("shadowMap"), shadow.get(), 0);
    pixel.BindSampler(pixel.Find("normalPass"), normals.get());
    pixel.BindSampler(pixel.Find("depthPass"), depths.get());

    GlPipeline pipeline = NewPipeline();
    glUseProgramStages(pipeline.get(), GL_VERTEX_SHADER_BIT, vertex.Program());
    glUseProgramStages(pipeline.get(), GL_FRAGMENT_SHADER_BIT, pixel.Program());
    glUseProgram(0);
    glBindProgramPipeline(pipeline.get());
    // One big triangle over the pixel, in pixels: x, y, z, rhw.
    const float corners[12] = {-1, -1, 1, 1, 3, -1, 1, 1, -1, 3, 1, 1};
    GlBuffer buffer = NewBuffer();
    glNamedBufferStorage(buffer.get(), sizeof corners, corners, 0);
    GlVertexArray layout = NewVertexArray();
    glVertexArrayVertexBuffer(layout.get(), 0, buffer.get(), 0, 4 * sizeof(float));
    glEnableVertexArrayAttrib(layout.get(), 0);
    glVertexArrayAttribFormat(layout.get(), 0, 4, GL_FLOAT, GL_FALSE, 0);
    glVertexArrayAttribBinding(layout.get(), 0, 0);
    glBindVertexArray(layout.get());
    glDrawArrays(GL_TRIANGLES, 0, 3);

    std::array<float, 8> out{};
    glGetTextureImage(light.get(), 0, GL_RGBA, GL_FLOAT, 4 * sizeof(float), out.data());
    glGetTextureImage(specular.get(), 0, GL_RGBA, GL_FLOAT, 4 * sizeof(float), out.data() + 4);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return out;
}

// The geometry pass clears the normal target to (0, 0, 0, 1): such a pixel
// is no surface and gets no light, where it once was shaded with a normal
// of length zero and came out as not-a-number. A marked surface facing the
// light is lit.
TEST_F(LightingShaderTest, APixelAsTheClearLeftItGetsNoLightAndAMarkedSurfaceDoes)
{
    ASSERT_EQ(StartRenderer(), 0);
    const float cleared[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float depth = 0.99f;  // a point about 4.3 units ahead
    for (float value : ShadeOnePixel(cleared, depth)) {
        EXPECT_EQ(value, 0.0f);
    }
    // (0, 0, -1) as n * 0.5 + 0.5, marked as a lit surface.
    const float facingTheCamera[4] = {0.5f, 0.5f, 0.0f, 1.0f / 3.0f};
    const std::array<float, 8> lit = ShadeOnePixel(facingTheCamera, depth);
    EXPECT_GT(lit[0], 0.05f);
    EXPECT_TRUE(std::isfinite(lit[0]) && std::isfinite(lit[4]));
}

}  // namespace
