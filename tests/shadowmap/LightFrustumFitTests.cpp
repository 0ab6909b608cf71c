// The light's camera fitted to the casters, without GL: every caster point
// must land inside the fitted frustum, every receiver before its far plane,
// the near plane in front of the light, and the frustum must be narrow.
#include "LightFrustumFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{
using namespace KorvanaFramework;

// The corners of a box as one caster's outline.
CasterOutline BoxCaster(const Vec3& low, const Vec3& high)
{
    CasterOutline caster;
    for (int i = 0; i < 8; ++i)
        caster.points.push_back({(i & 1) ? high[0] : low[0], (i & 2) ? high[1] : low[1], (i & 4) ? high[2] : low[2]});
    return caster;
}

// Normalised device coordinates of a world point under the camera, and its
// clip w, which is not positive behind the light.
std::array<double, 4> Device(const LightCamera& camera, const Vec3& p)
{
    double eye[4], clip[4];
    for (int row = 0; row < 4; ++row) {
        const Matrix4& v = camera.view;
        eye[row] = v[row] * p[0] + v[4 + row] * p[1] + v[8 + row] * p[2] + v[12 + row];
    }
    for (int row = 0; row < 4; ++row) {
        const Matrix4& m = camera.projection;
        clip[row] = m[row] * eye[0] + m[4 + row] * eye[1] + m[8 + row] * eye[2] + m[12 + row] * eye[3];
    }
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3], clip[3]};
}

class LightFrustumFit : public testing::Test
{
protected:
    // Two boxes over a floor of 20 × 20 at y = -2, which receives their shadows.
    void SetUp() override
    {
        casters = {BoxCaster({-1.0f, -2.0f, -1.0f}, {0.0f, 0.0f, 0.0f}),
                   BoxCaster({0.5f, -2.0f, 0.5f}, {1.5f, 1.0f, 1.5f})};
        targets.casters = &casters;
        targets.receivers = Box{{-10.0f, -2.0f, -10.0f}, {10.0f, 1.0f, 10.0f}, false, false};
    }

    Light LightAt(LightType type, const Vec3& p)
    {
        Light light;
        light.lightType = type;
        light.position = {p[0], p[1], p[2], type == LightType::Directional ? 0.0f : 1.0f};
        return light;
    }

    // Every caster point inside the frustum, every receiver corner that the
    // light faces before its far plane.
    void ExpectHolds(const LightCamera& camera)
    {
        for (const CasterOutline& caster : casters) {
            for (const Vec3& p : caster.points) {
                const auto d = Device(camera, p);
                for (int axis = 0; axis < 3; ++axis)
                    EXPECT_LE(std::fabs(d[axis]), 1.0) << "caster point " << p[0] << ", " << p[1] << ", " << p[2];
            }
        }
        for (int i = 0; i < 8; ++i) {
            const Vec3 corner{(i & 1) ? 10.0f : -10.0f, (i & 2) ? 1.0f : -2.0f, (i & 4) ? 10.0f : -10.0f};
            const auto d = Device(camera, corner);
            if (d[3] > 0.0) {
                EXPECT_LE(d[2], 1.0) << "receiver corner " << i;
            }
        }
    }

    std::vector<CasterOutline> casters;
    FitTargets targets;
};

TEST_F(LightFrustumFit, PointLightsLookAtTheCastersThroughANarrowFrustum)
{
    for (const Vec3& at : {Vec3{2.0f, 5.0f, 2.17f}, Vec3{-3.0f, 3.0f, 1.0f}, Vec3{0.0f, 8.0f, 0.0f}}) {
        LightCamera camera;
        ASSERT_TRUE(FitLightCamera(LightAt(LightType::Point, at), targets, camera));
        EXPECT_FALSE(camera.orthographic);
        ExpectHolds(camera);
        // A 170-degree frustum has 2n / (r - l) = 1 / tan(85°), about 0.087.
        EXPECT_GT(camera.projection[0], 0.5) << at[0];
        EXPECT_GT(camera.projection[5], 0.5) << at[0];
        EXPECT_GT(camera.near, 0.5f) << "near reaches towards the nearest caster";
    }
}

TEST_F(LightFrustumFit, ALightAmongTheCastersGetsTheWidestFrustumInFrontOfIt)
{
    casters.push_back(BoxCaster({-0.2f, 3.0f, -0.2f}, {0.2f, 3.4f, 0.2f}));
    LightCamera camera;
    ASSERT_TRUE(FitLightCamera(LightAt(LightType::Point, {0.0f, 2.0f, 0.0f}), targets, camera));
    EXPECT_GT(camera.near, 0.0f);
    EXPECT_NEAR(camera.projection[0], 1.0 / std::tan(85.0 * M_PI / 180.0), 1e-3);
}

TEST_F(LightFrustumFit, ASpotNeverLooksWiderThanItsCone)
{
    Light spot = LightAt(LightType::Spot, {0.0f, 6.0f, 0.0f});
    spot.SetAngles(0.0f, -90.0f);
    spot.spotCutoff = 10.0f;
    LightCamera camera;
    ASSERT_TRUE(FitLightCamera(spot, targets, camera));
    const double limit = std::atan(std::tan(10.0 * M_PI / 180.0) * std::sqrt(2.0)) + 1e-4;
    for (const Vec3& corner : camera.corners) {
        const double dx = corner[0], dy = corner[1] - 6.0, dz = corner[2];
        EXPECT_LE(std::acos(-dy / std::sqrt(dx * dx + dy * dy + dz * dz)), limit);
    }

    spot.spotCutoff = 60.0f;
    ASSERT_TRUE(FitLightCamera(spot, targets, camera));
    ExpectHolds(camera);
    EXPECT_GT(camera.projection[0], 1.0 / std::tan(60.0 * M_PI / 180.0)) << "narrower than the cone";

    spot.SetAngles(0.0f, 90.0f);
    EXPECT_FALSE(FitLightCamera(spot, targets, camera)) << "a spot looking away from every caster";
}

TEST_F(LightFrustumFit, ADirectionalLightsBoxWrapsTheCasters)
{
    LightCamera camera;
    ASSERT_TRUE(FitLightCamera(LightAt(LightType::Directional, {1.0f, 2.0f, 0.7f}), targets, camera));
    EXPECT_TRUE(camera.orthographic);
    ExpectHolds(camera);
    // The casters span less than 4 units across, far less than orthoSize's 20.
    EXPECT_GT(camera.projection[0], 2.0 / 5.0);
    EXPECT_GT(camera.projection[5], 2.0 / 5.0);
}

TEST_F(LightFrustumFit, NothingToFitKeepsTheUnfittedCamera)
{
    LightCamera camera;
    const Light light = LightAt(LightType::Point, {2.0f, 5.0f, 2.0f});
    FitTargets none{nullptr, targets.receivers};
    EXPECT_FALSE(FitLightCamera(light, none, camera));
    casters.push_back(CasterOutline{{}, true});
    EXPECT_FALSE(FitLightCamera(light, targets, camera)) << "a caster at infinity";
    casters.pop_back();
    targets.receivers = Box{};
    EXPECT_FALSE(FitLightCamera(light, targets, camera));
    float near = 0.0f, far = 0.0f;
    EXPECT_FALSE(FitCubeRange({2.0f, 5.0f, 2.0f}, targets, near, far));
    EXPECT_FALSE(FitLightCamera(LightAt(LightType::Directional, {0.0f, 0.0f, 0.0f}), targets, camera));
}

// The remembered fit equals a fresh one for the same light and after every
// change of what the fit reads: the spot's cone, direction, kind and
// position, and the targets.
TEST_F(LightFrustumFit, TheRememberedFitFollowsTheLightAndTheTargets)
{
    LightCameraFit remembered;
    Light light = LightAt(LightType::Spot, {0.0f, 6.0f, 0.0f});
    const std::function<void()> changes[] = {
        [] {}, [] {}, [&] { light.spotCutoff = 10.0f; }, [&] { light.SetAngles(0.0f, -85.0f); },
        [&] { light.lightType = LightType::Point; }, [&] { light.position[0] = 1.0f; },
        [&] {
            casters.pop_back();
            remembered.Forget();
        }};
    for (const std::function<void()>& change : changes) {
        change();
        LightCamera fresh, kept;
        ASSERT_TRUE(FitLightCamera(light, targets, fresh));
        ASSERT_TRUE(remembered.Fit(light, targets, kept));
        EXPECT_EQ(kept.projection, fresh.projection);
        EXPECT_EQ(kept.view, fresh.view);
    }
}

TEST_F(LightFrustumFit, CubeFacesReachFromTheNearestCasterToTheFarthestReceiver)
{
    float near = 0.0f, far = 0.0f;
    ASSERT_TRUE(FitCubeRange({-3.0f, 3.0f, 1.0f}, targets, near, far));
    // The nearest caster corner, (0, 0, 0), lies 3 away along x and y.
    EXPECT_GT(near, 2.5f);
    EXPECT_LE(near, 3.0f);
    EXPECT_GE(far, 13.0f) << "the floor's far corner lies 13 away along x";
    ASSERT_TRUE(FitCubeRange({-0.5f, -1.0f, -0.5f}, targets, near, far));
    EXPECT_GT(near, 0.0f) << "a light inside a caster's box keeps a near plane in front of it";
}
}
