#pragma once
// A real renderer on a real OpenGL context (SDL's offscreen driver, Mesa's
// software rasteriser), in a working directory holding the shader files,
// with helpers to build small scenes and read the frame back.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"
#include "render/gl/renderer_gl.h"
#include "tests/support/test_support.h"

struct Pixel {
    int r, g, b;
    int Sum() const { return r + g + b; }
};

// A picture read back from the screen; At() counts rows from the top.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // as OpenGL reads it: bottom row first
    Pixel At(int x, int y) const;
    // Mean brightness (r + g + b) over a rectangle.
    double MeanSum(int x0, int y0, int x1, int y1) const;
};

// The pieces of one drawn object, kept alive by the fixture.
struct SceneObject {
    Vec3 position;
    Vec3 scale{1, 1, 1};
    Vec3 rotation;
    uint8_t dirty = 0;
    RenderInstance instance;
};

struct SceneLight {
    Vec3 position;
    Vec3 colour{1, 1, 1};
    Vec3 cutoff{20, 0, 0};
    RenderLight record;
};

class GlFixture : public testing::Test {
protected:
    static constexpr int kWidth = 160;
    static constexpr int kHeight = 120;

    void SetUp() override;
    void TearDown() override;

    // Makes the window and starts the renderer on it, with the layout size
    // and the picture size when they are given; the result of Init.
    int StartRenderer(int width = kWidth, int height = kHeight, unsigned layoutWidth = 0, unsigned layoutHeight = 0,
                      unsigned pictureWidth = 0, unsigned pictureHeight = 0);

    // A unit cube (-0.5..0.5), or its front face alone as a unit square in
    // the z = 0 plane facing -z; texture coordinates v = 0 at the top.
    Mesh* Cube() { return Faces(6); }
    Mesh* Square() { return Faces(1); }
    Mesh* Faces(int count);
    // A material of width x height pixels, rows given top first.
    Material* SolidMaterial(const std::string& name, uint8_t r, uint8_t g, uint8_t b);
    Material* MaterialFromRows(const std::string& name, int width, int height,
                               const std::vector<uint8_t>& rgb);
    SceneObject* AddObject(Mesh* mesh, const std::string& material, Vec3 position, Vec3 scale,
                           Vec3 rotation = Vec3{});
    SceneLight* AddLight(Vec3 position, Vec3 colour = Vec3{1, 1, 1}, float cutoff = 20.0f);

    // Camera at the origin looking along +z.
    void LookFromOrigin();
    Frame Render();

    ScopedWorkDir dir;
    std::unique_ptr<Window> window;
    std::unique_ptr<RendererGL> renderer;
    std::vector<std::unique_ptr<Mesh>> meshes;
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<std::unique_ptr<SceneObject>> objects;
    std::vector<std::unique_ptr<SceneLight>> lights;
};

// Copies the shader files into the working directory.
void CopyShaders();
