#include "tests/tools/mesh_checks.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "core/file_manager.h"
#include "scene/mesh_loader.h"

// For the failure messages; found by argument lookup from the test library.
static std::ostream& operator<<(std::ostream& out, Float3 v)
{
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

namespace {

// The gradient, within the triangle's plane, of a value that is linear
// across the triangle and takes f0, f1, f2 at its corners.
Float3 GradientAcross(const Float3 p[3], float f0, float f1, float f2)
{
    const Float3 e1 = p[1] - p[0];
    const Float3 e2 = p[2] - p[0];
    const Float3 n = Cross(e1, e2);
    return (Cross(e2, n) * (f1 - f0) + Cross(n, e1) * (f2 - f0)) * (1.0f / Dot(n, n));
}

}  // namespace

void ToolOutputTest::SetUp()
{
    TheFileManager().AddSearchPath("model/", "obj", kResourceModel);
    TheFileManager().AddSearchPath("tex/", "bmp", kResourceTexture);
    std::filesystem::create_directories("model");
    std::filesystem::create_directories("tex");
}

Mesh* LoadModelAsPlayer(const std::string& name)
{
    StdoutCapture capture;
    Mesh* mesh = LoadMesh(name);
    const std::vector<std::string> lines = capture.Lines();
    for (const std::string& line : lines) {
        ADD_FAILURE() << "loading " << name << ": " << line;
    }
    return lines.empty() ? mesh : nullptr;
}

testing::AssertionResult FramesAreOrthonormal(const Mesh& mesh, float tolerance)
{
    for (size_t v = 0; v < mesh.vertexCount; ++v) {
        const Float3 f[3] = {NormalOf(mesh, v), TangentOf(mesh, v), BinormalOf(mesh, v)};
        float worst = 0.0f;
        for (int i = 0; i < 3; ++i) {
            worst = std::max({worst, std::fabs(Length(f[i]) - 1.0f), std::fabs(Dot(f[i], f[(i + 1) % 3]))});
        }
        if (!(worst <= tolerance)) {
            return testing::AssertionFailure() << "vertex " << v << ": normal " << f[0] << " tangent " << f[1]
                                               << " binormal " << f[2];
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult FramesFitTheSurface(const Mesh& mesh)
{
    for (size_t first = 0; first + 2 < mesh.vertexCount; first += 3) {
        const Float3 p[3] = {PositionOf(mesh, first), PositionOf(mesh, first + 1), PositionOf(mesh, first + 2)};
        const Float2 uv[3] = {TexcoordOf(mesh, first), TexcoordOf(mesh, first + 1), TexcoordOf(mesh, first + 2)};
        const Float3 turn = Cross(p[1] - p[0], p[2] - p[0]);
        if (!(Length(turn) > 1e-6f * Dot(p[1] - p[0], p[1] - p[0]) + 1e-12f)) {
            continue;  // no usable area
        }
        const float uvArea =
            (uv[1].x - uv[0].x) * (uv[2].y - uv[0].y) - (uv[2].x - uv[0].x) * (uv[1].y - uv[0].y);
        const Float3 growU = GradientAcross(p, uv[0].x, uv[1].x, uv[2].x);
        const Float3 growV = GradientAcross(p, uv[0].y, uv[1].y, uv[2].y);
        for (size_t v = first; v < first + 3; ++v) {
            if (!(Dot(turn, NormalOf(mesh, v)) > 0.0f)) {
                return testing::AssertionFailure() << "triangle " << first / 3 << " turns " << turn
                                                   << " against normal " << NormalOf(mesh, v);
            }
            if (std::fabs(uvArea) >= 1e-9f &&
                (!(Dot(TangentOf(mesh, v), growU) > 0.0f) || !(Dot(BinormalOf(mesh, v), growV) > 0.0f))) {
                return testing::AssertionFailure()
                       << "triangle " << first / 3 << ": u grows along " << growU << ", v along " << growV
                       << ", but the tangent is " << TangentOf(mesh, v) << " and the binormal "
                       << BinormalOf(mesh, v);
            }
        }
    }
    return testing::AssertionSuccess();
}
