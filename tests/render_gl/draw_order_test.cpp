// The frame draws nearest instances first, whatever order they came in.

#include <gtest/gtest.h>

#include <cmath>

#include "render/gl/draw_order.h"

namespace {

TEST(DrawOrderTest, NearestFirstWithTiesInTheirOrderAndWhatCannotBePlacedAtTheEnds)
{
    Matrix4 far, near, middle, alsoMiddle, broken;
    MatrixTranslation(&far, 0, 0, 30);
    MatrixTranslation(&near, 1, 0, 2);
    MatrixTranslation(&middle, 0, 5, 10);
    MatrixTranslation(&alsoMiddle, 0, -5, 10);
    MatrixTranslation(&broken, std::nanf(""), 0, 0);
    RenderInstance a, b, c, d, e, unplaced;
    a.modelMatrix = &far;
    b.modelMatrix = &middle;
    c.modelMatrix = &near;
    d.modelMatrix = &alsoMiddle;
    e.modelMatrix = &broken;
    const std::list<RenderInstance*> instances{&a, &e, &b, nullptr, &c, &d, &unplaced};

    const std::vector<RenderInstance*> fromOrigin = NearestFirst(instances, Vec3{0, 0, 0});
    const std::vector<RenderInstance*> expected{nullptr, &unplaced, &c, &b, &d, &a, &e};
    EXPECT_EQ(fromOrigin, expected);

    // From beyond the far one, the order turns round.
    const std::vector<RenderInstance*> fromBehind = NearestFirst(instances, Vec3{0, 0, 40});
    EXPECT_EQ(fromBehind[2], &a);
    EXPECT_EQ(fromBehind[5], &c);
}

}  // namespace
