// The shadow-volume pass on the virtual display: shadow under the casters in
// every combination of counting, volume length, far plane and shadow
// application; the three counting paths; the eye inside a volume; short
// finite volumes; the exact colours of both modes; the visible volumes; the
// light switch; and the darkening of a wide view.
#include "ShadowTestSupport.h"

#include <tuple>

namespace ShadowTests
{
namespace
{
// A directional light a little off the vertical; the small box's shadow
// then lies around ShiftedUnderCaster.
const Vec4 SteepSun{0.2f, 1, 0.1f, 0};
const Vec3 ShiftedUnderCaster{-0.5f, 0, -0.25f};

using KorvanaFramework::RendererOptions;

class VolumeShadow : public ShadowGLTest
{
protected:
    RendererOptions& Options() { return renderer->options; }

    // Depth-fail counting with the far plane at infinity, which is right
    // wherever the eye is.
    void DepthFail()
    {
        Options().stencilOperation = 1;
        Options().infiniteFrustum = true;
    }

    void Fast(float factor)
    {
        Options().volumeUseDarkening = true;
        Options().volumeDarkeningFactor = factor;
    }
};

// directional light, depth-fail, infinite volumes, infinite far plane, fast
using Combination = std::tuple<bool, bool, bool, bool, bool>;

std::string CombinationName(const testing::TestParamInfo<Combination>& info)
{
    const auto& [directional, depthFail, infiniteVolume, infiniteFrustum, fast] = info.param;
    return std::string(directional ? "Directional" : "Point") + (depthFail ? "DepthFail" : "DepthPass") +
           (infiniteVolume ? "InfiniteVolume" : "FiniteVolume") + (infiniteFrustum ? "InfiniteFar" : "FiniteFar") +
           (fast ? "Fast" : "TwoPass");
}

class VolumeShadowCombinations : public VolumeShadow, public testing::WithParamInterface<Combination>
{
protected:
    bool Directional() const { return std::get<0>(GetParam()); }

    void ApplyOptions()
    {
        const auto& [directional, depthFail, infiniteVolume, infiniteFrustum, fast] = GetParam();
        static_cast<void>(directional);
        Options().stencilOperation = depthFail ? 1 : 0;
        Options().infiniteVolume = infiniteVolume;
        Options().infiniteFrustum = infiniteFrustum;
        Options().volumeUseDarkening = fast;
    }
};

TEST_P(VolumeShadowCombinations, FloorUnderTheCasterIsDarker)
{
    StartBoxes();
    if (Directional())
        PlaceLight(SteepSun);
    ApplyOptions();
    const Image image = Pass(RendererMode::Volumes);
    EXPECT_LT(BrightnessOf(image, Directional() ? ShiftedUnderCaster : UnderCaster) + 40,
              BrightnessOf(image, FarFromBoxes));
}

// The default scene keeps the point light InitGL places.
class DefaultSceneCombinations : public VolumeShadowCombinations
{
};

TEST_P(DefaultSceneCombinations, FloorUnderTheSphereIsDarker)
{
    Start(RendererTests::DefaultScenePath());
    ApplyOptions();
    const Image image = Pass(RendererMode::Volumes);
    EXPECT_LT(BrightnessOf(image, UnderDefaultSphere) + 40, BrightnessOf(image, FarInDefaultScene));
}

INSTANTIATE_TEST_SUITE_P(, VolumeShadowCombinations,
                         testing::Combine(testing::Bool(), testing::Bool(), testing::Bool(), testing::Bool(),
                                          testing::Bool()),
                         CombinationName);
INSTANTIATE_TEST_SUITE_P(, DefaultSceneCombinations,
                         testing::Combine(testing::Values(false), testing::Bool(), testing::Bool(), testing::Bool(),
                                          testing::Bool()),
                         CombinationName);

// Depth-pass counting in two-pass mode, bounded to each volume's footprint
// within the scene, leaves every pixel as counting over the whole window
// does: around the default scene and inside its box, under the light InitGL
// places, a low point light and a sun, with finite and infinite volumes and
// far planes. The bounds must also leave out some of the window.
TEST_F(VolumeShadow, BoundedCountingChangesNoPixel)
{
    Start(RendererTests::DefaultScenePath());
    const Vec4 initial = renderer->light.position;
    struct View
    {
        float yaw, pitch, distance;
    };
    const View views[] = {{0, 20, 18}, {120, 10, 6}, {200, -5, 15}, {-10, 18, 12}, {30, 80, 3}};
    bool bounded = false;
    for (const Vec4& light : {initial, Vec4{0, 1.5f, 0, 1}, Vec4{-0.3f, 1, 0.2f, 0}}) {
        PlaceLight(light);
        for (const View& view : views) {
            renderer->yaw = view.yaw;
            renderer->pitch = view.pitch;
            renderer->distance = view.distance;
            for (const bool infinite : {false, true}) {
                Options().infiniteVolume = infinite;
                Options().infiniteFrustum = infinite;
                renderer->boundVolumeCounting = false;
                const Image whole = Pass(RendererMode::Volumes);
                renderer->boundVolumeCounting = true;
                const Image image = Pass(RendererMode::Volumes);
                EXPECT_EQ(Differences(image.rgb, whole.rgb), 0u)
                    << "light " << light[0] << "," << light[1] << "," << light[2] << "," << light[3] << " yaw "
                    << view.yaw << " pitch " << view.pitch << (infinite ? " infinite" : " finite");
                for (const KorvanaFramework::VolumePiece& piece : renderer->volumePieces)
                    bounded = bounded || piece.rect.width * piece.rect.height < Width * Height;
            }
        }
    }
    EXPECT_TRUE(bounded);
}

// Two-pass mode redraws shadowed pixels under the dimmed light; leaving out
// the triangles the full light cannot brighten changes no pixel, with
// either counting, under a point light over the scene and one among the
// casters, a sun and a spot, seen from several sides. Something must be
// left out.
TEST_F(VolumeShadow, LeavingOutUnlitTrianglesChangesNoPixel)
{
    Start(RendererTests::DefaultScenePath());
    struct View
    {
        float yaw, pitch, distance;
    };
    const View views[] = {{0, 20, 18}, {120, 10, 6}, {250, 45, 12}};
    const Vec4 lights[] = {renderer->light.position, Vec4{0, 1.5f, 0, 1}, Vec4{-0.3f, 1, 0.2f, 0},
                           Vec4{2, 6, 3, 1}};
    std::size_t leftOut = 0;
    for (const Vec4& light : lights) {
        PlaceLight(light);
        const bool spot = &light == &lights[3];
        if (spot) {
            renderer->light.lightType = KorvanaFramework::LightType::Spot;
            renderer->light.direction = {-0.3f, -1, -0.5f};
            renderer->light.spotCutoff = 35.0f;
        }
        for (const View& view : views) {
            renderer->yaw = view.yaw;
            renderer->pitch = view.pitch;
            renderer->distance = view.distance;
            for (const std::int32_t counting : {0, 1}) {
                Options().stencilOperation = counting;
                Options().infiniteFrustum = counting == 1;
                renderer->selectLitTriangles = false;
                const Image whole = Pass(RendererMode::Volumes);
                renderer->selectLitTriangles = true;
                EXPECT_EQ(Differences(Pass(RendererMode::Volumes).rgb, whole.rgb), 0u)
                    << (spot ? "spot " : "light ") << light[0] << "," << light[1] << "," << light[2] << ","
                    << light[3] << " yaw " << view.yaw << (counting == 1 ? " depth-fail" : " depth-pass");
                const KorvanaFramework::Scene& scene = renderer->GetScene();
                for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
                    const std::vector<std::uint32_t>* kept = renderer->litTriangles.Kept(i);
                    if (kept != nullptr)
                        leftOut += scene.ObjectAt(i).triangles.size() - kept->size() / 3;
                }
            }
        }
    }
    EXPECT_GT(leftOut, 0u);
}

// Separate stencil, the two-side extension and two passes count alike, also
// where two volumes overlap: the same picture from the same counts. So do
// the clamping operations in two passes. The entry points each path alone
// uses show which one ran.
class CountingPaths : public VolumeShadow, public testing::WithParamInterface<bool>
{
protected:
    // The picture and the counts of one frame, as the flags given leave them.
    void ExpectSameAs(const Image& picture, const std::vector<std::uint8_t>& counts, const char* path)
    {
        StencilEntryCounter::separateCalls = StencilEntryCounter::activeFaceCalls = 0;
        EXPECT_EQ(Differences(Pass(RendererMode::Volumes).rgb, picture.rgb), 0u) << path;
        EXPECT_EQ(Differences(Stencil(), counts), 0u) << path;
    }
};

TEST_P(CountingPaths, GiveTheSamePicture)
{
    StartBoxes();
    PlaceLight(ThroughBothBoxes);
    Options().stencilOperation = GetParam() ? 1 : 0;
    Options().infiniteFrustum = true;
    const StencilEntryCounter counter;
    const Image separate = Pass(RendererMode::Volumes);
    const std::vector<std::uint8_t> counts = Stencil();
    EXPECT_GT(StencilEntryCounter::separateCalls, 0);
    EXPECT_LT(BrightnessOf(separate, BothShadows) + 40, BrightnessOf(separate, FarFromBoxes));
    {
        const GlewFlagsOff olderDriver({&__GLEW_VERSION_2_0});
        ExpectSameAs(separate, counts, "two-side extension");
        EXPECT_EQ(StencilEntryCounter::separateCalls, 0);
        EXPECT_GT(StencilEntryCounter::activeFaceCalls, 0);
    }
    const GlewFlagsOff olderDriver({&__GLEW_VERSION_2_0, &__GLEW_EXT_stencil_two_side});
    ExpectSameAs(separate, counts, "two passes");
    EXPECT_EQ(StencilEntryCounter::separateCalls + StencilEntryCounter::activeFaceCalls, 0);
    const GlewFlagsOff oldestDriver({&__GLEW_VERSION_1_4, &__GLEW_EXT_stencil_wrap});
    ExpectSameAs(separate, counts, "two passes, clamping");
}

INSTANTIATE_TEST_SUITE_P(, CountingPaths, testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "DepthFail" : "DepthPass"); });

// The eye under the small box, looking straight down, inside its volume:
// depth-fail still shades the floor under the box and nothing else, while
// depth-pass counts one too few everywhere and turns the picture inside out.
TEST_F(VolumeShadow, DepthFailStaysRightWithTheEyeInsideAVolume)
{
    StartScene(DataScene("boxes.obj"), 90.0f, 1.8f);
    PlaceLight(OverCaster);
    const Vec3 beside{1, 0, 0};
    const Image lit = Pass(RendererMode::None);

    DepthFail();
    Image image = Pass(RendererMode::Volumes);
    Save(image, "shadows-eye-in-volume-depth-fail");
    EXPECT_LT(BrightnessOf(image, UnderCaster) + 40, BrightnessOf(lit, UnderCaster));
    EXPECT_EQ(BrightnessOf(image, beside), BrightnessOf(lit, beside));

    Options().stencilOperation = 0;
    image = Pass(RendererMode::Volumes);
    Save(image, "shadows-eye-in-volume-depth-pass");
    EXPECT_EQ(BrightnessOf(image, UnderCaster), BrightnessOf(lit, UnderCaster));
    EXPECT_LT(BrightnessOf(image, beside) + 40, BrightnessOf(lit, beside));
}

// Volumes ending 1 unit below the box, which floats 2 units above the floor,
// leave the floor lit; 3 units reach it.
TEST_F(VolumeShadow, FiniteVolumesShorterThanTheDropCastNoShadowThere)
{
    StartBoxes();
    const double lit = BrightnessOf(Pass(RendererMode::None), UnderCaster);
    Options().infiniteVolume = false;
    for (const int operation : {0, 1}) {
        Options().stencilOperation = operation;
        Options().volumeLenght = 1.0f;
        EXPECT_EQ(BrightnessOf(Pass(RendererMode::Volumes), UnderCaster), lit) << operation;
        Options().volumeLenght = 3.0f;
        EXPECT_LT(BrightnessOf(Pass(RendererMode::Volumes), UnderCaster) + 40, lit) << operation;
    }
}

// Two-pass mode leaves shadowed pixels exactly as the dimmed light draws
// them and all others exactly as the full light does.
TEST_F(VolumeShadow, TwoPassModeShowsTheDimmedAndTheFullLight)
{
    StartBoxes();
    DepthFail();
    const Image full = LitScene(true), dim = LitScene(false);
    const Image image = Pass(RendererMode::Volumes);
    for (const Vec3& point : {UnderCaster, FarFromBoxes}) {
        const auto at = ScreenOf(point);
        const Image& expected = point == UnderCaster ? dim : full;
        EXPECT_EQ(std::vector<std::uint8_t>(image.At(at[0], at[1]), image.At(at[0], at[1]) + 3),
                  std::vector<std::uint8_t>(expected.At(at[0], at[1]), expected.At(at[0], at[1]) + 3));
    }
}

// Fast mode darkens by the factor, once however many volumes overlap.
TEST_F(VolumeShadow, FastModeDarkensUniformlyByTheFactor)
{
    StartBoxes();
    PlaceLight(ThroughBothBoxes);
    const Image lit = Pass(RendererMode::None);
    for (const float factor : {0.3f, 1.0f}) {
        Fast(factor);
        const Image image = Pass(RendererMode::Volumes);
        for (const Vec3& point : {BothShadows, UpperShadowOnly})
            EXPECT_NEAR(BrightnessOf(image, point), BrightnessOf(lit, point) * (1 - factor), 2.0) << factor;
        EXPECT_EQ(BrightnessOf(image, FarFromBoxes), BrightnessOf(lit, FarFromBoxes));
    }
}

// The visible volumes add red in front of the scene and leave the counts.
TEST_F(VolumeShadow, VisibleVolumesAddRedAndKeepTheCounts)
{
    StartBoxes();
    const Image plain = Pass(RendererMode::Volumes);
    const std::vector<std::uint8_t> counts = Stencil();
    Options().drawVolumes = true;
    const Image shown = Pass(RendererMode::Volumes);
    Save(shown, "shadows-volumes-shown");
    EXPECT_EQ(Differences(Stencil(), counts), 0u);
    const auto at = ScreenOf(UnderCaster);
    EXPECT_GE(shown.At(at[0], at[1])[0], plain.At(at[0], at[1])[0] + 30);
    EXPECT_EQ(shown.At(at[0], at[1])[1], plain.At(at[0], at[1])[1]);
    const auto far = ScreenOf(FarFromBoxes);
    EXPECT_EQ(shown.At(far[0], far[1])[0], plain.At(far[0], far[1])[0]);
}

// Two-pass mode needs the light and switches it on for good; fast mode
// leaves it off and darkens the ambient-lit scene all the same.
TEST_F(VolumeShadow, TwoPassModeSwitchesTheLightOnForGood)
{
    StartBoxes();
    const double lit = BrightnessOf(Pass(RendererMode::None), FarFromBoxes);
    auto switchOff = [&] {
        renderer->light.enabled = false;
        glDisable(GL_LIGHT0);
    };
    switchOff();
    Pass(RendererMode::Volumes);
    EXPECT_TRUE(renderer->light.enabled);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(BrightnessOf(Pass(RendererMode::None), FarFromBoxes), lit);

    switchOff();
    Fast(0.5f);
    const Image image = Pass(RendererMode::Volumes);
    EXPECT_FALSE(renderer->light.enabled);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_LT(BrightnessOf(image, FarFromBoxes) + 40, lit);
    EXPECT_LT(BrightnessOf(image, UnderCaster), BrightnessOf(image, FarFromBoxes));
}

// A counting method other than the two known ones counts nothing: two-pass
// mode then relights everything.
TEST_F(VolumeShadow, UnknownCountingMethodCountsNothing)
{
    StartBoxes();
    Options().stencilOperation = 2;
    EXPECT_EQ(Differences(Pass(RendererMode::Volumes).rgb, Pass(RendererMode::None).rgb), 0u);
}

// A view more than twice as wide as high, entirely in the shadow of a wide
// canopy: the darkening quad reaches its outermost columns too.
TEST_F(VolumeShadow, DarkeningCoversAWideView)
{
    constexpr int WideHeight = 200;
    StartScene(DataScene("canopy.obj"), 90.0f, 3.0f);
    renderer->Resize(Width, WideHeight);
    PlaceLight({0, 1, 0, 0});
    DepthFail();
    Fast(1.0f);
    const Image image = Pass(RendererMode::Volumes);
    int lit = 0;
    for (int y = Height - WideHeight; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            lit += Brightness(image, {x, y}) > 0.0 ? 1 : 0;
    EXPECT_EQ(lit, 0);
}
}
}
