// A renderer in shadow-mapping mode in a window of any size on the virtual
// display, the scene of one box over a floor, and the lights the tests cast
// its shadow with.
#pragma once

#include "renderer/RendererTestSupport.h"

#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ShadowMapTests
{
using KorvanaFramework::LightType;
using KorvanaFramework::MapFiltering;
using KorvanaFramework::Matrix4;
using KorvanaFramework::Renderer;
using KorvanaFramework::RendererMode;
using KorvanaFramework::Vec3;
using RendererTests::Brightness;
using RendererTests::TestScene;
using Snapshot::Image;

// The background of every test frame: a blue that no lit surface shows.
constexpr float BackgroundBlue = 0.6f;

// A grey floor at y = -2 (from -10 to 10, fine enough for spot lighting)
// under a red box of half-size 0.5 at the origin.
TestScene BoxOverFloor();

// Where a surface lies under a caster as seen from the light.
struct ShadowCase
{
    const char* name;
    LightType type;
    Vec3 position;
    Vec3 shadowed;  // a floor point in the box's shadow
    Vec3 lit;       // a floor point nothing shadows, inside a spot's cone
};

// A point, a directional and a spot light, each above the box and aimed at
// it (a spot at (0, 6, 3) looking at the origin with a 45 degree cone).
const std::array<ShadowCase, 3>& ShadowCases();

// Where the camera orbits: yaw and pitch in degrees, distance from the
// origin.
struct View
{
    float yaw, pitch, distance;
};

class ShadowMapTest : public testing::Test
{
protected:
    // Opens a width × height window and starts the renderer in it in the
    // shadow-mapping mode on the scene, as the window starts it; the frustum
    // and the preview are off and the camera looks 30 degrees down.
    void Start(int width, int height, const TestScene& scene);
    // The two halves of Start, for tests that change the driver's flags in
    // between: the window (which starts GLEW), then the renderer in it.
    void OpenWindow(int width, int height);
    void StartRenderer(const TestScene& scene);
    // StartRenderer as on a driver without framebuffer objects, where every
    // map is rendered in the window's depth buffer and copied from there.
    void StartRendererWithoutFramebuffers(const TestScene& scene);
    // StartRenderer on the box over the floor, then the default scene in
    // its place where asked.
    void StartOnScene(bool defaultScene);
    // Places the light of one of ShadowCases.
    void UseLight(const ShadowCase& light);
    void UseView(const View& view);
    // Makes the light a spot at `position` with heading, elevation and cone.
    void UseSpot(const Vec3& position, float heading, float elevation, float cutoff);
    // The map's side and filter for the next passes.
    void UseMap(int size, MapFiltering filtering);

    // The shadow-mapping pass alone after the frame's clear (no marker, no
    // bars), read back; a GL error fails the test.
    Image Pass();
    // The pass without shadow after the same clear.
    Image Unshadowed();
    // The scene under the dimmed light alone, as a shadowed surface shows.
    Image Dimmed();
    // The frame's clear to the background and the identity modelview.
    void ClearFrame();
    // The window pixel (from the top left) where a world point is seen. It
    // reads the camera view, projection and viewport that a pass leaves.
    std::array<int, 2> ScreenOf(const Vec3& world);
    // Where the camera ray through a window pixel (from the top left) meets
    // the plane y = `height`, from the matrices a pass leaves.
    Vec3 PlanePointAt(int x, int y, float planeHeight);
    // Same, failing the test when the point is outside the window.
    std::array<int, 2> OnScreen(const Vec3& world);
    // Where a world point falls in the map, in texels, from the texture
    // matrix the last pass left (the preview must be off).
    std::array<double, 2> MapTexelOf(const Vec3& world);

    bool IsBackground(const Image& image, const std::array<int, 2>& at) const;
    // Writes the image under the test build folder for looking at.
    static void Save(const Image& image, const std::string& name);

    TestSupport::TempDir dir;
    std::unique_ptr<Snapshot::SnapshotWindow> window;
    std::unique_ptr<Renderer> renderer;
    int width = 0;
    int height = 0;
};

// While it lives, GLEW's availability flags `flags` (its __GLEW_* variables)
// read false, as on a driver without those versions or extensions.
class HiddenDriverFlags
{
public:
    explicit HiddenDriverFlags(std::initializer_list<unsigned char*> flags);
    ~HiddenDriverFlags();
    HiddenDriverFlags(const HiddenDriverFlags&) = delete;
    HiddenDriverFlags& operator=(const HiddenDriverFlags&) = delete;

private:
    std::vector<std::pair<unsigned char*, unsigned char>> offered;
};

// While it lives, GLEW offers no framebuffer objects.
class WithoutFramebufferObjects : public HiddenDriverFlags
{
public:
    WithoutFramebufferObjects();
};

// The transform of a matrix of OpenGL applied to a point with w = 1.
std::array<double, 4> Transform(const Matrix4& m, const Vec3& p);
bool IsGrey(const Image& image, int x, int y);
// The pixels of two images of one size with a channel more than
// `tolerance` levels apart.
int DifferingPixels(const Image& a, const Image& b, int tolerance = 0);

// How the pixels of a frame compare with the same frame under the full and
// under the dimmed light: those that show neither, and those that show the
// dimmed light only.
struct LightMatch
{
    int neither = 0;
    int shadowed = 0;
};
LightMatch MatchLights(const Image& image, const Image& lit, const Image& dimmed);

// How far each floor pixel of a pass lies from the dimmed towards the full
// light, 0 in shadow and 1 lit; negative where the two lights differ too
// little to tell (or the pixel is not the grey floor).
std::vector<double> LitShares(const Image& image, const Image& lit, const Image& dimmed);
}
