// Edge connectivity and the rejection of meshes unfit for shadow volumes.
#include "ShadowVolumes.h"
#include "VolumeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

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
    EXPECT_EQ(0u, geometry.PlaneCount());
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

// What the build must find, by the plainest search: edges in creation
// order, every downward run matched to the first edge of its pair searched
// from the start, the first fault met reported. Returns the edge rows, or
// the message of the rejection.
struct Matching
{
    std::vector<std::array<std::uint32_t, 4>> rows;
    std::string error;
};

Matching MatchBySearch(const SceneObject& object)
{
    Matching result;
    for (const Triangle& t : object.triangles)
        for (std::uint32_t corner : t)
            if (corner >= object.positions.size()) {
                result.error = HolesError(object.name);
                return result;
            }
    for (std::uint32_t t = 0; t < object.triangles.size(); ++t)
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t from = object.triangles[t][k], to = object.triangles[t][(k + 1) % 3];
            if (from < to)
                result.rows.push_back({from, to, t, NoTriangle});
        }
    for (std::uint32_t t = 0; t < object.triangles.size(); ++t)
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t from = object.triangles[t][k], to = object.triangles[t][(k + 1) % 3];
            if (from <= to)
                continue;
            const auto first = std::find_if(result.rows.begin(), result.rows.end(),
                                            [&](const auto& row) { return row[0] == to && row[1] == from; });
            if (first == result.rows.end())
                continue;
            if ((*first)[3] != NoTriangle) {
                result.error = TJunctionError(object.name);
                return result;
            }
            (*first)[3] = t;
        }
    if (std::any_of(result.rows.begin(), result.rows.end(), [](const auto& row) { return row[3] == NoTriangle; }))
        result.error = HolesError(object.name);
    return result;
}

// `object` with its vertices numbered anew in a random order, so that the
// groups of edges by vertex arrive unsorted.
SceneObject Renumbered(SceneObject object, std::mt19937& random)
{
    std::vector<std::uint32_t> order(object.positions.size());
    std::iota(order.begin(), order.end(), 0u);
    std::shuffle(order.begin(), order.end(), random);
    std::vector<Vec4> positions(object.positions.size());
    for (std::size_t v = 0; v < order.size(); ++v)
        positions[order[v]] = object.positions[v];
    object.positions = positions;
    for (Triangle& t : object.triangles)
        for (std::uint32_t& corner : t)
            corner = order[corner];
    return object;
}

// A closed double cone: `segments` triangles around each of two apexes, so
// that each apex has as many edges.
SceneObject DoubleCone(std::uint32_t segments)
{
    SceneObject cone = MakeObject("Cone", {{0, 1, 0, 1}, {0, -1, 0, 1}}, {});
    for (std::uint32_t i = 0; i < segments; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(segments);
        cone.positions.push_back({std::cos(a), 0, std::sin(a), 1});
        const std::uint32_t rim = 2 + i, next = 2 + (i + 1) % segments;
        cone.triangles.push_back({0, next, rim});
        cone.triangles.push_back({1, rim, next});
    }
    return cone;
}

void ExpectMatchedAsBySearch(const SceneObject& object, const std::string& what)
{
    const LogRecorder log;
    const VolumeGeometry geometry(&object);
    const Matching expected = MatchBySearch(object);
    EXPECT_EQ(expected.error.empty(), geometry.IsValid()) << what;
    if (expected.error.empty()) {
        EXPECT_EQ(expected.rows, EdgeRows(geometry)) << what;
        EXPECT_TRUE(log.Messages().empty()) << what;
    } else {
        EXPECT_EQ(std::vector<std::string>{expected.error}, log.Messages()) << what;
    }
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
    ASSERT_EQ(4u, geometry.PlaneCount());
    for (std::size_t t = 0; t < 4; ++t) {
        const Triangle& tri = tetra.triangles[t];
        EXPECT_EQ(PlaneFromTriangle(tetra.positions[tri[0]], tetra.positions[tri[1]], tetra.positions[tri[2]]),
                  geometry.PlaneAt(t));
    }
    // Outward normals: the inner point (0.1, -0.1, 0.1) lies behind every plane.
    for (std::size_t t = 0; t < 4; ++t) {
        const Plane p = geometry.PlaneAt(t);
        EXPECT_LT(p[0] * 0.1f - p[1] * 0.1f + p[2] * 0.1f + p[3], 0.0f);
    }
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
    EXPECT_EQ(5u, geometry.PlaneCount());
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

// Closed meshes in any vertex order, with a vertex on hundreds of edges,
// and broken ones: random triangles over a few vertices repeat pairs,
// run edges both ways and leave holes in every combination.
TEST(VolumeBuild, MatchingAgreesWithASearchFromTheStart)
{
    std::mt19937 random(12);
    for (int round = 0; round < 6; ++round) {
        ExpectMatchedAsBySearch(Renumbered(Torus(7, 5), random), "torus " + std::to_string(round));
        SceneObject cone = Renumbered(DoubleCone(300), random);
        ExpectMatchedAsBySearch(cone, "cone " + std::to_string(round));
        cone.triangles.push_back(cone.triangles[random() % cone.triangles.size()]);
        ExpectMatchedAsBySearch(cone, "cone with a repeated triangle " + std::to_string(round));
        cone.triangles.erase(cone.triangles.begin() + random() % cone.triangles.size());
        ExpectMatchedAsBySearch(cone, "cone less a triangle " + std::to_string(round));
    }
    for (int round = 0; round < 300; ++round) {
        SceneObject soup = MakeObject("Soup", std::vector<Vec4>(5, Vec4{0, 0, 0, 1}), {});
        const std::uint32_t count = 2 + random() % 6;
        for (std::uint32_t t = 0; t < count; ++t)
            soup.triangles.push_back({static_cast<std::uint32_t>(random() % 5), static_cast<std::uint32_t>(random() % 5),
                                      static_cast<std::uint32_t>(random() % 5)});
        ExpectMatchedAsBySearch(soup, "soup " + std::to_string(round));
    }
}

// A point of the volume always may be enclosed, whatever the light; points
// between the light and the caster, beside its cone or cylinder, or behind
// a point light surely are not; a light within the caster's sphere bounds
// nothing.
TEST(VolumeBuild, MayEncloseEveryPointOfTheVolumeAndNoneSurelyOutside)
{
    const SceneObject cube = Cube("Cube", -1.0f, 1.0f);
    const VolumeGeometry geometry(&cube);
    ASSERT_TRUE(geometry.IsValid());
    for (const Vec4& light : {Vec4{0, 10, 0, 1}, Vec4{3, 4, -2, 1}, Vec4{0, 1, 0, 0}, Vec4{1, 2, 0.7f, 0}}) {
        for (const Vec4& corner : cube.positions) {
            for (const float t : {0.0f, 0.5f, 5.0f, 200.0f}) {
                Vec3 point{};
                for (int c = 0; c < 3; ++c)
                    point[c] = corner[c] + t * (light[3] == 0.0f ? -light[c] : corner[c] - light[c]);
                EXPECT_TRUE(geometry.MayEnclose(light, point)) << light[0] << light[1] << light[2] << " t " << t;
            }
        }
    }
    const Vec4 point{0, 10, 0, 1}, direction{0, 1, 0, 0};
    EXPECT_TRUE(geometry.MayEnclose(point, {0, -5, 0}));
    for (const Vec3& outside : {Vec3{0, 5, 0}, Vec3{8, -5, 0}, Vec3{0, 20, 0}})
        EXPECT_FALSE(geometry.MayEnclose(point, outside)) << outside[0] << " " << outside[1];
    for (const Vec3& outside : {Vec3{0, 5, 0}, Vec3{3, -5, 0}})
        EXPECT_FALSE(geometry.MayEnclose(direction, outside)) << outside[0] << " " << outside[1];
    EXPECT_TRUE(geometry.MayEnclose({0, 0.5f, 0, 1}, {0, 20, 0}));
}
