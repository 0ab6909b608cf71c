// The light's arithmetic: spot direction from the angles, the dimmed colours
// of shadowed areas and the local frame of point and directional lights.
#include "Light.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace KorvanaFramework;

namespace
{
void ExpectVec(const Vec3& expected, const Vec3& actual, float tolerance = 1e-4f)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(expected[i], actual[i], tolerance) << "component " << i;
}

Vec3 Column(const Matrix4& m, int column)
{
    return {m[4 * column], m[4 * column + 1], m[4 * column + 2]};
}

float Dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Columns X, Y, Z form a right-handed orthonormal rotation without NaN.
void ExpectRotation(const Matrix4& m)
{
    for (float value : m)
        ASSERT_TRUE(std::isfinite(value));
    const Vec3 x = Column(m, 0), y = Column(m, 1), z = Column(m, 2);
    EXPECT_NEAR(1.0f, Dot(x, x), 1e-5f);
    EXPECT_NEAR(1.0f, Dot(y, y), 1e-5f);
    EXPECT_NEAR(1.0f, Dot(z, z), 1e-5f);
    EXPECT_NEAR(0.0f, Dot(x, y), 1e-5f);
    EXPECT_NEAR(0.0f, Dot(y, z), 1e-5f);
    ExpectVec(z, Cross(x, y), 1e-5f);
    EXPECT_EQ(0.0f, m[3]);
    EXPECT_EQ(0.0f, m[7]);
    EXPECT_EQ(0.0f, m[11]);
    EXPECT_EQ((Vec3{0, 0, 0}), Column(m, 3));
    EXPECT_EQ(1.0f, m[15]);
}

Light PointLightAt(float x, float y, float z, LightType type = LightType::Point)
{
    Light light;
    light.lightType = type;
    light.position = {x, y, z, type == LightType::Directional ? 0.0f : 1.0f};
    return light;
}
}

TEST(Light, ConstructionGivesTheDefaults)
{
    const Light light;
    EXPECT_FALSE(light.enabled);
    EXPECT_EQ((Vec4{0, 0, 0, 1}), light.position);
    ExpectVec({0.0f, -0.9848f, -0.1736f}, light.direction);
    EXPECT_EQ(180.0f, light.horizontalAngle);
    EXPECT_EQ(-80.0f, light.verticalAngle);
    EXPECT_EQ(LightType::Point, light.lightType);
    EXPECT_TRUE(light.changed);
    EXPECT_EQ(4u, sizeof(LightType));
}

TEST(Light, AnglesGiveTheSpotDirection)
{
    Light light;
    light.SetAngles(0, 0);
    ExpectVec({0, 0, 1}, light.direction);
    light.SetAngles(90, 0);
    ExpectVec({1, 0, 0}, light.direction);
    light.SetAngles(180, -43);
    ExpectVec({0.0f, -0.6820f, -0.7314f}, light.direction);
    EXPECT_EQ(180.0f, light.horizontalAngle);
    EXPECT_EQ(-43.0f, light.verticalAngle);
    for (float heading : {0.0f, 37.0f, 250.0f}) {
        light.SetAngles(heading, -90);
        ExpectVec({0, -1, 0}, light.direction);
    }
}

TEST(Light, ShadowedAreasGetDimmedDiffuseAndNoSpecular)
{
    Light light;
    const Vec4 dimmed = light.DiffuseFor(false);
    EXPECT_FLOAT_EQ(0.175f, dimmed[0]);
    EXPECT_FLOAT_EQ(0.175f, dimmed[1]);
    EXPECT_FLOAT_EQ(0.175f, dimmed[2]);
    EXPECT_EQ(1.0f, dimmed[3]);
    EXPECT_EQ((Vec4{0, 0, 0, 1}), light.SpecularFor(false));
    EXPECT_EQ((Vec4{0.7f, 0.7f, 0.7f, 1}), light.DiffuseFor(true));
    EXPECT_EQ((Vec4{0.7f, 0.7f, 0.7f, 1}), light.SpecularFor(true));

    light.diffuse = {0.8f, 0.4f, 0.2f, 0.5f};
    light.lowDiffuse = 0.5f;
    EXPECT_EQ((Vec4{0.4f, 0.2f, 0.1f, 0.5f}), light.DiffuseFor(false));
}

TEST(LightFrame, ZAxisPointsFromTheLightToTheOrigin)
{
    for (LightType type : {LightType::Point, LightType::Directional}) {
        const Matrix4 frame = PointLightAt(2, 5, 2.17f, type).TowardsOriginFrame();
        ExpectRotation(frame);
        const float length = std::sqrt(4.0f + 25.0f + 2.17f * 2.17f);
        ExpectVec({-2 / length, -5 / length, -2.17f / length}, Column(frame, 2));
        EXPECT_EQ(0.0f, frame[1]) << "the X axis stays horizontal";
    }
}

TEST(LightFrame, LightStraightAboveOrBelowTakesXAlongZ)
{
    const Matrix4 above = PointLightAt(0, 5, 0).TowardsOriginFrame();
    ExpectRotation(above);
    ExpectVec({0, 0, 1}, Column(above, 0));
    ExpectVec({0, -1, 0}, Column(above, 2));

    const Matrix4 below = PointLightAt(0, -3, 0, LightType::Directional).TowardsOriginFrame();
    ExpectRotation(below);
    ExpectVec({0, 0, 1}, Column(below, 0));
    ExpectVec({0, 1, 0}, Column(below, 2));
}

// A light at the origin has no direction to the origin; it takes the frame of
// a light straight above it, so nothing undefined reaches OpenGL.
TEST(LightFrame, LightAtTheOriginLooksStraightDown)
{
    for (LightType type : {LightType::Point, LightType::Directional}) {
        const Matrix4 frame = PointLightAt(0, 0, 0, type).TowardsOriginFrame();
        ExpectRotation(frame);
        EXPECT_EQ(PointLightAt(0, 1, 0, type).TowardsOriginFrame(), frame);
    }
}

TEST(LightFrame, PositionsBeyondFloatSquaresStayDefined)
{
    const Matrix4 tiny = PointLightAt(1e-30f, 0, -1e-30f).TowardsOriginFrame();
    ExpectRotation(tiny);
    const float half = std::sqrt(0.5f);
    ExpectVec({-half, 0, half}, Column(tiny, 2));

    const Matrix4 huge = PointLightAt(0, 3e30f, 4e30f).TowardsOriginFrame();
    ExpectRotation(huge);
    ExpectVec({0, -0.6f, -0.8f}, Column(huge, 2));

    ExpectRotation(PointLightAt(NAN, 1, 0).TowardsOriginFrame());
}
