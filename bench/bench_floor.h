#pragma once
// The floor a deferred frame is measured against: the same meshes, drawn once
// with one textured, unlit shader into one 8-bit colour target with depth,
// then copied into the window. Whatever the deferred frame costs above this
// is the price of its passes.

#include <epoxy/gl.h>

#include <vector>

#include "render/gl/gl_objects.h"
#include "core/math.h"
#include "render/render_records.h"

class FloorFrame {
public:
    struct Object {
        Matrix4 model;
        const Material* material;
    };

    // False when the shader does not build; needs the current GL context.
    bool Create(const Mesh& mesh, const std::vector<Object>& objects, int width, int height);
    // Clears the target, draws every object, copies the target into the
    // window's back buffer; the caller presents.
    void Draw(const Matrix4& view, const Matrix4& projection);

private:
    GlProgram program_;
    GlBuffer vertices_;
    GlVertexArray layout_;
    GlTexture colour_;
    GlRenderbuffer depth_;
    GlFramebuffer framebuffer_;
    std::vector<GlTexture> textures_;
    std::vector<Object> objects_;
    GLsizei vertexCount_ = 0;
    int width_ = 0;
    int height_ = 0;
};
