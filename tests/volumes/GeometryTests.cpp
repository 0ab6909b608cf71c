// Planes through triangles.
#include "Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace KorvanaFramework;

namespace
{
void ExpectPlane(const Plane& expected, const Plane& actual)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(expected[i], actual[i], 1e-6f) << "component " << i;
}
}

TEST(PlaneFromTriangle, NormalPointsToTheCounterClockwiseSide)
{
    ExpectPlane({0, 1, 0, 0}, PlaneFromTriangle({0, 0, 0, 1}, {1, 0, 0, 1}, {1, 0, -1, 1}));
    ExpectPlane({0, -1, 0, 0}, PlaneFromTriangle({0, 0, 0, 1}, {1, 0, -1, 1}, {1, 0, 0, 1}));
    // w takes no part.
    ExpectPlane({0, 1, 0, 0}, PlaneFromTriangle({0, 0, 0, 0}, {1, 0, 0, 5}, {1, 0, -1, -3}));
}

TEST(PlaneFromTriangle, OffsetPutsTheTriangleOnThePlane)
{
    ExpectPlane({0, 1, 0, -2}, PlaneFromTriangle({0, 2, 0, 1}, {1, 2, 0, 1}, {1, 2, -1, 1}));
    const Plane tilted = PlaneFromTriangle({1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1});
    const float s = 1.0f / std::sqrt(3.0f);
    ExpectPlane({s, s, s, -s}, tilted);
    EXPECT_TRUE(IsFinitePlane(tilted));
}

TEST(PlaneFromTriangle, TriangleWithoutAreaGivesNoUsablePlane)
{
    EXPECT_FALSE(IsFinitePlane(PlaneFromTriangle({1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1})));
    EXPECT_FALSE(IsFinitePlane(PlaneFromTriangle({0, 0, 0, 1}, {1, 0, 0, 1}, {2, 0, 0, 1})));
}
