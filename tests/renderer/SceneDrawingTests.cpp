// How the scene is drawn: which objects each switch draws, the material
// state and the vertex-array state left behind, objects the drawing must
// tolerate, and the camera's view of the world.
#include "RendererTestSupport.h"

#include <GL/glew.h>

#include <cmath>

namespace RendererTests
{
namespace
{
// Two triangles, the second object without normals, then an object line
// with nothing after it.
const char* const MixedScene = R"(mtllib scene.mtl
o WithNormals
usemtl red
v -1 -1 0
v 1 -1 0
v 1 1 0
vn 0 0 1
f 1//1 2//1 3//1
o WithoutNormals
usemtl red
v -1 1 0
f 1 3 4
o Empty
)";

bool Enabled(GLenum capability)
{
    return glIsEnabled(capability) == GL_TRUE;
}

TEST_F(RendererGLTest, FloorIsDrawnExceptAmongTheCasters)
{
    Start(TestScene()
              .Material("grey", 0.5f, 0.5f, 0.5f)
              .Floor("FloorNS", "grey", -2.0f, 10.0f, 4)
              .Box("Box", "grey", {0, 0, 0}, 1.0f)
              .Write(dir));
    renderer->pitch = 30.0f;
    const std::array<int, 2> floor = ScreenOf({3, -2, 3});
    const std::array<int, 2> box = ScreenOf({0, 0, 1});
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    for (const bool castersOnly : {false, true}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        renderer->ApplyCamera();
        renderer->DrawScene(false, false, castersOnly);
        const Image image = window->ReadBack();
        EXPECT_EQ(Brightness(image, floor), castersOnly ? 0.0 : 255.0) << castersOnly;
        EXPECT_EQ(Brightness(image, box), 255.0) << castersOnly;
    }
}

TEST_F(RendererGLTest, DrawingLeavesItsArrayAndMaterialState)
{
    TestScene().Material("red", 0.9f, 0.1f, 0.1f).Write(dir);
    TestSupport::WriteFile(dir / "mixed.obj", MixedScene);
    Start(dir / "mixed.obj");

    renderer->DrawScene(false, false, false);
    EXPECT_TRUE(Enabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(Enabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(Enabled(GL_NORMAL_ARRAY));

    // The marker's yellow emission must not outlive the next drawing.
    renderer->light.DrawMarker();
    renderer->DrawScene(true, true, false);
    EXPECT_FALSE(Enabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(Enabled(GL_NORMAL_ARRAY)) << "the last object drawn has no normals";
    // The empty object comes last, with the default material.
    GLfloat emission[4], diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_EQ(emission[0] + emission[1] + emission[2], 0.0f);
    EXPECT_EQ(emission[3], 1.0f);
    EXPECT_EQ(diffuse[0], renderer->scene.Materials().MaterialAt(0).diffuse[0]);

    GLint shadeModel = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
}

// The readers never give such an index; the drawing falls back to the
// default material all the same.
TEST_F(RendererGLTest, MaterialIndexPastTheLibraryDrawsWithTheDefault)
{
    Start(TestScene().Material("red", 0.9f, 0.1f, 0.1f).Box("Box", "red", {0, 0, 0}, 1.0f).Write(dir));
    auto& object = const_cast<KorvanaFramework::SceneObject&>(renderer->scene.ObjectAt(0));
    object.materialIndex = 99;
    renderer->DrawScene(true, true, false);
    GLfloat diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    const auto& fallback = renderer->scene.Materials().MaterialAt(0).diffuse;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(diffuse[i], fallback[i]) << i;
}

// Turning by a full circle more gives the same view.
TEST_F(RendererGLTest, YawBeyondAFullTurnGivesTheSameView)
{
    Start(TestScene().Material("red", 0.9f, 0.1f, 0.1f).Box("Box", "red", {0, 0, 0}, 1.0f).Write(dir));
    renderer->pitch = 20.0f;
    renderer->yaw = 10.0f;
    const std::array<int, 2> seen = ScreenOf({1, 1, 1});
    renderer->yaw = 370.0f;
    EXPECT_EQ(ScreenOf({1, 1, 1}), seen);
    renderer->yaw = -350.0f;
    EXPECT_EQ(ScreenOf({1, 1, 1}), seen);
}

// Panning right moves the picture left, panning down moves it up; pitching
// down brings what is in front of the origin lower; zooming in enlarges.
TEST_F(RendererGLTest, CameraPansAgainstTheDragAndPitchesDown)
{
    Start(TestScene().Material("red", 0.9f, 0.1f, 0.1f).Box("Box", "red", {0, 0, 0}, 1.0f).Write(dir));
    const std::array<int, 2> centre = ScreenOf({0, 0, 0});
    EXPECT_EQ(centre, (std::array<int, 2>{Width / 2, Height / 2 - 1}));
    renderer->panX = 1.0f;
    renderer->panY = 1.0f;
    const std::array<int, 2> panned = ScreenOf({0, 0, 0});
    EXPECT_LT(panned[0], centre[0] - 20);
    EXPECT_LT(panned[1], centre[1] - 20);
    renderer->panX = renderer->panY = 0.0f;
    renderer->pitch = 30.0f;
    EXPECT_GT(ScreenOf({0, 0, 2})[1], centre[1] + 20);
    renderer->pitch = 0.0f;
    const int far = ScreenOf({1, 0, 0})[0];
    renderer->distance = 5.0f;
    EXPECT_GT(ScreenOf({1, 0, 0})[0], far + 20) << "nearer, the picture grows";
}
}
}
