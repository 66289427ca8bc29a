#include "render/gl/gl_targets.h"

namespace {

GlTexture CreateTarget(GLenum format, unsigned width, unsigned height)
{
    GlTexture texture = NewTexture(GL_TEXTURE_2D);
    glTextureStorage2D(texture.get(), 1, format, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glTextureParameteri(texture.get(), GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTextureParameteri(texture.get(), GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTextureParameteri(texture.get(), GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return texture;
}

GlRenderbuffer CreateDepthBuffer(GLenum format, int width, int height)
{
    GlRenderbuffer buffer = NewRenderbuffer();
    glNamedRenderbufferStorage(buffer.get(), format, width, height);
    return buffer;
}

}  // namespace

void FrameTargets::Create(unsigned width, unsigned height, int shadowMapSize)
{
    width_ = width;
    height_ = height;
    diffuse = CreateTarget(GL_RGBA8, width, height);
    // 10 bits a component hold a unit normal as finely as half floats do
    // near 1, in half the bytes; the 2 bits of alpha mark lit surfaces.
    normal = CreateTarget(GL_RGB10_A2, width, height);
    // Positions come back from depth: 32-bit float depth keeps the shadow
    // test steady far from the camera.
    depth = CreateTarget(GL_DEPTH_COMPONENT32F, width, height);
    depthCopy = CreateTarget(GL_DEPTH_COMPONENT32F, width, height);
    lighting = CreateTarget(GL_RGBA8, width, height);
    specular = CreateTarget(GL_RGBA8, width, height);
    picture = CreateTarget(GL_RGBA8, width, height);
    shadowDepthBuffer = CreateDepthBuffer(GL_DEPTH_COMPONENT24, shadowMapSize, shadowMapSize);

    geometryFbo = NewFramebuffer();
    const GLuint geometry[2] = {diffuse.get(), normal.get()};
    for (GLuint i = 0; i < 2; ++i) {
        glNamedFramebufferTexture(geometryFbo.get(), GL_COLOR_ATTACHMENT0 + i, geometry[i], 0);
    }
    glNamedFramebufferTexture(geometryFbo.get(), GL_DEPTH_ATTACHMENT, depth.get(), 0);

    lightingFbo = NewFramebuffer();
    glNamedFramebufferTexture(lightingFbo.get(), GL_COLOR_ATTACHMENT0, lighting.get(), 0);
    glNamedFramebufferTexture(lightingFbo.get(), GL_COLOR_ATTACHMENT1, specular.get(), 0);
    // Read only: the lighting pass tests against it and never writes it,
    // while its shader samples depth itself.
    glNamedFramebufferTexture(lightingFbo.get(), GL_DEPTH_ATTACHMENT, depthCopy.get(), 0);

    pictureFbo = NewFramebuffer();
    glNamedFramebufferTexture(pictureFbo.get(), GL_COLOR_ATTACHMENT0, picture.get(), 0);

    shadowFbo = NewFramebuffer();
    glNamedFramebufferRenderbuffer(shadowFbo.get(), GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                   shadowDepthBuffer.get());
}

void FrameTargets::CopyDepthForLighting() const
{
    glCopyImageSubData(depth.get(), GL_TEXTURE_2D, 0, 0, 0, 0, depthCopy.get(), GL_TEXTURE_2D, 0, 0, 0, 0,
                       static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), 1);
}
