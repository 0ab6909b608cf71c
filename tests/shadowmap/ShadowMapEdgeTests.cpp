// Surfaces at and beyond the edge of the depth map: a wide spot's map must
// take in its whole cone, and without border clamping the map's edge texels
// stand for everything beyond them.
#include "ShadowMapTestSupport.h"

#include <GL/glew.h>

namespace ShadowMapTests
{
namespace
{
bool InsideTheMap(const std::array<double, 2>& texel)
{
    return texel[0] >= 0.0 && texel[0] < 512.0 && texel[1] >= 0.0 && texel[1] < 512.0;
}
}

// A spot of 88 degrees looking sideways, high above the floor: a caster's
// shadow falls 86 to 88 degrees off the spot's axis, inside the cone. The
// map must take in the whole cone, or that floor would compare against the
// border and count as lit.
TEST_F(ShadowMapTest, WideSpotsMapCoversItsWholeCone)
{
    Start(640, 480, BoxOverFloor().Box("HighBox", "red", {0, 2, 2.9f}, 0.3f));
    UseSpot({0, 23, 4}, 180.0f, 0.0f, 88.0f);
    renderer->light.spotExponent = 0.0f;
    const Image image = Pass();
    Save(image, "spot-88");
    const Vec3 shadowed{0, -2, 2.69f}, lit{1.5f, -2, 2.69f};
    for (const Vec3& point : {shadowed, lit})
        EXPECT_TRUE(InsideTheMap(MapTexelOf(point)));
    EXPECT_LT(Brightness(image, OnScreen(shadowed)) + 40.0, Brightness(image, OnScreen(lit)));
    EXPECT_NEAR(Brightness(image, OnScreen(lit)), Brightness(Unshadowed(), OnScreen(lit)), 2.0);
}

// A driver with neither OpenGL 1.3 nor border clamping: the map clamps to
// its edge. Inside the map the shadows are those of border clamping; beyond
// the edge a caster crossing it stretches its depth outwards, where the
// white border would have left the floor lit.
TEST_F(ShadowMapTest, WithoutBorderClampingTheEdgeTexelsReachBeyondTheMap)
{
    OpenWindow(640, 480);
    if (IsSkipped())
        return;
    {
        const HiddenDriverFlags hidden({&__GLEW_VERSION_1_3, &__GLEW_ARB_texture_border_clamp});
        StartRenderer(BoxOverFloor().Box("EdgeBox", "red", {3, 0, 0}, 0.5f));
    }
    GLint wrap[2] = {0, 0};
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap[1]);
    EXPECT_EQ(wrap[0], GL_CLAMP);
    EXPECT_EQ(wrap[1], GL_CLAMP);

    // Straight above, the map covers the floor from -3 to 3; the edge box
    // crosses its edge at x = 3.
    renderer->light.lightType = LightType::Directional;
    renderer->light.position = {0, 6, 0, 0};
    renderer->options.orthoSize = 3.0f;
    const Vec3 underBox{0, -2, 0}, open{1.5f, -2, 1.5f}, beyondEdgeBox{5, -2, 0}, beyondOpenEdge{5, -2, 2.5f};
    const Image clamped = Pass();
    Save(clamped, "clamp-to-edge");
    EXPECT_TRUE(InsideTheMap(MapTexelOf(open)));
    EXPECT_FALSE(InsideTheMap(MapTexelOf(beyondEdgeBox)));
    EXPECT_LT(Brightness(clamped, OnScreen(underBox)) + 40.0, Brightness(clamped, OnScreen(open)));
    EXPECT_LT(Brightness(clamped, OnScreen(beyondEdgeBox)) + 40.0, Brightness(clamped, OnScreen(beyondOpenEdge)));

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    const Image bordered = Pass();
    for (const Vec3& point : {underBox, open})
        EXPECT_EQ(Brightness(clamped, OnScreen(point)), Brightness(bordered, OnScreen(point)));
    EXPECT_NEAR(Brightness(bordered, OnScreen(beyondEdgeBox)), Brightness(bordered, OnScreen(beyondOpenEdge)), 2.0);
}
}
