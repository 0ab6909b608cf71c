// The full-light pass leaves out the triangles the light cannot brighten:
// which ones it keeps, and that the picture stays the one of whole objects.
#include "ShadowMapTestSupport.h"

#include "LitTriangles.h"
#include "Scene.h"

#include <cmath>
#include <fstream>
#include <limits>

namespace ShadowMapTests
{
namespace
{
using KorvanaFramework::LitTriangles;
using KorvanaFramework::Scene;
using KorvanaFramework::Vec4;

std::size_t KeptTriangles(const LitTriangles& lit, const Scene& scene, std::uint32_t object)
{
    const std::vector<std::uint32_t>* kept = lit.Kept(object);
    return kept == nullptr ? scene.ObjectAt(object).triangles.size() : kept->size() / 3;
}

class LitTriangleSelection : public testing::Test
{
protected:
    void Load(const TestScene& source) { ASSERT_TRUE(scene.Load(source.Write(dir))); }

    TestSupport::TempDir dir;
    Scene scene;
    LitTriangles lit;
};
}

// The box's faces have one normal each. A point light above the box's
// middle is behind the bottom and the four sides at every corner; sunlight
// from straight above only grazes the sides, which stay.
TEST_F(LitTriangleSelection, KeepsTheFacesTheLightReaches)
{
    Load(TestScene().Material("red", 0.9f, 0.1f, 0.1f).Box("Box", "red", {0, 0, 0}, 0.5f));
    const std::uint32_t box = scene.FindObject("Box");
    ASSERT_TRUE(lit.Select(scene, {0, 5, 0, 1}));
    ASSERT_NE(lit.Kept(box), nullptr);
    EXPECT_EQ(KeptTriangles(lit, scene, box), 2u) << "the top alone";
    const std::vector<std::uint32_t>& top = *lit.Kept(box);
    for (const std::uint32_t corner : top)
        EXPECT_FLOAT_EQ(scene.ObjectAt(box).positions[corner][1], 0.5f);

    ASSERT_TRUE(lit.Select(scene, {0, 1, 0, 0}));
    EXPECT_EQ(KeptTriangles(lit, scene, box), 10u) << "all but the bottom";
    ASSERT_TRUE(lit.Select(scene, {0, -1, 0, 0}));
    EXPECT_EQ(KeptTriangles(lit, scene, box), 10u) << "all but the top";
}

// Lights at no plain point or direction, and corners whose lighting the
// selection cannot tell, leave the objects whole.
TEST_F(LitTriangleSelection, KeepsEverythingItCannotJudge)
{
    Load(TestScene().Material("red", 0.9f, 0.1f, 0.1f).Box("Box", "red", {0, 0, 0}, 0.5f));
    const std::uint32_t box = scene.FindObject("Box");
    EXPECT_FALSE(lit.Select(scene, {0, 10, 0, 2}));
    EXPECT_EQ(lit.Kept(box), nullptr);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(lit.Select(scene, {nan, 5, 0, 1}));
    EXPECT_EQ(KeptTriangles(lit, scene, box), 12u);
    ASSERT_TRUE(lit.Select(scene, {2, 0.5f, 0, 1}));
    EXPECT_EQ(KeptTriangles(lit, scene, box), 4u) << "the side towards the light and the top in the light's plane";
    EXPECT_EQ(lit.Kept(scene.ObjectCount()), nullptr);

    // A triangle without normals, and one of positions with w 2, facing
    // away from the light: both are drawn whole.
    std::ofstream(dir / "bare.obj") << "o Bare\nv 0 0 0\nv 0 0 1\nv 1 0 0\nf 1 2 3\n"
                                    << "o Weighted\nv 0 0 0 2\nv 0 0 2 2\nv 2 0 0 2\nvn 0 -1 0\nf 4//1 5//1 6//1\n";
    ASSERT_TRUE(scene.Load(dir / "bare.obj"));
    ASSERT_NE(scene.FindObject("Bare"), KorvanaFramework::NoSceneObject);
    ASSERT_NE(scene.FindObject("Weighted"), KorvanaFramework::NoSceneObject);
    ASSERT_TRUE(lit.Select(scene, {0, 5, 0, 1}));
    EXPECT_EQ(lit.Kept(scene.FindObject("Bare")), nullptr);
    EXPECT_EQ(lit.Kept(scene.FindObject("Weighted")), nullptr);
}

// Around the default scene and the box over the floor, under every kind of
// light, from several sides and with every filter, the frame with the
// selection is the frame of whole objects: byte for byte where the map's
// comparison decides alone, within a level where the lit share is blended,
// which rounds. The selection leaves something out.
TEST_F(ShadowMapTest, LeavingOutUnlitTrianglesChangesNoPixel)
{
    const View views[] = {{0, 30, 10}, {140, 15, 7}, {250, 60, 14}};
    const MapFiltering filters[] = {MapFiltering::None, MapFiltering::Linear, MapFiltering::Pcf,
                                    MapFiltering::Pcss, MapFiltering::Vsm};
    std::size_t leftOut = 0;
    OpenWindow(480, 360);
    if (IsSkipped())
        return;
    for (const bool defaultScene : {true, false}) {
        ASSERT_NO_FATAL_FAILURE(StartOnScene(defaultScene));
        for (const ShadowCase& light : ShadowCases()) {
            UseLight(light);
            for (const View& view : views) {
                UseView(view);
                for (const MapFiltering filtering : filters) {
                    renderer->options.filtering = filtering;
                    renderer->selectLitTriangles = false;
                    const Image whole = Pass();
                    renderer->selectLitTriangles = true;
                    EXPECT_EQ(DifferingPixels(whole, Pass(), filtering == MapFiltering::None ? 0 : 1), 0)
                        << (defaultScene ? "default scene, " : "box, ") << light.name << " light, yaw " << view.yaw
                        << ", filter " << static_cast<int>(filtering);
                }
                const Scene& scene = renderer->GetScene();
                for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
                    leftOut += scene.ObjectAt(i).triangles.size() - KeptTriangles(renderer->litTriangles, scene, i);
            }
        }
    }
    EXPECT_GT(leftOut, 0u);
}
}
