// Text over the frame and the immediate drawing operations.

#include <vector>

#include "render/gl/renderer_gl.h"

namespace {

struct Rgba {
    float r, g, b, a;
};

Rgba FromArgb(uint32_t colour)
{
    return Rgba{static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                static_cast<float>(colour & 0xFF) / 255.0f,
                static_cast<float>((colour >> 24) & 0xFF) / 255.0f};
}

}  // namespace

void RendererGL::TextPass()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    BeginPassTimer(kTextPass);
    std::lock_guard<std::mutex> lock(overlayLock_);
    // Newest first in the list; each later entry is drawn over the earlier ones.
    for (const TextInstance* text : texts_) {
        if (!text || !text->text) {
            continue;
        }
        const bool big = text->bigFont != 0;
        DrawText(big ? *largeFont_ : *smallFont_, big ? largeAtlas_ : smallAtlas_, text->text, text->x,
                 text->y, text->colour);
    }
    EndPassTimer();
}

void RendererGL::DrawText(const FontAtlas& font, GLuint atlas, const char* text, int x, int y,
                          uint32_t colour)
{
    std::vector<FontAtlas::GlyphQuad> quads;
    font.LayoutText(text, static_cast<float>(x), static_cast<float>(y), quads);
    if (quads.empty()) {
        return;
    }
    // Two triangles per glyph: x, y, u, v.
    std::vector<float> vertices;
    vertices.reserve(quads.size() * 24);
    for (const FontAtlas::GlyphQuad& q : quads) {
        const float corners[6][4] = {
            {q.x0, q.y0, q.u0, q.v0}, {q.x0, q.y1, q.u0, q.v1}, {q.x1, q.y1, q.u1, q.v1},
            {q.x1, q.y1, q.u1, q.v1}, {q.x1, q.y0, q.u1, q.v0}, {q.x0, q.y0, q.u0, q.v0},
        };
        for (const auto& corner : corners) {
            vertices.insert(vertices.end(), corner, corner + 4);
        }
    }
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(float));
    if (bytes > streamBufferBytes_) {
        glNamedBufferData(streamBuffer_, bytes, nullptr, GL_STREAM_DRAW);
        streamBufferBytes_ = bytes;
    }
    glNamedBufferSubData(streamBuffer_, 0, bytes, vertices.data());
    glBindVertexArray(vertexArray_);
    for (GLuint location = 0; location < 5; ++location) {
        glDisableVertexArrayAttrib(vertexArray_, location);
    }
    for (GLuint location = 0; location < 2; ++location) {
        glEnableVertexArrayAttrib(vertexArray_, location);
        glVertexArrayAttribFormat(vertexArray_, location, 2, GL_FLOAT, GL_FALSE, location * 2 * sizeof(float));
        glVertexArrayAttribBinding(vertexArray_, location, 0);
    }
    glVertexArrayVertexBuffer(vertexArray_, 0, streamBuffer_, 0, 4 * sizeof(float));

    const Rgba c = FromArgb(colour);
    glUseProgram(textProgram_);
    glProgramUniform2f(textProgram_, glGetUniformLocation(textProgram_, "screenSize"),
                       static_cast<float>(width_), static_cast<float>(height_));
    glProgramUniform4f(textProgram_, glGetUniformLocation(textProgram_, "colour"), c.r, c.g, c.b, c.a);
    glBindTextureUnit(0, atlas);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(quads.size() * 6));
    glDisable(GL_BLEND);
    glUseProgram(0);
}

void RendererGL::DrawText(std::string text, int x, int y, uint32_t colour)
{
    if (initialised_) {
        DrawText(*smallFont_, smallAtlas_, text.c_str(), x, y, colour);
    }
}

void RendererGL::DrawLine2D(int x1, int y1, int x2, int y2, uint32_t colour)
{
    if (!initialised_) {
        return;
    }
    const Rgba c = FromArgb(colour);
    const float vertices[2][8] = {
        {float(x1), float(y1), 1, 0, c.r, c.g, c.b, c.a},
        {float(x2), float(y2), 1, 0, c.r, c.g, c.b, c.a},
    };
    glBindVertexArray(vertexArray_);
    glBindProgramPipeline(pipeline_);
    UseShaders(kOverlayShader, kFlat2dShader);
    shaders_[kOverlayShader].SetVec2("screenSize", static_cast<float>(width_), static_cast<float>(height_));
    DrawUserVertices(GL_LINES, &vertices[0][0], 2, UserVertexFormat::kScreenColoured);
}

void RendererGL::DrawRect2D(int x1, int y1, int x2, int y2, uint32_t colour)
{
    if (!initialised_) {
        return;
    }
    const Rgba c = FromArgb(colour);
    const int corners[5][2] = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}, {x1, y1}};
    float vertices[5][8];
    for (int i = 0; i < 5; ++i) {
        const float v[8] = {float(corners[i][0]), float(corners[i][1]), 1, 0, c.r, c.g, c.b, c.a};
        std::copy(v, v + 8, vertices[i]);
    }
    glBindVertexArray(vertexArray_);
    glBindProgramPipeline(pipeline_);
    UseShaders(kOverlayShader, kFlat2dShader);
    shaders_[kOverlayShader].SetVec2("screenSize", static_cast<float>(width_), static_cast<float>(height_));
    DrawUserVertices(GL_LINE_STRIP, &vertices[0][0], 5, UserVertexFormat::kScreenColoured);
}

void RendererGL::DrawLine3D(float x1, float y1, float z1, float x2, float y2, float z2, uint32_t colour)
{
    if (!initialised_) {
        return;
    }
    // World positions with a colour; the 3D primitive shader gets no
    // constants of its own and uses whatever it holds.
    const Rgba c = FromArgb(colour);
    const float vertices[2][8] = {
        {x1, y1, z1, 1, c.r, c.g, c.b, c.a},
        {x2, y2, z2, 1, c.r, c.g, c.b, c.a},
    };
    glBindVertexArray(vertexArray_);
    glBindProgramPipeline(pipeline_);
    glUseProgramStages(pipeline_, GL_VERTEX_SHADER_BIT, shaders_[kPrim3dShader].Program());
    DrawUserVertices(GL_LINES, &vertices[0][0], 2, UserVertexFormat::kScreenColoured);
    glUseProgramStages(pipeline_, GL_VERTEX_SHADER_BIT, shaders_[kOverlayShader].Program());
}
