#include "render/gl/gl_vertex_stream.h"

namespace {

// Every location a vertex shader reads: mesh attributes use all five.
constexpr GLuint kAttributeLocations = 5;

GLsizei FloatsPerVertex(UserVertexFormat format)
{
    switch (format) {
    case UserVertexFormat::kPosition: return 3;
    case UserVertexFormat::kScreenTextured: return 6;
    case UserVertexFormat::kScreenColoured: return 8;
    }
    return 0;
}

}  // namespace

void VertexStream::Create()
{
    vertexArray_ = NewVertexArray();
    buffer_ = NewBuffer();
    bufferBytes_ = 0;
}

void VertexStream::Bind()
{
    glBindVertexArray(vertexArray_.get());
}

void VertexStream::ClearAttributes()
{
    for (GLuint location = 0; location < kAttributeLocations; ++location) {
        glDisableVertexArrayAttrib(vertexArray_.get(), location);
    }
}

void VertexStream::SetAttribute(GLuint location, GLint components, GLuint offset)
{
    glEnableVertexArrayAttrib(vertexArray_.get(), location);
    glVertexArrayAttribFormat(vertexArray_.get(), location, components, GL_FLOAT, GL_FALSE, offset);
    glVertexArrayAttribBinding(vertexArray_.get(), location, 0);
}

void VertexStream::UseBuffer(GLuint buffer, const VertexLayout& layout)
{
    ClearAttributes();
    for (int a = 0; a < layout.count; ++a) {
        const VertexLayout::Attribute& attribute = layout.attributes[a];
        SetAttribute(attribute.location, attribute.components, attribute.offset);
    }
    glVertexArrayVertexBuffer(vertexArray_.get(), 0, buffer, 0, static_cast<GLsizei>(layout.stride));
}

void VertexStream::Draw(GLenum mode, const float* data, int count, UserVertexFormat format)
{
    const GLsizei floatsPerVertex = FloatsPerVertex(format);
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(count) * floatsPerVertex * sizeof(float);
    if (bytes > bufferBytes_) {
        glNamedBufferData(buffer_.get(), bytes, nullptr, GL_STREAM_DRAW);
        bufferBytes_ = bytes;
    }
    glNamedBufferSubData(buffer_.get(), 0, bytes, data);
    ClearAttributes();
    constexpr GLuint kFloat = sizeof(float);
    switch (format) {
    case UserVertexFormat::kPosition:
        SetAttribute(0, 3, 0);
        break;
    case UserVertexFormat::kScreenTextured:
        SetAttribute(0, 4, 0);
        SetAttribute(1, 2, 4 * kFloat);
        break;
    case UserVertexFormat::kScreenColoured:
        SetAttribute(0, 4, 0);
        SetAttribute(2, 4, 4 * kFloat);
        break;
    }
    glVertexArrayVertexBuffer(vertexArray_.get(), 0, buffer_.get(), 0,
                              floatsPerVertex * static_cast<GLsizei>(sizeof(float)));
    glDrawArrays(mode, 0, count);
}
