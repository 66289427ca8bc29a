#pragma once
// Owners of GL objects. Each owner holds one object and deletes it when the
// owner goes or takes another, so no GL object is ever released by hand.
// Owners move and never copy. The context the object was made in (or one
// sharing it, for buffers and textures) must be current when it is let go.

#include <epoxy/gl.h>

#include <utility>

template <void (*Delete)(GLuint)>
class GlObject {
public:
    GlObject() = default;
    explicit GlObject(GLuint name) : name_(name) {}
    ~GlObject() { Reset(); }
    GlObject(GlObject&& other) noexcept : name_(std::exchange(other.name_, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.name_, 0));
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    GLuint get() const { return name_; }
    explicit operator bool() const { return name_ != 0; }
    // Deletes the object held (if any) and holds the given one.
    void Reset(GLuint name = 0)
    {
        if (name_ != 0) {
            Delete(name_);
        }
        name_ = name;
    }

private:
    GLuint name_ = 0;
};

namespace gl_delete {
inline void Buffer(GLuint name) { glDeleteBuffers(1, &name); }
inline void Texture(GLuint name) { glDeleteTextures(1, &name); }
inline void Framebuffer(GLuint name) { glDeleteFramebuffers(1, &name); }
inline void Renderbuffer(GLuint name) { glDeleteRenderbuffers(1, &name); }
inline void Program(GLuint name) { glDeleteProgram(name); }
inline void Pipeline(GLuint name) { glDeleteProgramPipelines(1, &name); }
inline void VertexArray(GLuint name) { glDeleteVertexArrays(1, &name); }
inline void Query(GLuint name) { glDeleteQueries(1, &name); }
}  // namespace gl_delete

using GlBuffer = GlObject<gl_delete::Buffer>;
using GlTexture = GlObject<gl_delete::Texture>;
using GlFramebuffer = GlObject<gl_delete::Framebuffer>;
using GlRenderbuffer = GlObject<gl_delete::Renderbuffer>;
using GlProgram = GlObject<gl_delete::Program>;
using GlPipeline = GlObject<gl_delete::Pipeline>;
using GlVertexArray = GlObject<gl_delete::VertexArray>;
using GlQuery = GlObject<gl_delete::Query>;

// New, empty objects (direct state access creation).
inline GlBuffer NewBuffer()
{
    GLuint name = 0;
    glCreateBuffers(1, &name);
    return GlBuffer(name);
}

inline GlTexture NewTexture(GLenum target)
{
    GLuint name = 0;
    glCreateTextures(target, 1, &name);
    return GlTexture(name);
}

inline GlFramebuffer NewFramebuffer()
{
    GLuint name = 0;
    glCreateFramebuffers(1, &name);
    return GlFramebuffer(name);
}

inline GlRenderbuffer NewRenderbuffer()
{
    GLuint name = 0;
    glCreateRenderbuffers(1, &name);
    return GlRenderbuffer(name);
}

inline GlPipeline NewPipeline()
{
    GLuint name = 0;
    glCreateProgramPipelines(1, &name);
    return GlPipeline(name);
}

inline GlVertexArray NewVertexArray()
{
    GLuint name = 0;
    glCreateVertexArrays(1, &name);
    return GlVertexArray(name);
}

inline GlQuery NewQuery(GLenum target)
{
    GLuint name = 0;
    glCreateQueries(target, 1, &name);
    return GlQuery(name);
}

// A fence in the command stream, deleted with its owner.
class GlFence {
public:
    GlFence() : sync_(glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0)) {}
    ~GlFence() { glDeleteSync(sync_); }
    GlFence(const GlFence&) = delete;
    GlFence& operator=(const GlFence&) = delete;

    // Flushes and waits until the commands before the fence are done, at
    // most the given time.
    void Wait(GLuint64 timeoutNs) const { glClientWaitSync(sync_, GL_SYNC_FLUSH_COMMANDS_BIT, timeoutNs); }

private:
    GLsync sync_;
};
