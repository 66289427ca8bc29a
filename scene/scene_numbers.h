#pragma once
// The numbers a scene gives that the show can draw: finite, and no larger
// than kLargestSceneNumber either way. Beyond it, squares and sums of
// positions and distances are no longer finite floats (about 3.4e38), and
// what depends on them is drawn wrong or not at all. The scene loader skips
// an automation key beyond it; the checker reports every number beyond it.

#include <cmath>

inline constexpr double kLargestSceneNumber = 1e15;

inline bool DrawableSceneNumber(double value)
{
    return std::isfinite(value) && std::fabs(value) <= kLargestSceneNumber;
}
