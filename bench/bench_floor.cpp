#include "bench/bench_floor.h"

namespace {

constexpr const char* kVertexSource = R"(#version 450 core
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec2 inTexcoord;
uniform mat4 WorldViewProj;
layout(location = 0) out vec2 texcoord;
void main()
{
    gl_Position = WorldViewProj * vec4(inPosition, 1.0);
    texcoord = inTexcoord;
}
)";

constexpr const char* kPixelSource = R"(#version 450 core
layout(location = 0) in vec2 texcoord;
layout(binding = 0) uniform sampler2D diffuseMap;
layout(location = 0) out vec4 outColour;
void main()
{
    outColour = texture(diffuseMap, texcoord);
}
)";

GLuint CompileStage(GLenum stage, const char* source)
{
    const GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

GlTexture UploadTexture(const Material& material)
{
    GlTexture texture = NewTexture(GL_TEXTURE_2D);
    const auto width = static_cast<GLsizei>(material.width);
    const auto height = static_cast<GLsizei>(material.height);
    glTextureStorage2D(texture.get(), 7, GL_RGBA8, width, height);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTextureSubImage2D(texture.get(), 0, 0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, material.diffuse.get());
    glGenerateTextureMipmap(texture.get());
    glTextureParameteri(texture.get(), GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTextureParameteri(texture.get(), GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

}  // namespace

bool FloorFrame::Create(const Mesh& mesh, const std::vector<Object>& objects, int width, int height)
{
    width_ = width;
    height_ = height;
    objects_ = objects;
    const GLuint vertex = CompileStage(GL_VERTEX_SHADER, kVertexSource);
    const GLuint pixel = CompileStage(GL_FRAGMENT_SHADER, kPixelSource);
    program_ = GlProgram(glCreateProgram());
    glAttachShader(program_.get(), vertex);
    glAttachShader(program_.get(), pixel);
    glLinkProgram(program_.get());
    glDeleteShader(vertex);
    glDeleteShader(pixel);
    GLint linked = GL_FALSE;
    glGetProgramiv(program_.get(), GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        return false;
    }

    // Position and texture coordinate interleaved, five floats a vertex.
    std::vector<float> interleaved;
    interleaved.reserve(mesh.vertexCount * 5);
    for (uint32_t v = 0; v < mesh.vertexCount; ++v) {
        interleaved.insert(interleaved.end(), mesh.positions + 3 * v, mesh.positions + 3 * v + 3);
        interleaved.insert(interleaved.end(), mesh.texcoords + 2 * v, mesh.texcoords + 2 * v + 2);
    }
    vertexCount_ = static_cast<GLsizei>(mesh.vertexCount);
    vertices_ = NewBuffer();
    glNamedBufferStorage(vertices_.get(), static_cast<GLsizeiptr>(interleaved.size() * sizeof(float)),
                         interleaved.data(), 0);
    layout_ = NewVertexArray();
    glVertexArrayVertexBuffer(layout_.get(), 0, vertices_.get(), 0, 5 * sizeof(float));
    glEnableVertexArrayAttrib(layout_.get(), 0);
    glEnableVertexArrayAttrib(layout_.get(), 1);
    glVertexArrayAttribFormat(layout_.get(), 0, 3, GL_FLOAT, GL_FALSE, 0);
    glVertexArrayAttribFormat(layout_.get(), 1, 2, GL_FLOAT, GL_FALSE, 3 * sizeof(float));
    glVertexArrayAttribBinding(layout_.get(), 0, 0);
    glVertexArrayAttribBinding(layout_.get(), 1, 0);

    for (const Object& object : objects_) {
        textures_.push_back(UploadTexture(*object.material));
    }
    colour_ = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(colour_.get(), 1, GL_RGBA8, width, height);
    depth_ = NewRenderbuffer();
    glNamedRenderbufferStorage(depth_.get(), GL_DEPTH_COMPONENT24, width, height);
    framebuffer_ = NewFramebuffer();
    glNamedFramebufferTexture(framebuffer_.get(), GL_COLOR_ATTACHMENT0, colour_.get(), 0);
    glNamedFramebufferRenderbuffer(framebuffer_.get(), GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_.get());
    return glCheckNamedFramebufferStatus(framebuffer_.get(), GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FloorFrame::Draw(const Matrix4& view, const Matrix4& projection)
{
    glBindProgramPipeline(0);
    glUseProgram(program_.get());
    glBindVertexArray(layout_.get());
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_.get());
    glViewport(0, 0, width_, height_);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float farthest = 1.0f;
    glClearNamedFramebufferfv(framebuffer_.get(), GL_COLOR, 0, black);
    glClearNamedFramebufferfv(framebuffer_.get(), GL_DEPTH, 0, &farthest);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    const GLint location = glGetUniformLocation(program_.get(), "WorldViewProj");
    Matrix4 viewProjection;
    MatrixMultiply(&viewProjection, &view, &projection);
    for (size_t i = 0; i < objects_.size(); ++i) {
        Matrix4 worldViewProjection;
        MatrixMultiply(&worldViewProjection, &objects_[i].model, &viewProjection);
        glUniformMatrix4fv(location, 1, GL_FALSE, &worldViewProjection.m[0][0]);
        glBindTextureUnit(0, textures_[i].get());
        glDrawArrays(GL_TRIANGLES, 0, vertexCount_);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBlitNamedFramebuffer(framebuffer_.get(), 0, 0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT,
                           GL_NEAREST);
}
