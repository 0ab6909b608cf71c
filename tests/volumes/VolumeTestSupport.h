// Meshes and a log recorder for the shadow-volume and light tests.
#pragma once

#include "Scene.h"

#include <memory>
#include <string>
#include <vector>

namespace VolumeTests
{
using KorvanaFramework::SceneObject;
using KorvanaFramework::Triangle;
using KorvanaFramework::Vec4;

// A shadow-casting object from its positions (w 1) and triangles.
SceneObject MakeObject(const std::string& name, const std::vector<Vec4>& positions,
                       const std::vector<Triangle>& triangles);

// The closed tetrahedron (0, 1, 2), (0, 2, 3), (0, 3, 1), (1, 3, 2) with
// outward normals.
SceneObject Tetrahedron();

// A closed axis-aligned cube from `low` to `high`, 8 shared corners and 12
// counter-clockwise triangles seen from outside.
SceneObject Cube(const std::string& name, float low, float high);

// A closed torus of rings × segments quads, two triangles each, around the
// Y axis with radii 3 and 1.
SceneObject Torus(std::uint32_t rings, std::uint32_t segments);

// The messages logged through the root logger while it lives.
class LogRecorder
{
public:
    LogRecorder();
    ~LogRecorder();
    LogRecorder(const LogRecorder&) = delete;
    LogRecorder& operator=(const LogRecorder&) = delete;

    std::vector<std::string> Messages() const;

private:
    struct Sink;
    std::shared_ptr<Sink> sink;
};

// "Model: '<name>' <fault text>" as the build logs a rejection.
std::string HolesError(const std::string& name);
std::string TJunctionError(const std::string& name);
}
