#include "world/line_fx.h"

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "core/log.h"
#include "render/render_interface.h"
#include "world/actor_catalogue.h"

namespace {

// The curve at parameter u and clock t is
//   x = cos(0.1u + t) sin(1.01u + t),  y = cos(t + u) cos(0.11u),
//   z = cos(0.12u + t) sin(0.9u + t),
// scaled per axis. u takes the same kSegments + 1 values every frame, so the
// sines and cosines of the u terms are computed once and every frame only
// needs sin t and cos t (angle addition).
struct CurveTerms {
    double cos01, sin01;    // 0.1 u
    double cos101, sin101;  // 1.01 u
    double cos1, sin1;      // u
    double cos011;          // 0.11 u
    double cos012, sin012;  // 0.12 u
    double cos09, sin09;    // 0.9 u
};

const std::vector<CurveTerms>& Terms()
{
    static const std::vector<CurveTerms> terms = [] {
        std::vector<CurveTerms> table(LineFX::kSegments + 1);
        const float step = 1.0f / static_cast<float>(LineFX::kSegments);
        for (int h = 0; h <= LineFX::kSegments; ++h) {
            const float u = static_cast<float>(h) * step * 100.0f;
            CurveTerms& c = table[h];
            c.cos01 = std::cos(double{0.1f * u});
            c.sin01 = std::sin(double{0.1f * u});
            c.cos101 = std::cos(double{1.01f * u});
            c.sin101 = std::sin(double{1.01f * u});
            c.cos1 = std::cos(double{u});
            c.sin1 = std::sin(double{u});
            c.cos011 = std::cos(double{0.11f * u});
            c.cos012 = std::cos(double{0.12f * u});
            c.sin012 = std::sin(double{0.12f * u});
            c.cos09 = std::cos(double{0.9f * u});
            c.sin09 = std::sin(double{0.9f * u});
        }
        return table;
    }();
    return terms;
}

}  // namespace

LineFX::LineFX(std::string effectName)
    : EntitylessActor(std::move(effectName)), points_(std::make_unique<Vec3[]>(kPoints))
{
    lineSet_.points = &points_[0].x;
    lineSet_.count = kLines * kSegments;
    Generate();
    RenderInterface* renderer = GetRenderer();
    if (!renderer || renderer->AddLineSet(&lineSet_) != 0) {
        LogLine("could not register line set");
    }
}

LineFX::~LineFX()
{
    if (RenderInterface* renderer = GetRenderer()) {
        renderer->RemoveLineSet(&lineSet_);
    }
    points_.reset();
    lineSet_.points = nullptr;
    lineSet_.count = 0;
}

std::string LineFX::GetClassName()
{
    return actor_class::kLineFX;
}

void LineFX::Update(float dtMs)
{
    // The curve at the frame's own time: a frame behind, it would lag by a
    // time that changes with the frame rate.
    clock_ += double{dtMs} * 0.001;
    Generate();
}

void LineFX::Generate()
{
    const std::vector<CurveTerms>& terms = Terms();
    const double ct = std::cos(clock_);
    const double st = std::sin(clock_);
    const Vec3 p = Position;
    const Vec3 s = Scale;
    for (int line = 0; line < kLines; ++line) {
        Vec3* out = points_.get() + 2 * kSegments * line;
        for (int k = 0; k < 2 * kSegments; ++k) {
            const CurveTerms& c = terms[(k + 1) / 2];
            const double x = (c.cos01 * ct - c.sin01 * st) * (c.sin101 * ct + c.cos101 * st);
            const double y = (c.cos1 * ct - c.sin1 * st) * c.cos011;
            const double z = (c.cos012 * ct - c.sin012 * st) * (c.sin09 * ct + c.cos09 * st);
            out[k] = Vec3{p.x + static_cast<float>(x) * s.x, p.y + static_cast<float>(y) * s.y,
                          p.z + static_cast<float>(z) * s.z};
        }
    }
}
