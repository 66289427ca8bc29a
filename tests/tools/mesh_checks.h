#pragma once
// Loading tool output through the player's own loaders, and checks of the
// geometry a model file holds.

#include <gtest/gtest.h>

#include <string>

#include "render/render_records.h"
#include "tests/support/test_support.h"
#include "tools/common/vector_math.h"

// A fresh working directory with the player's model and texture folders
// registered, as the demo registers them.
class ToolOutputTest : public testing::Test {
protected:
    void SetUp() override;

    ScopedWorkDir dir;
};

// Loads model/NAME.obj with the player's loader; the test fails (null) when
// the loader reports anything, for instance "Creating Mesh failure".
Mesh* LoadModelAsPlayer(const std::string& name);

// One vertex's attributes.
inline Float3 Read3(const float* array, size_t v) { return {array[3 * v], array[3 * v + 1], array[3 * v + 2]}; }
inline Float3 PositionOf(const Mesh& mesh, size_t v) { return Read3(mesh.positions, v); }
inline Float3 NormalOf(const Mesh& mesh, size_t v) { return Read3(mesh.normals, v); }
inline Float3 TangentOf(const Mesh& mesh, size_t v) { return Read3(mesh.tangents, v); }
inline Float3 BinormalOf(const Mesh& mesh, size_t v) { return Read3(mesh.binormals, v); }
inline Float2 TexcoordOf(const Mesh& mesh, size_t v) { return {mesh.texcoords[2 * v], mesh.texcoords[2 * v + 1]}; }

// Normal, tangent and binormal of every vertex are unit length and
// perpendicular to each other within the tolerance.
testing::AssertionResult FramesAreOrthonormal(const Mesh& mesh, float tolerance);
// Every triangle's corners (p0, p1, p2) turn so that (p1 - p0) x (p2 - p0)
// points the way of each corner's normal, and across every triangle with a
// usable mapping, u grows along the tangents and v along the binormals.
testing::AssertionResult FramesFitTheSurface(const Mesh& mesh);
