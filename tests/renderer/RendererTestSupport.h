// Scenes written for the renderer tests, a renderer started in a window of
// the virtual display, and the pixel arithmetic the tests compare with.
#pragma once

#include <gtest/gtest.h>

#include "Renderer.h"
#include "SnapshotWindow.h"
#include "support/TestSupport.h"

#include <array>
#include <memory>
#include <string>

namespace RendererTests
{
using KorvanaFramework::Renderer;
using KorvanaFramework::Vec3;
using Snapshot::Image;

// An OBJ scene with its material library, built from flat quads with face
// normals: floors, walls and boxes.
class TestScene
{
public:
    // A material whose ambient and diffuse colours are (r, g, b).
    TestScene& Material(const std::string& name, float r, float g, float b);
    // A floor of cells × cells quads at height y from -half to half in x and
    // z, facing up; fine enough for per-vertex spot lighting.
    TestScene& Floor(const std::string& name, const std::string& material, float y, float half, int cells);
    // A square facing +Z at depth z, from -half to half in x and y.
    TestScene& Wall(const std::string& name, const std::string& material, float z, float half);
    // A closed cube around `centre`.
    TestScene& Box(const std::string& name, const std::string& material, const Vec3& centre, float half);
    // An object line with nothing after it.
    TestScene& Empty(const std::string& name);

    // Writes scene.obj and scene.mtl into the folder; the path of the OBJ.
    std::string Write(const TestSupport::TempDir& dir) const;

private:
    // One quad around `centre` spanned by u and v, counter-clockwise seen
    // from the side its normal u × v points to.
    void Quad(const Vec3& centre, const Vec3& u, const Vec3& v);
    void Object(const std::string& name, const std::string& material);

    std::string objText;
    std::string mtlText;
    int vertices = 0;
    int normals = 0;
};

// The default scene of the program as the build copies it.
std::string DefaultScenePath();

// A renderer after LoadScene, InitGL and Resize, as the window starts it,
// in a window of the virtual display. Tests are skipped without a display.
class RendererGLTest : public testing::Test
{
protected:
    static constexpr int Width = 640;
    static constexpr int Height = 480;

    void SetUp() override;
    // Loads the scene and starts the renderer in the window.
    void Start(const std::string& scenePath);

    // A whole frame (marker and bars included) as the window would show it.
    Image Frame();
    // Only the pass without shadow, with the light as it is uploaded.
    Image LitScene(bool fullDiffuse = true);
    // The window pixel (from the top left) where a world point is seen.
    std::array<int, 2> ScreenOf(const Vec3& world);
    // Pixels where object `index` is seen in front of the rest of the scene.
    std::vector<bool> VisiblePixels(std::uint32_t index);

    // Writes the image under the test build folder for looking at.
    static void Save(const Image& image, const std::string& name);

    TestSupport::TempDir dir;
    std::unique_ptr<Snapshot::SnapshotWindow> window;
    std::unique_ptr<Renderer> renderer;
};

// Mean of red, green and blue at one pixel.
double Brightness(const Image& image, const std::array<int, 2>& at);
bool IsYellow(const Image& image, const std::array<int, 2>& at);
// Hue in degrees (0 red, 120 green, 240 blue) of an RGB colour.
double Hue(double r, double g, double b);
// The smaller angle between two hues.
double HueDistance(double a, double b);
}
