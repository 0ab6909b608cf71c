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

TEST(Box, HoldsThePointsAndRefusesInfinity)
{
    Box box;
    EXPECT_FALSE(box.Valid());
    Include(box, {1, -2, 3, 1});
    Include(box, {4, 2, -6, 2});
    ASSERT_TRUE(box.Valid());
    EXPECT_EQ(box.low, (Vec3{1, -2, -3}));
    EXPECT_EQ(box.high, (Vec3{2, 1, 3}));
    for (const Vec4& far : {Vec4{1, 0, 0, 0}, Vec4{1, 1, 1, -1}, Vec4{NAN, 0, 0, 1}}) {
        Box unbounded = box;
        Include(unbounded, far);
        Include(unbounded, {0, 0, 0, 1});
        EXPECT_FALSE(unbounded.Valid()) << far[0] << " " << far[3];
    }
}

// Only faces with the eye inside are given; every box point is kept, and a
// point just beyond a given face is cut.
TEST(Box, FacesAroundTheEyeKeepTheBoxAndCutBeyondIt)
{
    Box box;
    Include(box, {-1, -2, -3, 1});
    Include(box, {1, 2, 3, 1});
    const auto side = [](const Plane& p, const Vec3& x) { return p[0] * x[0] + p[1] * x[1] + p[2] * x[2] + p[3]; };
    std::array<Plane, 6> planes{};
    ASSERT_EQ(FacesAroundTheEye(box, 0.5f, {0, 0, 0}, planes), 6);
    for (const Plane& p : planes) {
        EXPECT_GT(side(p, {0.9f, 1.9f, 2.9f}), 0.0f);
        EXPECT_GT(side(p, {-1.4f, -2.4f, -3.4f}), 0.0f);
    }
    int cut = 0;
    for (const Plane& p : planes)
        cut += side(p, {0, -2.6f, 0}) < 0.0f;
    EXPECT_EQ(cut, 1);

    // Above the box: its top face would cut the eye's own side away.
    EXPECT_EQ(FacesAroundTheEye(box, 0.5f, {0, 10, 0}, planes), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_GT(side(planes[i], {0, 10, 0}), 0.0f);
    // Outside on two axes, and on the margin itself.
    EXPECT_EQ(FacesAroundTheEye(box, 0.5f, {5, 0, -9}, planes), 4);
    EXPECT_EQ(FacesAroundTheEye(box, 0.5f, {1.5f, 0, 0}, planes), 5);
    EXPECT_EQ(FacesAroundTheEye(Box{}, 0.5f, {0, 0, 0}, planes), 0);
}
