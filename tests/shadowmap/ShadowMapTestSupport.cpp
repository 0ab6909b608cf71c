#include "ShadowMapTestSupport.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ShadowMapTests
{
namespace
{
// Below this brightness gap between the full and the dimmed light a pixel
// cannot tell shadow from light.
constexpr double Undecidable = 30.0;

Matrix4 CurrentMatrix(GLenum which)
{
    Matrix4 m{};
    glGetFloatv(which, m.data());
    return m;
}
}

TestScene BoxOverFloor()
{
    TestScene scene;
    scene.Material("grey", 0.8f, 0.8f, 0.8f).Material("red", 0.9f, 0.1f, 0.1f);
    scene.Floor("FloorNS", "grey", -2.0f, 10.0f, 40).Box("Box", "red", {0, 0, 0}, 0.5f);
    return scene;
}

// The spot looks from (0, 6, 3) at the origin: elevation -atan(6 / 3).
const std::array<ShadowCase, 3>& ShadowCases()
{
    static const std::array<ShadowCase, 3> cases{{
        {"point", LightType::Point, {1, 6, 0.5f}, {-1.0f / 3, -2, -1.0f / 6}, {2.5f, -2, -1}},
        {"directional", LightType::Directional, {1, 6, 0.5f}, {-1.0f / 3, -2, -1.0f / 6}, {2.5f, -2, -1}},
        {"spot", LightType::Spot, {0, 6, 3}, {0, -2, -1}, {2.5f, -2, -1}},
    }};
    return cases;
}

void ShadowMapTest::Start(int w, int h, const TestScene& scene)
{
    OpenWindow(w, h);
    if (!IsSkipped())
        StartRenderer(scene);
}

void ShadowMapTest::OpenWindow(int w, int h)
{
    width = w;
    height = h;
    window = std::make_unique<Snapshot::SnapshotWindow>(width, height);
    if (!window->Ready())
        GTEST_SKIP() << window->Error();
}

HiddenDriverFlags::HiddenDriverFlags(std::initializer_list<unsigned char*> flags)
{
    for (unsigned char* flag : flags) {
        offered.emplace_back(flag, *flag);
        *flag = GL_FALSE;
    }
}

HiddenDriverFlags::~HiddenDriverFlags()
{
    for (const auto& [flag, value] : offered)
        *flag = value;
}

WithoutFramebufferObjects::WithoutFramebufferObjects()
    : HiddenDriverFlags({&__GLEW_VERSION_3_0, &__GLEW_ARB_framebuffer_object, &__GLEW_EXT_framebuffer_object})
{
}

void ShadowMapTest::StartRendererWithoutFramebuffers(const TestScene& scene)
{
    {
        const WithoutFramebufferObjects hidden;
        StartRenderer(scene);
    }
    ASSERT_EQ(renderer->shadowMapFramebuffer, 0u);
}

void ShadowMapTest::StartRenderer(const TestScene& scene)
{
    renderer = std::make_unique<Renderer>();
    ASSERT_TRUE(renderer->LoadScene(scene.Write(dir)));
    renderer->InitGL();
    renderer->Resize(width, height);
    auto& options = renderer->options;
    options.rendererMode = RendererMode::Mapping;
    options.backgroundColor = {0.0f, 0.0f, BackgroundBlue};
    options.showFrustum = false;
    options.useMapView = false;
    renderer->pitch = 30.0f;
}

void ShadowMapTest::UseLight(const ShadowCase& light)
{
    if (light.type == LightType::Spot) {
        UseSpot(light.position, 180.0f, -std::atan2(6.0f, 3.0f) / KorvanaFramework::DegreesToRadians, 45.0f);
        return;
    }
    auto& l = renderer->light;
    l.lightType = light.type;
    const float w = light.type == LightType::Directional ? 0.0f : 1.0f;
    l.position = {light.position[0], light.position[1], light.position[2], w};
}

void ShadowMapTest::StartOnScene(bool defaultScene)
{
    StartRenderer(BoxOverFloor());
    if (defaultScene) {
        ASSERT_TRUE(renderer->LoadScene(RendererTests::DefaultScenePath()));
    }
}

void ShadowMapTest::UseView(const View& view)
{
    renderer->yaw = view.yaw;
    renderer->pitch = view.pitch;
    renderer->distance = view.distance;
}

void ShadowMapTest::UseSpot(const Vec3& position, float heading, float elevation, float cutoff)
{
    auto& l = renderer->light;
    l.lightType = LightType::Spot;
    l.position = {position[0], position[1], position[2], 1.0f};
    l.SetAngles(heading, elevation);
    l.spotCutoff = cutoff;
}

Image ShadowMapTest::Pass()
{
    ClearFrame();
    renderer->RenderShadowMap();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return window->ReadBack();
}

void ShadowMapTest::UseMap(int size, MapFiltering filtering)
{
    renderer->options.mapSize = size;
    renderer->options.filtering = filtering;
}

Image ShadowMapTest::Unshadowed()
{
    ClearFrame();
    renderer->RenderNoShadow();
    return window->ReadBack();
}

Image ShadowMapTest::Dimmed()
{
    ClearFrame();
    renderer->ApplyCamera();
    renderer->light.UploadPosition();
    renderer->light.Upload(false);
    renderer->DrawScene(true, true, false);
    return window->ReadBack();
}

void ShadowMapTest::ClearFrame()
{
    const auto& background = renderer->options.backgroundColor;
    glClearColor(background[0], background[1], background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::array<int, 2> ShadowMapTest::ScreenOf(const Vec3& world)
{
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble x = 0, y = 0, z = 0;
    gluProject(world[0], world[1], world[2], modelview, projection, viewport, &x, &y, &z);
    return {static_cast<int>(std::floor(x)), height - 1 - static_cast<int>(std::floor(y))};
}

Vec3 ShadowMapTest::PlanePointAt(int x, int y, float planeHeight)
{
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::array<GLdouble, 3> nearPoint{}, farPoint{};
    const GLdouble wx = x + 0.5, wy = height - 1 - y + 0.5;
    gluUnProject(wx, wy, 0.0, modelview, projection, viewport, &nearPoint[0], &nearPoint[1], &nearPoint[2]);
    gluUnProject(wx, wy, 1.0, modelview, projection, viewport, &farPoint[0], &farPoint[1], &farPoint[2]);
    const double t = (planeHeight - nearPoint[1]) / (farPoint[1] - nearPoint[1]);
    Vec3 point{};
    for (int i = 0; i < 3; ++i)
        point[i] = static_cast<float>(nearPoint[i] + t * (farPoint[i] - nearPoint[i]));
    return point;
}

std::array<int, 2> ShadowMapTest::OnScreen(const Vec3& world)
{
    const std::array<int, 2> at = ScreenOf(world);
    EXPECT_TRUE(at[0] >= 0 && at[0] < width && at[1] >= 0 && at[1] < height)
        << "(" << world[0] << ", " << world[1] << ", " << world[2] << ") is seen at " << at[0] << ", " << at[1];
    return {std::min(std::max(at[0], 0), width - 1), std::min(std::max(at[1], 0), height - 1)};
}

std::array<double, 2> ShadowMapTest::MapTexelOf(const Vec3& world)
{
    const std::array<double, 4> str = Transform(CurrentMatrix(GL_TEXTURE_MATRIX), world);
    const double size = renderer->MapSizeInUse();
    return {str[0] / str[3] * size, str[1] / str[3] * size};
}

bool ShadowMapTest::IsBackground(const Image& image, const std::array<int, 2>& at) const
{
    const std::uint8_t* p = image.At(at[0], at[1]);
    return p[0] == 0 && p[1] == 0 && std::abs(p[2] - static_cast<int>(std::lround(BackgroundBlue * 255))) <= 1;
}

void ShadowMapTest::Save(const Image& image, const std::string& name)
{
    Snapshot::WritePng(image, std::string(KORVANA_BINARY_DIR) + "/tests/shadowmap-" + name + ".png");
}

std::array<double, 4> Transform(const Matrix4& m, const Vec3& p)
{
    std::array<double, 4> out{};
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row];
    return out;
}

int DifferingPixels(const Image& a, const Image& b, int tolerance)
{
    const auto near = [tolerance](unsigned char p, unsigned char q) { return std::abs(p - q) <= tolerance; };
    int differ = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            differ += std::equal(a.At(x, y), a.At(x, y) + 3, b.At(x, y), near) ? 0 : 1;
    return differ;
}

LightMatch MatchLights(const Image& image, const Image& lit, const Image& dimmed)
{
    LightMatch match;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool isLit = std::equal(image.At(x, y), image.At(x, y) + 3, lit.At(x, y));
            const bool isDimmed = std::equal(image.At(x, y), image.At(x, y) + 3, dimmed.At(x, y));
            match.neither += isLit || isDimmed ? 0 : 1;
            match.shadowed += isDimmed && !isLit ? 1 : 0;
        }
    }
    return match;
}

bool IsGrey(const Image& image, int x, int y)
{
    const std::uint8_t* p = image.At(x, y);
    return std::abs(p[0] - p[1]) <= 1 && std::abs(p[1] - p[2]) <= 1;
}

std::vector<double> LitShares(const Image& image, const Image& lit, const Image& dimmed)
{
    std::vector<double> shares(static_cast<std::size_t>(image.width) * image.height, -1.0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double full = Brightness(lit, {x, y}), low = Brightness(dimmed, {x, y});
            if (IsGrey(lit, x, y) && full - low >= Undecidable)
                shares[static_cast<std::size_t>(y) * image.width + x] = (Brightness(image, {x, y}) - low) / (full - low);
        }
    }
    return shares;
}
}
