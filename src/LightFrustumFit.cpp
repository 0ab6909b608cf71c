#include "LightFrustumFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace KorvanaFramework
{
namespace
{
using D3 = std::array<double, 3>;

// A point light's frustum opens at most as far as its unfitted one, 170
// degrees; a wider one would have almost no texels left for its middle.
constexpr double WidestHalfAngle = 85.0;

// The near plane comes this much closer to the light than the nearest
// caster and the far plane goes this much beyond the farthest receiver,
// for the rounding of the depth pass; the sides grow by this share of the
// frustum's width.
constexpr double NearShare = 0.99;
constexpr double FarShare = 1.01;
constexpr double SideShare = 0.01;
// The near plane never comes closer than this share of the far distance,
// which keeps the map's depth resolution where casters reach the light.
constexpr double NearestShare = 1e-3;

constexpr double Infinity = std::numeric_limits<double>::infinity();

D3 Sub(const D3& a, const D3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

double Dot(const D3& a, const D3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

D3 Cross(const D3& a, const D3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The unit vector along v, or false where v has no direction.
bool Normalised(const D3& v, D3& unit)
{
    const double length = std::sqrt(Dot(v, v));
    if (!(length > 1e-9) || !std::isfinite(length))
        return false;
    unit = {v[0] / length, v[1] / length, v[2] / length};
    return true;
}

D3 ToD3(const Vec3& v)
{
    return {v[0], v[1], v[2]};
}

// The camera's axes: `forward` with a sideways and an upward axis as
// gluLookAt builds them, the world's Y up unless forward is nearly along it.
struct Frame
{
    D3 eye{}, side{}, up{}, forward{};
};

Frame FrameAlong(const D3& eye, const D3& forward)
{
    Frame frame{eye, {}, {}, forward};
    const D3 worldUp = std::fabs(forward[1]) > 0.99 ? D3{1.0, 0.0, 0.0} : D3{0.0, 1.0, 0.0};
    Normalised(Cross(forward, worldUp), frame.side);
    frame.up = Cross(frame.side, forward);
    return frame;
}

Matrix4 ViewOf(const Frame& frame)
{
    Matrix4 m{};
    for (int i = 0; i < 3; ++i) {
        m[4 * i + 0] = static_cast<float>(frame.side[i]);
        m[4 * i + 1] = static_cast<float>(frame.up[i]);
        m[4 * i + 2] = static_cast<float>(-frame.forward[i]);
    }
    m[12] = static_cast<float>(-Dot(frame.side, frame.eye));
    m[13] = static_cast<float>(-Dot(frame.up, frame.eye));
    m[14] = static_cast<float>(Dot(frame.forward, frame.eye));
    m[15] = 1.0f;
    return m;
}

// The rectangle the casters cover across the camera's axis (tangents for a
// perspective, distances for a box), their nearest distance along it, and
// whether a caster point lies at or behind the light's plane.
struct Extent
{
    double low[2] = {Infinity, Infinity};
    double high[2] = {-Infinity, -Infinity};
    double nearest = Infinity;
    bool behind = false;
    bool any = false;
};

Extent CasterExtent(const Frame& frame, const FitTargets& targets, bool perspective)
{
    Extent extent;
    for (const CasterOutline& caster : *targets.casters) {
        for (const Vec3& point : caster.points) {
            const D3 q = Sub(ToD3(point), frame.eye);
            const double z = Dot(q, frame.forward);
            extent.any = true;
            if (perspective && !(z > 0.0)) {
                extent.behind = true;
                continue;
            }
            const double across[2] = {Dot(q, frame.side), Dot(q, frame.up)};
            for (int axis = 0; axis < 2; ++axis) {
                const double x = perspective ? across[axis] / z : across[axis];
                extent.low[axis] = std::min(extent.low[axis], x);
                extent.high[axis] = std::max(extent.high[axis], x);
            }
            extent.nearest = std::min(extent.nearest, z);
        }
    }
    return extent;
}

// The corner of the box picked by the three low bits of `index`.
D3 Corner(const Box& box, int index)
{
    return {(index & 1) != 0 ? box.high[0] : box.low[0], (index & 2) != 0 ? box.high[1] : box.low[1],
            (index & 4) != 0 ? box.high[2] : box.low[2]};
}

// The farthest a receiver lies along the camera's axis.
double FarthestReceiver(const Frame& frame, const Box& receivers)
{
    double farthest = -Infinity;
    for (int i = 0; i < 8; ++i)
        farthest = std::max(farthest, Dot(Sub(Corner(receivers, i), frame.eye), frame.forward));
    return farthest;
}

bool Usable(const FitTargets& targets)
{
    if (targets.casters == nullptr || !targets.receivers.Valid())
        return false;
    bool any = false;
    for (const CasterOutline& caster : *targets.casters) {
        if (caster.unbounded)
            return false;
        any = any || !caster.points.empty();
    }
    return any;
}

// The box around points, as doubles.
struct Bounds
{
    D3 low{Infinity, Infinity, Infinity};
    D3 high{-Infinity, -Infinity, -Infinity};

    void Add(const std::vector<Vec3>& points)
    {
        for (const Vec3& point : points) {
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], double(point[axis]));
                high[axis] = std::max(high[axis], double(point[axis]));
            }
        }
    }
};

// The centre of the box around every caster point.
D3 CasterCentre(const FitTargets& targets)
{
    Bounds bounds;
    for (const CasterOutline& caster : *targets.casters)
        bounds.Add(caster.points);
    const D3& low = bounds.low;
    const D3& high = bounds.high;
    return {(low[0] + high[0]) / 2.0, (low[1] + high[1]) / 2.0, (low[2] + high[2]) / 2.0};
}

// Grows the rectangle by SideShare of its size on each side, within
// ±limit; false where nothing of it is left.
bool Sides(Extent& extent, double limit)
{
    for (int axis = 0; axis < 2; ++axis) {
        const double margin = SideShare * (extent.high[axis] - extent.low[axis]) + 1e-6;
        extent.low[axis] = std::max(extent.low[axis] - margin, -limit);
        extent.high[axis] = std::min(extent.high[axis] + margin, limit);
        if (!(extent.low[axis] < extent.high[axis]))
            return false;
    }
    return true;
}

// The camera from the frame, the rectangle and the depth range.
LightCamera CameraOf(const Frame& frame, const Extent& extent, double near, double far, bool perspective)
{
    LightCamera camera;
    camera.orthographic = !perspective;
    camera.near = static_cast<float>(near);
    camera.far = static_cast<float>(far);
    camera.view = ViewOf(frame);
    const double scale = perspective ? near : 1.0;
    const double l = extent.low[0] * scale, r = extent.high[0] * scale;
    const double b = extent.low[1] * scale, t = extent.high[1] * scale;
    Matrix4& m = camera.projection;
    m[0] = static_cast<float>(2.0 / (r - l) * (perspective ? near : 1.0));
    m[5] = static_cast<float>(2.0 / (t - b) * (perspective ? near : 1.0));
    m[10] = static_cast<float>(-(far + near) / (far - near));
    if (perspective) {
        m[8] = static_cast<float>((r + l) / (r - l));
        m[9] = static_cast<float>((t + b) / (t - b));
        m[11] = -1.0f;
        m[14] = static_cast<float>(-2.0 * far * near / (far - near));
    } else {
        m[10] = static_cast<float>(-2.0 / (far - near));
        m[12] = static_cast<float>(-(r + l) / (r - l));
        m[13] = static_cast<float>(-(t + b) / (t - b));
        m[14] = static_cast<float>(-(far + near) / (far - near));
        m[15] = 1.0f;
    }
    const int order[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int face = 0; face < 2; ++face) {
        const double z = face == 0 ? near : far;
        const double across = perspective ? z : 1.0;
        for (int i = 0; i < 4; ++i) {
            const double x = (order[i][0] != 0 ? extent.high[0] : extent.low[0]) * across;
            const double y = (order[i][1] != 0 ? extent.high[1] : extent.low[1]) * across;
            for (int axis = 0; axis < 3; ++axis)
                camera.corners[4 * face + i][axis] = static_cast<float>(
                    frame.eye[axis] + frame.forward[axis] * z + frame.side[axis] * x + frame.up[axis] * y);
        }
    }
    return camera;
}

// A point light or a spot: the rectangle of tangents around the casters
// within ±limit, the whole of it where a caster reaches behind the light.
bool FitPerspective(const Frame& frame, double limit, const FitTargets& targets, LightCamera& camera)
{
    Extent extent = CasterExtent(frame, targets, true);
    if (extent.behind) {
        extent.low[0] = extent.low[1] = -limit;
        extent.high[0] = extent.high[1] = limit;
    }
    if (!Sides(extent, limit))
        return false;
    const double far = FarthestReceiver(frame, targets.receivers) * FarShare;
    if (!(far > 0.0))
        return false;
    const double nearest = extent.behind || !std::isfinite(extent.nearest) ? 0.0 : extent.nearest * NearShare;
    const double near = std::max(nearest, far * NearestShare);
    camera = CameraOf(frame, extent, near, std::max(far, 2.0 * near), true);
    return true;
}

// A point light looks at the casters' centre, then at the middle of the
// rectangle they cover from there, which evens the frustum's sides; the
// first aim stays where the second would put a caster behind the light.
bool FitPoint(const D3& eye, const FitTargets& targets, LightCamera& camera)
{
    const double limit = std::tan(WidestHalfAngle * M_PI / 180.0);
    D3 forward;
    if (!Normalised(Sub(CasterCentre(targets), eye), forward))
        forward = {0.0, -1.0, 0.0};
    Frame frame = FrameAlong(eye, forward);
    const Extent first = CasterExtent(frame, targets, true);
    if (!first.behind) {
        const double cx = std::clamp((first.low[0] + first.high[0]) / 2.0, -limit, limit);
        const double cy = std::clamp((first.low[1] + first.high[1]) / 2.0, -limit, limit);
        D3 aimed;
        const D3 towards{forward[0] + frame.side[0] * cx + frame.up[0] * cy,
                         forward[1] + frame.side[1] * cx + frame.up[1] * cy,
                         forward[2] + frame.side[2] * cx + frame.up[2] * cy};
        if (Normalised(towards, aimed)) {
            const Frame second = FrameAlong(eye, aimed);
            if (!CasterExtent(second, targets, true).behind)
                frame = second;
        }
    }
    return FitPerspective(frame, limit, targets, camera);
}

// A directional light: the box around the casters across its direction,
// from the nearest caster to the farthest receiver along it.
bool FitDirectional(const D3& towardsLight, const FitTargets& targets, LightCamera& camera)
{
    D3 forward;
    if (!Normalised({-towardsLight[0], -towardsLight[1], -towardsLight[2]}, forward))
        return false;
    const Frame frame = FrameAlong(CasterCentre(targets), forward);
    Extent extent = CasterExtent(frame, targets, false);
    if (!Sides(extent, Infinity))
        return false;
    const double farthest = FarthestReceiver(frame, targets.receivers);
    const double margin = SideShare * (farthest - extent.nearest) + 1e-4;
    camera = CameraOf(frame, extent, extent.nearest - margin, std::max(farthest, extent.nearest) + margin, false);
    return true;
}

// The distance along the face axis a point lies at, the larger of its
// coordinates' sizes from the light.
double FaceDistance(const D3& q)
{
    return std::max({std::fabs(q[0]), std::fabs(q[1]), std::fabs(q[2])});
}

// The face distance to the nearest point of the box, 0 from inside it.
double FaceDistanceToBox(const D3& light, const D3& low, const D3& high)
{
    D3 q{};
    for (int axis = 0; axis < 3; ++axis)
        q[axis] = std::max({low[axis] - light[axis], 0.0, light[axis] - high[axis]});
    return FaceDistance(q);
}
}

bool FitLightCamera(const Light& light, const FitTargets& targets, LightCamera& camera)
{
    if (!Usable(targets))
        return false;
    const Vec4& p = light.position;
    if (light.lightType == LightType::Directional || p[3] == 0.0f)
        return FitDirectional({p[0], p[1], p[2]}, targets, camera);
    const D3 eye{p[0] / p[3], p[1] / p[3], p[2] / p[3]};
    if (light.lightType == LightType::Spot) {
        D3 forward;
        if (!Normalised(ToD3(light.direction), forward))
            return false;
        const double halfAngle = std::min(double(light.spotCutoff), WidestHalfAngle);
        return FitPerspective(FrameAlong(eye, forward), std::tan(halfAngle * M_PI / 180.0), targets, camera);
    }
    return FitPoint(eye, targets, camera);
}

// Only the light's kind, position, direction and cone enter the fit; a
// value that is not a number never equals itself and is fitted anew.
bool LightCameraFit::Fit(const Light& light, const FitTargets& targets, LightCamera& camera)
{
    if (!(known && light.lightType == type && light.position == position && light.direction == direction &&
          light.spotCutoff == cutoff)) {
        fitted = FitLightCamera(light, targets, last);
        known = true;
        type = light.lightType;
        position = light.position;
        direction = light.direction;
        cutoff = light.spotCutoff;
    }
    if (fitted)
        camera = last;
    return fitted;
}

// A caster's polygons lie within the box around its points, so the nearest
// face distance to any box bounds the nearest caster; the farthest receiver
// sits at a corner of the receivers' box.
bool FitCubeRange(const Vec3& light, const FitTargets& targets, float& near, float& far)
{
    if (!Usable(targets))
        return false;
    const D3 eye = ToD3(light);
    double nearest = Infinity;
    for (const CasterOutline& caster : *targets.casters) {
        if (caster.points.empty())
            continue;
        Bounds bounds;
        bounds.Add(caster.points);
        nearest = std::min(nearest, FaceDistanceToBox(eye, bounds.low, bounds.high));
    }
    double farthest = 0.0;
    for (int i = 0; i < 8; ++i)
        farthest = std::max(farthest, FaceDistance(Sub(Corner(targets.receivers, i), eye)));
    const double fitFar = farthest * FarShare;
    if (!(fitFar > 0.0))
        return false;
    const double fitNear = std::max(nearest * NearShare, fitFar * NearestShare);
    near = static_cast<float>(fitNear);
    far = static_cast<float>(std::max(fitFar, 2.0 * fitNear));
    return true;
}
}
