#include "Renderer.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
namespace
{
const GLfloat NoEmission[4] = {0.0f, 0.0f, 0.0f, 1.0f};

// The material of an object; an index past the library's end falls back to
// the default material 0.
const Material& MaterialOf(const SceneObject& object, const MaterialLibrary& materials)
{
    const std::uint32_t index = object.materialIndex < materials.MaterialCount() ? object.materialIndex : 0;
    return materials.MaterialAt(index);
}

// One indexed call over the object's own arrays, of all its triangles or of
// those listed. The normal array is sent only when asked for and the object
// has normals; otherwise the object is lit with the current normal.
void DrawObject(const SceneObject& object, bool useNormals, const std::vector<std::uint32_t>* listed)
{
    glShadeModel(GL_SMOOTH);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(4, GL_FLOAT, 0, object.positions.data());
    if (useNormals && object.hasNormals && !object.normals.empty()) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, object.normals.data());
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (listed != nullptr)
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(listed->size()), GL_UNSIGNED_INT, listed->data());
    else
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * object.triangles.size()), GL_UNSIGNED_INT,
                       object.triangles.data());
}
}

// Every material field is set, emission included, because the light marker
// leaves a yellow emission behind.
void Material::Apply() const
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient.data());
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse.data());
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    glMaterialf(GL_FRONT, GL_SHININESS, shininess);
    glMaterialfv(GL_FRONT, GL_EMISSION, NoEmission);
}

// Without materials the caller's current colour drives ambient and diffuse
// reflectance. Nothing is restored: the vertex array stays enabled, the
// normal array as the last object left it, and the last material current.
void Renderer::DrawScene(bool useMaterials, bool useNormals, bool castersOnly, const LitTriangles* lit,
                         bool leftOut) const
{
    if (useMaterials) {
        glDisable(GL_COLOR_MATERIAL);
    } else {
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    }
    const std::uint32_t count = scene.ObjectCount();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (i == shadowPlaneIndex)
            continue;
        const SceneObject& object = scene.ObjectAt(i);
        if (castersOnly && !object.castsShadow)
            continue;
        if (useMaterials)
            MaterialOf(object, scene.Materials()).Apply();
        const bool bothFaces = castersOnly && i < openCasters.size() && openCasters[i];
        if (bothFaces) {
            glPushAttrib(GL_ENABLE_BIT);
            glDisable(GL_CULL_FACE);
        }
        DrawObject(object, useNormals, lit == nullptr ? nullptr : leftOut ? lit->Left(i) : lit->Kept(i));
        if (bothFaces)
            glPopAttrib();
    }
}

// A closed caster's front faces alone give its whole depth from the light
// and its whole flattened shadow, so passes that draw casters only cull its
// back faces, half of their work. A caster that the volumes rejected as not
// closed may show the light nothing but its back, and keeps both faces.
void Renderer::FindOpenCasters()
{
    openCasters.assign(scene.ObjectCount(), false);
    const auto& volumes = shadowVolumes.Volumes();
    std::size_t next = 0;
    for (std::uint32_t i = 0; i < scene.ObjectCount() && next < volumes.size(); ++i)
        if (scene.ObjectAt(i).castsShadow)
            openCasters[i] = !volumes[next++]->IsValid();
}

// A light that is neither at a point nor in a direction selects nothing.
const LitTriangles* Renderer::SelectLitTriangles()
{
    if (!selectLitTriangles || !litTriangles.Select(scene, light.position))
        return nullptr;
    return &litTriangles;
}

bool Renderer::MaterialsMoreOpaqueThan(float alpha) const
{
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i)
        if (i != shadowPlaneIndex && !(MaterialOf(scene.ObjectAt(i), scene.Materials()).diffuse[3] > alpha))
            return false;
    return true;
}
}
