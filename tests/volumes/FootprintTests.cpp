// Window footprints of polygons cut to planes: with identity matrices a
// world point (x, y) lands at window ((x + 1) / 2, (y + 1) / 2) × size.
#include "VolumeFootprint.h"

#include <gtest/gtest.h>

using namespace KorvanaFramework;

namespace
{
constexpr Matrix4 Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr int Size = 100;

FootprintBounds Bounds(std::initializer_list<Plane> planes)
{
    const std::vector<Plane> list(planes);
    return FootprintBounds(Identity, Identity, Size, Size, list.data(), static_cast<int>(list.size()));
}

// The rectangle of one polygon cut by the planes.
PixelRect RectOf(std::initializer_list<Plane> planes, const Vec4* corners, int count)
{
    FootprintBounds bounds = Bounds(planes);
    bounds.AddPolygon(corners, count);
    return bounds.Rect();
}

void ExpectRect(const PixelRect& rect, int x, int y, int width, int height)
{
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}
}

// A plane keeps its side of the polygon; the rectangle holds that part and
// one pixel more each way, and two polygons make one rectangle.
TEST(FootprintBounds, HoldsTheKeptPartsWithAPixelToSpare)
{
    const Vec4 square[4] = {{-0.5f, -0.5f, 0, 1}, {0.5f, -0.5f, 0, 1}, {0.5f, 0.5f, 0, 1}, {-0.5f, 0.5f, 0, 1}};
    FootprintBounds bounds = Bounds({{1, 0, 0, 0}});
    bounds.AddPolygon(square, 4);
    ExpectRect(bounds.Rect(), 49, 24, 27, 52);

    const Vec4 corner[3] = {{0.8f, 0.8f, 0, 1}, {0.9f, 0.8f, 0, 1}, {0.9f, 0.9f, 0, 1}};
    bounds.AddPolygon(corner, 3);
    ExpectRect(bounds.Rect(), 49, 24, 47, 72);
}

// A polygon wholly beyond a plane covers nothing; one over the window's edge
// is held to the window.
TEST(FootprintBounds, StaysWithinTheWindow)
{
    const Vec4 triangle[3] = {{-3, -3, 0, 1}, {3, -3, 0, 1}, {0, 3, 0, 1}};
    ExpectRect(RectOf({{0, 0, 1, -1}}, triangle, 3), 0, 0, 0, 0);
    ExpectRect(RectOf({}, triangle, 3), 0, 0, Size, Size);
}

// An edge to a point at infinity is a ray: a plane across it keeps the ray's
// start up to where it crosses; uncut, it reaches the plane of the eye and
// takes the whole window.
TEST(FootprintBounds, CutsRaysToInfinityWhereTheyCrossAPlane)
{
    const Vec4 toInfinity[3] = {{0, 0, 0, 1}, {0.53f, 0, 0, 1}, {0, -1, 0, 0}};
    ExpectRect(RectOf({{0, 1, 0, 0.45f}}, toInfinity, 3), 49, 26, 29, 25);
    ExpectRect(RectOf({}, toInfinity, 3), 0, 0, Size, Size);
}

// Behind the near plane (z below -w here) nothing is seen.
TEST(FootprintBounds, DropsWhatLiesBeforeTheNearPlane)
{
    const Vec4 square[4] = {{-0.5f, -0.5f, -2, 1}, {0.5f, -0.5f, -2, 1}, {0.5f, 0.5f, 0, 1}, {-0.5f, 0.5f, 0, 1}};
    ExpectRect(RectOf({}, square, 4), 24, 49, 52, 27);
}
