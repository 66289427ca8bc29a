#pragma once
// Vertex input: one vertex array through which every draw reads its
// vertices, either from a mesh's vertex buffer or straight from memory
// through one stream buffer that grows as needed.

#include <epoxy/gl.h>

#include <array>

#include "render/gl/gl_objects.h"

// Attributes of a mesh's vertex buffer, in packing order, present only when
// the mesh has the array: position, normal, texture coordinate, tangent,
// binormal.
struct VertexLayout {
    struct Attribute {
        GLuint location;
        GLint components;
        GLuint offset;
    };
    std::array<Attribute, 5> attributes{};
    int count = 0;
    GLuint stride = 0;
};

// Vertices drawn from memory: world positions (x, y, z); screen pixels
// (x, y, z, rhw) with a texture coordinate (u, v); or screen pixels with a
// colour (r, g, b, a).
enum class UserVertexFormat { kPosition, kScreenTextured, kScreenColoured };

class VertexStream {
public:
    void Create();
    void Bind();
    // Reads the following draws' vertices from a mesh's buffer.
    void UseBuffer(GLuint buffer, const VertexLayout& layout);
    // Copies the vertices into the stream buffer and draws them.
    void Draw(GLenum mode, const float* data, int count, UserVertexFormat format);

private:
    void ClearAttributes();
    void SetAttribute(GLuint location, GLint components, GLuint offset);

    GlVertexArray vertexArray_;
    GlBuffer buffer_;
    GLsizeiptr bufferBytes_ = 0;
};
