#pragma once
// The screen-sized targets of the deferred frame and the framebuffers that
// draw into them: the geometry pass writes diffuse (an albedo, or the glow
// of line sets) and normal, and its depth buffer, from which the lighting
// pass works out each pixel's world position; the lighting pass adds light
// and specular, testing against a copy of that depth buffer to skip surfaces
// out of a light's reach (a texture both sampled and attached would be a
// feedback loop); the shadow pass draws cube faces with a depth buffer of
// its own; composition and text go
// into the picture, which the present copies into the window.

#include "render/gl/gl_objects.h"

struct FrameTargets {
    GlTexture diffuse;
    GlTexture normal;
    GlTexture depth;  // the geometry pass's depth buffer
    GlTexture depthCopy;  // the lighting pass's depth buffer, copied from depth
    GlTexture lighting;
    GlTexture specular;
    GlTexture picture;
    GlRenderbuffer shadowDepthBuffer;
    GlFramebuffer geometryFbo;
    GlFramebuffer lightingFbo;
    GlFramebuffer shadowFbo;
    GlFramebuffer pictureFbo;

    void Create(unsigned width, unsigned height, int shadowMapSize);
    // The geometry pass's depth into the lighting pass's depth buffer.
    void CopyDepthForLighting() const;

private:
    unsigned width_ = 0;
    unsigned height_ = 0;
};
