// The light's camera for the shadow map's depth pass, fitted in every frame
// to the shadow casters as the light sees them: a point light looks towards
// the casters through the narrowest frustum that holds them, a spot does the
// same within its cone, and a directional light's orthographic box wraps
// them. The near plane lies just before the nearest caster and the far
// plane beyond every receiver, so that the map's texels and depth range are
// spent on what can cast and receive a shadow.
#pragma once

#include "Geometry.h"
#include "Light.h"
#include "MapShadowBounds.h"

#include <array>
#include <vector>

namespace KorvanaFramework
{
// A depth pass's camera: projection and view as OpenGL loads them, the
// distances along its axis between which its depth runs, and its frustum's
// corners in world coordinates (the near face left-bottom, right-bottom,
// right-top, left-top, then the far face in the same order).
struct LightCamera
{
    Matrix4 projection{};
    Matrix4 view{};
    float near = 0.0f;
    float far = 0.0f;
    bool orthographic = false;
    std::array<Vec3, 8> corners{};
};

// What the fit holds: the casters' outlines and the box around every
// surface that can receive a shadow.
struct FitTargets
{
    const std::vector<CasterOutline>* casters = nullptr;
    Box receivers;
};

// The light's camera fitted to the targets. False where nothing can be
// fitted (no caster point, an unbounded caster or receiver box, a light at
// infinity with no direction, a spot whose cone holds no caster); the
// light's unfitted camera then stays in use.
bool FitLightCamera(const Light& light, const FitTargets& targets, LightCamera& camera);

// FitLightCamera that keeps its last light and camera: the fit reads every
// caster point (a tenth of a millisecond for the default scene's), and a
// light that stands still gets the same camera again. Forget() must follow
// every change of the targets.
class LightCameraFit
{
public:
    bool Fit(const Light& light, const FitTargets& targets, LightCamera& camera);
    void Forget() { known = false; }

private:
    bool known = false;
    LightType type = LightType::Point;
    Vec4 position{};
    Vec3 direction{};
    float cutoff = 0.0f;
    bool fitted = false;
    LightCamera last;
};

// The near and far distances of a point light's cube faces: near just
// before the nearest caster, far beyond the farthest receiver, measured
// along each face's axis. False as for FitLightCamera.
bool FitCubeRange(const Vec3& light, const FitTargets& targets, float& near, float& far);
}
