#include "tests/tools/mesh_checks.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/file_manager.h"
#include "scene/mesh_loader.h"

namespace {

std::string Text(Float3 v)
{
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) +
           ")";
}

// The gradient, within the triangle's plane, of a value that is linear
// across the triangle and takes f0, f1, f2 at its corners.
Float3 GradientAcross(Float3 p0, Float3 p1, Float3 p2, float f0, float f1, float f2)
{
    const Float3 e1 = p1 - p0;
    const Float3 e2 = p2 - p0;
    const Float3 n = Cross(e1, e2);
    const float area2 = Dot(n, n);
    return (Cross(e2, n) * (f1 - f0) + Cross(n, e1) * (f2 - f0)) * (1.0f / area2);
}

bool AreaIsUsable(Float3 p0, Float3 p1, Float3 p2)
{
    const Float3 e1 = p1 - p0;
    const Float3 e2 = p2 - p0;
    return Length(Cross(e1, e2)) > 1e-6f * Dot(e1, e1) + 1e-12f;
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
        const Float3 n = NormalOf(mesh, v);
        const Float3 t = TangentOf(mesh, v);
        const Float3 b = BinormalOf(mesh, v);
        const float worst = std::max({std::fabs(Length(n) - 1.0f), std::fabs(Length(t) - 1.0f),
                                      std::fabs(Length(b) - 1.0f), std::fabs(Dot(n, t)),
                                      std::fabs(Dot(n, b)), std::fabs(Dot(t, b))});
        if (!(worst <= tolerance)) {
            return testing::AssertionFailure() << "vertex " << v << ": normal " << Text(n)
                                               << " tangent " << Text(t) << " binormal " << Text(b);
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult WindingFollowsNormals(const Mesh& mesh)
{
    for (size_t first = 0; first + 2 < mesh.vertexCount; first += 3) {
        const Float3 p0 = PositionOf(mesh, first);
        const Float3 p1 = PositionOf(mesh, first + 1);
        const Float3 p2 = PositionOf(mesh, first + 2);
        if (!AreaIsUsable(p0, p1, p2)) {
            continue;
        }
        const Float3 turn = Cross(p1 - p0, p2 - p0);
        for (size_t v = first; v < first + 3; ++v) {
            if (!(Dot(turn, NormalOf(mesh, v)) > 0.0f)) {
                return testing::AssertionFailure()
                       << "triangle " << first / 3 << " turns " << Text(turn) << " against normal "
                       << Text(NormalOf(mesh, v));
            }
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult FramesFollowTexcoords(const Mesh& mesh)
{
    for (size_t first = 0; first + 2 < mesh.vertexCount; first += 3) {
        const Float3 p[3] = {PositionOf(mesh, first), PositionOf(mesh, first + 1),
                             PositionOf(mesh, first + 2)};
        const Float2 uv[3] = {TexcoordOf(mesh, first), TexcoordOf(mesh, first + 1),
                              TexcoordOf(mesh, first + 2)};
        const float uvArea =
            (uv[1].x - uv[0].x) * (uv[2].y - uv[0].y) - (uv[2].x - uv[0].x) * (uv[1].y - uv[0].y);
        if (!AreaIsUsable(p[0], p[1], p[2]) || std::fabs(uvArea) < 1e-9f) {
            continue;
        }
        const Float3 growU = GradientAcross(p[0], p[1], p[2], uv[0].x, uv[1].x, uv[2].x);
        const Float3 growV = GradientAcross(p[0], p[1], p[2], uv[0].y, uv[1].y, uv[2].y);
        for (size_t v = first; v < first + 3; ++v) {
            if (!(Dot(TangentOf(mesh, v), growU) > 0.0f) ||
                !(Dot(BinormalOf(mesh, v), growV) > 0.0f)) {
                return testing::AssertionFailure()
                       << "triangle " << first / 3 << ": u grows along " << Text(growU)
                       << ", v along " << Text(growV) << ", but the tangent is "
                       << Text(TangentOf(mesh, v)) << " and the binormal "
                       << Text(BinormalOf(mesh, v));
            }
        }
    }
    return testing::AssertionSuccess();
}
