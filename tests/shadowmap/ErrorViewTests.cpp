// The error view on the default scene: its agreement figure against a
// cross-check made here from the pictures alone (each pixel nearer to the
// dimmed than to the full light is shadowed, the exact shadow is the
// picture of depth-fail volumes with the far plane at infinity), its tints
// along the small map's staircase, and the volumes agreeing with themselves.
#include "ShadowMapTestSupport.h"

#include <GL/glew.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace ShadowMapTests
{
using KorvanaFramework::Box;

namespace
{
int Distance(const std::uint8_t* a, const std::uint8_t* b)
{
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// The box around the points of the scene's object of that name.
Box BoxOf(const KorvanaFramework::Scene& scene, const std::string& name)
{
    Box box;
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
        if (scene.ObjectAt(i).name == name)
            for (const KorvanaFramework::Vec4& position : scene.ObjectAt(i).positions)
                Include(box, position);
    return box;
}

// Below this colour distance the full and the dimmed light look alike.
constexpr int Alike = 3;

class ErrorViewTest : public ShadowMapTest
{
protected:
    void SetUp() override
    {
        Start(800, 500, BoxOverFloor());
        if (IsSkipped())
            return;
        ASSERT_TRUE(renderer->LoadScene(RendererTests::DefaultScenePath()));
        if (!renderer->options.errorViewOffered)
            GTEST_SKIP() << "the driver lacks what the error view needs";
        UseView({-10.0f, 18.0f, 12.0f});
        lit = Unshadowed();
        dimmed = Dimmed();
        UseVolumes(true);
        exact = Run(RendererMode::Volumes, false);
    }

    // Depth-fail counting with the far plane at infinity or not.
    void UseVolumes(bool infiniteFar)
    {
        renderer->options.stencilOperation = 1;
        renderer->options.infiniteFrustum = infiniteFar;
    }

    // One pass of `mode` after the frame's clear, with the error view's
    // check after it when `view`; its figure is kept in `agreement`.
    Image Run(RendererMode mode, bool view)
    {
        auto& options = renderer->options;
        options.rendererMode = mode;
        options.errorView = view;
        ClearFrame();
        renderer->UpdateProjection();
        if (mode == RendererMode::Projected)
            renderer->RenderProjectedShadow();
        else if (mode == RendererMode::Volumes)
            renderer->RenderShadowVolumes();
        else
            renderer->RenderShadowMap();
        if (view)
            agreement = renderer->errorView.Check(*renderer);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return window->ReadBack();
    }

    bool Shadowed(const Image& image, int x, int y) const
    {
        return Distance(image.At(x, y), dimmed.At(x, y)) < Distance(image.At(x, y), lit.At(x, y));
    }

    // The share in percent of the pixels that tell light from shadow where
    // the picture shadows what the exact picture shadows.
    double CrossCheck(const Image& shown) const
    {
        int decidable = 0, agree = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (Distance(lit.At(x, y), dimmed.At(x, y)) < Alike)
                    continue;
                ++decidable;
                agree += Shadowed(shown, x, y) == Shadowed(exact, x, y) ? 1 : 0;
            }
        }
        EXPECT_GT(decidable, width * height / 4);
        return 100.0 * agree / decidable;
    }

    // The pixels the view changed, by the tint they lean to.
    struct Tints
    {
        int falseShadow = 0;  // magenta: red and blue above green
        int falseLight = 0;   // green above red and blue
        int other = 0;
    };
    Tints TintsOf(const Image& viewed, const Image& plain) const
    {
        Tints tints;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = viewed.At(x, y);
                if (Distance(p, plain.At(x, y)) == 0)
                    continue;
                if (p[0] > p[1] + 60 && p[2] > p[1] + 60)
                    ++tints.falseShadow;
                else if (p[1] > p[0] + 60 && p[1] > p[2] + 60)
                    ++tints.falseLight;
                else
                    ++tints.other;
            }
        }
        return tints;
    }

    // The view of `mode` bounded and unbounded, compared; the bounded one.
    Image BoundedAndWhole(RendererMode mode)
    {
        renderer->boundVolumeCounting = false;
        renderer->boundShadowedPixels = false;
        const Image whole = Run(mode, true);
        const float wholeAgreement = agreement;
        renderer->boundVolumeCounting = true;
        renderer->boundShadowedPixels = true;
        const Image bounded = Run(mode, true);
        std::cout << "mode " << static_cast<int>(mode) << ": agreement " << agreement << " %, " << wholeAgreement
                  << " % unbounded\n";
        EXPECT_NEAR(agreement, wholeAgreement, 0.01) << static_cast<int>(mode);
        EXPECT_LE(DifferingPixels(bounded, whole), 4) << static_cast<int>(mode);
        return bounded;
    }

    Image lit, dimmed, exact;
    float agreement = 0.0f;
};

struct CheckedCase
{
    const char* name;
    RendererMode mode;
    int mapSize;
    MapFiltering filtering;
};

TEST_F(ErrorViewTest, AgreementMatchesTheCrossCheckAndOnlyDisagreementIsTinted)
{
    for (const CheckedCase& c : {CheckedCase{"mode 3, 512, Brak", RendererMode::Mapping, 512, MapFiltering::None},
                                 CheckedCase{"mode 3, 2048, Brak", RendererMode::Mapping, 2048, MapFiltering::None},
                                 CheckedCase{"mode 3, 2048, PCF", RendererMode::Mapping, 2048, MapFiltering::Pcf},
                                 CheckedCase{"mode 1", RendererMode::Projected, 512, MapFiltering::None}}) {
        UseMap(c.mapSize, c.filtering);
        const Image plain = Run(c.mode, false);
        const double check = CrossCheck(plain);
        const Image viewed = Run(c.mode, true);
        const Tints tints = TintsOf(viewed, plain);
        std::cout << c.name << ": agreement " << agreement << " %, cross-check " << check << " %; tinted "
                  << tints.falseShadow << " magenta, " << tints.falseLight << " green\n";
        EXPECT_NEAR(agreement, check, 0.2) << c.name;
        EXPECT_EQ(tints.other, 0) << c.name;
        if (c.mapSize == 512 && c.mode == RendererMode::Mapping) {
            Save(viewed, "error-view-512");
            EXPECT_GT(tints.falseShadow, 200) << "the staircase shadows lit floor";
            EXPECT_GT(tints.falseLight, 200) << "the staircase lights shadowed floor";
        }
    }
}

TEST_F(ErrorViewTest, VolumesWithTheFarPlaneAtInfinityAgreeWithThemselvesAndAFiniteOneDoesNot)
{
    const Image viewed = Run(RendererMode::Volumes, true);
    EXPECT_FLOAT_EQ(agreement, 100.0f);
    EXPECT_EQ(DifferingPixels(viewed, exact), 0);

    UseVolumes(false);
    const Image plain = Run(RendererMode::Volumes, false);
    const Image clipped = Run(RendererMode::Volumes, true);
    const double check = CrossCheck(plain);
    std::cout << "depth-fail with a finite far plane: agreement " << agreement << " %, cross-check " << check
              << " %\n";
    EXPECT_LT(agreement, 99.0f);
    EXPECT_NEAR(agreement, check, 0.2);
    EXPECT_GT(DifferingPixels(clipped, plain), 0);
}
}

// Mode 1's shadow marks itself, black or darkened under the stencil's
// guard, or the view marks it in a pass of its own: all three compare the
// same pixels, the floor under the shadow included, and tint nothing else.
TEST_F(ErrorViewTest, ProjectedShadowIsComparedAlikeHoweverItIsDrawn)
{
    std::vector<float> agreements;
    for (const auto& [darkening, guard] : {std::pair{false, true}, std::pair{true, true}, std::pair{true, false}}) {
        renderer->options.projectedUseDarkening = darkening;
        renderer->options.darkeningStencil = guard;
        const Image plain = Run(RendererMode::Projected, false);
        EXPECT_EQ(TintsOf(Run(RendererMode::Projected, true), plain).other, 0) << darkening << guard;
        agreements.push_back(agreement);
    }
    EXPECT_FLOAT_EQ(agreements[1], agreements[0]) << "darkened under the guard";
    EXPECT_FLOAT_EQ(agreements[2], agreements[0]) << "darkened without the guard";
}

// Volumes counted depth-pass where they surely leave the eye outside and
// depth-fail elsewhere, and tints bounded to where they can be, give the
// view that depth-fail counting of every volume and tints over the whole
// window give: seen from afar, and with the eye in the sphere's shadow,
// where a depth-pass count of its volume would be one short everywhere.
TEST_F(ErrorViewTest, BoundedExactCountAgreesWithDepthFailThroughout)
{
    UseMap(512, MapFiltering::None);
    for (const bool eyeInShadow : {false, true}) {
        if (eyeInShadow) {
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            renderer->ApplyCamera();
            Matrix4 view{};
            glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
            const Box sphere = BoxOf(renderer->GetScene(), "Sphere");
            for (int c = 0; c < 3; ++c) {
                const float eye = -(view[4 * c] * view[12] + view[4 * c + 1] * view[13] + view[4 * c + 2] * view[14]);
                const float centre = 0.5f * (sphere.low[c] + sphere.high[c]);
                renderer->light.position[c] = eye + 1.5f * (centre - eye);
            }
        }
        BoundedAndWhole(RendererMode::Mapping);
        BoundedAndWhole(RendererMode::Projected);
    }
}
}
