// Shadow mapping against the stencil volumes (depth-fail, far plane at
// infinity) on the default scene with the light as the program starts:
// the two methods must shadow the same part of the floor, at every map size
// and filter, and almost exactly with a large filtered map.
#include "ShadowMapTestSupport.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <utility>

namespace ShadowMapTests
{
namespace
{
using KorvanaFramework::MapFiltering;
using RendererTests::RendererGLTest;

int Distance(const std::uint8_t* a, const std::uint8_t* b)
{
    return std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]);
}

// Below this colour distance between the lit and the dimmed floor a pixel
// cannot tell shadow from light.
constexpr int Undecidable = 12;

class CrossCheck : public RendererGLTest
{
protected:
    // One pass after the frame's clear, read back; the marker and the bars
    // would cover the floor.
    Image Run(RendererMode mode, const std::function<void()>& pass)
    {
        renderer->options.rendererMode = mode;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        pass();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return window->ReadBack();
    }
};

// Whether each floor pixel is nearer to the dimmed than to the full light.
struct Shadowing
{
    std::vector<bool> shadowed;
    int count = 0;
};

Shadowing Classify(const Image& image, const Image& lit, const Image& dimmed, const std::vector<bool>& floor)
{
    Shadowing result;
    result.shadowed.resize(floor.size());
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * image.width + x;
            if (!floor[i])
                continue;
            const std::uint8_t* p = image.At(x, y);
            result.shadowed[i] = Distance(p, dimmed.At(x, y)) < Distance(p, lit.At(x, y));
            result.count += result.shadowed[i] ? 1 : 0;
        }
    }
    return result;
}
}

namespace
{
// The share of floor pixels on which two classifications agree.
double Agreement(const Shadowing& a, const Shadowing& b, const std::vector<bool>& floor, int& total)
{
    int agree = 0;
    total = 0;
    for (std::size_t i = 0; i < floor.size(); ++i) {
        if (!floor[i])
            continue;
        ++total;
        agree += a.shadowed[i] == b.shadowed[i] ? 1 : 0;
    }
    return total > 0 ? static_cast<double>(agree) / total : 0.0;
}

// What the maps are measured against: the visible floor pixels where the
// full and the dimmed light differ enough to tell, both lights' pictures
// and the volumes' shadow on them.
struct Reference
{
    std::vector<bool> floor;
    int undecidable = 0;
    Image lit, dimmed;
    Shadowing volumes;
};

class CrossCheckReference : public CrossCheck
{
protected:
    Reference Measure()
    {
        auto& options = renderer->options;
        options.showFrustum = false;
        options.useMapView = false;
        options.stencilOperation = 1;
        options.infiniteFrustum = true;
        Reference reference;
        reference.floor = VisiblePixels(renderer->scene.FindObject("FloorNS"));
        reference.lit = LitScene(true);
        reference.dimmed = LitScene(false);
        for (int y = 0; y < reference.lit.height; ++y) {
            for (int x = 0; x < reference.lit.width; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * reference.lit.width + x;
                if (reference.floor[i] && Distance(reference.lit.At(x, y), reference.dimmed.At(x, y)) < Undecidable) {
                    reference.floor[i] = false;
                    ++reference.undecidable;
                }
            }
        }
        const Image volumes = Run(RendererMode::Volumes, [&] { renderer->RenderShadowVolumes(); });
        reference.volumes = Classify(volumes, reference.lit, reference.dimmed, reference.floor);
        return reference;
    }

    // The agreement of the mapping pass as the options stand now.
    double MappingAgreement(const Reference& reference, int& total, int& shadowed, const std::string& picture = "")
    {
        const Image mapped = Run(RendererMode::Mapping, [&] { renderer->RenderShadowMap(); });
        if (!picture.empty())
            Save(mapped, picture);
        const Shadowing byMap = Classify(mapped, reference.lit, reference.dimmed, reference.floor);
        shadowed = byMap.count;
        return Agreement(byMap, reference.volumes, reference.floor, total);
    }
};
}

TEST_F(CrossCheckReference, MappingAndDepthFailVolumesShadowTheSameFloor)
{
    Start(RendererTests::DefaultScenePath());
    auto& options = renderer->options;
    const Reference reference = Measure();
    Save(Run(RendererMode::Volumes, [&] { renderer->RenderShadowVolumes(); }), "crosscheck-volumes");
    ASSERT_GT(reference.volumes.count, 500) << "the volume pass shadows the floor";

    for (const int size : {512, 1024, 2048, 4096}) {
        for (const auto& [filtering, name] : {std::pair{MapFiltering::None, "Brak"},
                                              std::pair{MapFiltering::Linear, "Liniowe 2x2"},
                                              std::pair{MapFiltering::Pcf, "PCF 4x4"}}) {
            options.mapSize = size;
            options.filtering = filtering;
            int total = 0, shadowed = 0;
            const double agreement = MappingAgreement(
                reference, total, shadowed, size == 512 && filtering == MapFiltering::None ? "crosscheck-mapping" : "");
            ASSERT_GT(total, 10000);
            std::cout << size << " " << name << ": floor pixels " << total << " (undecidable "
                      << reference.undecidable << "), shadowed by mapping " << shadowed << ", by volumes "
                      << reference.volumes.count << ", agreement " << 100.0 * agreement << " %\n";
            RecordProperty("agreement_percent_" + std::to_string(size) + "_" + std::to_string(int(filtering)),
                           std::to_string(100.0 * agreement));
            EXPECT_GE(agreement, 0.95) << size << " " << name;
            if (size >= 2048 && filtering == MapFiltering::Pcf) {
                EXPECT_GE(agreement, 0.99) << size << " " << name;
            }
        }
    }
}

namespace
{
// The same measure in a window of 1600 × 1000 for four lights, with the
// frustum fitted to the casters and with a point light's cube map.
class FittedCrossCheck : public CrossCheckReference
{
protected:
    void SetUp() override
    {
        window = std::make_unique<Snapshot::SnapshotWindow>(1600, 1000);
        if (!window->Ready())
            GTEST_SKIP() << window->Error();
    }
};

struct CheckedLight
{
    const char* name;
    KorvanaFramework::LightType type;
    KorvanaFramework::Vec4 position;
};

struct MapChoice
{
    const char* name;
    int size;
    MapFiltering filtering;
    bool fit, cube;
    double least;  // the agreement it must reach; 0 where it is only reported
};
}

TEST_F(FittedCrossCheck, FittedFrustumAndCubeMapAgreeWithTheVolumes)
{
    using KorvanaFramework::LightType;
    Start(RendererTests::DefaultScenePath());
    renderer->Resize(1600, 1000);
    auto& options = renderer->options;
    const KorvanaFramework::Vec4 start = renderer->light.position;
    const CheckedLight lights[] = {
        {"point", LightType::Point, start},
        {"low point", LightType::Point, {-3.0f, 3.0f, 1.0f, 1.0f}},
        {"directional", LightType::Directional, {1.0f, 2.0f, 0.7f, 0.0f}},
        {"spot", LightType::Spot, start},
    };
    const MapChoice choices[] = {
        {"512 Brak", 512, MapFiltering::None, false, false, 0.0},
        {"2048 PCF", 2048, MapFiltering::Pcf, false, false, 0.0},
        {"fitted 512 Brak", 512, MapFiltering::None, true, false, 0.990},
        {"fitted 2048 PCF", 2048, MapFiltering::Pcf, true, false, 0.997},
        {"cube 512 Brak", 512, MapFiltering::None, false, true, 0.0},
        {"cube 1024 PCF", 1024, MapFiltering::Pcf, false, true, 0.995},
    };
    for (const CheckedLight& light : lights) {
        renderer->light.lightType = light.type;
        renderer->light.position = light.position;
        const Reference reference = Measure();
        ASSERT_GT(reference.volumes.count, 5000) << light.name;
        for (const MapChoice& choice : choices) {
            if (choice.cube && light.type != LightType::Point)
                continue;
            if (choice.cube && !renderer->shadowCube.Ready()) {
                std::cout << light.name << ": no cube map on this driver\n";
                continue;
            }
            options.mapSize = choice.size;
            options.filtering = choice.filtering;
            options.fitFrustum = choice.fit;
            options.cubeMap = choice.cube;
            int total = 0, shadowed = 0;
            std::string picture = std::string("crosscheck-") + light.name + "-" + choice.name;
            std::replace(picture.begin(), picture.end(), ' ', '-');
            const double agreement = MappingAgreement(reference, total, shadowed, picture);
            ASSERT_GT(total, 100000) << light.name;
            std::cout << light.name << ", " << choice.name << ": floor pixels " << total << ", shadowed by mapping "
                      << shadowed << ", by volumes " << reference.volumes.count << ", agreement "
                      << 100.0 * agreement << " %\n";
            EXPECT_GE(agreement, choice.least) << light.name << ", " << choice.name;
        }
    }
}
}
