// Window footprints of polygons cut to planes, and the pieces of a volume
// drawn within them: with identity matrices a world point (x, y) lands at
// window ((x + 1) / 2, (y + 1) / 2) × size.
#include "ShadowVolumes.h"
#include "VolumeFootprint.h"
#include "VolumeTestSupport.h"

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

// Behind the near plane (z below -w here) nothing is seen, and the bounds
// tell that they cut something there.
TEST(FootprintBounds, DropsWhatLiesBeforeTheNearPlane)
{
    const Vec4 square[4] = {{-0.5f, -0.5f, -2, 1}, {0.5f, -0.5f, -2, 1}, {0.5f, 0.5f, 0, 1}, {-0.5f, 0.5f, 0, 1}};
    FootprintBounds bounds = Bounds({});
    const Vec4 front[3] = {{0, 0, 0, 1}, {0.1f, 0, 0, 1}, {0, 0.1f, 0, 1}};
    bounds.AddPolygon(front, 3);
    EXPECT_FALSE(bounds.CutByNearPlane());
    bounds.AddPolygon(square, 4);
    EXPECT_TRUE(bounds.CutByNearPlane());
    ExpectRect(bounds.Rect(), 24, 49, 52, 27);
    bounds.Clear();
    EXPECT_FALSE(bounds.CutByNearPlane());
}

// Other planes cut the polygons added after them; those added before keep
// their footprint.
TEST(FootprintBounds, NewPlanesLeaveWhatWasAdded)
{
    const Vec4 square[4] = {{-0.5f, -0.5f, 0, 1}, {0.5f, -0.5f, 0, 1}, {0.5f, 0.5f, 0, 1}, {-0.5f, 0.5f, 0, 1}};
    FootprintBounds bounds = Bounds({{1, 0, 0, 0}});
    bounds.AddPolygon(square, 4);
    const Plane below{0, -1, 0, 0};
    bounds.UsePlanes(&below, 1);
    const Vec4 left[3] = {{-0.9f, -0.9f, 0, 1}, {-0.8f, 0.9f, 0, 1}, {-0.7f, -0.9f, 0, 1}};
    bounds.AddPolygon(left, 3);
    ExpectRect(bounds.Rect(), 4, 4, 72, 72);
}

// A cube under a light straight above it, its depth-pass volume reaching
// down to infinity: cut by a floor below the cube, the four sides come in
// runs of the given length, each ending a little below the floor's height,
// and the back cap at infinity, wholly beyond the floor, is left out.
// Uncut, the cap is kept and takes the whole window.
TEST(VolumePieces, SidesInRunsCutByTheFloorAndNoCapBeyondIt)
{
    const SceneObject cube = VolumeTests::Cube("cube", -0.5f, 0.5f);
    VolumeGeometry volume(&cube);
    ASSERT_TRUE(volume.IsValid());
    volume.Update({0, 10, 0, 1}, 0.0f, false);
    ASSERT_EQ(volume.SideIndices().size(), 16u);

    const Plane floor{0, 1, 0, 0.8f};
    FootprintBounds bounds(Identity, Identity, Size, Size, &floor, 1);
    for (const std::size_t run : {std::size_t{1}, std::size_t{3}}) {
        std::vector<VolumePiece> pieces;
        AppendPieces(volume, run, bounds, pieces);
        ASSERT_EQ(pieces.size(), run == 1 ? 4u : 2u) << run;
        for (const VolumePiece& piece : pieces) {
            EXPECT_EQ(piece.kind, VolumePiece::Kind::Sides);
            EXPECT_GE(piece.rect.y, 8) << run;
            EXPECT_GT(piece.rect.height, 0) << run;
            EXPECT_LE(piece.rect.x + piece.rect.width, Size) << run;
        }
    }

    FootprintBounds uncut(Identity, Identity, Size, Size, nullptr, 0);
    std::vector<VolumePiece> pieces;
    AppendPieces(volume, 4, uncut, pieces);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].kind, VolumePiece::Kind::BackCap);
    ExpectRect(pieces[1].rect, 0, 0, Size, Size);
}
