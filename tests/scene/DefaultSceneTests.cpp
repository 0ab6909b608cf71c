// The default scene beside the executable must serve all three shadow
// methods: a receiving floor, the shadow plane in its top surface, and
// closed, consistently wound, smooth casters.
#include "LogCapture.h"
#include "Scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <utility>

using namespace KorvanaFramework;

namespace
{
class DefaultScene : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scene.Load(KORVANA_BINARY_DIR "/Scene/test.obj"));
        EXPECT_TRUE(log.Messages().empty());
    }

    SceneTests::LogCapture log;
    Scene scene;
};

Vec3 FaceNormal(const SceneObject& object, const Triangle& t)
{
    const Vec4& a = object.positions[t[0]];
    const Vec4& b = object.positions[t[1]];
    const Vec4& c = object.positions[t[2]];
    const Vec3 e1{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const Vec3 e2{c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    return {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
}

// Each directed edge must appear exactly once and its reverse exactly once:
// every undirected edge then has two triangles that run it both ways.
void ExpectClosedAndConsistent(const SceneObject& object)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> directed;
    for (const Triangle& t : object.triangles)
        for (int i = 0; i < 3; ++i)
            ++directed[{t[i], t[(i + 1) % 3]}];
    int faults = 0;
    for (const auto& [edge, count] : directed) {
        const auto reverse = directed.find({edge.second, edge.first});
        if (count != 1 || reverse == directed.end() || reverse->second != 1)
            ++faults;
    }
    EXPECT_EQ(faults, 0) << object.name << " has open, doubled or flipped edges";
}

// Signed volume by the divergence theorem: positive when the front faces
// point outwards.
double SignedVolume(const SceneObject& object)
{
    double volume = 0;
    for (const Triangle& t : object.triangles) {
        const Vec4& a = object.positions[t[0]];
        const Vec3 n = FaceNormal(object, t);
        volume += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6.0;
    }
    return volume;
}

TEST_F(DefaultScene, CastersAreClosedSmoothAndOutwardWound)
{
    int casters = 0;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
        const SceneObject& object = scene.ObjectAt(i);
        if (!object.castsShadow)
            continue;
        ++casters;
        SCOPED_TRACE(object.name);
        ASSERT_TRUE(object.hasNormals);
        ExpectClosedAndConsistent(object);
        EXPECT_GT(SignedVolume(object), 0.1);
        for (const Triangle& t : object.triangles) {
            const Vec3 face = FaceNormal(object, t);
            for (std::uint32_t v : t) {
                const Vec3& n = object.normals[v];
                ASSERT_GT(face[0] * n[0] + face[1] * n[1] + face[2] * n[2], 0.0f)
                    << "vertex normal against its face";
            }
        }
    }
    EXPECT_GE(casters, 3);
}

TEST_F(DefaultScene, FloorAndShadowPlane)
{
    const std::uint32_t planeIndex = scene.FindObject("ShadowPlaneNS");
    ASSERT_NE(planeIndex, NoSceneObject);
    const SceneObject& plane = scene.ObjectAt(planeIndex);
    ASSERT_FALSE(plane.triangles.empty());
    const Triangle& first = plane.triangles[0];
    const Vec3 up = FaceNormal(plane, first);
    EXPECT_GT(up[1], 0.0f);
    EXPECT_FLOAT_EQ(std::hypot(up[0], up[2]), 0.0f);

    const SceneObject* floor = nullptr;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
        const SceneObject& object = scene.ObjectAt(i);
        if (!object.castsShadow && i != planeIndex)
            floor = &object;
    }
    ASSERT_NE(floor, nullptr);
    float top = -1e9f;
    for (const Vec4& p : floor->positions)
        top = std::max(top, p[1]);
    EXPECT_EQ(plane.positions[first[0]][1], top) << "the plane lies in the floor's top surface";
}

TEST_F(DefaultScene, SizeAndMaterials)
{
    std::size_t triangles = 0;
    std::set<std::uint32_t> casterMaterials;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
        const SceneObject& object = scene.ObjectAt(i);
        triangles += object.triangles.size();
        if (object.castsShadow)
            casterMaterials.insert(object.materialIndex);
    }
    EXPECT_GE(triangles, 3000u);
    EXPECT_LE(triangles, 20000u);
    EXPECT_EQ(casterMaterials.count(0), 0u) << "every caster has a material of its own";
    EXPECT_GE(casterMaterials.size(), 3u);
    const MaterialLibrary& library = scene.Materials();
    for (std::uint32_t i = 1; i < library.MaterialCount(); ++i) {
        const Material& m = library.MaterialAt(i);
        SCOPED_TRACE(m.name);
        EXPECT_GT(m.shininess, 0.0f);
        EXPECT_GT(m.specular[0] + m.specular[1] + m.specular[2], 0.0f);
        EXPECT_LT(m.ambient[0] + m.ambient[1] + m.ambient[2], 3.0f) << "ambient set, not the white default";
    }
}
}
