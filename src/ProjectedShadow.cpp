// Shadow method 1: the scene is drawn lit, then every shadow-casting object
// is drawn again, flattened by a projection from the light onto the plane of
// the scene's "ShadowPlaneNS" object, in black or as a translucent darkening.
#define KORVANA_UNIT "src/Renderer"

#include "Renderer.h"

#include "Log.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
namespace
{
// The object whose first triangle gives the plane that receives the shadow.
const char* const ShadowPlaneName = "ShadowPlaneNS";

// The black shadow is drawn without blending, so its alpha never shows.
constexpr float BlackShadowAlpha = 0.2f;

// Stencil masks and references with every bit set.
constexpr GLuint AllStencilBits = ~0u;

// The scene under the full light, or only its depth when the objects are
// hidden, so that shadow behind an object stays hidden either way. Where
// the shadow marks itself for the error view, the surfaces the light can
// reach are marked as they are drawn, so that the view needs no pass for
// them: the triangles the full light can brighten, then the others, each
// fragment that passes the depth test marking its pixel as one or the other.
void DrawReceivingScene(Renderer& renderer)
{
    const bool shown = renderer.options.drawObjects;
    if (!shown)
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    const LitTriangles* lit =
        renderer.planeValid && renderer.ProjectedShadowMarksItself() ? renderer.SelectLitTriangles() : nullptr;
    if (lit) {
        BeginMarkingReceivers(true);
        renderer.DrawScene(shown, shown, false, lit);
        BeginMarkingReceivers(false);
        renderer.DrawScene(shown, shown, false, lit, true);
        glDisable(GL_STENCIL_TEST);
        renderer.receiversMarked = true;
    } else {
        renderer.DrawScene(shown, shown, false);
    }
    if (!shown)
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

// The casters flattened onto the plane, unlit and pulled towards the eye by
// the polygon offset so that they neither flicker against nor sink into the
// surface they lie on. A translucent shadow marks each pixel it darkens in
// the stencil buffer when asked, so that overlapping shadow triangles darken
// a pixel only once; the frame has cleared the stencil buffer, and clearing
// it again would cost a pass over the whole window. Where the shadow marks
// itself for the error view, the same guard is the view's mark of the
// pixels it lights, cleared where the shadow darkens.
void DrawFlattenedShadow(Renderer& renderer)
{
    const RendererOptions& options = renderer.options;
    const bool marking = renderer.ProjectedShadowMarksItself();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    if (marking) {
        BeginMarkingShownShadow();
        glDepthMask(GL_FALSE);
    }
    if (options.projectedUseDarkening) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor4f(0.0f, 0.0f, 0.0f, options.projectedDarkeningFactor);
        if (options.darkeningStencil && marking) {
            glStencilFunc(GL_EQUAL, static_cast<GLint>(ShownLightBit), ShownLightBit);
            glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        } else if (options.darkeningStencil) {
            glEnable(GL_STENCIL_TEST);
            glStencilFunc(GL_EQUAL, 0, AllStencilBits);
            glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
        }
    } else {
        glColor4f(0.0f, 0.0f, 0.0f, BlackShadowAlpha);
    }
    renderer.DrawFlattenedCasters();
    glPopAttrib();
}

// The window pixels the flattened casters cover, through the current
// matrices: a caster's flattened points bound its flattened triangles,
// unless some lie behind the near plane, where the window's edges do.
PixelRect FlattenedPixels(const Renderer& renderer)
{
    const PixelRect window{0, 0, renderer.ViewportWidth(), renderer.ViewportHeight()};
    if (!renderer.boundShadowedPixels)
        return window;
    Matrix4 projection{}, modelview{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    FootprintBounds bounds(projection, modelview, window.width, window.height, nullptr, 0);
    for (const CasterOutline& caster : renderer.casterOutlines.All()) {
        if (caster.unbounded)
            return window;
        for (const Vec3& point : caster.points) {
            const Vec4 corner{point[0], point[1], point[2], 1.0f};
            bounds.AddPolygon(&corner, 1);
        }
    }
    return bounds.CutByNearPlane() ? window : bounds.Rect();
}
}

// The shadow matrix is taken anew, so the matrix follows the light at once.
// For the error view the pixels of the shadow are kept.
void Renderer::DrawFlattenedCasters()
{
    glPushAttrib(GL_POLYGON_BIT);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, options.projectedPolygonOffset);
    glPushMatrix();
    ComputeShadowMatrix();
    if (options.errorView && options.errorViewOffered)
        shownShadowPixels = FlattenedPixels(*this);
    DrawScene(false, false, true);
    glPopMatrix();
    glPopAttrib();
}

// With the error view on, a shadow that darkens each pixel once (black, or
// translucent under the stencil's guard) marks what it darkens and leaves
// the depth buffer to the scene's surfaces, which the view compares on, so
// the view draws nothing of its own for it. A translucent shadow without
// the guard keeps writing its depth, which is what keeps it from darkening
// most pixels twice.
bool Renderer::ProjectedShadowMarksItself() const
{
    return options.errorView && options.errorViewOffered &&
           (!options.projectedUseDarkening || options.darkeningStencil);
}

// Runs at every scene load. The plane is known only when the plane object
// exists and its first triangle has an area: a triangle without one has no
// normal, and a shadow flattened onto a non-plane would be garbage.
void Renderer::ComputePlaneEquation()
{
    planeValid = false;
    shadowPlaneIndex = scene.FindObject(ShadowPlaneName);
    if (shadowPlaneIndex == NoSceneObject) {
        LOG_ERROR("Plik sceny nie zawiera obiektu 'ShadowPlaneNS'! Rzutowanie cieni nie może być wykonane.");
        return;
    }
    const SceneObject& plane = scene.ObjectAt(shadowPlaneIndex);
    if (plane.triangles.empty())
        return;
    const Triangle& first = plane.triangles.front();
    const Plane equation =
        PlaneFromTriangle(plane.positions[first[0]], plane.positions[first[1]], plane.positions[first[2]]);
    if (!IsFinitePlane(equation)) {
        LOG_ERROR("Pierwszy trójkąt obiektu 'ShadowPlaneNS' ma zerowe pole i nie wyznacza płaszczyzny! "
                  "Rzutowanie cieni nie może być wykonane.");
        return;
    }
    planeEquation = equation;
    planeValid = true;
}

// Row i, column j holds dot·δij − L_i·P_j: the projection from the light L
// onto the plane P, central for a point light, parallel for a directional one.
// Taken anew every frame, so a moved light moves the shadow at once.
void Renderer::ComputeShadowMatrix()
{
    const Vec4& l = light.position;
    const Plane& p = planeEquation;
    const float dot = p[0] * l[0] + p[1] * l[1] + p[2] * l[2] + p[3] * l[3];
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            shadowMatrix[4 * column + row] = (row == column ? dot : 0.0f) - l[row] * p[column];
    glMultMatrixf(shadowMatrix.data());
}

// One frame of the projected method; it leaves no GL state behind.
void Renderer::RenderProjectedShadow()
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    ApplyCamera();
    light.UploadPosition();
    light.Upload(true);
    DrawReceivingScene(*this);
    if (planeValid)
        DrawFlattenedShadow(*this);
    glPopAttrib();
}
}
