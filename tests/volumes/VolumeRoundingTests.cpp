// The volume update as the program runs it, built here optimised and
// without the sanitisers, whose checks keep its loops from vectorising.
#include "ShadowVolumes.h"
#include "VolumeExtrusion.h"
#include "VolumeTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

using namespace KorvanaFramework;
using namespace VolumeTests;

namespace
{
using Indices = IndexList;

Vec4 Copy(const VolumeGeometry& geometry, std::size_t index)
{
    return geometry.Vertices().at(index);
}
}

// Over a mesh large enough for every vector lane and loop tail, the copies
// and the facing come out exactly as one float operation at a time gives
// them, whichever instruction set the processor lent the loops.
TEST(VolumeExtrusion, ManyVerticesRoundAsSingleOperations)
{
    SceneObject torus = Torus(37, 11);
    VolumeGeometry geometry(&torus);
    ASSERT_TRUE(geometry.IsValid());
    const std::uint32_t n = static_cast<std::uint32_t>(torus.positions.size());
    const float length = 97.3f;
    const Vec4 lights[] = {{6.3f, 8.1f, 2.7f, 1},  {-4.1f, 3.3f, 0.7f, 1},  {0.2f, -7.9f, 5.5f, 1},
                           {9.7f, 0.4f, -3.1f, 1}, {1.1f, 1.3f, -12.7f, 1}, {-6.6f, -2.2f, -2.4f, 1},
                           {3.9f, 6.1f, 7.3f, 1},  {-0.7f, 9.9f, 0.3f, 1}};
    for (const Vec4& light : lights) {
        geometry.Update(light, length, true);
        Indices lit;
        for (std::size_t t = 0; t < torus.triangles.size(); ++t) {
            const Plane p = geometry.PlaneAt(t);
            if (p[0] * light[0] + p[1] * light[1] + p[2] * light[2] + p[3] * light[3] > 0.0f)
                lit.insert(lit.end(), torus.triangles[t].begin(), torus.triangles[t].end());
        }
        EXPECT_EQ(geometry.FrontCapIndices(), lit) << light[0];
        int differ = 0;
        for (std::uint32_t k = 0; k < n; ++k) {
            const Vec4& v = torus.positions[k];
            const float dx = v[0] - light[0], dy = v[1] - light[1], dz = v[2] - light[2];
            const float norm = std::sqrt(dx * dx + dy * dy + dz * dz);
            const Vec4 copy{v[0] + length * dx / norm, v[1] + length * dy / norm, v[2] + length * dz / norm, 1};
            differ += Copy(geometry, n + k) == copy ? 0 : 1;
        }
        EXPECT_EQ(differ, 0) << "finite copies, light at " << light[0];

        geometry.Update(light, 0, false);
        differ = 0;
        for (std::uint32_t k = 0; k < n; ++k) {
            const Vec4& v = torus.positions[k];
            differ += Copy(geometry, n + k) == Vec4{v[0] - light[0], v[1] - light[1], v[2] - light[2], 0} ? 0 : 1;
        }
        EXPECT_EQ(differ, 0) << "copies at infinity, light at " << light[0];
    }
}

// Caps, sides and copies as a plain walk over the triangles, edges and
// vertices gives them, for meshes whose facing triangles come in long runs
// (the torus as built) and scattered (its triangles shuffled), and for one
// large enough that the update shares its work with a helper thread, for
// every kind of light and mode.
TEST(VolumeLists, AgreeWithAPlainWalkOverTheMesh)
{
    SceneObject ordered = Torus(37, 11);
    SceneObject shuffled = ordered;
    std::mt19937 random(7);
    std::shuffle(shuffled.triangles.begin(), shuffled.triangles.end(), random);
    SceneObject large = Torus(520, 128);
    const Vec4 lights[] = {{6.3f, 8.1f, 2.7f, 1}, {-0.2f, 0.4f, 0.1f, 1}, {0.3f, 1, 0.2f, 0}, {-1, -0.5f, 2, 0}};
    for (const SceneObject* object : {&ordered, &shuffled, &large}) {
        VolumeGeometry geometry(object);
        ASSERT_TRUE(geometry.IsValid());
        const auto n = static_cast<std::uint32_t>(object->positions.size());
        for (const Vec4& light : lights)
            for (float length : {0.0f, 50.0f})
                for (bool depthFail : {false, true}) {
                    geometry.Update(light, length, depthFail);
                    std::vector<bool> lit(object->triangles.size());
                    Indices front, back, sides;
                    for (std::size_t t = 0; t < lit.size(); ++t) {
                        const Plane p = geometry.PlaneAt(t);
                        lit[t] = p[0] * light[0] + p[1] * light[1] + p[2] * light[2] + p[3] * light[3] > 0.0f;
                        const bool toFront = depthFail && lit[t];
                        for (std::uint32_t k : object->triangles[t])
                            (toFront ? front : back).push_back(k + (toFront ? 0 : n));
                    }
                    if (geometry.SidesAsTriangles())
                        back.clear();
                    for (const Edge& edge : geometry.Edges()) {
                        if (lit[edge.triangleA] == lit[edge.triangleB])
                            continue;
                        const std::uint32_t f = lit[edge.triangleA] ? edge.vertexB : edge.vertexA;
                        const std::uint32_t s = lit[edge.triangleA] ? edge.vertexA : edge.vertexB;
                        const Indices row = geometry.SidesAsTriangles() ? Indices{f, s, n} : Indices{f, s, s + n, f + n};
                        sides.insert(sides.end(), row.begin(), row.end());
                    }
                    std::vector<Vec4> copies(n);
                    if (length == 0.0f)
                        ExtrudeToInfinity(object->positions.data()->data(), copies.data()->data(), n, light);
                    else if (light[3] != 0.0f)
                        ExtrudeFromPoint(object->positions.data()->data(), copies.data()->data(), n, light, length);
                    else
                        ExtrudeAlong(object->positions.data()->data(), copies.data()->data(), n, light, length);
                    if (geometry.SidesAsTriangles())
                        copies.resize(1);
                    const std::vector<Vec4> made(geometry.Vertices().begin() + n,
                                                 geometry.Vertices().begin() + n + copies.size());
                    const std::string what = object->name + " " + std::to_string(object->triangles.size()) + " " +
                                             std::to_string(light[0]) + " " + std::to_string(length) + " " +
                                             std::to_string(depthFail);
                    EXPECT_EQ(front, geometry.FrontCapIndices()) << what;
                    EXPECT_EQ(back, geometry.BackCapIndices()) << what;
                    EXPECT_EQ(sides, geometry.SideIndices()) << what;
                    EXPECT_FALSE(sides.empty());
                    if (!geometry.SidesAsTriangles()) {
                        EXPECT_TRUE(made == copies) << what;
                    }
                }
    }
}
