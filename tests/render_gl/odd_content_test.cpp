// Content the loaders accept although no content tool writes it, read from
// real files through the real loaders and drawn by the real renderer: a mesh
// whose vertex count is not a multiple of three, and a 1 x 1 bitmap whose
// header claims 12 bytes of pixels (four pixels' worth).

#include <epoxy/gl.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/file_manager.h"
#include "formats/bitmap_file.h"
#include "formats/little_endian.h"
#include "formats/model_file.h"
#include "scene/material_loader.h"
#include "scene/mesh_loader.h"
#include "tests/render_gl/gl_fixture.h"

namespace {

// One triangle facing the camera at z = 3, and one vertex more.
std::vector<uint8_t> TriangleAndAStrayVertex()
{
    const float corners[4][3] = {{-1.5f, -1.5f, 3}, {1.5f, -1.5f, 3}, {0, 1.5f, 3}, {5, 5, 5}};
    std::vector<uint8_t> bytes;
    AppendU32(bytes, 4);
    AppendU32(bytes, kModelFileMagic);
    for (const auto& corner : corners) {
        const float rest[11] = {0.5f, 0.5f, 0, 0, -1, 1, 0, 0, 0, 1, 0};  // uv, normal, tangent, binormal
        for (float f : corner) {
            AppendF32(bytes, f);
        }
        for (float f : rest) {
            AppendF32(bytes, f);
        }
    }
    return bytes;
}

// A pixel, blue-green-red, then nine bytes more that the header counts in.
std::vector<uint8_t> OnePixelClaimingTwelveBytes()
{
    std::vector<uint8_t> bytes;
    AppendBitmapHeader(bytes, 1, 1, 12);
    const uint8_t pixels[12] = {30, 40, 230, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    bytes.insert(bytes.end(), pixels, pixels + 12);
    return bytes;
}

class OddContentTest : public GlFixture {
protected:
    void TearDown() override
    {
        SetRenderer(nullptr);
        GlFixture::TearDown();
    }
};

}  // namespace

TEST_F(OddContentTest, AMeshWithAStrayVertexAndAnOversizedOnePixelBitmapDrawFrameAfterFrame)
{
    ASSERT_EQ(StartRenderer(), 0);
    SetRenderer(renderer.get());
    std::filesystem::create_directories("model");
    std::filesystem::create_directories("tex");
    WriteFile("model/stray.obj", TriangleAndAStrayVertex());
    WriteFile("tex/onepixel.bmp", OnePixelClaimingTwelveBytes());
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);

    Mesh* mesh = LoadMesh("stray");
    Material* material = LoadMaterial("onepixel");
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(mesh->vertexCount, 4u);
    EXPECT_EQ(material->width * material->height, 1u);

    AddObject(mesh, "onepixel", Vec3{0, 0, 0}, Vec3{1, 1, 1});
    AddLight(Vec3{0, 0, 0}, Vec3{0.3f, 0.3f, 0.3f});
    LookFromOrigin();
    while (glGetError() != GL_NO_ERROR) {
    }
    Frame frame;
    for (int i = 0; i < 3; ++i) {
        frame = Render();
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The triangle shows in the bitmap's one colour (red), lit.
    const Pixel centre = frame.At(kWidth / 2, kHeight / 2);
    EXPECT_GT(centre.r, centre.g + 20);
    EXPECT_GT(centre.r, centre.b + 20);
    // The stray vertex makes no triangle: the corners stay dark.
    EXPECT_LT(frame.At(2, 2).Sum(), 30);
}
