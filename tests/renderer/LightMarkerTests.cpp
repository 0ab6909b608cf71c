// The light marker's shapes by their pixels: each pixel the marker covers is
// carried back into the world through the depth buffer, so the tests see
// where the shape lies, not only that something was drawn.
#include "RendererTestSupport.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

namespace RendererTests
{
namespace
{
using KorvanaFramework::LightType;

double Dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// A point relative to the light: how far along the light's axis, and how
// far from the axis.
struct AxisPlace
{
    double along;
    double aside;
};

AxisPlace PlaceOf(const Vec3& point, const Vec3& origin, const Vec3& axis)
{
    const Vec3 d{point[0] - origin[0], point[1] - origin[1], point[2] - origin[2]};
    const double along = Dot(d, axis);
    return {along, std::sqrt(std::max(0.0, Dot(d, d) - along * along))};
}

class LightMarker : public RendererGLTest
{
protected:
    void SetUp() override
    {
        RendererGLTest::SetUp();
        if (!IsSkipped())
            Start(TestScene().Material("grey", 0.8f, 0.8f, 0.8f).Floor("FloorNS", "grey", -2, 10, 4).Write(dir));
    }

    // The camera `distance` from the origin looking `pitch` degrees down on
    // a light of the type at the position.
    void Place(float distance, float pitch, LightType type, const KorvanaFramework::Vec4& position)
    {
        renderer->distance = distance;
        renderer->pitch = pitch;
        renderer->light.lightType = type;
        renderer->light.position = position;
    }

    // The marker alone on black (the scene is not drawn), lit as the frame
    // draws it after a pass; the world positions of the pixels it covers.
    std::vector<Vec3> MarkerPoints(const std::string& name)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        renderer->ApplyCamera();
        glEnable(GL_LIGHTING);
        renderer->light.UploadPosition();
        renderer->light.Upload(true);
        renderer->light.DrawMarker();
        const Image image = window->ReadBack();
        Save(image, "marker-" + name);

        std::vector<GLfloat> depth(static_cast<std::size_t>(Width) * Height);
        glReadPixels(0, 0, Width, Height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        GLdouble modelview[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        std::vector<Vec3> points;
        for (int row = 0; row < Height; ++row) {
            for (int x = 0; x < Width; ++x) {
                const std::size_t i = static_cast<std::size_t>(row) * Width + x;
                if (image.rgb[3 * i] == 0 && image.rgb[3 * i + 1] == 0 && image.rgb[3 * i + 2] == 0)
                    continue;
                GLdouble wx = 0, wy = 0, wz = 0;
                gluUnProject(x + 0.5, row + 0.5, depth[i], modelview, projection, viewport, &wx, &wy, &wz);
                points.push_back({static_cast<float>(wx), static_cast<float>(wy), static_cast<float>(wz)});
            }
        }
        return points;
    }
};

// A directional light's arrow runs from its position one unit towards the
// origin: a thin shaft, then a wide head that ends in a point.
TEST_F(LightMarker, DirectionalLightShowsAnArrowTowardsTheOrigin)
{
    Place(5.0f, 20.0f, LightType::Directional, {3.0f, 0.0f, 0.0f, 0.0f});
    const std::vector<Vec3> points = MarkerPoints("arrow");
    ASSERT_GT(points.size(), 100u);
    const Vec3 tail{3, 0, 0}, axis{-1, 0, 0};
    double widestHead = 0.0, widestShaft = 0.0, farthest = 0.0;
    for (const Vec3& point : points) {
        const AxisPlace place = PlaceOf(point, tail, axis);
        EXPECT_GT(place.along, -0.03) << "behind the tail";
        EXPECT_LT(place.along, 1.03) << "past the tip";
        farthest = std::max(farthest, place.along);
        if (place.along < 0.6)
            widestShaft = std::max(widestShaft, place.aside);
        else
            widestHead = std::max(widestHead, place.aside);
    }
    EXPECT_GT(farthest, 0.95) << "the arrow is one unit long";
    EXPECT_LE(widestShaft, 0.07);
    EXPECT_GT(widestHead, 0.1);
    EXPECT_LE(widestHead, 0.16);
}

// A spot's cone is drawn as wire lines ten units along its axis; at 90
// degrees it opens into a flat disk of radius ten across the light.
TEST_F(LightMarker, SpotConeFlattensIntoADiskAtNinetyDegrees)
{
    Place(30.0f, 40.0f, LightType::Spot, {0.0f, 2.0f, 0.0f, 1.0f});
    auto& light = renderer->light;
    light.SetAngles(0.0f, -90.0f);
    const Vec3 apex{0, 2, 0}, down{0, -1, 0};

    light.spotCutoff = 90.0f;
    int onDisk = 0;
    double widest = 0.0;
    for (const Vec3& point : MarkerPoints("spot-90")) {
        const AxisPlace place = PlaceOf(point, apex, down);
        if (place.aside < 0.2 && place.along < 1.05)
            continue;  // the arrow
        ++onDisk;
        EXPECT_NEAR(place.along, 0.0, 0.05) << "the disk is flat";
        EXPECT_LT(place.aside, 10.05);
        widest = std::max(widest, place.aside);
    }
    EXPECT_GT(onDisk, 200);
    EXPECT_GT(widest, 9.5);

    light.spotCutoff = 45.0f;
    double deepest = 0.0;
    for (const Vec3& point : MarkerPoints("spot-45")) {
        const AxisPlace place = PlaceOf(point, apex, down);
        deepest = std::max(deepest, place.along);
        EXPECT_LT(place.aside, place.along + 0.2) << "inside the 45 degree cone";
    }
    EXPECT_GT(deepest, 9.5) << "a cone ten units long";
}

// A directional light at the origin points nowhere: it has no marker at
// all, while a point light there keeps its sphere.
TEST_F(LightMarker, DirectionalLightAtTheOriginHasNone)
{
    Place(10.0f, 0.0f, LightType::Directional, {0.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(MarkerPoints("directional-origin").empty());
    Place(10.0f, 0.0f, LightType::Point, {0.0f, 0.0f, 0.0f, 1.0f});
    const std::vector<Vec3> sphere = MarkerPoints("point-origin");
    EXPECT_GT(sphere.size(), 50u);
    for (const Vec3& point : sphere)
        EXPECT_LT(std::sqrt(Dot(point, point)), 0.21);
}
}
}
