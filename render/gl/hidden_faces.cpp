#include "render/gl/hidden_faces.h"

#include <algorithm>
#include <cmath>

namespace {

// An upper bound of how much the matrix's 3x3 part stretches a vector: the
// square root of the largest eigenvalue of M Mt, bounded by the largest
// absolute row sum of M Mt.
double LargestStretch(const Matrix4& m)
{
    double largest = 0.0;
    for (int i = 0; i < 3; ++i) {
        double rowSum = 0.0;
        for (int j = 0; j < 3; ++j) {
            const double product = double{m.m[i][0]} * m.m[j][0] + double{m.m[i][1]} * m.m[j][1] +
                                   double{m.m[i][2]} * m.m[j][2];
            rowSum += std::abs(product);
        }
        largest = std::max(largest, rowSum);
    }
    return std::sqrt(largest);
}

double Determinant3(const Matrix4& m)
{
    const auto& a = m.m;
    return double{a[0][0]} * (double{a[1][1]} * a[2][2] - double{a[1][2]} * a[2][1]) -
           double{a[0][1]} * (double{a[1][0]} * a[2][2] - double{a[1][2]} * a[2][0]) +
           double{a[0][2]} * (double{a[1][0]} * a[2][1] - double{a[1][1]} * a[2][0]);
}

}  // namespace

HiddenFaces HiddenFacesOf(int surfaceWinding, float meshRadius, const Matrix4& worldView, float nearReach)
{
    if (surfaceWinding == 0) {
        return HiddenFaces::kNone;
    }
    const double x = worldView.m[3][0];
    const double y = worldView.m[3][1];
    const double z = worldView.m[3][2];
    const double distance = std::sqrt(x * x + y * y + z * z);
    const double bound = double{meshRadius} * LargestStretch(worldView) + nearReach;
    const double determinant = Determinant3(worldView);
    // Written so that anything not a number keeps every face.
    if (!(distance > bound) || !(std::abs(determinant) > 0.0) || !std::isfinite(determinant)) {
        return HiddenFaces::kNone;
    }
    // A mirroring transform turns the winding over, as does an inward one.
    const bool turned = (determinant < 0.0) != (surfaceWinding < 0);
    return turned ? HiddenFaces::kClockwise : HiddenFaces::kCounterClockwise;
}
