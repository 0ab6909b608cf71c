// Edge connectivity and the rejection of meshes unfit for shadow volumes.
#include "ShadowVolumes.h"
#include "VolumeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace KorvanaFramework;
using namespace VolumeTests;

namespace
{
std::vector<std::array<std::uint32_t, 4>> EdgeRows(const VolumeGeometry& geometry)
{
    std::vector<std::array<std::uint32_t, 4>> rows;
    for (const Edge& e : geometry.Edges())
        rows.push_back({e.vertexA, e.vertexB, e.triangleA, e.triangleB});
    return rows;
}

// Builds `object` and expects it rejected with exactly `message` logged.
void ExpectRejected(const SceneObject& object, const std::string& message)
{
    const LogRecorder log;
    const VolumeGeometry geometry(&object);
    EXPECT_FALSE(geometry.IsValid());
    EXPECT_TRUE(geometry.Edges().empty());
    EXPECT_TRUE(geometry.Planes().empty());
    EXPECT_TRUE(geometry.Vertices().empty());
    EXPECT_EQ(std::vector<std::string>{message}, log.Messages());
}

// Two tetrahedra glued along the edge 0-1: four triangles use it.
SceneObject TwoTetrahedraOnOneEdge()
{
    SceneObject object = Tetrahedron();
    object.name = "Bowtie";
    object.positions.push_back({0, 1, 0, 1});
    object.positions.push_back({-1, 0, 0, 1});
    object.triangles.insert(object.triangles.end(), {{1, 0, 4}, {1, 4, 5}, {1, 5, 0}, {0, 5, 4}});
    return object;
}
}

TEST(VolumeBuild, TetrahedronEdgesInCreationOrder)
{
    const SceneObject tetra = Tetrahedron();
    const LogRecorder log;
    const VolumeGeometry geometry(&tetra);
    ASSERT_TRUE(geometry.IsValid());
    const std::vector<std::array<std::uint32_t, 4>> expected{
        {0, 1, 0, 2}, {1, 2, 0, 3}, {0, 2, 1, 0}, {2, 3, 1, 3}, {0, 3, 2, 1}, {1, 3, 3, 2}};
    EXPECT_EQ(expected, EdgeRows(geometry));
    EXPECT_TRUE(log.Messages().empty());
}

TEST(VolumeBuild, PlanesAndVertexArray)
{
    const SceneObject tetra = Tetrahedron();
    const VolumeGeometry geometry(&tetra);
    ASSERT_EQ(4u, geometry.Planes().size());
    for (std::size_t t = 0; t < 4; ++t) {
        const Triangle& tri = tetra.triangles[t];
        EXPECT_EQ(PlaneFromTriangle(tetra.positions[tri[0]], tetra.positions[tri[1]], tetra.positions[tri[2]]),
                  geometry.Planes()[t]);
    }
    // Outward normals: the inner point (0.1, -0.1, 0.1) lies behind every plane.
    for (const Plane& p : geometry.Planes())
        EXPECT_LT(p[0] * 0.1f - p[1] * 0.1f + p[2] * 0.1f + p[3], 0.0f);
    ASSERT_EQ(8u, geometry.Vertices().size());
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(tetra.positions[k], geometry.Vertices()[k]);
        EXPECT_EQ((Vec4{0, 0, 0, 0}), geometry.Vertices()[k + 4]);
    }
}

TEST(VolumeBuild, OpenMeshesHaveHoles)
{
    ExpectRejected(MakeObject("Single", {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}, {{0, 1, 2}}),
                   HolesError("Single"));
    SceneObject openBox = Cube("OpenBox", 0, 1);
    openBox.triangles.erase(openBox.triangles.begin() + 6, openBox.triangles.begin() + 8);
    ExpectRejected(openBox, HolesError("OpenBox"));
}

TEST(VolumeBuild, SplitCornersAreDifferentVertices)
{
    // Every face of the cube with its own four corner indices, as a mesh
    // with flat normals stores them.
    const SceneObject cube = Cube("Flat", 0, 1);
    SceneObject split = MakeObject("Flat", {}, {});
    for (std::size_t face = 0; face < 6; ++face) {
        const auto base = static_cast<std::uint32_t>(split.positions.size());
        std::vector<std::uint32_t> corners;
        for (std::size_t t = 2 * face; t < 2 * face + 2; ++t) {
            Triangle renumbered{};
            for (int k = 0; k < 3; ++k) {
                const std::uint32_t corner = cube.triangles[t][k];
                auto found = std::find(corners.begin(), corners.end(), corner);
                if (found == corners.end()) {
                    corners.push_back(corner);
                    split.positions.push_back(cube.positions[corner]);
                    found = corners.end() - 1;
                }
                renumbered[k] = base + static_cast<std::uint32_t>(found - corners.begin());
            }
            split.triangles.push_back(renumbered);
        }
    }
    ASSERT_EQ(24u, split.positions.size());
    ExpectRejected(split, HolesError("Flat"));
}

TEST(VolumeBuild, FlippedFaceLeavesUnmatchedEdges)
{
    SceneObject cube = Cube("Flipped", 0, 1);
    std::swap(cube.triangles[4][1], cube.triangles[4][2]);
    ExpectRejected(cube, HolesError("Flipped"));
    SceneObject tetra = Tetrahedron();
    std::swap(tetra.triangles[3][0], tetra.triangles[3][1]);
    ExpectRejected(tetra, HolesError("Tetra"));
}

TEST(VolumeBuild, FourTrianglesOnOneEdgeAreATJunction)
{
    ExpectRejected(TwoTetrahedraOnOneEdge(), TJunctionError("Bowtie"));
}

// A third triangle that runs a matched edge low-to-high only duplicates the
// entry; the duplicate stays unmatched.
TEST(VolumeBuild, ThirdTriangleRunningTheEdgeUpwardsIsAHole)
{
    SceneObject tetra = Tetrahedron();
    tetra.positions.push_back({0, 0, -1, 1});
    tetra.triangles.push_back({0, 1, 4});
    ExpectRejected(tetra, HolesError("Tetra"));
}

TEST(VolumeBuild, BothFaultsReportTheTJunction)
{
    SceneObject object = TwoTetrahedraOnOneEdge();
    object.triangles.pop_back();
    ExpectRejected(object, TJunctionError("Bowtie"));
}

TEST(VolumeBuild, RepeatedIndexEdgesAreIgnored)
{
    SceneObject tetra = Tetrahedron();
    tetra.triangles.push_back({2, 2, 2});
    const LogRecorder log;
    const VolumeGeometry geometry(&tetra);
    EXPECT_TRUE(geometry.IsValid());
    EXPECT_EQ(6u, geometry.Edges().size());
    EXPECT_EQ(5u, geometry.Planes().size());
    EXPECT_TRUE(log.Messages().empty());
}

TEST(VolumeBuild, ObjectWithoutTrianglesIsValidAndEmpty)
{
    const SceneObject empty = MakeObject("Empty", {}, {});
    const LogRecorder log;
    const VolumeGeometry geometry(&empty);
    EXPECT_TRUE(geometry.IsValid());
    EXPECT_TRUE(geometry.Edges().empty());
    EXPECT_TRUE(geometry.Vertices().empty());
    EXPECT_TRUE(log.Messages().empty());
}

TEST(VolumeBuild, TriangleNamingAMissingVertexIsRejected)
{
    SceneObject tetra = Tetrahedron();
    tetra.triangles[2][1] = 7;
    ExpectRejected(tetra, HolesError("Tetra"));
}

TEST(VolumeBuild, ResetEmptiesAndInvalidates)
{
    const SceneObject tetra = Tetrahedron();
    VolumeGeometry geometry(&tetra);
    geometry.Update({0, 5, 0, 1}, 0, true);
    geometry.Reset();
    EXPECT_FALSE(geometry.IsValid());
    EXPECT_TRUE(geometry.Edges().empty());
    EXPECT_TRUE(geometry.Vertices().empty());
    EXPECT_TRUE(geometry.SideIndices().empty());
    EXPECT_TRUE(geometry.FrontCapIndices().empty());
    EXPECT_TRUE(geometry.BackCapIndices().empty());
}
