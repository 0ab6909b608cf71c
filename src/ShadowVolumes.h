// Stencil shadow-volume geometry: per shadow-casting object the edge
// connectivity, triangle planes and vertex array built once per scene load,
// and per frame the silhouette, the extruded copies, the caps and the sides
// for the current light, drawn as client-side vertex arrays.
#pragma once

#include "Geometry.h"
#include "HelperThread.h"
#include "LargeBlocks.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace KorvanaFramework
{
class Light;
class Scene;
struct SceneObject;

// triangleB of an edge whose second triangle has not been found.
constexpr std::uint32_t NoTriangle = 0xFFFFFFFFu;

// One undirected mesh edge between the vertex indices vertexA < vertexB.
// triangleA runs it from vertexA to vertexB, triangleB the other way.
struct Edge
{
    std::uint32_t vertexA;
    std::uint32_t vertexB;
    std::uint32_t triangleA;
    std::uint32_t triangleB;
};

// The index lists that every update writes anew live in large blocks. The
// lists built once per load stay in ordinary pages: a virtual machine that
// backs memory at first touch fills fresh huge pages several times slower,
// and the load would pay for it.
using IndexList = LargeList<std::uint32_t>;

// The shadow volume of one object. Only closed meshes whose every edge joins
// exactly two consistently wound triangles are valid; any other is rejected
// once, with a logged message, and then never updated or drawn.
class VolumeGeometry
{
public:
    // Keeps a pointer to `object`, which must outlive this geometry, and
    // builds at once.
    explicit VolumeGeometry(const SceneObject* object);

    // Connectivity, validation, planes and vertex array; sets valid on success.
    void Build();
    // Empties every list and marks the geometry invalid.
    void Reset();
    // Logs "Model: '<name>' <message>" at error level.
    void WriteError(const char* message) const;

    // Rebuilds the extruded copies and the three index lists for the light at
    // the homogeneous lightPosition (w 0: directional). length 0 extrudes to
    // infinity; depthFail adds the caps that depth-fail counting needs.
    void Update(const Vec4& lightPosition, float length, bool depthFail);

    // Each draws one index list over the vertex array; they touch no GL state
    // but the vertex-array client state.
    void DrawSides() const;
    // The sides [first, first + count) alone.
    void DrawSides(std::size_t first, std::size_t count) const;
    void DrawFrontCap() const;
    void DrawBackCap() const;
    // Sides, front cap and back cap.
    void Draw() const;

    // False only where `point` surely lies outside the infinite volume that
    // the light at the homogeneous lightPosition casts; true for an object
    // without bounds or a light within its bounding sphere.
    bool MayEnclose(const Vec4& lightPosition, const Vec3& point) const;

    bool IsValid() const { return valid; }
    const SceneObject& Object() const { return *object; }
    const std::vector<Edge>& Edges() const { return edges; }
    // How many triangle planes there are: one per triangle once built.
    std::size_t PlaneCount() const { return planeComponents[0].size(); }
    // The plane of triangle t < PlaneCount().
    Plane PlaneAt(std::size_t t) const
    {
        return {planeComponents[0][t], planeComponents[1][t], planeComponents[2][t], planeComponents[3][t]};
    }
    // The object's N positions followed by their N extruded copies.
    const std::vector<Vec4>& Vertices() const { return vertices; }
    const IndexList& SideIndices() const { return sideIndices; }
    // Sides are triangles to one apex (directional light, infinite volumes)
    // rather than quads.
    bool SidesAsTriangles() const { return sidesAsTriangles; }
    // How many indices one side takes.
    std::size_t IndicesPerSide() const { return sidesAsTriangles ? 3 : 4; }
    const IndexList& FrontCapIndices() const { return frontCapIndices; }
    const IndexList& BackCapIndices() const { return backCapIndices; }

private:
    bool BuildEdges();
    void BuildPlanes();
    void BuildVertices();
    void BuildBoundingSphere();
    std::size_t ClassifyTriangles(const Vec4& light);
    void FindSilhouette();
    void ExtrudeVertices(const Vec4& light, float length);
    bool SizeCaps(bool depthFail, std::size_t facingCount);
    void FillCaps(bool depthFail);
    void BuildSides();
    void DrawList(const IndexList& indices, unsigned int mode) const;
    void DrawIndices(const std::uint32_t* indices, std::size_t count, unsigned int mode) const;

    bool valid = false;
    const SceneObject* object;
    std::vector<Edge> edges;
    std::vector<Vec4> vertices;
    // The sphere around the object's positions; a radius below 0 where they
    // have no bounds.
    Vec3 sphereCenter{};
    float sphereRadius = -1.0f;
    IndexList sideIndices;
    bool sidesAsTriangles = false;
    IndexList frontCapIndices;
    IndexList backCapIndices;

    // The triangle planes, one component per list, and the two triangles of
    // every edge on their own: the per-frame passes read only these, in
    // layouts the compiler vectorises.
    std::array<std::vector<float>, 4> planeComponents;
    std::vector<std::array<std::uint32_t, 2>> edgeTriangles;
    // The back cap holds every triangle, as depth-pass counting wants it;
    // that list does not depend on the light and is kept.
    bool backCapIsWholeMesh = false;

    // Scratch of one update, kept so that later frames allocate nothing:
    // whether each triangle faces the light, and the silhouette edges.
    LargeList<std::uint8_t> facing;
    IndexList silhouette;

    // The thread that works on a large mesh beside the caller of Update,
    // started by its first update, and the light and mode of the update,
    // which its jobs read.
    std::unique_ptr<HelperThread> helper;
    Vec4 updateLight{};
    float updateLength = 0.0f;
    bool updateDepthFail = false;
};

// The volume geometries of every shadow-casting object of a scene, in scene
// order. It points at, without owning, the scene and the light.
class ShadowVolumeSet
{
public:
    ShadowVolumeSet() = default;
    ~ShadowVolumeSet();
    ShadowVolumeSet(const ShadowVolumeSet&) = delete;
    ShadowVolumeSet& operator=(const ShadowVolumeSet&) = delete;

    void SetScene(const Scene* scene);
    void SetLight(const Light* light);

    // Destroys every geometry.
    void Clear();
    // One geometry per object that casts a shadow, rejected ones included.
    void Build();
    // Updates every geometry for the light's current position.
    void Update(float length, bool depthFail);
    // Sides, front cap and back cap of every geometry, in order.
    void Draw() const;

    const std::vector<std::unique_ptr<VolumeGeometry>>& Volumes() const { return volumes; }

private:
    const Scene* scene = nullptr;
    const Light* light = nullptr;
    std::vector<std::unique_ptr<VolumeGeometry>> volumes;
};
}
