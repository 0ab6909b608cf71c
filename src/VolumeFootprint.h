// The window pixels that the part of a shadow volume on the kept side of a
// few planes can cover: a counting pass whose fragments elsewhere change no
// stencil value that is read is scissored to them, which leaves every
// fragment inside rasterised exactly as before. Shadow mapping bounds the
// pass that dims shadowed surfaces with the same bounds.
#pragma once

#include "Geometry.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace KorvanaFramework
{
class VolumeGeometry;

// A rectangle of window pixels as glScissor takes it: its lower-left pixel
// and its size.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// True for a rectangle with at least one pixel.
inline bool HasPixels(const PixelRect& rect)
{
    return rect.width > 0 && rect.height > 0;
}

// A part of a volume's drawing and the pixels where it can change what is
// read: the sides [first, first + count), or a whole cap.
struct VolumePiece
{
    enum class Kind
    {
        Sides,
        FrontCap,
        BackCap
    };
    const VolumeGeometry* volume = nullptr;
    Kind kind = Kind::Sides;
    std::size_t first = 0;
    std::size_t count = 0;
    PixelRect rect;

    void Draw() const;
};

// Grows a bound of where polygons, cut to the planes and to the near plane,
// fall in a window of the given size.
class FootprintBounds
{
public:
    // World points go through the modelview, then the projection; a point X
    // is kept by a plane when plane · X >= 0. At most MaxPlanes are used.
    FootprintBounds(const Matrix4& projection, const Matrix4& modelview, int width, int height, const Plane* planes,
                    int planeCount);

    static constexpr int MaxPlanes = 6;

    // The kept part of a convex polygon of homogeneous world points (w 0:
    // a point at infinity), at most four of them.
    void AddPolygon(const Vec4* corners, int count);
    // Polygons of `perPolygon` corners, given by indices into `vertices`.
    void AddIndexed(const Vec4* vertices, const std::uint32_t* indices, std::size_t count, int perPolygon);
    // True when every point lies beyond one of the planes.
    bool AllOutsideOnePlane(const Vec4* points, std::size_t count) const;
    // Polygons added from now on are cut by these planes instead; what was
    // added stays.
    void UsePlanes(const Plane* planes, int planeCount);
    // Forgets every polygon added.
    void Clear();

    // The pixels the kept parts can touch, one more on each side, within
    // the window; the whole window where a kept part reaches the plane of
    // the eye.
    PixelRect Rect() const;
    // True when the near plane cut something off a kept part.
    bool CutByNearPlane() const { return nearCut; }

private:
    Matrix4 projection;
    Matrix4 modelview;
    int width;
    int height;
    Plane planes[MaxPlanes];
    int planeCount = 0;
    bool empty = true;
    bool whole = false;
    bool nearCut = false;
    double low[2] = {0.0, 0.0};
    double high[2] = {0.0, 0.0};
};

// Appends the pieces of a volume with their rectangles, the sides in runs of
// `sidesPerPiece` so that each rectangle stays close to its sides, and its
// caps where `withCaps`; pieces whose kept part is empty are left out.
// Returns true when the near plane cut the kept part of some piece.
bool AppendPieces(const VolumeGeometry& volume, std::size_t sidesPerPiece, FootprintBounds& bounds,
                  std::vector<VolumePiece>& pieces, bool withCaps = true);
// Appends the sides and both caps of a volume, each over `rect`.
void AppendWholeVolume(const VolumeGeometry& volume, const PixelRect& rect, std::vector<VolumePiece>& pieces);
}
