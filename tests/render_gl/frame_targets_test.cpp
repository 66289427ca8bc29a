// The deferred frame's targets: the lighting pass depth-tests against its
// own copy of the geometry pass's depth, since its shader samples that depth
// and a texture both sampled and attached to the target drawn into is a
// feedback loop.

#include <vector>

#include "render/gl/gl_targets.h"
#include "tests/render_gl/gl_fixture.h"

namespace {

using FrameTargetsTest = GlFixture;

GLint DepthAttachment(GLuint framebuffer)
{
    GLint name = 0;
    glGetNamedFramebufferAttachmentParameteriv(framebuffer, GL_DEPTH_ATTACHMENT,
                                               GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    return name;
}

TEST_F(FrameTargetsTest, TheLightingPassTestsAgainstACopyOfTheDepthItSamples)
{
    ASSERT_EQ(StartRenderer(), 0);
    FrameTargets targets;
    targets.Create(8, 4, 16);
    EXPECT_EQ(DepthAttachment(targets.geometryFbo.get()), static_cast<GLint>(targets.depth.get()));
    EXPECT_NE(DepthAttachment(targets.lightingFbo.get()), static_cast<GLint>(targets.depth.get()));
    EXPECT_EQ(DepthAttachment(targets.lightingFbo.get()), static_cast<GLint>(targets.depthCopy.get()));
    EXPECT_EQ(glCheckNamedFramebufferStatus(targets.lightingFbo.get(), GL_FRAMEBUFFER), GLenum{GL_FRAMEBUFFER_COMPLETE});

    const float depth = 0.625f;
    glClearTexImage(targets.depth.get(), 0, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    targets.CopyDepthForLighting();
    std::vector<float> copied(8 * 4, 0.0f);
    glGetTextureImage(targets.depthCopy.get(), 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                      static_cast<GLsizei>(copied.size() * sizeof(float)), copied.data());
    for (float value : copied) {
        EXPECT_EQ(value, depth);
    }
}

}  // namespace
