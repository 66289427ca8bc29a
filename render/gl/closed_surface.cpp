#include "render/gl/closed_surface.h"

#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "render/gl/shadow_signature.h"

namespace {

// Corners nearer than this share of the mesh's radius are one corner.
constexpr float kWeldShare = 1.0f / 65536.0f;
// A part holding less volume than this share of its area to the power 3/2
// (a cube holds 1/15 of it) is flat: both of its sides can be seen.
constexpr double kFlatShare = 1e-6;

struct GridPoint {
    int64_t x;
    int64_t y;
    int64_t z;
    bool operator==(const GridPoint&) const = default;
};

struct GridPointHash {
    size_t operator()(const GridPoint& p) const
    {
        const uint64_t h = static_cast<uint64_t>(p.x) * 0x9E3779B97F4A7C15ull ^
                           static_cast<uint64_t>(p.y) * 0xC2B2AE3D27D4EB4Full ^
                           static_cast<uint64_t>(p.z) * 0x165667B19E3779F9ull;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};

// Connected parts of the corners, joined along triangle edges.
class Parts {
public:
    explicit Parts(size_t count) : parent_(count) { std::iota(parent_.begin(), parent_.end(), 0u); }
    uint32_t Root(uint32_t corner)
    {
        while (parent_[corner] != corner) {
            parent_[corner] = parent_[parent_[corner]];
            corner = parent_[corner];
        }
        return corner;
    }
    void Join(uint32_t a, uint32_t b) { parent_[Root(a)] = Root(b); }

private:
    std::vector<uint32_t> parent_;
};

uint64_t EdgeKey(uint32_t from, uint32_t to) { return (uint64_t{from} << 32) | to; }

// Each vertex's corner: a vertex within one grid cell (along every axis)
// of a corner already seen joins it, whichever side of a cell's edge the
// two fall on. False when a position is not a number.
bool WeldCorners(const Mesh& mesh, uint32_t vertexCount, float cell, std::vector<uint32_t>& corners,
                 size_t& cornerCount)
{
    std::unordered_map<GridPoint, uint32_t, GridPointHash> cells;  // the first corner in each
    std::vector<const float*> cornerPositions;
    const auto near = [cell](const float* a, const float* b) {
        return std::abs(a[0] - b[0]) <= cell && std::abs(a[1] - b[1]) <= cell && std::abs(a[2] - b[2]) <= cell;
    };
    corners.resize(vertexCount);
    for (uint32_t v = 0; v < vertexCount; ++v) {
        const float* p = mesh.positions + 3 * v;
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
            return false;
        }
        const GridPoint home{std::llround(p[0] / cell), std::llround(p[1] / cell), std::llround(p[2] / cell)};
        auto found = cells.find(home);
        for (int i = 0; i < 27 && (found == cells.end() || !near(cornerPositions[found->second], p)); ++i) {
            found = cells.find(GridPoint{home.x + i % 3 - 1, home.y + i / 3 % 3 - 1, home.z + i / 9 - 1});
        }
        if (found != cells.end() && near(cornerPositions[found->second], p)) {
            corners[v] = found->second;
            continue;
        }
        corners[v] = static_cast<uint32_t>(cornerPositions.size());
        cells.try_emplace(home, corners[v]);
        cornerPositions.push_back(p);
    }
    cornerCount = cornerPositions.size();
    return true;
}

struct Extent {
    double volume = 0.0;  // signed by the winding
    double area = 0.0;
};

// A triangle's share of its part's extent: the signed volume of the
// tetrahedron it spans with the origin, and its area.
void AddTriangle(const float* a, const float* b, const float* c, Extent& extent)
{
    const double ab[3] = {double{b[0]} - a[0], double{b[1]} - a[1], double{b[2]} - a[2]};
    const double ac[3] = {double{c[0]} - a[0], double{c[1]} - a[1], double{c[2]} - a[2]};
    const double n[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2],
                         ab[0] * ac[1] - ab[1] * ac[0]};
    extent.volume += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6.0;
    extent.area += std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) / 2.0;
}

}  // namespace

int ClosedSurfaceWinding(const Mesh& mesh)
{
    const uint32_t vertexCount = mesh.vertexCount / 3 * 3;  // whole triangles, as drawn
    const float radius = mesh.positions ? MeshRadius(mesh) : 0.0f;
    if (vertexCount == 0 || !(radius > 0.0f) || !std::isfinite(radius)) {
        return 0;
    }
    std::vector<uint32_t> corners;
    size_t cornerCount = 0;
    if (!WeldCorners(mesh, vertexCount, radius * kWeldShare, corners, cornerCount)) {
        return 0;
    }
    // Every edge of a closed surface wound one way is walked once each way.
    std::unordered_map<uint64_t, int> edges;
    Parts parts(cornerCount);
    std::vector<uint32_t> faces;  // first vertex of each triangle with an area
    for (uint32_t v = 0; v < vertexCount; v += 3) {
        const uint32_t a = corners[v];
        const uint32_t b = corners[v + 1];
        const uint32_t c = corners[v + 2];
        if (a == b || b == c || c == a) {
            continue;
        }
        faces.push_back(v);
        ++edges[EdgeKey(a, b)];
        ++edges[EdgeKey(b, c)];
        ++edges[EdgeKey(c, a)];
        parts.Join(a, b);
        parts.Join(b, c);
    }
    for (const auto& [edge, walks] : edges) {
        const auto back = edges.find(EdgeKey(static_cast<uint32_t>(edge), static_cast<uint32_t>(edge >> 32)));
        if (walks != 1 || back == edges.end() || back->second != 1) {
            return 0;
        }
    }
    // Each part's volume, signed by its winding; all must agree.
    std::unordered_map<uint32_t, Extent> extents;
    for (const uint32_t v : faces) {
        const float* p = mesh.positions + 3 * v;
        AddTriangle(p, p + 3, p + 6, extents[parts.Root(corners[v])]);
    }
    int winding = 0;
    for (const auto& [part, extent] : extents) {
        const double flat = kFlatShare * extent.area * std::sqrt(extent.area);
        const int sign = extent.volume > flat ? 1 : extent.volume < -flat ? -1 : 0;
        if (sign == 0 || (winding != 0 && sign != winding)) {
            return 0;
        }
        winding = sign;
    }
    return winding;
}
