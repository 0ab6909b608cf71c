// What shadow mapping shows besides the shadow: the map as a texture, the
// outline of the light's frustum, the preview in the corner; the frame
// without OpenGL 1.4; the state the pass hands back; the snapshot tool
// setting the mapping options.
#include "ShadowMapTestSupport.h"

#include "SnapshotOptions.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ShadowMapTests
{
namespace
{
bool IsRed(const Image& image, int x, int y)
{
    const std::uint8_t* p = image.At(x, y);
    return p[0] == 255 && p[1] == 0 && p[2] == 0;
}

// A red pixel at or next to `at`: the outline is one pixel wide.
bool RedNear(const Image& image, const std::array<int, 2>& at)
{
    for (int y = std::max(at[1] - 1, 0); y <= std::min(at[1] + 1, image.height - 1); ++y)
        for (int x = std::max(at[0] - 1, 0); x <= std::min(at[0] + 1, image.width - 1); ++x)
            if (IsRed(image, x, y))
                return true;
    return false;
}

// Elevation of a spot at (0, 6, 3) that looks at the origin.
const float TowardsOrigin = -std::atan2(6.0f, 3.0f) / KorvanaFramework::DegreesToRadians;

Matrix4 CameraView(const Renderer& renderer)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    renderer.ApplyCamera();
    Matrix4 view{};
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    glPopMatrix();
    return view;
}

void ExpectMatrix(GLenum which, const Matrix4& expected, const char* what)
{
    Matrix4 loaded{};
    glGetFloatv(which, loaded.data());
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(loaded[i], expected[i], 1e-5) << what << " " << i;
}
}

// Without the dimmed pass and the alpha test every pixel of the scene takes
// the map's depth as grey: white where no caster is in the map, darker grey
// under the box. Nothing is cut away to the background. Filtering changes
// nothing here, and a large map is projected whole.
class MapAsTexture : public ShadowMapTest, public testing::WithParamInterface<int>
{
};

TEST_P(MapAsTexture, ShowsGreyLevelsOnly)
{
    Start(640, 480, BoxOverFloor());
    UseSpot({0, 6, 3}, 180.0f, TowardsOrigin, 20.0f);
    renderer->options.drawAsTexture = true;
    UseMap(GetParam(), GetParam() == 512 ? MapFiltering::None : MapFiltering::Pcf);
    const Image image = Pass();
    Save(image, "as-texture-" + std::to_string(GetParam()));
    int coloured = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (!IsBackground(image, {x, y}) && !IsGrey(image, x, y))
                ++coloured;
    EXPECT_EQ(coloured, 0);
    const std::array<int, 2> underBox = OnScreen({0, -2, -1});
    EXPECT_TRUE(IsGrey(image, underBox[0], underBox[1]));
    EXPECT_GT(Brightness(image, underBox), 0.0);
    EXPECT_LT(Brightness(image, underBox), 0.9 * 255) << "the alpha test would have dropped it";
    EXPECT_GE(Brightness(image, OnScreen({1.5f, -2, -1})), 254.0) << "no caster in the map";
    EXPECT_GE(Brightness(image, OnScreen({-4, -2, -1})), 254.0) << "outside the map";
}

INSTANTIATE_TEST_SUITE_P(Sizes, MapAsTexture, testing::Values(512, 2048));

namespace
{
// A corner of the volume the depth pass saw, at map coordinates s, t (0 or
// 1) and depth r (0 near, 1 far), found from the pass's own matrices: the
// texture matrix it leaves maps the world onto (s, t, r), so its inverse
// maps the corner back. gluUnProject inverts it with the map's bias undone.
Vec3 MapVolumeCorner(double s, double t, double r)
{
    GLdouble texture[16];
    glGetDoublev(GL_TEXTURE_MATRIX, texture);
    const GLdouble unbias[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, -1, -1, -1, 1};
    const GLint unitSquare[4] = {0, 0, 1, 1};
    GLdouble x = 0, y = 0, z = 0;
    EXPECT_EQ(gluUnProject(s, t, r, texture, unbias, unitSquare, &x, &y, &z), GL_TRUE);
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

Vec3 Between(const Vec3& a, const Vec3& b, float u)
{
    return {a[0] + u * (b[0] - a[0]), a[1] + u * (b[1] - a[1]), a[2] + u * (b[2] - a[2])};
}
}

// The outline follows the volume the depth pass saw. Where an edge of a
// spot's frustum runs under the floor, the floor hides it from the camera;
// the outline is drawn without the depth test all the same, in pure red.
TEST_F(ShadowMapTest, FrustumOutlineIsRedThroughTheScene)
{
    Start(640, 480, BoxOverFloor());
    UseSpot({0, 6, 3}, 180.0f, TowardsOrigin, 20.0f);
    renderer->distance = 16.0f;  // the light and its near square in view
    const Image plain = Pass();
    renderer->options.showFrustum = true;
    const Image outlined = Pass();
    Save(outlined, "frustum");

    int hidden = 0;
    for (const double s : {0.0, 1.0}) {
        for (const double t : {0.0, 1.0}) {
            const Vec3 nearCorner = MapVolumeCorner(s, t, 0.0);
            const Vec3 farCorner = MapVolumeCorner(s, t, 1.0);
            for (float u = 0.05f; u < 1.0f; u += 0.02f) {
                const Vec3 world = Between(nearCorner, farCorner, u);
                if (world[1] > -2.5f)
                    continue;
                const std::array<int, 2> at = ScreenOf(world);
                if (at[0] < 2 || at[0] >= width - 2 || at[1] < 2 || at[1] >= height - 2 || IsBackground(plain, at))
                    continue;
                ++hidden;
                EXPECT_TRUE(RedNear(outlined, at)) << "edge " << s << ", " << t << " at " << u;
                EXPECT_FALSE(RedNear(plain, at)) << "edge " << s << ", " << t << " at " << u;
                break;
            }
        }
    }
    EXPECT_GE(hidden, 2) << "edges seen running under the floor";
    const Vec3 nearCorners[4] = {MapVolumeCorner(0, 0, 0), MapVolumeCorner(1, 0, 0), MapVolumeCorner(1, 1, 0),
                                 MapVolumeCorner(0, 1, 0)};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(RedNear(outlined, OnScreen(Between(nearCorners[i], nearCorners[(i + 1) % 4], 0.5f))))
            << "the near square's side " << i;
}

// The preview's side is mapViewSize times the smaller window side, in the
// lower-right corner, in grey levels.
struct PreviewCase
{
    int width;
    int height;
    float size;
    int side;
};

class MapPreview : public ShadowMapTest, public testing::WithParamInterface<PreviewCase>
{
};

TEST_P(MapPreview, SitsInTheLowerRightCorner)
{
    const PreviewCase preview = GetParam();
    Start(preview.width, preview.height, BoxOverFloor());
    renderer->distance = 60.0f;  // the scene shrinks to the middle of the window
    renderer->options.useMapView = true;
    renderer->options.mapViewSize = preview.size;
    const Image image = Pass();
    Save(image, "preview-" + std::to_string(width) + "x" + std::to_string(height));
    int across = 0, up = 0;
    while (across < width && !IsBackground(image, {width - 1 - across, height - 1}))
        ++across;
    while (up < height && !IsBackground(image, {width - 1, height - 1 - up}))
        ++up;
    EXPECT_NEAR(across, preview.side, 1);
    EXPECT_NEAR(up, preview.side, 1);
    for (int y = height - up; y < height; ++y)
        for (int x = width - across; x < width; ++x)
            ASSERT_TRUE(IsGrey(image, x, y)) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Sizes, MapPreview,
                         testing::Values(PreviewCase{640, 480, 0.4f, 192}, PreviewCase{300, 400, 0.4f, 120},
                                         PreviewCase{640, 480, 1.0f, 480}, PreviewCase{400, 300, 0.25f, 75},
                                         PreviewCase{640, 480, 0.0f, 0}));

// The preview lies over everything the pass draws, the outline included,
// and hides nothing outside its square: its pixels do not depend on what the
// camera sees behind it, and the rest of the frame is the frame without it.
TEST_F(ShadowMapTest, PreviewCoversTheSceneAndTheOutlineInItsSquareOnly)
{
    Start(640, 480, BoxOverFloor());
    UseSpot({0, 6, 3}, 180.0f, TowardsOrigin, 20.0f);
    const int side = 192;
    renderer->options.useMapView = true;
    renderer->distance = 200.0f;  // nothing but the background behind the preview
    const Image alone = Pass();

    renderer->distance = 16.0f;  // the floor and the outline run under the square
    renderer->options.showFrustum = true;
    renderer->options.useMapView = false;
    const Image without = Pass();
    renderer->options.useMapView = true;
    const Image with = Pass();
    Save(with, "preview-over-outline");

    int red = 0, scene = 0, differ = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inSquare = x >= width - side && y >= height - side;
            if (inSquare) {
                red += IsRed(without, x, y) ? 1 : 0;
                scene += IsBackground(without, {x, y}) ? 0 : 1;
            }
            const Image& expected = inSquare ? alone : without;
            if (std::memcmp(expected.At(x, y), with.At(x, y), 3) != 0 && differ++ < 5)
                ADD_FAILURE() << (inSquare ? "preview " : "scene ") << x << ", " << y;
        }
    }
    EXPECT_GT(red, 0) << "the outline runs under the square";
    EXPECT_GT(scene, side * side / 2) << "the scene lies under the square";
    EXPECT_EQ(differ, 0);
}

// The driver flag is switched off for the one frame.
TEST_F(ShadowMapTest, WithoutOpenGL14OnlyTheBackgroundIsDrawn)
{
    Start(640, 480, BoxOverFloor());
    renderer->options.showFrustum = true;
    renderer->options.useMapView = true;
    const GLboolean offered = __GLEW_VERSION_1_4;
    __GLEW_VERSION_1_4 = GL_FALSE;
    const Image image = Pass();
    __GLEW_VERSION_1_4 = offered;
    int drawn = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            drawn += IsBackground(image, {x, y}) ? 0 : 1;
    EXPECT_EQ(drawn, 0);
    ExpectMatrix(GL_MODELVIEW_MATRIX, CameraView(*renderer), "camera view");
}

// After the pass, with every diagnostic on, the window's viewport, the
// camera's projection and view and all switched state are back, and the
// frame without shadow looks as it did before. At 400 × 300 the map was
// rendered off-screen, at 800 × 600 in the window, as without framebuffer
// objects.
class PassRestore : public ShadowMapTest, public testing::WithParamInterface<int>
{
};

TEST_P(PassRestore, LeavesTheWindowsStateBehind)
{
    OpenWindow(GetParam(), GetParam() * 3 / 4);
    if (GetParam() >= 800)
        StartRendererWithoutFramebuffers(BoxOverFloor());
    else
        StartRenderer(BoxOverFloor());
    const Image before = Unshadowed();
    renderer->options.showFrustum = true;
    renderer->options.useMapView = true;
    Pass();

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
    ExpectMatrix(GL_PROJECTION_MATRIX, renderer->ProjectionMatrix(), "projection");
    ExpectMatrix(GL_MODELVIEW_MATRIX, CameraView(*renderer), "camera view");
    GLint value = 0;
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    for (const GLenum off : {GL_TEXTURE_2D, GL_ALPHA_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R,
                             GL_TEXTURE_GEN_Q})
        EXPECT_FALSE(glIsEnabled(off)) << off;
    for (const GLenum on : {GL_LIGHTING, GL_DEPTH_TEST, GL_CULL_FACE, GL_POLYGON_OFFSET_FILL})
        EXPECT_TRUE(glIsEnabled(on)) << on;
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);

    const Image after = Unshadowed();
    int differ = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (std::memcmp(before.At(x, y), after.At(x, y), 3) != 0 && differ++ < 5)
                ADD_FAILURE() << x << ", " << y << ": " << int(before.At(x, y)[0]) << " vs " << int(after.At(x, y)[0]);
    EXPECT_EQ(differ, 0);
}

INSTANTIATE_TEST_SUITE_P(Windows, PassRestore, testing::Values(400, 800));

// The snapshot tool sets the mapping options through the bar "mapped", which
// the main bar shows once the mode is chosen.
TEST_F(ShadowMapTest, SnapshotSettingsReachTheMappingOptions)
{
    Start(640, 480, BoxOverFloor());
    renderer->options.rendererMode = RendererMode::None;
    std::string error;
    EXPECT_FALSE(Snapshot::ApplySetting({"mapped/near", "2"}, error)) << "the bar is hidden before mode 3";
    Snapshot::Request request;
    ASSERT_TRUE(Snapshot::ParseArguments({"--mode", "3", "--set", "mapped/near=2", "--set", "mapped/orthoSize=7.5",
                                          "--set", "mapped/showFrustum=Wylaczone", "--set",
                                          "mapped/drawAsTexture=Wlaczone", "--set", "mapped/mapViewSize=0.25",
                                          "--set", "mapped/mapSize=2048", "--set", "mapped/filtering=PCF 4x4"},
                                         request, error))
        << error;
    for (const Snapshot::Setting& setting : request.settings)
        ASSERT_TRUE(Snapshot::ApplySetting(setting, error)) << error;
    const auto& options = renderer->options;
    EXPECT_EQ(options.rendererMode, RendererMode::Mapping);
    EXPECT_FLOAT_EQ(options.near, 2.0f);
    EXPECT_FLOAT_EQ(options.orthoSize, 7.5f);
    EXPECT_FALSE(options.showFrustum);
    EXPECT_TRUE(options.drawAsTexture);
    EXPECT_FLOAT_EQ(options.mapViewSize, 0.25f);
    EXPECT_EQ(options.mapSize, 2048);
    EXPECT_EQ(options.filtering, MapFiltering::Pcf);
    EXPECT_TRUE(Snapshot::ApplySetting({"mapped/filtering", "1"}, error)) << error;
    EXPECT_EQ(options.filtering, MapFiltering::Linear);
    EXPECT_FALSE(Snapshot::ApplySetting({"mapped/filtering", "5"}, error));
    EXPECT_FALSE(Snapshot::ApplySetting({"mapped/mapSize", "3000"}, error));
}
}
