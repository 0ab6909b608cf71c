// Facing, silhouette, extrusion and caps of one volume per light and mode.
#include "ShadowVolumes.h"
#include "VolumeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace KorvanaFramework;
using namespace VolumeTests;

namespace
{
using Indices = IndexList;

constexpr Vec4 PointAbove{0.5f, 5.0f, 0.5f, 1.0f};
constexpr Vec4 SunAbove{0.0f, 1.0f, 0.0f, 0.0f};
// The cube's corners and the two triangles of its top face (y = 1).
constexpr std::uint32_t CubeCorners = 8;
const Indices TopFace{2, 6, 7, 2, 7, 3};

// The cube's triangles except the top face, every index raised by `offset`.
Indices AllButTop(std::uint32_t offset)
{
    Indices indices;
    const SceneObject cube = Cube("Box", 0, 1);
    for (std::size_t t = 0; t < cube.triangles.size(); ++t)
        if (t != 6 && t != 7)
            for (std::uint32_t k : cube.triangles[t])
                indices.push_back(k + offset);
    return indices;
}

Indices AllTriangles(const SceneObject& object, std::uint32_t offset)
{
    Indices indices;
    for (const Triangle& t : object.triangles)
        for (std::uint32_t k : t)
            indices.push_back(k + offset);
    return indices;
}

// The sides as rows of 3 or 4 indices.
std::vector<Indices> Sides(const VolumeGeometry& geometry)
{
    const std::size_t size = geometry.SidesAsTriangles() ? 3 : 4;
    const Indices& all = geometry.SideIndices();
    std::vector<Indices> rows;
    for (std::size_t i = 0; i + size <= all.size(); i += size)
        rows.emplace_back(all.begin() + i, all.begin() + i + size);
    return rows;
}

Vec4 Vertex(const VolumeGeometry& geometry, std::uint32_t index)
{
    return geometry.Vertices()[index];
}

void ExpectNear(const Vec4& expected, const Vec4& actual)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(expected[i], actual[i], 1e-4f) << "component " << i;
}

// The cube's volume: from the middle of every side's edge, the side's normal
// points away from the cube's vertical axis, out of the volume.
void ExpectSidesFaceOutwards(const VolumeGeometry& geometry)
{
    for (const Indices& side : Sides(geometry)) {
        const Plane plane = PlaneFromTriangle(Vertex(geometry, side[0]), Vertex(geometry, side[1]),
                                              Vertex(geometry, side[3]));
        const Vec4 f = Vertex(geometry, side[0]), s = Vertex(geometry, side[1]);
        const float outX = (f[0] + s[0]) / 2 - 0.5f, outZ = (f[2] + s[2]) / 2 - 0.5f;
        EXPECT_GT(plane[0] * outX + plane[2] * outZ, 0.0f);
    }
}

class VolumeUpdate : public ::testing::Test
{
protected:
    SceneObject cube = Cube("Box", 0, 1);
    VolumeGeometry geometry{&cube};
};
}

TEST(VolumeExtrusion, WorkedPoints)
{
    SceneObject tetra = Tetrahedron();
    for (Vec4& p : tetra.positions)
        p[1] += 5.0f;
    VolumeGeometry geometry(&tetra);
    const std::uint32_t copyOfFirst = 4;

    geometry.Update({0, 10, 0, 1}, 100, false);
    EXPECT_EQ((Vec4{0, -95, 0, 1}), Vertex(geometry, copyOfFirst));
    geometry.Update({0, 10, 0, 1}, 0, false);
    EXPECT_EQ((Vec4{0, -5, 0, 0}), Vertex(geometry, copyOfFirst));
    geometry.Update({0, 1, 0, 0}, 100, false);
    EXPECT_EQ((Vec4{0, -95, 0, 1}), Vertex(geometry, copyOfFirst));
}

TEST(VolumeExtrusion, FiniteCopiesLieLengthAwayAlongTheLightRay)
{
    SceneObject cube = Cube("Box", 0, 1);
    VolumeGeometry geometry(&cube);
    const Vec4 light{3, 4, -2, 1};
    geometry.Update(light, 7.5f, false);
    for (std::uint32_t k = 0; k < CubeCorners; ++k) {
        const Vec4 p = Vertex(geometry, k), copy = Vertex(geometry, k + CubeCorners);
        const float dx = p[0] - light[0], dy = p[1] - light[1], dz = p[2] - light[2];
        const float scale = 7.5f / std::sqrt(dx * dx + dy * dy + dz * dz);
        ExpectNear({p[0] + dx * scale, p[1] + dy * scale, p[2] + dz * scale, 1}, copy);
    }
    geometry.Update({1, 2, 2, 0}, 6, false);
    for (std::uint32_t k = 0; k < CubeCorners; ++k) {
        const Vec4 p = Vertex(geometry, k);
        ExpectNear({p[0] - 2, p[1] - 4, p[2] - 4, 1}, Vertex(geometry, k + CubeCorners));
    }
}

// Between coordinates near the float limit a light ray is longer than any
// float; the finite copies must still be numbers, a length away.
TEST(VolumeExtrusion, HugeCoordinatesGiveNumbers)
{
    SceneObject huge = Tetrahedron();
    for (Vec4& p : huge.positions)
        for (int axis = 0; axis < 3; ++axis)
            p[axis] *= 3e38f;
    VolumeGeometry geometry(&huge);
    ASSERT_TRUE(geometry.IsValid());
    geometry.Update({0, 0, 0, 1}, 100, true);
    const std::size_t corners = huge.positions.size();
    for (std::size_t k = 0; k < corners; ++k)
        EXPECT_EQ(huge.positions[k], Vertex(geometry, static_cast<std::uint32_t>(k + corners)))
            << "100 is lost beside 3e38";
}

TEST_F(VolumeUpdate, DepthPassPointLightInfinite)
{
    geometry.Update(PointAbove, 0, false);
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_EQ(AllTriangles(cube, CubeCorners), geometry.BackCapIndices());
    EXPECT_FALSE(geometry.SidesAsTriangles());
    const std::vector<Indices> expected{{2, 3, 11, 10}, {6, 2, 10, 14}, {7, 6, 14, 15}, {3, 7, 15, 11}};
    EXPECT_EQ(expected, Sides(geometry));
    for (std::uint32_t k = 0; k < CubeCorners; ++k) {
        const Vec4 p = Vertex(geometry, k);
        EXPECT_EQ((Vec4{p[0] - 0.5f, p[1] - 5, p[2] - 0.5f, 0}), Vertex(geometry, k + CubeCorners));
    }
}

TEST_F(VolumeUpdate, DepthFailPointLightFinite)
{
    geometry.Update(PointAbove, 20, true);
    EXPECT_EQ(TopFace, geometry.FrontCapIndices());
    EXPECT_EQ(AllButTop(CubeCorners), geometry.BackCapIndices());
    EXPECT_FALSE(geometry.SidesAsTriangles());
    EXPECT_EQ(4u, Sides(geometry).size());
    ExpectSidesFaceOutwards(geometry);
}

TEST_F(VolumeUpdate, DepthPassDirectionalInfinite)
{
    geometry.Update(SunAbove, 0, false);
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_TRUE(geometry.BackCapIndices().empty());
    ASSERT_TRUE(geometry.SidesAsTriangles());
    const std::vector<Indices> expected{{2, 3, 8}, {6, 2, 8}, {7, 6, 8}, {3, 7, 8}};
    EXPECT_EQ(expected, Sides(geometry));
    EXPECT_EQ((Vec4{0, -1, 0, 0}), Vertex(geometry, CubeCorners)) << "the apex where the light goes";
}

TEST_F(VolumeUpdate, DepthFailDirectionalInfinite)
{
    geometry.Update(SunAbove, 0, true);
    EXPECT_EQ(TopFace, geometry.FrontCapIndices());
    EXPECT_TRUE(geometry.BackCapIndices().empty());
    EXPECT_TRUE(geometry.SidesAsTriangles());
    EXPECT_EQ(4u, Sides(geometry).size());
}

TEST_F(VolumeUpdate, DirectionalFiniteIsAPrism)
{
    geometry.Update(SunAbove, 3, true);
    EXPECT_FALSE(geometry.SidesAsTriangles());
    EXPECT_EQ(TopFace, geometry.FrontCapIndices());
    EXPECT_EQ(AllButTop(CubeCorners), geometry.BackCapIndices());
    for (std::uint32_t k = 0; k < CubeCorners; ++k) {
        const Vec4 p = Vertex(geometry, k);
        EXPECT_EQ((Vec4{p[0], p[1] - 3, p[2], 1}), Vertex(geometry, k + CubeCorners));
    }
    ExpectSidesFaceOutwards(geometry);
}

TEST_F(VolumeUpdate, ModeChangesActOnTheNextUpdate)
{
    geometry.Update(PointAbove, 0, true);
    EXPECT_FALSE(geometry.FrontCapIndices().empty());
    geometry.Update(PointAbove, 0, false);
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_EQ(36u, geometry.BackCapIndices().size());
    geometry.Update(SunAbove, 0, false);
    EXPECT_TRUE(geometry.BackCapIndices().empty());
}

// The whole-mesh back cap of depth-pass counting is kept from frame to
// frame; any update that empties or partitions it must rebuild it.
TEST_F(VolumeUpdate, WholeMeshBackCapSurvivesEveryOtherUpdate)
{
    const Indices whole = AllTriangles(cube, CubeCorners);
    const struct
    {
        Vec4 light;
        float length;
        bool depthFail;
    } between[] = {{{0, 0, 0, 0}, 0, false}, {PointAbove, 0, true}, {SunAbove, 0, false}, {PointAbove, 3, true}};
    for (const auto& other : between) {
        geometry.Update(PointAbove, 0, false);
        ASSERT_EQ(whole, geometry.BackCapIndices());
        geometry.Update(other.light, other.length, other.depthFail);
        geometry.Update(PointAbove, 0, false);
        EXPECT_EQ(whole, geometry.BackCapIndices()) << "after " << other.light[3] << " " << other.depthFail;
    }
}

TEST_F(VolumeUpdate, LightInsideAClosedMeshHasNoSilhouette)
{
    const Vec4 centre{0.5f, 0.5f, 0.5f, 1};
    geometry.Update(centre, 0, true);
    EXPECT_TRUE(geometry.SideIndices().empty());
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_EQ(AllTriangles(cube, CubeCorners), geometry.BackCapIndices());

    SceneObject inverted = Cube("Inverted", 0, 1);
    for (Triangle& t : inverted.triangles)
        std::swap(t[1], t[2]);
    VolumeGeometry inside(&inverted);
    ASSERT_TRUE(inside.IsValid());
    inside.Update(centre, 0, true);
    EXPECT_TRUE(inside.SideIndices().empty());
    EXPECT_TRUE(inside.BackCapIndices().empty());
    EXPECT_EQ(AllTriangles(inverted, 0), inside.FrontCapIndices());
}

// The top face's plane holds the light, so it does not face it: the
// silhouette runs around the face at z = 1 alone.
TEST_F(VolumeUpdate, LightInATrianglePlaneDoesNotFaceIt)
{
    geometry.Update({0.5f, 1, 5, 1}, 0, true);
    EXPECT_EQ((Indices{4, 5, 7, 4, 7, 6}), geometry.FrontCapIndices());
    EXPECT_EQ(4u, Sides(geometry).size());
}

TEST_F(VolumeUpdate, DirectionalLightWithoutDirectionCastsNothing)
{
    geometry.Update({0, 0, 0, 0}, 10, true);
    EXPECT_TRUE(geometry.SideIndices().empty());
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_TRUE(geometry.BackCapIndices().empty());
}

TEST_F(VolumeUpdate, VertexAtThePointLightKeepsAFiniteCopy)
{
    for (float length : {0.0f, 4.0f}) {
        geometry.Update({1, 1, 1, 1}, length, false);
        for (const Vec4& v : geometry.Vertices())
            for (float c : v)
                EXPECT_TRUE(std::isfinite(c));
    }
}

TEST_F(VolumeUpdate, LaterFramesReuseTheListStorage)
{
    const Vec4 lights[] = {PointAbove, {3, 2, -4, 1}, {-1, -3, 2, 0}, {0.2f, 0.9f, -0.1f, 0}};
    const auto runFrames = [&] {
        for (float length : {0.0f, 5.0f})
            for (bool depthFail : {false, true})
                for (const Vec4& light : lights)
                    geometry.Update(light, length, depthFail);
    };
    runFrames();
    const auto* sides = geometry.SideIndices().data();
    const auto* front = geometry.FrontCapIndices().data();
    const auto* back = geometry.BackCapIndices().data();
    runFrames();
    runFrames();
    EXPECT_EQ(sides, geometry.SideIndices().data());
    EXPECT_EQ(front, geometry.FrontCapIndices().data());
    EXPECT_EQ(back, geometry.BackCapIndices().data());
}

TEST(VolumeUpdateOfEmptyGeometry, WritesAndListsNothing)
{
    const SceneObject empty = MakeObject("Empty", {}, {});
    VolumeGeometry geometry(&empty);
    for (bool depthFail : {false, true}) {
        geometry.Update(SunAbove, 0, depthFail);
        EXPECT_TRUE(geometry.Vertices().empty());
        EXPECT_TRUE(geometry.SideIndices().empty());
        EXPECT_TRUE(geometry.FrontCapIndices().empty());
        EXPECT_TRUE(geometry.BackCapIndices().empty());
    }
}

TEST(VolumeUpdateOfRejectedGeometry, BuildsNothing)
{
    const SceneObject single = MakeObject("Open", {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}});
    const LogRecorder quiet;
    VolumeGeometry geometry(&single);
    geometry.Update(PointAbove, 0, true);
    EXPECT_TRUE(geometry.Vertices().empty());
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_TRUE(geometry.BackCapIndices().empty());
}
