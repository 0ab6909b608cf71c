// Shadow mapping against the stencil volumes (depth-fail, far plane at
// infinity) on the default scene with the light as the program starts:
// the two methods must shadow the same part of the floor, at every map size
// and filter, and almost exactly with a large filtered map.
#include "ShadowMapTestSupport.h"

#include <GL/glew.h>

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

TEST_F(CrossCheck, MappingAndDepthFailVolumesShadowTheSameFloor)
{
    Start(RendererTests::DefaultScenePath());
    auto& options = renderer->options;
    options.showFrustum = false;
    options.useMapView = false;
    options.stencilOperation = 1;
    options.infiniteFrustum = true;

    std::vector<bool> floor = VisiblePixels(renderer->scene.FindObject("FloorNS"));
    const Image lit = LitScene(true);
    const Image dimmed = LitScene(false);
    int undecidable = 0;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * Width + x;
            if (floor[i] && Distance(lit.At(x, y), dimmed.At(x, y)) < Undecidable) {
                floor[i] = false;
                ++undecidable;
            }
        }
    }

    const Image volumes = Run(RendererMode::Volumes, [&] { renderer->RenderShadowVolumes(); });
    Save(volumes, "crosscheck-volumes");
    const Shadowing byVolumes = Classify(volumes, lit, dimmed, floor);
    ASSERT_GT(byVolumes.count, 500) << "the volume pass shadows the floor";

    for (const int size : {512, 1024, 2048, 4096}) {
        for (const auto& [filtering, name] : {std::pair{MapFiltering::None, "Brak"},
                                              std::pair{MapFiltering::Linear, "Liniowe 2x2"},
                                              std::pair{MapFiltering::Pcf, "PCF 4x4"}}) {
            options.mapSize = size;
            options.filtering = filtering;
            const Image mapped = Run(RendererMode::Mapping, [&] { renderer->RenderShadowMap(); });
            if (size == 512 && filtering == MapFiltering::None)
                Save(mapped, "crosscheck-mapping");
            const Shadowing byMap = Classify(mapped, lit, dimmed, floor);
            int total = 0, agree = 0;
            for (std::size_t i = 0; i < floor.size(); ++i) {
                if (!floor[i])
                    continue;
                ++total;
                agree += byMap.shadowed[i] == byVolumes.shadowed[i] ? 1 : 0;
            }
            ASSERT_GT(total, 10000);
            const double agreement = static_cast<double>(agree) / total;
            std::cout << size << " " << name << ": floor pixels " << total << " (undecidable " << undecidable
                      << "), shadowed by mapping " << byMap.count << ", by volumes " << byVolumes.count
                      << ", agreement " << 100.0 * agreement << " %\n";
            RecordProperty("agreement_percent_" + std::to_string(size) + "_" + std::to_string(int(filtering)),
                           std::to_string(100.0 * agreement));
            EXPECT_GE(agreement, 0.95) << size << " " << name;
            if (size >= 2048 && filtering == MapFiltering::Pcf) {
                EXPECT_GE(agreement, 0.99) << size << " " << name;
            }
        }
    }
}
}
