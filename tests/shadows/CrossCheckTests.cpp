// The default scene under its own light: the floor the projected method
// shadows and the floor the volume method (depth-fail, far plane at
// infinity) shadows are nearly the same.
#include "ShadowTestSupport.h"

#include <iostream>

namespace ShadowTests
{
namespace
{
// Squared distance between two pixels' colours.
int Distance(const std::uint8_t* a, const std::uint8_t* b)
{
    int sum = 0;
    for (int c = 0; c < 3; ++c)
        sum += (a[c] - b[c]) * (a[c] - b[c]);
    return sum;
}

TEST_F(ShadowGLTest, ProjectedAndVolumeShadowsAgreeOnTheDefaultFloor)
{
    Start(RendererTests::DefaultScenePath());
    const std::vector<bool> floor = VisiblePixels(renderer->scene.FindObject("FloorNS"));
    const Image full = LitScene(true), dim = LitScene(false);
    const Image projected = Pass(RendererMode::Projected);
    renderer->options.stencilOperation = 1;
    renderer->options.infiniteFrustum = true;
    const Image volumes = Pass(RendererMode::Volumes);
    Save(projected, "shadows-crosscheck-projected");
    Save(volumes, "shadows-crosscheck-volumes");

    int visible = 0, agree = 0, inEither = 0, inBoth = 0;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            if (!floor[static_cast<std::size_t>(y) * Width + x])
                continue;
            const std::uint8_t* p = projected.At(x, y);
            const bool flattened = p[0] == 0 && p[1] == 0 && p[2] == 0;
            const std::uint8_t* v = volumes.At(x, y);
            const bool counted = Distance(v, dim.At(x, y)) < Distance(v, full.At(x, y));
            ++visible;
            agree += flattened == counted ? 1 : 0;
            inEither += flattened || counted ? 1 : 0;
            inBoth += flattened && counted ? 1 : 0;
        }
    }
    ASSERT_GT(visible, Width * Height / 10);
    ASSERT_GT(inBoth, 1000) << "the floor shows hardly any shadow";
    const double agreement = static_cast<double>(agree) / visible;
    const double overlap = static_cast<double>(inBoth) / inEither;
    std::cout << "visible floor pixels: " << visible << ", agreeing: " << agree << " (" << 100 * agreement
              << " %); shadowed by either: " << inEither << ", by both: " << inBoth << " (" << 100 * overlap
              << " %)\n";
    RecordProperty("agreement", std::to_string(agreement));
    RecordProperty("shadowOverlap", std::to_string(overlap));
    EXPECT_GE(agreement, 0.97);
}
}
}
