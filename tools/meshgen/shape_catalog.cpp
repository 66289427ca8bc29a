#include "tools/meshgen/shape_catalog.h"

#include <numeric>

#include "tools/meshgen/shapes.h"

namespace {

constexpr double kLongest = 10000.0;

int Count(const ShapeValues& values, const char* option)
{
    return static_cast<int>(values.at(option));
}

std::string NoCheck(const ShapeValues&)
{
    return {};
}

ShapeKind Plane()
{
    return {"plane",
            "ground plane facing up, subdivided into a grid",
            {{"--size", 40.0f, 0.01, kLongest, false, "side length"},
             {"--segments", 16.0f, 1, 512, true, "cells along each side"},
             {"--uv-repeat", 8.0f, 0.001, kLongest, false, "texture repeats across the plane"}},
            [](const ShapeValues& v) {
                return MakeGroundPlane(v.at("--size"), Count(v, "--segments"), v.at("--uv-repeat"));
            },
            NoCheck};
}

ShapeKind Box()
{
    return {"box",
            "pillar with flat sides, standing on y = 0",
            {{"--width", 1.0f, 0.001, kLongest, false, "extent along x"},
             {"--height", 4.0f, 0.001, kLongest, false, "extent along y"},
             {"--depth", 1.0f, 0.001, kLongest, false, "extent along z"},
             {"--uv-per-unit", 0.5f, 0.0001, 1000, false, "texture repeats per unit of length"}},
            [](const ShapeValues& v) {
                return MakeBox({v.at("--width"), v.at("--height"), v.at("--depth")},
                               v.at("--uv-per-unit"));
            },
            NoCheck};
}

ShapeKind Cylinder()
{
    return {"cylinder",
            "round pillar with caps, standing on y = 0",
            {{"--radius", 0.5f, 0.001, kLongest, false, "radius"},
             {"--height", 4.0f, 0.001, kLongest, false, "height"},
             {"--segments", 24.0f, 3, 1024, true, "sides round the axis"},
             {"--uv-per-unit", 0.5f, 0.0001, 1000, false, "texture repeats per unit of length"}},
            [](const ShapeValues& v) {
                return MakeCylinder(v.at("--radius"), v.at("--height"), Count(v, "--segments"),
                                    v.at("--uv-per-unit"));
            },
            NoCheck};
}

ShapeKind TorusKnot()
{
    return {"torusknot",
            "tube along a (turns, twists) torus knot, centred on the origin",
            {{"--radius", 2.0f, 0.01, kLongest, false, "radius of the torus the knot winds round"},
             {"--tube", 0.35f, 0.001, kLongest, false, "radius of the tube"},
             {"--turns", 2.0f, 1, 32, true, "times round the vertical axis"},
             {"--twists", 3.0f, 1, 32, true, "times through the torus's hole"},
             {"--segments", 256.0f, 8, 2048, true, "steps along the knot"},
             {"--sides", 16.0f, 3, 128, true, "sides round the tube"},
             {"--uv-repeat", 16.0f, 0.001, kLongest, false, "texture repeats along the knot"}},
            [](const ShapeValues& v) {
                return MakeTorusKnot({v.at("--radius"), v.at("--tube"), Count(v, "--turns"),
                                      Count(v, "--twists"), Count(v, "--segments"),
                                      Count(v, "--sides"), v.at("--uv-repeat")});
            },
            [](const ShapeValues& v) -> std::string {
                if (std::gcd(Count(v, "--turns"), Count(v, "--twists")) != 1) {
                    return "--turns and --twists must have no common factor, or the curve retraces "
                           "itself";
                }
                if (v.at("--tube") >= 0.5f * v.at("--radius")) {
                    return "--tube must be less than half of --radius";
                }
                return {};
            }};
}

ShapeKind Sphere()
{
    return {"sphere",
            "smooth UV sphere centred on the origin",
            {{"--radius", 1.0f, 0.001, kLongest, false, "radius"},
             {"--segments", 32.0f, 3, 512, true, "columns round the equator"},
             {"--rings", 16.0f, 2, 256, true, "rows from pole to pole"}},
            [](const ShapeValues& v) {
                return MakeUvSphere(v.at("--radius"), Count(v, "--segments"), Count(v, "--rings"));
            },
            NoCheck};
}

ShapeKind Shards()
{
    return {
        "shards",
        "flat-shaded geodesic sphere whose triangles can fly apart",
        {{"--radius", 1.0f, 0.001, kLongest, false, "radius"},
         {"--subdivisions", 2.0f, 0, 6, true, "times the icosahedron is split (20 x 4^n faces)"}},
        [](const ShapeValues& v) {
            return MakeFacetedSphere(v.at("--radius"), Count(v, "--subdivisions"));
        },
        NoCheck};
}

}  // namespace

const std::vector<ShapeKind>& ShapeCatalog()
{
    static const std::vector<ShapeKind> catalog = {Plane(),     Box(),    Cylinder(),
                                                   TorusKnot(), Sphere(), Shards()};
    return catalog;
}

const ShapeKind* FindShapeKind(const std::string& name)
{
    for (const ShapeKind& kind : ShapeCatalog()) {
        if (kind.name == name) {
            return &kind;
        }
    }
    return nullptr;
}
