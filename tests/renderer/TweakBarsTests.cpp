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

TEST_F(TweakBarsTest, SpotConeAndExponentStayInTheirRanges)
{
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    auto& light = renderer->light;
    SetNumber("light/spotOpt/Kat stozka swiatla", 120.0);
    SetNumber("light/spotOpt/Eksponent zaniku", -5.0);
    EXPECT_EQ(light.spotCutoff, 90.0f);
    EXPECT_EQ(light.spotExponent, 0.0f);
    SetNumber("light/spotOpt/Eksponent zaniku", 200.0);
    EXPECT_EQ(light.spotExponent, 128.0f);
    ASSERT_TRUE(SetNumber("light/spotOpt/Kat stozka swiatla", 30.5));
    EXPECT_EQ(light.spotCutoff, 30.5f);
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
