#include "MapShadowBounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace KorvanaFramework
{
namespace
{
// The casters' part of the map grows by this many texels on each side. A
// texel holds a caster's depth where the caster covers its centre, or
// without framebuffer objects any sample of it in a multisampled window,
// and a fragment reads the texel its point falls in: a texel and more for
// the rounding of either side.
constexpr double MapMarginTexels = 1.5;

// The scene's box grows by this share of its diagonal, and at least by
// MinimumBoxMargin, so that single-precision fragments of a face on the
// box's side stay inside it.
constexpr double BoxMarginShare = 1e-3;
constexpr double MinimumBoxMargin = 1e-3;

// A caster's nearest depth in the map is taken this much nearer (in the
// light's normalised depth, -1 to 1), for the rounding of the stored depth
// and of the fragments' own.
constexpr double DepthMargin = 1e-4;

using Row = std::array<double, 4>;
// The rows x, y, z and w of the light's projection times its view.
using LightRows = std::array<Row, 4>;

// Row `row` of the column-major product a × b.
Row ProductRow(const Matrix4& a, const Matrix4& b, int row)
{
    Row out{};
    for (int column = 0; column < 4; ++column)
        for (int k = 0; k < 4; ++k)
            out[column] += double(a[4 * k + row]) * double(b[4 * column + k]);
    return out;
}

double Apply(const Row& row, const Vec3& p)
{
    return row[0] * p[0] + row[1] * p[1] + row[2] * p[2] + row[3];
}

// The corner of the box picked by the three low bits of `index`.
Vec3 Corner(const Box& box, int index)
{
    return {(index & 1) != 0 ? box.high[0] : box.low[0], (index & 2) != 0 ? box.high[1] : box.low[1],
            (index & 4) != 0 ? box.high[2] : box.low[2]};
}

// A caster's part of the map in the light's normalised coordinates: x and
// y from low to high, and the least depth it can leave there, or minus
// infinity where that is not known.
struct MapPart
{
    double low[2] = {-1.0, -1.0};
    double high[2] = {1.0, 1.0};
    double nearest = -std::numeric_limits<double>::infinity();
};

// The part of the map within the light's view of the caster's outline,
// grown by MapMarginTexels; the whole map where the outline reaches the
// plane of the light's eye, where the depth pass clips the caster and what
// is left may fall anywhere. False where nothing of it is on the map.
bool CasterOnMap(const LightRows& light, const CasterOutline& caster, int mapSize, MapPart& part)
{
    part = MapPart{};
    if (caster.unbounded)
        return true;
    double found[2][3] = {};
    bool first = true;
    for (const Vec3& point : caster.points) {
        const double w = Apply(light[3], point);
        if (!(w > 0.0))
            return true;
        for (int axis = 0; axis < 3; ++axis) {
            const double x = Apply(light[axis], point) / w;
            found[0][axis] = first ? x : std::min(found[0][axis], x);
            found[1][axis] = first ? x : std::max(found[1][axis], x);
        }
        first = false;
    }
    if (first)
        return false;
    const double margin = MapMarginTexels * 2.0 / std::max(mapSize, 1);
    for (int axis = 0; axis < 2; ++axis) {
        part.low[axis] = std::max(found[0][axis] - margin, -1.0);
        part.high[axis] = std::min(found[1][axis] + margin, 1.0);
        if (!(part.low[axis] < part.high[axis]))
            return false;
    }
    part.nearest = found[0][2] - DepthMargin;
    return true;
}

// The float nearest to v: values past the float range become its ends,
// whose conversion would otherwise be undefined.
float Narrow(double v)
{
    const double limit = std::numeric_limits<float>::max();
    return v > limit ? float(limit) : v < -limit ? float(-limit) : float(v);
}

// The plane where sign × (coordinate − bound × w) >= 0, with a unit normal
// where it has a normal at all.
Plane Bounding(const Row& coordinate, const Row& w, double bound, double sign)
{
    double c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = sign * (coordinate[i] - bound * w[i]);
    double length = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    if (!(length > 0.0))
        length = 1.0;
    return {Narrow(c[0] / length), Narrow(c[1] / length), Narrow(c[2] / length), Narrow(c[3] / length)};
}

// The world point that the light sees at normalised (x, y, z), by Cramer's
// rule; false where the light's matrix gives no single one.
bool PointAt(const LightRows& light, double x, double y, double z, Vec4& point)
{
    const double bound[3] = {x, y, z};
    double m[3][4];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            m[row][column] = light[row][column] - bound[row] * light[3][column];
    const auto det = [&m](int a, int b, int c) {
        return m[0][a] * (m[1][b] * m[2][c] - m[1][c] * m[2][b]) - m[0][b] * (m[1][a] * m[2][c] - m[1][c] * m[2][a]) +
               m[0][c] * (m[1][a] * m[2][b] - m[1][b] * m[2][a]);
    };
    const double d = det(0, 1, 2);
    if (!(std::fabs(d) > 0.0))
        return false;
    point = {Narrow(-det(3, 1, 2) / d), Narrow(-det(0, 3, 2) / d), Narrow(-det(0, 1, 3) / d), 1.0f};
    return std::isfinite(point[0]) && std::isfinite(point[1]) && std::isfinite(point[2]);
}

// Adds the box's faces, cut to the planes.
void AddFaces(FootprintBounds& bounds, const Box& box, const Plane* planes, int planeCount)
{
    static const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                    {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    bounds.UsePlanes(planes, planeCount);
    for (const auto& face : faces) {
        Vec4 corners[4];
        for (int i = 0; i < 4; ++i) {
            const Vec3 p = Corner(box, face[i]);
            corners[i] = {p[0], p[1], p[2], 1.0f};
        }
        bounds.AddPolygon(corners, 4);
    }
}

// Adds the caster's map rectangle at its nearest depth, cut to the box;
// false where the light's matrix gives no such rectangle.
bool AddCap(FootprintBounds& bounds, const LightRows& light, const MapPart& part, const Box& box)
{
    Vec4 corners[4];
    const int order[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        const double x = order[i][0] != 0 ? part.high[0] : part.low[0];
        const double y = order[i][1] != 0 ? part.high[1] : part.low[1];
        if (!PointAt(light, x, y, part.nearest, corners[i]))
            return false;
    }
    const std::array<Plane, 6> faces = BoxFaces(box, 0.0f);
    bounds.UsePlanes(faces.data(), 6);
    bounds.AddPolygon(corners, 4);
    return true;
}

Box Grown(const Box& box)
{
    const float dx = box.high[0] - box.low[0], dy = box.high[1] - box.low[1], dz = box.high[2] - box.low[2];
    const auto margin = float(BoxMarginShare * std::sqrt(double(dx) * dx + double(dy) * dy + double(dz) * dz) +
                              MinimumBoxMargin);
    Box grown = box;
    for (int axis = 0; axis < 3; ++axis) {
        grown.low[axis] -= margin;
        grown.high[axis] += margin;
    }
    return grown;
}

// The eight corners of a box, none of an empty one.
std::vector<Vec3> BoxCorners(const Box& box)
{
    std::vector<Vec3> corners;
    if (!box.empty)
        for (int i = 0; i < 8; ++i)
            corners.push_back(Corner(box, i));
    return corners;
}

bool Inside(const Box& box, const Vec3& p)
{
    for (int axis = 0; axis < 3; ++axis)
        if (!(p[axis] >= box.low[axis] && p[axis] <= box.high[axis]))
            return false;
    return true;
}

// Adds the region where the scene can read one caster's depth: within the
// box, the pyramid from the light through the caster's part of the map,
// from the caster's nearest depth on where the map's depths are known to lie
// no nearer, and its mirror image behind the light, whose depths all lie
// beyond the map's far end. Every corner of that region lies on a face of
// the box, on the pyramid's cut at that depth, or at the light, so their
// footprints bound it. False where the region cannot be found.
bool AddCaster(FootprintBounds& bounds, const MapShadowView& view, const LightRows& light,
               const CasterOutline& caster, const Box& box)
{
    MapPart part;
    if (!CasterOnMap(light, caster, view.mapSize, part))
        return true;
    const bool cut = view.depthOffsetFactor >= 0.0f && std::isfinite(part.nearest);
    Plane ahead[5], behind[4];
    for (int axis = 0; axis < 2; ++axis) {
        ahead[2 * axis] = Bounding(light[axis], light[3], part.low[axis], 1.0);
        ahead[2 * axis + 1] = Bounding(light[axis], light[3], part.high[axis], -1.0);
        behind[2 * axis] = Bounding(light[axis], light[3], part.low[axis], -1.0);
        behind[2 * axis + 1] = Bounding(light[axis], light[3], part.high[axis], 1.0);
    }
    if (cut)
        ahead[4] = Bounding(light[2], light[3], part.nearest, 1.0);
    AddFaces(bounds, box, ahead, cut ? 5 : 4);
    AddFaces(bounds, box, behind, 4);
    if (cut && !AddCap(bounds, light, part, box))
        return false;
    if (view.light[3] != 0.0f) {
        const Vec4 apex{view.light[0] / view.light[3], view.light[1] / view.light[3], view.light[2] / view.light[3],
                        1.0f};
        if (Inside(box, {apex[0], apex[1], apex[2]})) {
            bounds.UsePlanes(nullptr, 0);
            bounds.AddPolygon(&apex, 1);
        }
    }
    return true;
}
}

PixelRect MapShadowRect(const MapShadowView& view)
{
    const PixelRect window{0, 0, view.width, view.height};
    if (!view.scene.Valid())
        return window;
    LightRows light;
    for (int row = 0; row < 4; ++row)
        light[row] = ProductRow(view.lightProjection, view.lightView, row);
    const Box box = Grown(view.scene);
    FootprintBounds bounds(view.projection, view.modelview, view.width, view.height, nullptr, 0);
    if (view.casters != nullptr)
        for (const CasterOutline& caster : *view.casters)
            if (!AddCaster(bounds, view, light, caster, box))
                return window;
    // Where the region reaches behind the near plane, the cut there also
    // crosses the pyramids' own faces, which were never added.
    return bounds.CutByNearPlane() ? window : bounds.Rect();
}

// Each caster's part of the map, from -1 to 1, in whole texels around it.
PixelRect CasterTexels(const Matrix4& lightProjection, const Matrix4& lightView,
                       const std::vector<CasterOutline>& casters, int mapSize)
{
    LightRows light;
    for (int row = 0; row < 4; ++row)
        light[row] = ProductRow(lightProjection, lightView, row);
    double low[2] = {1.0, 1.0}, high[2] = {-1.0, -1.0};
    for (const CasterOutline& caster : casters) {
        MapPart part;
        if (!CasterOnMap(light, caster, mapSize, part))
            continue;
        for (int axis = 0; axis < 2; ++axis) {
            low[axis] = std::min(low[axis], part.low[axis]);
            high[axis] = std::max(high[axis], part.high[axis]);
        }
    }
    if (!(low[0] < high[0] && low[1] < high[1]))
        return {};
    const auto texel = [mapSize](double x) { return 0.5 * (x + 1.0) * mapSize; };
    const int x = int(std::floor(texel(low[0]))), y = int(std::floor(texel(low[1])));
    return {x, y, int(std::ceil(texel(high[0]))) - x, int(std::ceil(texel(high[1]))) - y};
}

void CasterOutlines::Clear()
{
    outlines.clear();
    points = 0;
    all = Box{};
    merged = false;
}

void CasterOutlines::Add(const std::vector<Vec4>& positions)
{
    Box own;
    for (const Vec4& position : positions) {
        Include(own, position);
        Include(all, position);
    }
    merged = merged || outlines.size() == MaxCasterOutlines;
    if (merged) {
        outlines.assign(1, CasterOutline{BoxCorners(all), all.unbounded});
        return;
    }
    CasterOutline outline{{}, own.unbounded};
    if (!own.unbounded && points + positions.size() <= MaxOutlinePoints) {
        outline.points.reserve(positions.size());
        for (const Vec4& p : positions)
            outline.points.push_back({p[0] / p[3], p[1] / p[3], p[2] / p[3]});
        points += positions.size();
    } else {
        outline.points = BoxCorners(own);
    }
    outlines.push_back(std::move(outline));
}
}
