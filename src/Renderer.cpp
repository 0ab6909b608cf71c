#include "Renderer.h"

#include "TweakBars.h"

#include "platform/Win32Api.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
namespace
{
// Where InitGL moves the light from its constructed place at the origin, and
// the spot angles it starts with.
const Vec3 StartOffset{2.0f, 5.0f, 2.17f};
constexpr float StartHeading = 180.0f;
constexpr float StartElevation = -43.0f;

// The far plane at infinity keeps a small distance from the limit so that
// depth values stay below 1: m[10] = epsilon - 1, m[14] = (epsilon - 2) n.
constexpr float InfiniteFarEpsilon = 0.01f;
}

Renderer::Renderer() = default;

// The volume geometry points into the scene, so it goes first; the bars and
// the tweak-bar library go before the scene. The shadow-map texture ends
// with the GL context, which the window deletes before the renderer.
Renderer::~Renderer()
{
    shadowVolumes.Clear();
    sceneFile.clear();
    sceneFile.shrink_to_fit();
    DeleteBars(options);
}

// A failed read leaves the scene empty, so nothing may keep pointing into
// the objects of the previous scene: the plane, the box and the volumes are
// dropped, only the path of the last good scene stays.
bool Renderer::LoadScene(const std::string& path)
{
    if (!scene.Load(path)) {
        shadowVolumes.Clear();
        shadowPlaneIndex = NoSceneObject;
        planeValid = false;
        sceneBox = Box{};
        casterOutlines.Clear();
        lightCameraFit.Forget();
        openCasters.clear();
        return false;
    }
    sceneFile = path;
    ComputePlaneEquation();
    ComputeSceneBox();
    shadowVolumes.Clear();
    shadowVolumes.SetScene(&scene);
    shadowVolumes.SetLight(&light);
    shadowVolumes.Build();
    FindOpenCasters();
    return true;
}

bool Renderer::InitGL()
{
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnable(GL_POLYGON_OFFSET_FILL);

    options.tweakBarsReady = TwInit(TW_OPENGL, nullptr) != 0;
    options.errorViewOffered = errorView.Prepare();
    CreateMainBar(options);
    CreateProjectedBar(options);
    CreateVolumeBar(options);
    CreateMappedBar(options);

    light.enabled = true;
    glEnable(GL_LIGHT0);
    light.changed = true;
    for (int axis = 0; axis < 3; ++axis)
        light.position[axis] += StartOffset[axis];
    light.SetAngles(StartHeading, StartElevation);
    CreateLightBar(options, light);

    frustumNear = 0.1f;
    frustumFar = 100.0f;
    frustumTop = 0.05f;
    frustumBottom = -0.05f;

    if (WGLEW_ARB_multisample) {
        if (multisample)
            glEnable(GL_MULTISAMPLE_ARB);
        else
            glDisable(GL_MULTISAMPLE_ARB);
    }
    PrepareShadowMapTexture();
    PrepareShadowMapStorage();
    return true;
}

// The one texture of the run: a depth map that reads as white outside its
// edges where the driver can clamp to a border, with eye-linear coordinate
// generation that the shadow-map pass switches on.
void Renderer::PrepareShadowMapTexture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    shadowMapTexture = name;
    glBindTexture(GL_TEXTURE_2D, shadowMapTexture);
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, white);
    const GLint wrap = GLEW_VERSION_1_3 || GLEW_ARB_texture_border_clamp ? GL_CLAMP_TO_BORDER : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    shadowMapClampsToBorder = wrap == GL_CLAMP_TO_BORDER;
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_INTENSITY);
    for (const GLenum coordinate : {GL_S, GL_T, GL_R, GL_Q})
        glTexGeni(coordinate, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
}

void Renderer::RenderFrame()
{
    if (frameRate.FrameStarted(SteadySeconds())) {
        options.frameMilliseconds = frameRate.Milliseconds();
        options.framesPerSecond = frameRate.FramesPerSecond();
    }
    glClearColor(options.backgroundColor[0], options.backgroundColor[1], options.backgroundColor[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    switch (options.rendererMode) {
    case RendererMode::None:
        RenderNoShadow();
        break;
    case RendererMode::Projected:
        RenderProjectedShadow();
        break;
    case RendererMode::Volumes:
        RenderShadowVolumes();
        break;
    case RendererMode::Mapping:
        RenderShadowMap();
        break;
    }
    if (options.errorView && options.errorViewOffered)
        options.agreementPercent = errorView.Check(*this);
    if (light.changed)
        light.DrawMarker();
    TwDraw();
    glFinish();
}

// The scene in world coordinates under the full light.
void Renderer::RenderNoShadow()
{
    ApplyCamera();
    light.UploadPosition();
    light.Upload(true);
    DrawScene(true, true, false);
}

// A side of 0 (a minimised window) counts as 1, so that neither the aspect
// nor the frustum's width divides by zero.
bool Renderer::Resize(std::int32_t width, std::int32_t height)
{
    if (height == 0)
        height = 1;
    if (width == 0)
        width = 1;
    viewportWidth = width;
    viewportHeight = height;
    aspect = static_cast<float>(width) / static_cast<float>(height);
    glViewport(0, 0, width, height);
    frustumLeft = frustumBottom * aspect;
    frustumRight = frustumTop * aspect;
    UpdateProjection();
    TwWindowSize(width, height);
    OfferMapSizes();
    return true;
}

void Renderer::UpdateProjection()
{
    const Matrix4 m = ProjectionMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(m.data());
    glMatrixMode(GL_MODELVIEW);
}

// glFrustum's matrix, or with the far plane moved to infinity while the
// volume pass wants its volumes' far caps never clipped.
Matrix4 Renderer::ProjectionMatrix() const
{
    const float n = frustumNear, f = frustumFar;
    const float l = frustumLeft, r = frustumRight, b = frustumBottom, t = frustumTop;
    Matrix4 m{};
    m[0] = 2.0f * n / (r - l);
    m[5] = 2.0f * n / (t - b);
    m[8] = (r + l) / (r - l);
    m[9] = (t + b) / (t - b);
    m[11] = -1.0f;
    if (options.rendererMode == RendererMode::Volumes && options.infiniteFrustum) {
        m[10] = InfiniteFarEpsilon - 1.0f;
        m[14] = (InfiniteFarEpsilon - 2.0f) * n;
    } else {
        m[10] = -(f + n) / (f - n);
        m[14] = -2.0f * f * n / (f - n);
    }
    return m;
}
}
