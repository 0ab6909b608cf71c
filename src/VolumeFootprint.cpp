#include "VolumeFootprint.h"

#include "ShadowVolumes.h"

#include <algorithm>
#include <cmath>

namespace KorvanaFramework
{
namespace
{
using Point = std::array<double, 4>;

// A polygon of at most four corners cut by up to six planes and the near
// plane gains at most one corner per cut.
constexpr int MaxCorners = 4 + FootprintBounds::MaxPlanes + 1;

struct Polygon
{
    Point corners[MaxCorners];
    int count = 0;
};

double Side(const Point& p, const Point& plane)
{
    return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3] * p[3];
}

// The part of a convex polygon where plane · X >= 0, by interpolating the
// homogeneous corners as the rasteriser's clipper does.
Polygon Cut(const Polygon& in, const Point& plane)
{
    Polygon out;
    for (int i = 0; i < in.count; ++i) {
        const Point& a = in.corners[i];
        const Point& b = in.corners[(i + 1) % in.count];
        const double sa = Side(a, plane), sb = Side(b, plane);
        if (sa >= 0.0)
            out.corners[out.count++] = a;
        if ((sa >= 0.0) != (sb >= 0.0)) {
            const double t = sa / (sa - sb);
            Point& p = out.corners[out.count++];
            for (int c = 0; c < 4; ++c)
                p[c] = a[c] + t * (b[c] - a[c]);
        }
    }
    return out;
}

Point Transform(const Matrix4& m, const Point& p)
{
    Point out{};
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row] * p[3];
    return out;
}
}

FootprintBounds::FootprintBounds(const Matrix4& projection, const Matrix4& modelview, int width, int height,
                                 const Plane* planes, int planeCount)
    : projection(projection), modelview(modelview), width(width), height(height)
{
    UsePlanes(planes, planeCount);
}

void FootprintBounds::UsePlanes(const Plane* planes, int planeCount)
{
    this->planeCount = std::min(planeCount, MaxPlanes);
    std::copy(planes, planes + this->planeCount, this->planes);
}

void FootprintBounds::AddPolygon(const Vec4* corners, int count)
{
    if (whole)
        return;
    Polygon polygon;
    for (int i = 0; i < count; ++i)
        polygon.corners[polygon.count++] = {corners[i][0], corners[i][1], corners[i][2], corners[i][3]};
    for (int i = 0; i < planeCount && polygon.count > 0; ++i)
        polygon = Cut(polygon, {planes[i][0], planes[i][1], planes[i][2], planes[i][3]});
    const Point nearPlane{0.0, 0.0, 1.0, 1.0};
    for (int i = 0; i < polygon.count; ++i) {
        polygon.corners[i] = Transform(projection, Transform(modelview, polygon.corners[i]));
        nearCut = nearCut || Side(polygon.corners[i], nearPlane) < 0.0;
    }
    polygon = Cut(polygon, nearPlane);
    for (int i = 0; i < polygon.count; ++i) {
        const Point& p = polygon.corners[i];
        if (!(p[3] > 0.0)) {
            whole = true;
            return;
        }
        const double window[2] = {(p[0] / p[3] + 1.0) * 0.5 * width, (p[1] / p[3] + 1.0) * 0.5 * height};
        if (!std::isfinite(window[0]) || !std::isfinite(window[1])) {
            whole = true;
            return;
        }
        for (int axis = 0; axis < 2; ++axis) {
            low[axis] = empty ? window[axis] : std::min(low[axis], window[axis]);
            high[axis] = empty ? window[axis] : std::max(high[axis], window[axis]);
        }
        empty = false;
    }
}

void FootprintBounds::AddIndexed(const Vec4* vertices, const std::uint32_t* indices, std::size_t count,
                                 int perPolygon)
{
    Vec4 corners[4];
    const auto step = static_cast<std::size_t>(perPolygon);
    for (std::size_t first = 0; first + step <= count && !whole; first += step) {
        for (int i = 0; i < perPolygon; ++i)
            corners[i] = vertices[indices[first + i]];
        AddPolygon(corners, perPolygon);
    }
}

bool FootprintBounds::AllOutsideOnePlane(const Vec4* points, std::size_t count) const
{
    for (int i = 0; i < planeCount; ++i) {
        const Plane& q = planes[i];
        bool outside = true;
        for (std::size_t k = 0; k < count && outside; ++k)
            outside = q[0] * points[k][0] + q[1] * points[k][1] + q[2] * points[k][2] + q[3] * points[k][3] < 0.0f;
        if (outside)
            return true;
    }
    return false;
}

void FootprintBounds::Clear()
{
    empty = true;
    whole = false;
    nearCut = false;
}

PixelRect FootprintBounds::Rect() const
{
    if (whole)
        return {0, 0, width, height};
    if (empty)
        return {};
    int corner[2][2];
    const int size[2] = {width, height};
    for (int axis = 0; axis < 2; ++axis) {
        corner[0][axis] = static_cast<int>(std::clamp(std::floor(low[axis]) - 1.0, 0.0, double(size[axis])));
        corner[1][axis] = static_cast<int>(std::clamp(std::ceil(high[axis]) + 1.0, 0.0, double(size[axis])));
    }
    return {corner[0][0], corner[0][1], corner[1][0] - corner[0][0], corner[1][1] - corner[0][1]};
}
}

namespace KorvanaFramework
{
namespace
{
void AppendPiece(const VolumePiece& piece, const FootprintBounds& bounds, std::vector<VolumePiece>& pieces)
{
    VolumePiece kept = piece;
    kept.rect = bounds.Rect();
    if (HasPixels(kept.rect))
        pieces.push_back(kept);
}
}

void VolumePiece::Draw() const
{
    switch (kind) {
    case Kind::Sides:
        volume->DrawSides(first, count);
        break;
    case Kind::FrontCap:
        volume->DrawFrontCap();
        break;
    case Kind::BackCap:
        volume->DrawBackCap();
        break;
    }
}

// A cap whose every point lies beyond one plane adds nothing and is not cut
// triangle by triangle: the whole-mesh back cap of depth-pass counting
// usually lies beyond the scene.
bool AppendPieces(const VolumeGeometry& volume, std::size_t sidesPerPiece, FootprintBounds& bounds,
                  std::vector<VolumePiece>& pieces, bool withCaps)
{
    if (!volume.IsValid())
        return false;
    bool nearCut = false;
    const std::vector<Vec4>& vertices = volume.Vertices();
    const std::size_t n = vertices.size() / 2;
    const std::size_t perSide = volume.IndicesPerSide();
    const std::size_t sides = volume.SideIndices().size() / perSide;
    for (std::size_t first = 0; first < sides; first += sidesPerPiece) {
        const std::size_t count = std::min(sidesPerPiece, sides - first);
        bounds.Clear();
        bounds.AddIndexed(vertices.data(), volume.SideIndices().data() + perSide * first, perSide * count,
                          static_cast<int>(perSide));
        AppendPiece({&volume, VolumePiece::Kind::Sides, first, count, {}}, bounds, pieces);
        nearCut = nearCut || bounds.CutByNearPlane();
    }
    if (!withCaps)
        return nearCut;
    const IndexList& front = volume.FrontCapIndices();
    bounds.Clear();
    if (!bounds.AllOutsideOnePlane(vertices.data(), n))
        bounds.AddIndexed(vertices.data(), front.data(), front.size(), 3);
    AppendPiece({&volume, VolumePiece::Kind::FrontCap, 0, 0, {}}, bounds, pieces);
    nearCut = nearCut || bounds.CutByNearPlane();
    const IndexList& back = volume.BackCapIndices();
    bounds.Clear();
    if (!bounds.AllOutsideOnePlane(vertices.data() + n, n))
        bounds.AddIndexed(vertices.data(), back.data(), back.size(), 3);
    AppendPiece({&volume, VolumePiece::Kind::BackCap, 0, 0, {}}, bounds, pieces);
    return nearCut || bounds.CutByNearPlane();
}

void AppendWholeVolume(const VolumeGeometry& volume, const PixelRect& rect, std::vector<VolumePiece>& pieces)
{
    if (!volume.IsValid())
        return;
    const std::size_t sides = volume.SideIndices().size() / volume.IndicesPerSide();
    pieces.push_back({&volume, VolumePiece::Kind::Sides, 0, sides, rect});
    pieces.push_back({&volume, VolumePiece::Kind::FrontCap, 0, 0, rect});
    pieces.push_back({&volume, VolumePiece::Kind::BackCap, 0, 0, rect});
}
}
