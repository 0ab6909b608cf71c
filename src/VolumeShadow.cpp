// Shadow method 2, stencil shadow volumes: the scene is drawn once under the
// full light, the volumes of the shadow casters are counted into the stencil
// buffer for every pixel, and then the pixels inside some volume are either
// drawn again under the dimmed light (two-pass mode) or darkened by one
// translucent quad over the view (fast mode).
#include "Renderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace KorvanaFramework
{
namespace
{
// Stencil masks and references with every bit set.
constexpr GLuint AllStencilBits = ~0u;

// How far beyond the near plane, and how far past the frustum's edges, the
// darkening quad lies.
constexpr float QuadMargin = 0.001f;

// How far the planes that bound the counting lie outside the scene's box:
// a share of the box's diagonal, and at least this much.
constexpr float BoxMargin = 0.01f;
constexpr float MinimumBoxMargin = 0.001f;

// Sides of a volume that share one scissor rectangle: fewer make tighter
// rectangles and more drawings.
constexpr std::size_t SidesPerPiece = 32;

// Colour of the visible volumes: a faint red that adds up where faces overlap.
const GLfloat VolumeColor[4] = {0.9f, 0.0f, 0.0f, 0.15f};

// The stencil operations on test failure, depth failure and depth pass for
// the faces of one orientation.
struct FaceOperations
{
    GLenum stencilFail;
    GLenum depthFail;
    GLenum depthPass;
};

// One counting method: which faces raise the count, and what the raising and
// the lowering faces do to the stencil.
struct Counting
{
    GLenum raisingFace;
    FaceOperations raise;
    FaceOperations lower;
};

GLenum OppositeFace(GLenum face)
{
    return face == GL_FRONT ? GL_BACK : GL_FRONT;
}

// Depth-pass: front faces in front of the scene raise the count, back faces
// in front of it lower it. Depth-fail: back faces behind the scene raise it,
// front faces behind it lower it. Wrapping operations let a count pass below
// zero and come back; without them the count saturates at 0 and 255.
Counting CountingFor(bool depthFail)
{
    const bool wrap = GLEW_VERSION_1_4 || GLEW_EXT_stencil_wrap;
    const GLenum increment = wrap ? GL_INCR_WRAP : GL_INCR;
    const GLenum decrement = wrap ? GL_DECR_WRAP : GL_DECR;
    if (depthFail)
        return {GL_BACK, {GL_KEEP, increment, GL_KEEP}, {GL_KEEP, decrement, GL_KEEP}};
    return {GL_FRONT, {GL_KEEP, GL_KEEP, increment}, {GL_KEEP, GL_KEEP, decrement}};
}

const FaceOperations& OperationsOf(const Counting& counting, GLenum face)
{
    return face == counting.raisingFace ? counting.raise : counting.lower;
}

// The volumes to count: all of them over the whole window, or, where the
// counting is bounded, the pieces of them that can change a count that is
// read, each within its own scissor rectangle.
struct CountedVolumes
{
    const ShadowVolumeSet& volumes;
    const std::vector<VolumePiece>* pieces;

    void Draw() const
    {
        if (!pieces) {
            volumes.Draw();
            return;
        }
        glEnable(GL_SCISSOR_TEST);
        for (const VolumePiece& piece : *pieces) {
            glScissor(piece.rect.x, piece.rect.y, piece.rect.width, piece.rect.height);
            piece.Draw();
        }
        glDisable(GL_SCISSOR_TEST);
    }
};

// OpenGL 2.0: both faces counted in one drawing by separate stencil states.
void CountSeparate(const Counting& counting, const CountedVolumes& volumes, GLuint writeMask)
{
    glDisable(GL_CULL_FACE);
    for (const GLenum face : {counting.raisingFace, OppositeFace(counting.raisingFace)}) {
        const FaceOperations& operations = OperationsOf(counting, face);
        glStencilOpSeparate(face, operations.stencilFail, operations.depthFail, operations.depthPass);
    }
    glStencilFuncSeparate(GL_FRONT_AND_BACK, GL_ALWAYS, 0, AllStencilBits);
    glStencilMaskSeparate(GL_FRONT_AND_BACK, writeMask);
    volumes.Draw();
    glEnable(GL_CULL_FACE);
}

// The two-side extension: the same in one drawing, with the back state set
// first so that the front state stays active afterwards.
void CountTwoSided(const Counting& counting, const CountedVolumes& volumes, GLuint writeMask)
{
    glDisable(GL_CULL_FACE);
    glEnable(GL_STENCIL_TEST_TWO_SIDE_EXT);
    for (const GLenum face : {GL_BACK, GL_FRONT}) {
        const FaceOperations& operations = OperationsOf(counting, face);
        glActiveStencilFaceEXT(face);
        glStencilOp(operations.stencilFail, operations.depthFail, operations.depthPass);
        glStencilMask(writeMask);
        glStencilFunc(GL_ALWAYS, 0, AllStencilBits);
    }
    volumes.Draw();
    glDisable(GL_STENCIL_TEST_TWO_SIDE_EXT);
    glEnable(GL_CULL_FACE);
}

// Without two-sided stencil: the volumes are drawn twice, culling one
// orientation each time, the raising faces first so that even saturating
// counts never have to go below zero.
void CountInTwoPasses(const Counting& counting, const CountedVolumes& volumes, GLuint writeMask)
{
    glStencilFunc(GL_ALWAYS, 0, AllStencilBits);
    glStencilMask(writeMask);
    for (const GLenum face : {counting.raisingFace, OppositeFace(counting.raisingFace)}) {
        const FaceOperations& operations = OperationsOf(counting, face);
        glCullFace(OppositeFace(face));
        glStencilOp(operations.stencilFail, operations.depthFail, operations.depthPass);
        volumes.Draw();
    }
}

// Counts the volumes enclosing each visible point into the stencil buffer,
// by the best facility the driver offers, into the stencil bits of
// `writeMask`. A stencil operation other than depth-pass (0) and depth-fail
// (1) counts nothing.
void CountVolumes(std::int32_t stencilOperation, const CountedVolumes& volumes, GLuint writeMask = AllStencilBits)
{
    if (stencilOperation != 0 && stencilOperation != 1)
        return;
    const Counting counting = CountingFor(stencilOperation == 1);
    if (GLEW_VERSION_2_0)
        CountSeparate(counting, volumes, writeMask);
    else if (GLEW_EXT_stencil_two_side)
        CountTwoSided(counting, volumes, writeMask);
    else
        CountInTwoPasses(counting, volumes, writeMask);
}

// Fast mode: one black translucent quad just beyond the near plane darkens
// every pixel whose count is not zero. The modelview is the identity here,
// so the quad is given in eye coordinates; its corners are the frustum's
// extents scaled out to the quad's depth, so that it covers the whole view
// at any aspect ratio.
void DarkenShadowedPixels(const Renderer& renderer)
{
    glStencilFunc(GL_NOTEQUAL, 0, AllStencilBits);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(0.0f, 0.0f, 0.0f, renderer.options.volumeDarkeningFactor);
    const float depth = renderer.frustumNear + QuadMargin;
    const float scale = depth / renderer.frustumNear;
    const float left = (renderer.frustumLeft - QuadMargin) * scale;
    const float right = (renderer.frustumRight + QuadMargin) * scale;
    const float bottom = (renderer.frustumBottom - QuadMargin) * scale;
    const float top = (renderer.frustumTop + QuadMargin) * scale;
    glBegin(GL_QUADS);
    glVertex3f(left, bottom, -depth);
    glVertex3f(right, bottom, -depth);
    glVertex3f(right, top, -depth);
    glVertex3f(left, top, -depth);
    glEnd();
    glPopMatrix();
}

// The rectangle around every piece's.
PixelRect Around(const std::vector<VolumePiece>& pieces)
{
    int low[2] = {0, 0}, high[2] = {0, 0};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const PixelRect& r = pieces[i].rect;
        low[0] = i == 0 ? r.x : std::min(low[0], r.x);
        low[1] = i == 0 ? r.y : std::min(low[1], r.y);
        high[0] = i == 0 ? r.x + r.width : std::max(high[0], r.x + r.width);
        high[1] = i == 0 ? r.y + r.height : std::max(high[1], r.y + r.height);
    }
    return {low[0], low[1], high[0] - low[0], high[1] - low[1]};
}

// Two-pass mode: the pixels inside some volume are drawn again under the
// dimmed light, exactly over the fully lit surface the first drawing left.
// Counts differ from zero only where the volumes were counted, so bounded
// counting bounds this drawing by the rectangle around its pieces. Of each
// object only the `lit` triangles are drawn, when given: the others have
// the same colour under both lights.
void DimShadowedPixels(const Renderer& renderer, const std::vector<VolumePiece>* pieces, const LitTriangles* lit)
{
    glStencilFunc(GL_NOTEQUAL, 0, AllStencilBits);
    glDepthFunc(GL_EQUAL);
    glEnable(GL_LIGHTING);
    renderer.light.Upload(false);
    if (pieces) {
        if (pieces->empty())
            return;
        const PixelRect around = Around(*pieces);
        glEnable(GL_SCISSOR_TEST);
        glScissor(around.x, around.y, around.width, around.height);
    }
    renderer.DrawScene(true, true, false, lit);
    glDisable(GL_SCISSOR_TEST);
}

// The eye of the camera view the modelview holds: the view is rigid, so the
// eye is the translation turned back by the transposed rotation.
Vec3 EyeOfCurrentView()
{
    Matrix4 view{};
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
    Vec3 eye{};
    for (int c = 0; c < 3; ++c)
        eye[c] = -(view[4 * c] * view[12] + view[4 * c + 1] * view[13] + view[4 * c + 2] * view[14]);
    return eye;
}

// Depth-pass counting changes the stencil only where a volume lies in front
// of the scene's surface, and two-pass mode reads the counts only where the
// scene has a surface. A volume's part beyond a face of the scene's box that
// has the eye inside lies behind every surface on its ray, so each piece of
// a volume is scissored to the window footprint of the rest of it: its
// fragments outside would fail the depth test or fall where no count is
// read, and those inside are rasterised exactly as without the scissor. The
// faces are moved out a little so that what lies beyond them stays well
// behind any surface. Empty where the scene has no box: nothing is bounded.
std::optional<FootprintBounds> BoundsBehindTheScene(const Renderer& renderer, const Vec3& eye)
{
    const Box& box = renderer.sceneBox;
    if (!box.Valid())
        return std::nullopt;
    const float dx = box.high[0] - box.low[0], dy = box.high[1] - box.low[1], dz = box.high[2] - box.low[2];
    const float margin = BoxMargin * std::sqrt(dx * dx + dy * dy + dz * dz) + MinimumBoxMargin;
    std::array<Plane, 6> planes{};
    const int count = FacesAroundTheEye(box, margin, eye, planes);
    Matrix4 projection{}, modelview{};
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    return FootprintBounds(projection, modelview, renderer.ViewportWidth(), renderer.ViewportHeight(), planes.data(),
                           count);
}

// The pieces of every volume for bounded depth-pass counting; false where
// nothing can be bounded.
bool BoundVolumeCounting(const Renderer& renderer, std::vector<VolumePiece>& pieces)
{
    pieces.clear();
    std::optional<FootprintBounds> bounds = BoundsBehindTheScene(renderer, EyeOfCurrentView());
    if (!bounds)
        return false;
    for (const std::unique_ptr<VolumeGeometry>& volume : renderer.shadowVolumes.Volumes())
        AppendPieces(*volume, SidesPerPiece, *bounds, pieces);
    return true;
}

// The volumes as translucent red bodies over the image, both faces of each,
// leaving the stencil counts alone.
void ShowVolumes(const ShadowVolumeSet& volumes)
{
    glDisable(GL_STENCIL_TEST);
    glStencilMask(0);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LESS);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    glColor4fv(VolumeColor);
    volumes.Draw();
}
}

// Depth-fail counting with the far plane at infinity is exact wherever the
// eye stands, but draws every volume with both caps over the whole window.
// Each volume adds its own count at every pixel, so a volume that surely
// leaves the eye outside it and whose kept parts the near plane does not
// cut is counted depth-pass over its bounded sides instead: around every
// visible surface point the count is the same, 0 where the eye's ray
// enters and leaves the volume in front of it, 1 where it ends inside. The
// depth clamping of the caller changes nothing there, as none of those
// parts lies in front of the near plane. The others are counted depth-fail.
PixelRect Renderer::CountExactShadow(std::uint32_t writeMask)
{
    shadowVolumes.Update(0.0f, true);
    volumePieces.clear();
    enclosingPieces.clear();
    const Vec3 eye = EyeOfCurrentView();
    std::optional<FootprintBounds> bounds;
    if (boundVolumeCounting)
        bounds = BoundsBehindTheScene(*this, eye);
    const PixelRect window{0, 0, ViewportWidth(), ViewportHeight()};
    for (const std::unique_ptr<VolumeGeometry>& volume : shadowVolumes.Volumes()) {
        const std::size_t kept = volumePieces.size();
        if (bounds && !volume->MayEnclose(light.position, eye) &&
            !AppendPieces(*volume, SidesPerPiece, *bounds, volumePieces, false))
            continue;
        volumePieces.resize(kept);
        AppendWholeVolume(*volume, window, enclosingPieces);
    }
    CountVolumes(0, {shadowVolumes, &volumePieces}, writeMask);
    CountVolumes(1, {shadowVolumes, &enclosingPieces}, writeMask);
    return enclosingPieces.empty() ? Around(volumePieces) : window;
}

// One frame of the volume method, on the stencil buffer the frame has just
// cleared: clearing it again would cost a pass over the whole window and
// change nothing. Two-pass mode needs the light: it is
// switched on before the state of the frame is saved, so that the switch
// outlasts the frame together with GL_LIGHT0 and the bar keeps telling the
// truth about it.
void Renderer::RenderShadowVolumes()
{
    UpdateProjection();
    shadowVolumes.Update(options.infiniteVolume ? 0.0f : options.volumeLenght, options.stencilOperation == 1);
    const bool fast = options.volumeUseDarkening;
    if (!fast) {
        light.enabled = true;
        glEnable(GL_LIGHT0);
        light.changed = true;
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    ApplyCamera();
    light.UploadPosition();
    light.Upload(true);
    DrawScene(true, true, false);

    glEnable(GL_STENCIL_TEST);
    glDepthFunc(GL_LESS);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    const bool bounded = boundVolumeCounting && !fast && options.stencilOperation == 0 &&
                         BoundVolumeCounting(*this, volumePieces);
    if (!bounded)
        volumePieces.clear();
    CountVolumes(options.stencilOperation, {shadowVolumes, bounded ? &volumePieces : nullptr});

    glCullFace(GL_BACK);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    if (fast)
        DarkenShadowedPixels(*this);
    else
        DimShadowedPixels(*this, bounded ? &volumePieces : nullptr, SelectLitTriangles());
    if (options.drawVolumes)
        ShowVolumes(shadowVolumes);
    glPopAttrib();
}

// Every point of the scene, the shadow plane included, for the bounds of
// the volumes; the casters as DrawScene picks them.
void Renderer::ComputeSceneBox()
{
    sceneBox = Box{};
    casterOutlines.Clear();
    lightCameraFit.Forget();
    for (std::uint32_t i = 0; i < scene.ObjectCount(); ++i) {
        const SceneObject& object = scene.ObjectAt(i);
        for (const Vec4& position : object.positions)
            Include(sceneBox, position);
        if (i != shadowPlaneIndex && object.castsShadow)
            casterOutlines.Add(object.positions);
    }
}
}
