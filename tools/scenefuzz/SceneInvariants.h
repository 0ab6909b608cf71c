// What must hold after any load, whatever bytes the files held: the
// fuzzer aborts on a violation and the scene tests replay its corpus
// through the same check.
#pragma once

#include "Scene.h"

#include <cmath>
#include <string>
#include <vector>

namespace SceneInvariants
{
// True when no component of any entry is infinite or NaN.
template <class Entry> bool AllFinite(const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries)
        for (float c : entry)
            if (!std::isfinite(c))
                return false;
    return true;
}

// Returns an empty text when the scene is consistent, else what is wrong.
inline std::string Violation(const KorvanaFramework::Scene& scene, bool loaded)
{
    const KorvanaFramework::MaterialLibrary& library = scene.Materials();
    if (library.MaterialCount() == 0 || library.MaterialAt(0).name != "(null)")
        return "the default material is not at index 0";
    if (!loaded && (scene.ObjectCount() != 0 || library.MaterialCount() != 1))
        return "a failed load left content behind";
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
        const KorvanaFramework::SceneObject& object = scene.ObjectAt(i);
        const std::size_t vertices = object.positions.size();
        if (object.normals.size() != (object.hasNormals ? vertices : 0) ||
            object.texCoords.size() != (object.hasTexCoords ? vertices : 0))
            return "vertex arrays of " + object.name + " differ in length";
        if (!AllFinite(object.positions) || !AllFinite(object.normals) || !AllFinite(object.texCoords))
            return "a number of " + object.name + " is not finite";
        if (object.materialIndex >= library.MaterialCount())
            return "material index of " + object.name + " is out of range";
        if (scene.FindObject(object.name) != i)
            return "name map does not find " + object.name;
        for (const KorvanaFramework::Triangle& triangle : object.triangles)
            for (std::uint32_t index : triangle)
                if (index >= vertices)
                    return "triangle index of " + object.name + " is out of range";
    }
    return {};
}

// The same for a material library loaded on its own.
inline std::string Violation(const KorvanaFramework::MaterialLibrary& library, bool loaded)
{
    if (library.MaterialCount() == 0 || library.MaterialAt(0).name != "(null)")
        return "the default material is not at index 0";
    if (!loaded && library.MaterialCount() != 1)
        return "a failed load left materials behind";
    for (std::uint32_t i = 0; i < library.MaterialCount(); ++i) {
        const KorvanaFramework::Material& material = library.MaterialAt(i);
        if (!AllFinite(std::vector<KorvanaFramework::Vec4>{material.ambient, material.diffuse, material.specular}) ||
            !std::isfinite(material.shininess))
            return "a number of material " + material.name + " is not finite";
        std::uint32_t found = 0;
        if (!library.Find(material.name, found) || found != i)
            return "name map does not find " + material.name;
    }
    return {};
}
}
