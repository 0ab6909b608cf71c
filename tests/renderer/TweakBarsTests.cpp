// The program's bars used as a user uses them: the option defaults InitGL
// assigns, the method bar that follows the mode, the light's rows and the
// rows that show and hide with their switches.
#include "RendererTestSupport.h"

#include "tweakbar/TweakBarTesting.h"

#include <GL/glew.h>

namespace RendererTests
{
namespace
{
using namespace TweakBarTesting;
using KorvanaFramework::LightType;
using KorvanaFramework::RendererMode;
using KorvanaFramework::RendererOptions;

class TweakBarsTest : public RendererGLTest
{
protected:
    void SetUp() override
    {
        RendererGLTest::SetUp();
        if (!IsSkipped())
            Start(DefaultScenePath());
    }

    // Which method bars are shown, in the order projected, volume, mapped.
    static std::array<bool, 3> MethodBars()
    {
        return {IsShown("projected"), IsShown("volume"), IsShown("mapped")};
    }

    // A mouse message as the window procedure hands it to the bars first.
    void Send(UINT message, WPARAM keys, int x, int y)
    {
        TwEventWin(window->Handle(), message, keys, MAKELONG(x, y));
    }

    // Drags with the left button from (x, y) by (dx, dy), with the program's
    // own frame between the messages, as the window passes them on.
    void Drag(int x, int y, int dx, int dy)
    {
        Send(WM_MOUSEMOVE, 0, x, y);
        renderer->RenderFrame();
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        renderer->RenderFrame();
        for (int step = 1; step <= 4; ++step) {
            Send(WM_MOUSEMOVE, MK_LBUTTON, x + dx * step / 4, y + dy * step / 4);
            renderer->RenderFrame();
        }
        Send(WM_LBUTTONUP, 0, x + dx, y + dy);
        for (int frame = 0; frame < 3; ++frame)
            renderer->RenderFrame();
    }
};

// Every option gets its default from the bars, whatever it held before.
TEST_F(RendererGLTest, InitGLAssignsEveryDefault)
{
    renderer = std::make_unique<Renderer>();
    ASSERT_TRUE(renderer->LoadScene(DefaultScenePath()));
    RendererOptions& o = renderer->options;
    o.rendererMode = RendererMode::Mapping;
    o.backgroundColor = {1, 1, 1};
    o.drawObjects = false;
    o.projectedPolygonOffset = o.projectedDarkeningFactor = o.volumeDarkeningFactor = o.volumeLenght = 7.0f;
    o.projectedUseDarkening = o.drawVolumes = o.infiniteFrustum = o.volumeUseDarkening = o.drawAsTexture = true;
    o.darkeningStencil = o.infiniteVolume = o.useMapView = o.showFrustum = false;
    o.stencilOperation = 1;
    o.near = o.far = o.orthoSize = o.orthoOffset = o.mappedPolygonOffset = o.mapViewSize = 7.0f;
    o.mapSize = 2048;
    o.filtering = KorvanaFramework::MapFiltering::Pcf;
    renderer->InitGL();

    EXPECT_TRUE(o.tweakBarsReady);
    for (TwBar* bar : {o.mainBar, o.projectedBar, o.volumeBar, o.mappedBar, o.lightBar})
        EXPECT_NE(bar, nullptr);
    EXPECT_EQ(o.barLight, &renderer->light);
    EXPECT_EQ(o.rendererMode, RendererMode::None);
    EXPECT_EQ(o.backgroundColor, (Vec3{0, 0, 0}));
    EXPECT_TRUE(o.drawObjects);
    EXPECT_EQ(o.projectedPolygonOffset, -10.0f);
    EXPECT_FALSE(o.projectedUseDarkening);
    EXPECT_EQ(o.projectedDarkeningFactor, 0.5f);
    EXPECT_TRUE(o.darkeningStencil);
    EXPECT_FALSE(o.drawVolumes);
    EXPECT_EQ(o.stencilOperation, 0);
    EXPECT_FALSE(o.infiniteFrustum);
    EXPECT_FALSE(o.volumeUseDarkening);
    EXPECT_EQ(o.volumeDarkeningFactor, 0.5f);
    EXPECT_TRUE(o.infiniteVolume);
    EXPECT_EQ(o.volumeLenght, 100.0f);
    EXPECT_EQ(o.near, 1.0f);
    EXPECT_EQ(o.far, 30.0f);
    EXPECT_EQ(o.orthoSize, 10.0f);
    EXPECT_EQ(o.orthoOffset, 5.0f);
    EXPECT_EQ(o.mappedPolygonOffset, 3.0f);
    EXPECT_TRUE(o.useMapView);
    EXPECT_EQ(o.mapViewSize, 0.4f);
    EXPECT_FALSE(o.drawAsTexture);
    EXPECT_TRUE(o.showFrustum);
    EXPECT_EQ(o.mapSize, 512);
    EXPECT_EQ(o.filtering, KorvanaFramework::MapFiltering::None);

    const auto& light = renderer->light;
    EXPECT_TRUE(light.enabled);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(light.position, (KorvanaFramework::Vec4{2.0f, 5.0f, 2.17f, 1.0f}));
    EXPECT_EQ(light.lightType, LightType::Point);
    EXPECT_EQ(light.horizontalAngle, 180.0f);
    EXPECT_EQ(light.verticalAngle, -43.0f);
    EXPECT_NEAR(light.direction[1], -0.6820f, 1e-4);
    EXPECT_NEAR(light.direction[2], -0.7314f, 1e-4);
    EXPECT_EQ(ValueText("light/position"), "2.00, 5.00, 2.17, 1.00");
    EXPECT_TRUE(IsShown("main") && IsShown("light"));
}

TEST_F(TweakBarsTest, ModeShowsExactlyTheBarOfTheMode)
{
    const std::array<bool, 3> none{false, false, false};
    EXPECT_EQ(MethodBars(), none);
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Cienie objetosciowe"));
    EXPECT_EQ(renderer->options.rendererMode, RendererMode::Volumes);
    EXPECT_EQ(MethodBars(), (std::array<bool, 3>{false, true, false}));
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Brak cieni"));
    EXPECT_EQ(MethodBars(), none);
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Mapowanie cieni"));
    EXPECT_EQ(MethodBars(), (std::array<bool, 3>{false, false, true}));
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Rzutowanie cieni"));
    EXPECT_EQ(MethodBars(), (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(ValueText("main/rederingMode"), "Rzutowanie cieni");

    // Choosing the mode it already has changes no bar.
    TwDefine("projected visible=false");
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Rzutowanie cieni"));
    EXPECT_EQ(MethodBars(), none);
}

// A bar the user moves or sizes stays so in every mode, also in the modes
// whose pass sets the window size again each frame.
TEST_F(TweakBarsTest, AMovedOrSizedBarStaysSoInEveryMode)
{
    const char* modes[] = {"Brak cieni", "Rzutowanie cieni", "Cienie objetosciowe", "Mapowanie cieni"};
    for (const char* mode : modes) {
        ASSERT_TRUE(ChooseLabel("main/rederingMode", mode));
        renderer->RenderFrame();
        const auto before = GetBar("main");
        Drag(static_cast<int>(before->left) + 60, static_cast<int>(before->top) + 8, 40, 30);
        auto after = GetBar("main");
        EXPECT_FLOAT_EQ(after->left, before->left + 40) << mode;
        EXPECT_FLOAT_EQ(after->top, before->top + 30) << mode;
        EXPECT_FLOAT_EQ(after->right - after->left, before->right - before->left) << mode;

        // The grip at the bottom right corner.
        Drag(static_cast<int>(after->right) - 3, static_cast<int>(after->bottom) - 3, -20, 10);
        const auto sized = GetBar("main");
        EXPECT_FLOAT_EQ(sized->right, after->right - 20) << mode;
        EXPECT_FLOAT_EQ(sized->bottom, after->bottom + 10) << mode;
        EXPECT_EQ(sized->width, after->width - 20) << mode;
    }
}

// The visible bars and the help bar as the last frame drew them.
std::vector<std::pair<std::string, std::vector<float>>> DrawnRectangles()
{
    std::vector<std::pair<std::string, std::vector<float>>> drawn;
    for (const char* name : {"main", "projected", "volume", "mapped", "light"}) {
        const auto bar = GetBar(name);
        if (bar && bar->visible)
            drawn.push_back({name, {bar->left, bar->top, bar->right, bar->bottom}});
    }
    if (const auto help = HelpBarRectangle())
        drawn.push_back({"help", *help});
    return drawn;
}

bool Overlap(const std::vector<float>& a, const std::vector<float>& b)
{
    return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

// In windows too small for the bars' own sizes no bar lies over another or
// over the help bar in any mode; every bar stays inside the window and shows
// at least its title.
TEST_F(RendererGLTest, BarsKeepClearOfEachOtherInSmallWindows)
{
    const char* modes[] = {"Brak cieni", "Rzutowanie cieni", "Cienie objetosciowe", "Mapowanie cieni"};
    for (const auto& [width, height] : {std::pair{800, 600}, {700, 500}, {640, 480}, {1280, 1024}}) {
        renderer.reset();
        window = std::make_unique<Snapshot::SnapshotWindow>(width, height);
        ASSERT_TRUE(window->Ready()) << window->Error();
        renderer = std::make_unique<Renderer>();
        ASSERT_TRUE(renderer->LoadScene(DefaultScenePath()));
        renderer->InitGL();
        renderer->Resize(width, height);
        for (const char* mode : modes) {
            ASSERT_TRUE(ChooseLabel("main/rederingMode", mode));
            renderer->RenderFrame();
            renderer->RenderFrame();
            const auto drawn = DrawnRectangles();
            ASSERT_EQ(drawn.size(), mode == modes[0] ? 3u : 4u) << width << "x" << height << " " << mode;
            for (size_t i = 0; i < drawn.size(); ++i) {
                const auto& [name, rect] = drawn[i];
                EXPECT_TRUE(rect[0] >= 0 && rect[1] >= 0 && rect[2] <= width && rect[3] <= height)
                    << name << " leaves the window at " << width << "x" << height;
                EXPECT_GE(rect[3] - rect[1], 17.0f) << name;
                for (size_t j = i + 1; j < drawn.size(); ++j)
                    EXPECT_FALSE(Overlap(rect, drawn[j].second))
                        << name << " and " << drawn[j].first << " at " << width << "x" << height << " in " << mode;
            }
        }
    }
}

// A window large enough leaves every bar at its own place and size.
TEST_F(RendererGLTest, BarsKeepTheirPlacesInALargeWindow)
{
    renderer.reset();
    window = std::make_unique<Snapshot::SnapshotWindow>(1280, 1024);
    ASSERT_TRUE(window->Ready()) << window->Error();
    Start(DefaultScenePath());
    renderer->Resize(1280, 1024);
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Cienie objetosciowe"));
    renderer->RenderFrame();
    renderer->RenderFrame();
    const auto main = GetBar("main"), light = GetBar("light"), volume = GetBar("volume");
    EXPECT_EQ(std::vector<float>({main->left, main->top, main->right, main->bottom}),
              std::vector<float>({16, 16, 366, 176}));
    EXPECT_EQ(std::vector<float>({light->left, light->top, light->right, light->bottom}),
              std::vector<float>({16, 182, 366, 722}));
    EXPECT_EQ(std::vector<float>({volume->left, volume->top, volume->right, volume->bottom}),
              std::vector<float>({1280 - 360, 16, 1280, 216}));
}

TEST_F(TweakBarsTest, LightTypeSetsWAndTheSpotRows)
{
    auto& light = renderer->light;
    const char* spotRows[] = {"light/angle", "light/direction", "light/spotOpt", "light/Reflektor"};
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    EXPECT_EQ(light.lightType, LightType::Spot);
    EXPECT_EQ(light.position[3], 1.0f);
    for (const char* row : spotRows)
        EXPECT_TRUE(IsShown(row)) << row;

    light.changed = false;
    ASSERT_TRUE(ChooseLabel("light/lightType", "Kierunkowe"));
    EXPECT_EQ(light.lightType, LightType::Directional);
    EXPECT_EQ(light.position[3], 0.0f);
    EXPECT_TRUE(light.changed);
    for (const char* row : spotRows)
        EXPECT_FALSE(IsShown(row)) << row;

    ASSERT_TRUE(ChooseLabel("light/lightType", "Punktowe"));
    EXPECT_EQ(light.position[3], 1.0f);
    EXPECT_EQ(ValueText("light/lightType"), "Punktowe");
}

// w is read-only in the bar; a position arriving with w 0 makes the light
// directional.
TEST_F(TweakBarsTest, PositionKeepsTheLightConsistentWithW)
{
    auto& light = renderer->light;
    ASSERT_TRUE(SetNumber("light/position/x", -1.5));
    EXPECT_EQ(light.position, (KorvanaFramework::Vec4{-1.5f, 5.0f, 2.17f, 1.0f}));
    EXPECT_EQ(light.lightType, LightType::Point);
    EXPECT_FALSE(SetNumber("light/position/w", 0.0));

    light.position[3] = 0.0f;
    light.changed = false;
    ASSERT_TRUE(SetNumber("light/position/y", 4.0));
    EXPECT_EQ(light.lightType, LightType::Directional);
    EXPECT_TRUE(light.changed);
}

TEST_F(TweakBarsTest, SpotAnglesRecomputeTheDirection)
{
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    ASSERT_TRUE(SetNumber("light/angle/Kat padania", 0.0));
    ASSERT_TRUE(SetNumber("light/angle/Kierunek", 90.0));
    const auto& light = renderer->light;
    EXPECT_EQ(light.horizontalAngle, 90.0f);
    EXPECT_EQ(light.verticalAngle, 0.0f);
    EXPECT_NEAR(light.direction[0], 1.0f, 1e-6);
    EXPECT_NEAR(light.direction[2], 0.0f, 1e-6);
    EXPECT_EQ(ValueText("light/direction"), "1.00, 0.00, -0.00, 1.00");
    EXPECT_FALSE(SetNumber("light/direction/x", 0.5)) << "the direction is read-only";
}

// The bar keeps the member being edited in its range; the other member
// reaches the setter as the light holds it, and is brought into range there
// too, so that GL never refuses the light's cone or exponent.
TEST_F(TweakBarsTest, SpotConeAndExponentStayInTheirRanges)
{
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    auto& light = renderer->light;
    ASSERT_TRUE(SetNumber("light/spotOpt/Kat stozka swiatla", 120.0));
    ASSERT_TRUE(SetNumber("light/spotOpt/Eksponent zaniku", -5.0));
    EXPECT_EQ(light.spotCutoff, 90.0f);
    EXPECT_EQ(light.spotExponent, 0.0f);

    struct Held {
        float cutoff, exponent;
        const char* edited;
        double value;
        float expectedCutoff, expectedExponent;
    };
    const Held cases[] = {{120.0f, 5.0f, "Eksponent zaniku", 10.0, 90.0f, 10.0f},
                          {-3.0f, 5.0f, "Eksponent zaniku", 10.0, 0.0f, 10.0f},
                          {30.0f, 200.0f, "Kat stozka swiatla", 30.5, 30.5f, 128.0f},
                          {30.0f, -1.0f, "Kat stozka swiatla", 45.0, 45.0f, 0.0f}};
    for (const Held& held : cases) {
        SCOPED_TRACE(held.edited + std::string(" with ") + std::to_string(held.cutoff) + ", " +
                     std::to_string(held.exponent));
        light.spotCutoff = held.cutoff;
        light.spotExponent = held.exponent;
        ASSERT_TRUE(SetNumber(std::string("light/spotOpt/") + held.edited, held.value));
        EXPECT_EQ(light.spotCutoff, held.expectedCutoff);
        EXPECT_EQ(light.spotExponent, held.expectedExponent);

        while (glGetError() != GL_NO_ERROR) {
        }
        light.Upload(true);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        GLfloat cutoff = -1.0f, exponent = -1.0f;
        glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
        glGetLightfv(GL_LIGHT0, GL_SPOT_EXPONENT, &exponent);
        EXPECT_EQ(cutoff, held.expectedCutoff);
        EXPECT_EQ(exponent, held.expectedExponent);
    }
}

TEST_F(TweakBarsTest, ColoursKeepTheirAlpha)
{
    auto& light = renderer->light;
    light.diffuse[3] = 0.5f;
    light.globalAmbient[3] = 0.25f;
    light.changed = false;
    ASSERT_TRUE(SetColor("light/diffuse", 0.2f, 0.3f, 0.4f));
    EXPECT_EQ(light.diffuse, (KorvanaFramework::Vec4{0.2f, 0.3f, 0.4f, 0.5f}));
    EXPECT_TRUE(light.changed);
    ASSERT_TRUE(SetColor("light/globalAmbient", 0.3f, 0.3f, 0.3f));
    EXPECT_EQ(light.globalAmbient[3], 0.25f);
    ASSERT_TRUE(SetNumber("light/lowDiffuse", 0.75));
    EXPECT_EQ(light.lowDiffuse, 0.75f);
}

TEST_F(TweakBarsTest, LightButtonSwitchesTheLight)
{
    auto& light = renderer->light;
    ASSERT_TRUE(PressButton("light/enabled"));
    EXPECT_FALSE(light.enabled);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    ASSERT_TRUE(PressButton("light/enabled"));
    EXPECT_TRUE(light.enabled);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
}

TEST_F(TweakBarsTest, InfiniteVolumesHideTheirLength)
{
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Cienie objetosciowe"));
    EXPECT_FALSE(IsShown("volume/volumeLenght"));
    ASSERT_TRUE(ChooseLabel("volume/infiniteVolume", "Wylaczone"));
    EXPECT_FALSE(renderer->options.infiniteVolume);
    EXPECT_TRUE(IsShown("volume/volumeLenght"));
    ASSERT_TRUE(SetNumber("volume/volumeLenght", 12.0));
    EXPECT_EQ(renderer->options.volumeLenght, 12.0f);
    ASSERT_TRUE(ChooseLabel("volume/infiniteVolume", "Wlaczone"));
    EXPECT_FALSE(IsShown("volume/volumeLenght"));
}

TEST_F(TweakBarsTest, DarkeningSwitchesShowTheirOptions)
{
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Rzutowanie cieni"));
    ASSERT_TRUE(ChooseLabel("projected/useDarkening", "Wlaczone"));
    EXPECT_TRUE(renderer->options.projectedUseDarkening);
    EXPECT_TRUE(IsShown("projected/darkeningFactor"));
    EXPECT_TRUE(IsShown("projected/darkeningStencil"));
    ASSERT_TRUE(SetNumber("projected/darkeningFactor", 0.25));
    EXPECT_EQ(renderer->options.projectedDarkeningFactor, 0.25f);
    EXPECT_EQ(renderer->options.volumeDarkeningFactor, 0.5f) << "each bar has its own factor";
    ASSERT_TRUE(ChooseLabel("projected/useDarkening", "Wylaczone"));
    EXPECT_FALSE(IsShown("projected/darkeningFactor"));
    EXPECT_FALSE(IsShown("projected/darkeningStencil"));

    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Cienie objetosciowe"));
    ASSERT_TRUE(ChooseLabel("volume/useDarkening", "Wlaczone"));
    EXPECT_TRUE(renderer->options.volumeUseDarkening);
    EXPECT_FALSE(renderer->options.projectedUseDarkening);
    EXPECT_TRUE(IsShown("volume/darkeningFactor"));
    ASSERT_TRUE(ChooseLabel("volume/useDarkening", "Wylaczone"));
    EXPECT_FALSE(IsShown("volume/darkeningFactor"));
}

// What the bars edit shows in the next frame.
TEST_F(TweakBarsTest, BarEditsChangeThePicture)
{
    ASSERT_TRUE(SetColor("main/backgroundColor", 0.0f, 0.0f, 1.0f));
    const Image image = Frame();
    const std::uint8_t* corner = image.At(Width - 4, 4);
    EXPECT_EQ(corner[2], 255);
    EXPECT_EQ(corner[0], 0);
}

// The main bar's frame figures fill in once half a second of frames has
// passed, agree with each other, and cannot be edited.
TEST_F(TweakBarsTest, FrameRowsShowTheFrameTimeReadOnly)
{
    for (const char* row : {"main/frameTime", "main/framesPerSecond"}) {
        const auto info = GetRow(row);
        ASSERT_TRUE(info.has_value()) << row;
        EXPECT_TRUE(info->readonly) << row;
        EXPECT_TRUE(IsShown(row)) << row;
        EXPECT_FALSE(SetNumber(row, 1.0)) << row;
    }
    EXPECT_EQ(ValueText("main/frameTime"), "0.00");
    const double start = KorvanaFramework::SteadySeconds();
    while (KorvanaFramework::SteadySeconds() - start < 0.6)
        Frame();
    const KorvanaFramework::RendererOptions& o = renderer->options;
    EXPECT_GT(o.frameMilliseconds, 0.0f);
    EXPECT_NEAR(o.frameMilliseconds * o.framesPerSecond, 1000.0f, 1.0f);
    EXPECT_NE(ValueText("main/frameTime"), "0.00");
}

TEST_F(TweakBarsTest, DestroyingTheRendererRemovesTheBarsAndStopsTheLibrary)
{
    renderer.reset();
    EXPECT_FALSE(GetBar("main").has_value());
    EXPECT_FALSE(GetBar("light").has_value());
    EXPECT_EQ(TwNewBar("main"), nullptr) << "the library is stopped";
    TwGetLastError();
}
}
}
