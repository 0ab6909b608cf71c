// Shadow method 3, shadow mapping: every frame the depth of the shadow
// casters as seen from the light goes into a square depth texture of the
// chosen size. Without filtering, the scene is then drawn under the full
// light everywhere and again under the dimmed light where the texture's
// depth comparison finds the surface shadowed, selected by the alpha test;
// with filtering, the dimmed pass comes first and the full light is blended
// over it by the lit share. The map can be shown projected onto the scene,
// the light's frustum outlined, and the map previewed in the window's
// corner.
#define KORVANA_UNIT "src/ShadowMap"

#include "Log.h"
#include "Renderer.h"
#include "ShadowMapFramebuffers.h"
#include "ShadowMapPreview.h"
#include "TweakBars.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace KorvanaFramework
{
namespace
{
// A point light sees everything in front of it through one square frustum;
// a spot's frustum is its cone, except for a cone of 90 degrees, whose
// frustum of 180 degrees would have no perspective.
constexpr float PointFieldOfView = 170.0f;
constexpr float WidestFieldOfView = PointFieldOfView;

// The alpha test's line between a surface found lit (the comparison gave 1
// and the material's alpha is above it) and one found shadowed.
constexpr GLfloat LitAlpha = 0.9f;

// Below this sine of the angle between the up vector and the viewing
// direction the light's view would have no defined sideways axis.
constexpr float ParallelTolerance = 1e-3f;

// The frustum's half-angle is turned into radians with this π.
constexpr float FrustumPi = 3.1415927f;

const GLfloat Red[4] = {1.0f, 0.0f, 0.0f, 0.0f};

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Length(const Vec3& v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// The opening of a point light's or a spot's square frustum, in degrees.
float FieldOfView(const Light& light)
{
    if (light.lightType == LightType::Spot)
        return light.spotCutoff < 90.0f ? 2.0f * light.spotCutoff : WidestFieldOfView;
    return PointFieldOfView;
}

// The unit direction the light looks in: a spot's own direction, otherwise
// towards the world origin (straight down for a light at the origin).
Vec3 ViewingDirection(const Light& light)
{
    if (light.lightType == LightType::Spot)
        return light.direction;
    const Matrix4 frame = light.TowardsOriginFrame();
    return {frame[8], frame[9], frame[10]};
}

// The Y axis of the light's local frame, the one ApplyTransform sets up and
// the frustum outline is drawn in.
Vec3 LocalUp(const Light& light)
{
    if (light.lightType == LightType::Spot) {
        const float h = light.horizontalAngle * DegreesToRadians;
        const float v = light.verticalAngle * DegreesToRadians;
        return {-std::sin(v) * std::sin(h), std::cos(v), -std::sin(v) * std::cos(h)};
    }
    const Matrix4 frame = light.TowardsOriginFrame();
    return {frame[4], frame[5], frame[6]};
}

// +X for a point or spot light straight above or below the origin, +Y
// otherwise. Where that is parallel to the viewing direction (a directional
// light straight above, a spot looking straight up or down, a spot above the
// origin looking along X), the light's own local Y axis takes its place, so
// that the map stays square with the frustum outline.
Vec3 UpVector(const Light& light, const Vec3& viewing)
{
    const Vec4& p = light.position;
    const Vec3 up = p[0] == 0.0f && p[2] == 0.0f && p[3] != 0.0f ? Vec3{1.0f, 0.0f, 0.0f} : Vec3{0.0f, 1.0f, 0.0f};
    if (Length(Cross(up, viewing)) < ParallelTolerance)
        return LocalUp(light);
    return up;
}

// Loads the light's projection: a perspective square frustum for point and
// spot lights, an orthographic box for a directional light.
void LoadLightProjection(const RendererOptions& options, const Light& light)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (light.lightType == LightType::Directional)
        glOrtho(-options.orthoSize, options.orthoSize, -options.orthoSize, options.orthoSize, options.near,
                options.far);
    else
        gluPerspective(FieldOfView(light), 1.0, options.near, options.far);
}

// Loads the light's view. A directional light's eye is pulled back along its
// viewing axis by orthoOffset, so the box also takes in what lies behind the
// light's position.
void LoadLightView(const RendererOptions& options, const Light& light)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const Vec4& p = light.position;
    const Vec3 d = ViewingDirection(light);
    const Vec3 up = UpVector(light, d);
    if (light.lightType == LightType::Directional)
        glTranslatef(0.0f, 0.0f, -options.orthoOffset);
    gluLookAt(p[0], p[1], p[2], p[0] + d[0], p[1] + d[1], p[2] + d[2], up[0], up[1], up[2]);
}

Matrix4 CurrentMatrix(GLenum which)
{
    Matrix4 m{};
    glGetFloatv(which, m.data());
    return m;
}

// A framebuffer of its own, without colour, whose depth buffer is the map's
// texture: the depth pass then needs no copy, which cost a tenth of the
// frame at 512 texels and most of it at 4096. Drivers without framebuffer
// objects, or where this one is incomplete, keep rendering the map into the
// window's depth buffer.
void PrepareShadowMapFramebuffer(Renderer& renderer)
{
    const FramebufferCalls calls = Framebuffers();
    if (!calls.Available())
        return;
    GLuint framebuffer = 0;
    calls.genFramebuffers(1, &framebuffer);
    calls.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    calls.framebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, renderer.shadowMapTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    const bool complete = calls.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    calls.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        LOG_ERROR("Bufor głębokości mapy cieni jest niekompletny; mapa powstaje w buforze okna.");
        calls.deleteFramebuffers(1, &framebuffer);
        return;
    }
    renderer.shadowMapFramebuffer = framebuffer;
}

// The largest side the texture and the viewport may have.
std::int32_t DriverLimit()
{
    GLint texture = 0, viewport[2] = {};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({texture, viewport[0], viewport[1]});
}

// The texture image is allocated again only when the map's side changes.
void FitMapStorage(Renderer& renderer, GLsizei size)
{
    if (renderer.shadowMapTextureSize == size)
        return;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
    renderer.shadowMapTextureSize = size;
}

// The casters' depth from the light, offset away from the light so that lit
// surfaces do not shadow themselves, rendered into the texture or copied
// into it from the window's depth buffer.
void RenderDepthMap(Renderer& renderer, GLsizei size)
{
    const FramebufferCalls calls = Framebuffers();
    const bool ownBuffer = renderer.shadowMapFramebuffer != 0;
    FitMapStorage(renderer, size);
    if (ownBuffer)
        calls.bindFramebuffer(GL_FRAMEBUFFER, renderer.shadowMapFramebuffer);
    glViewport(0, 0, size, size);
    glScissor(0, 0, size, size);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(renderer.options.mappedPolygonOffset, 0.0f);
    renderer.DrawScene(false, false, true);
    if (ownBuffer) {
        if (renderer.waitForDepthPass)
            glFinish();
        calls.bindFramebuffer(GL_FRAMEBUFFER, 0);
    } else {
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_POLYGON_OFFSET_FILL);
}

// Carries a world point into the map: s/q, t/q in 0..1 across the map and
// r/q the point's depth from the light in 0..1.
void LoadTextureMatrix(const Matrix4& lightProjection, const Matrix4& lightView)
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0.5f);
    glScalef(0.5f, 0.5f, 0.5f);
    glMultMatrixf(lightProjection.data());
    glMultMatrixf(lightView.data());
}

// The texture either replaces the scene's colour with the map's depth as
// grey, or, compared with each fragment's depth from the light, scales the
// full light's alpha to 1 where lit and 0 where shadowed.
void SetUpComparison(const Light& light, bool drawAsTexture)
{
    if (drawAsTexture) {
        glEnable(GL_LIGHTING);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_NONE);
    } else {
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, LitAlpha);
        light.Upload(true);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

// The second pass draws the same surfaces as the first, so its fragments
// pass the depth test exactly where their depth equals the stored one and
// would only write that depth again: testing for equality without writing
// gives the same picture and lets the rasteriser skip the writes.
void KeepDepth()
{
    glDepthFunc(GL_EQUAL);
    glDepthMask(GL_FALSE);
}

// The pixels where the dimmed pass can find a surface shadowed. Where a
// material's alpha is at or below the test's line the surface is shadowed
// whatever the map holds, and where coordinates beyond the map repeat its
// edge instead of reading the white border, casters may darken anything:
// there, and while tests ask for it, the whole window.
PixelRect ShadowedPixels(const Renderer& renderer, const Matrix4& lightProjection, const Matrix4& lightView,
                         GLsizei size)
{
    const PixelRect window{0, 0, renderer.viewportWidth, renderer.viewportHeight};
    if (!renderer.boundShadowedPixels || !renderer.shadowMapClampsToBorder ||
        !renderer.MaterialsMoreOpaqueThan(LitAlpha))
        return window;
    MapShadowView view;
    view.lightProjection = lightProjection;
    view.lightView = lightView;
    view.light = renderer.light.position;
    view.mapSize = size;
    view.depthOffsetFactor = renderer.options.mappedPolygonOffset;
    view.casters = &renderer.casterOutlines.All();
    view.scene = renderer.sceneBox;
    view.projection = CurrentMatrix(GL_PROJECTION_MATRIX);
    view.modelview = CurrentMatrix(GL_MODELVIEW_MATRIX);
    view.width = window.width;
    view.height = window.height;
    return MapShadowRect(view);
}

// Over the full light, the dimmed light where the map finds a surface
// shadowed. The comparison goes into the alpha alone, so the colour stays
// the dimmed light's, and the alpha test keeps exactly the fragments that
// the full light's test (above LitAlpha) would drop. Outside `pixels`
// every fragment would be found lit, and a triangle the full light cannot
// brighten has the same colour under both lights.
void DimShadowedSurfaces(Renderer& renderer, const PixelRect& pixels)
{
    if (!HasPixels(pixels))
        return;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_ALPHA);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_LEQUAL, LitAlpha);
    renderer.light.Upload(false);
    glEnable(GL_SCISSOR_TEST);
    glScissor(pixels.x, pixels.y, pixels.width, pixels.height);
    renderer.DrawScene(true, true, false, renderer.SelectLitTriangles());
    glDisable(GL_SCISSOR_TEST);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_INTENSITY);
}

// Generated texture coordinates equal to each vertex's world position: the
// planes are given under the camera view, which OpenGL inverts for them.
void EnableWorldCoordinates()
{
    const GLfloat planes[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const GLenum coordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
    const GLenum switches[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};
    for (int i = 0; i < 4; ++i) {
        glEnable(switches[i]);
        glTexGenfv(coordinates[i], GL_EYE_PLANE, planes[i]);
    }
}

void DisableWorldCoordinates()
{
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
}

// The twelve edges of a frustum from its corners (the near face's
// left-bottom, right-bottom, right-top and left-top, then the far face's):
// the far rectangle, the upper face, the near rectangle and the lower face
// as one strip of quads drawn in lines.
void DrawFrustumEdges(const std::array<Vec3, 8>& corners)
{
    glBegin(GL_QUAD_STRIP);
    for (const int i : {5, 4, 6, 7, 2, 3, 1, 0, 5, 4})
        glVertex3fv(corners[static_cast<std::size_t>(i)].data());
    glEnd();
}

// The corners of a square frustum in the light's local frame (+Z along the
// light), half-sizes hn and hf at distances zn and zf.
std::array<Vec3, 8> LocalCorners(float hn, float zn, float hf, float zf)
{
    return {{{-hn, -hn, zn}, {hn, -hn, zn}, {hn, hn, zn}, {-hn, hn, zn},
             {-hf, -hf, zf}, {hf, -hf, zf}, {hf, hf, zf}, {-hf, hf, zf}}};
}

// The volume the depth pass saw, in red over everything, depth test off: a
// fitted frustum by its corners in the world, the bar's one in the light's
// local frame.
void DrawFrustumOutline(const Renderer& renderer)
{
    const RendererOptions& options = renderer.options;
    const Light& light = renderer.light;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glPushMatrix();
    glLoadIdentity();
    renderer.ApplyCamera();
    glColor4fv(Red);
    glDisable(GL_DEPTH_TEST);
    if (renderer.lightCameraFitted) {
        DrawFrustumEdges(renderer.lightCamera.corners);
        glPopMatrix();
        glPopAttrib();
        return;
    }
    float zn = options.near, zf = options.far, hn = options.orthoSize, hf = options.orthoSize;
    if (light.lightType == LightType::Directional) {
        zn -= options.orthoOffset;
        zf -= options.orthoOffset;
    } else {
        const float k = std::tan(FieldOfView(light) / 2.0f * (FrustumPi / 180.0f));
        hn = k * zn;
        hf = k * zf;
    }
    light.ApplyTransform();
    DrawFrustumEdges(LocalCorners(hn, zn, hf, zf));
    glPopMatrix();
    glPopAttrib();
}
}

FramebufferCalls Framebuffers()
{
    if (GLEW_VERSION_3_0 || GLEW_ARB_framebuffer_object)
        return {glGenFramebuffers, glDeleteFramebuffers, glBindFramebuffer, glFramebufferTexture2D,
                glCheckFramebufferStatus};
    if (GLEW_EXT_framebuffer_object)
        return {glGenFramebuffersEXT, glDeleteFramebuffersEXT, glBindFramebufferEXT, glFramebufferTexture2DEXT,
                glCheckFramebufferStatusEXT};
    return {};
}

std::int32_t LargestMapSize(std::int32_t driverLimit, bool offScreen, std::int32_t width, std::int32_t height)
{
    const std::int32_t limit = offScreen ? driverLimit : std::min({driverLimit, width, height});
    std::int32_t size = SmallestMapSize;
    while (size < LargestOfferedMapSize && 2 * size <= limit)
        size *= 2;
    return size;
}

// The smallest map is always drawn, even where the window is smaller still.
std::int32_t Renderer::MapSizeInUse() const
{
    return std::max(std::min(options.mapSize, offeredMapSize), SmallestMapSize);
}

// The map's depth image is allocated once per size and every frame's depth
// pass is rendered or copied into it: an image specified anew in every frame
// loses its depth texture mode on some drivers (Mesa), and the comparison
// then darkens the colour without lowering the alpha, so shadows came out
// black.
void Renderer::PrepareShadowMapStorage()
{
    FitMapStorage(*this, SmallestMapSize);
    PrepareShadowMapFramebuffer(*this);
    // WORKAROUND(llvmpipe): its rasteriser threads take every core; while
    // they still draw the map, the frame's further passes are prepared on a
    // core of their own and the threads contend, which made frames about a
    // tenth slower and uneven. Waiting for the map is faster there.
    const char* rendererName = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    waitForDepthPass = rendererName != nullptr && std::strstr(rendererName, "llvmpipe") != nullptr;
    shadowMapDriverLimit = DriverLimit();
    PrepareFilterPrograms();
    OfferFilters(options, FilterOffered(MapFiltering::Pcss), FilterOffered(MapFiltering::Vsm));
    previewProgram = GLEW_VERSION_2_0 ? BuildPreviewProgram() : 0;
    PrepareShadowCube();
    OfferMapSizes();
}

FitTargets Renderer::ShadowFitTargets() const
{
    return {&casterOutlines.All(), sceneBox};
}

// The fitted camera where fitting is on and finds casters, else the one
// the bar's planes and box set; either is loaded and kept in lightCamera.
void Renderer::LoadLightCamera()
{
    LightCamera camera;
    lightCameraFitted = options.fitFrustum && lightCameraFit.Fit(light, ShadowFitTargets(), camera);
    if (lightCameraFitted) {
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(camera.projection.data());
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(camera.view.data());
        lightCamera = camera;
        return;
    }
    LoadLightProjection(options, light);
    lightCamera.projection = CurrentMatrix(GL_PROJECTION_MATRIX);
    LoadLightView(options, light);
    lightCamera.view = CurrentMatrix(GL_MODELVIEW_MATRIX);
    lightCamera.near = options.near;
    lightCamera.far = options.far;
    lightCamera.orthographic = light.lightType == LightType::Directional;
}

// Without an off-screen buffer the window's size limits the map, so every
// resize may change what the bar offers.
void Renderer::OfferMapSizes()
{
    if (shadowMapDriverLimit == 0)
        return;
    const std::int32_t largest =
        LargestMapSize(shadowMapDriverLimit, shadowMapFramebuffer != 0, viewportWidth, viewportHeight);
    if (largest == offeredMapSize)
        return;
    offeredMapSize = largest;
    LimitMapSizes(options, largest);
}

// Without OpenGL 1.4 there are no depth textures to compare with: the frame
// keeps the camera view for the light marker and draws no scene. On return
// the viewport, the camera projection and all attributes are the window's
// again and the modelview holds the camera view.
void Renderer::RenderShadowMap()
{
    if (!GLEW_VERSION_1_4) {
        ApplyCamera();
        light.UploadPosition();
        return;
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDepthFunc(GL_LEQUAL);

    const GLsizei size = MapSizeInUse();
    const bool cube = CubeMapInUse();
    if (cube) {
        RenderCubeDepthMaps(size);
    } else {
        LoadLightCamera();
        if (options.filtering == MapFiltering::Vsm && varianceMap.Available()) {
            FitMapStorage(*this, size);
            const PixelRect casters = boundVarianceMap ? CasterTexels(lightCamera.projection, lightCamera.view,
                                                                      casterOutlines.All(), size)
                                                       : PixelRect{0, 0, size, size};
            varianceMap.Render(*this, lightCamera.projection, size, options.blur, casters);
        } else {
            RenderDepthMap(*this, size);
        }
        LoadTextureMatrix(lightCamera.projection, lightCamera.view);
    }

    // The window's viewport and the camera's projection again; the window's
    // size has not changed, so nothing else that a resize updates is due.
    glViewport(0, 0, viewportWidth, viewportHeight);
    UpdateProjection();
    if (options.useMapView)
        ReserveMapPreview(*this);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ApplyCamera();
    const bool alphaTested = !options.drawAsTexture && options.filtering == MapFiltering::None && !cube;
    // Where every material is more opaque than the alpha test's line, the
    // dimmed pass keeps exactly the fragments found shadowed, so the error
    // view's marks of the shown shadow come with it instead of from a pass
    // of their own; it leaves out triangles facing away from the light,
    // where the view compares nothing.
    const bool errorView = options.errorView && options.errorViewOffered;
    const bool markedInDimming = errorView && alphaTested && MaterialsMoreOpaqueThan(LitAlpha);
    if (!options.drawAsTexture) {
        glEnable(GL_LIGHTING);
        light.UploadPosition();
        light.Upload(alphaTested);
        DrawScene(true, true, false);
    }
    glEnable(GL_TEXTURE_2D);
    EnableWorldCoordinates();
    if (options.drawAsTexture) {
        SetUpComparison(light, true);
        if (cube)
            DrawCubeComparisons(true);
        else
            DrawScene(true, true, false);
    } else if (alphaTested) {
        KeepDepth();
        const PixelRect shadowed = ShadowedPixels(*this, lightCamera.projection, lightCamera.view, size);
        if (markedInDimming) {
            BeginMarkingShownShadow();
            shownShadowPixels = shadowed;
        }
        DimShadowedSurfaces(*this, shadowed);
        glDisable(GL_STENCIL_TEST);
    } else {
        SetUpComparison(light, false);
        KeepDepth();
        DrawFilteredLight(lightCamera.projection, size);
    }
    if (errorView && !markedInDimming)
        MarkMappedLight(lightCamera.projection, size);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_ALPHA_TEST);
    DisableWorldCoordinates();

    // The six faces of the cube map together look in every direction, so
    // their outline would bound nothing; it is left out.
    if (options.showFrustum && !cube)
        DrawFrustumOutline(*this);
    if (options.useMapView)
        DrawMapPreview(*this);
    glDisable(GL_TEXTURE_2D);
    glPopAttrib();
}
}
