// The renderer the GL window embeds: the scene with everything needed to draw
// it (the options the tweak bars edit, the light, the camera, the data of the
// three shadow methods) and the frame that runs one shadow pass per paint.
#pragma once

#include "FrameRate.h"
#include "ErrorView.h"
#include "Geometry.h"
#include "Light.h"
#include "LightFrustumFit.h"
#include "LitTriangles.h"
#include "MapShadowBounds.h"
#include "Scene.h"
#include "ShadowCubeMap.h"
#include "ShadowVolumes.h"
#include "VarianceShadowMap.h"
#include "VolumeFootprint.h"

#include "tweakbar/TweakBar.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace KorvanaFramework
{
// Which pass RenderFrame runs; the main bar's "rederingMode" chooses it.
enum class RendererMode : std::int32_t
{
    None = 0,       // the lit scene without shadow
    Projected = 1,  // the shadow flattened onto the scene's shadow plane
    Volumes = 2,    // stencil shadow volumes
    Mapping = 3,    // a depth map rendered from the light
};

// How the shadow map's depth comparison is filtered; the bar "mapped" offers
// them as "filtering".
enum class MapFiltering : std::int32_t
{
    None = 0,    // one comparison: a surface is lit or not
    Linear = 1,  // the driver's linear filter over 2 × 2 comparisons
    Pcf = 2,     // the mean of 4 × 4 comparisons around the texel
    Pcss = 3,    // contact-hardening: a filter as wide as the penumbra
    Vsm = 4,     // a variance map and Chebyshev's bound
};

// The side of the smallest shadow map, and of the largest the bar offers.
constexpr std::int32_t SmallestMapSize = 512;
constexpr std::int32_t LargestOfferedMapSize = 4096;

// The largest map side, a power of two from SmallestMapSize to
// LargestOfferedMapSize, that the driver's limit allows, and without an
// off-screen depth buffer also the window's width and height.
std::int32_t LargestMapSize(std::int32_t driverLimit, bool offScreen, std::int32_t width, std::int32_t height);

// The options of the frame, each named after the bar variable that shows it;
// where two bars use the same variable name the field carries the bar's name
// in front (projectedPolygonOffset for "projected/polygonOffset"). The bar
// builders assign the defaults when InitGL creates the bars; the handles are
// null while their bar does not exist.
struct RendererOptions
{
    bool tweakBarsReady = false;

    TwBar* mainBar = nullptr;
    RendererMode rendererMode = RendererMode::None;
    Vec3 backgroundColor{};
    float frameMilliseconds = 0.0f;  // the main bar's read-only frame figures
    float framesPerSecond = 0.0f;
    bool errorViewOffered = false;  // set before the bars are built
    bool errorView = false;         // tint where the method and the exact shadow disagree
    float agreementPercent = 0.0f;  // the error view's read-only share of agreeing pixels

    TwBar* projectedBar = nullptr;
    bool drawObjects = false;
    float projectedPolygonOffset = 0.0f;
    bool projectedUseDarkening = false;
    float projectedDarkeningFactor = 0.0f;
    bool darkeningStencil = false;

    TwBar* volumeBar = nullptr;
    bool drawVolumes = false;
    std::int32_t stencilOperation = 0;  // 0 depth-pass, 1 depth-fail
    bool infiniteFrustum = false;
    bool volumeUseDarkening = false;
    float volumeDarkeningFactor = 0.0f;
    bool infiniteVolume = false;
    float volumeLenght = 0.0f;

    TwBar* mappedBar = nullptr;
    float near = 0.0f;
    float far = 0.0f;
    float orthoSize = 0.0f;
    float orthoOffset = 0.0f;
    float mappedPolygonOffset = 0.0f;
    bool useMapView = false;
    float mapViewSize = 0.0f;
    bool drawAsTexture = false;
    bool showFrustum = false;
    std::int32_t mapSize = 0;  // texels along each side of the map
    MapFiltering filtering = MapFiltering::None;
    float lightSize = 0.0f;          // the light's width for PCSS, in scene units
    std::int32_t blur = 0;           // the box blur of the variance map, in texels
    float bleedingReduction = 0.0f;  // the share of Chebyshev's bound cut away
    bool fitFrustum = false;  // the light's frustum fitted to the casters in every frame
    bool cubeMap = false;     // a point light's map in six cube faces, where offered

    Light* barLight = nullptr;
    TwBar* lightBar = nullptr;
};

class Renderer
{
public:
    // Makes no GL call: the window constructs the renderer before its context.
    Renderer();
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Reads the OBJ file (with its materials) and prepares the shadow plane
    // and the volume geometry for it. False when the file could not be read.
    bool LoadScene(const std::string& path);
    // GL state of the frames, the tweak bars, the light's start position and
    // the shadow-map texture; needs the window's context current. Always true.
    bool InitGL();
    // One frame: the frame figures, clear, the pass of rendererMode, the
    // light marker, the bars, glFinish. The window presents it.
    void RenderFrame();
    // The client size in pixels; a height of 0 counts as 1. The map sizes
    // offered follow it where the map has no off-screen buffer. Always true.
    bool Resize(std::int32_t width, std::int32_t height);
    // Loads the camera projection: the frustum of the viewport, with the far
    // plane at infinity while the volume pass asks for it.
    void UpdateProjection();
    // The column-major matrix UpdateProjection loads.
    Matrix4 ProjectionMatrix() const;

    // The shadow passes, one per RendererMode.
    void RenderNoShadow();
    void RenderProjectedShadow();
    void RenderShadowVolumes();
    void RenderShadowMap();

    // Finds the object "ShadowPlaneNS" and the plane through its first
    // triangle, which receives the projected shadow.
    void ComputePlaneEquation();
    // The boxes around the points of every object of the scene and of
    // every object the map's depth pass draws; the light's last fit to
    // them is forgotten.
    void ComputeSceneBox();
    // Fills shadowMatrix, the projection from the light onto planeEquation,
    // and multiplies it onto the current matrix.
    void ComputeShadowMatrix();

    // Draws the scene's objects with client-side vertex arrays, all but the
    // shadow plane; with materials and normals or in the current colour, all
    // objects or the shadow casters only (open ones with both faces); with
    // `lit`, of each object the triangles its last selection kept, or with
    // `leftOut` the others.
    void DrawScene(bool useMaterials, bool useNormals, bool castersOnly, const LitTriangles* lit = nullptr,
                   bool leftOut = false) const;
    // The triangles the full light can brighten, selected for the light as
    // it is now, for a pass that dims surfaces drawn under the full light;
    // nullptr where every triangle is to be drawn.
    const LitTriangles* SelectLitTriangles();
    // True when every object DrawScene draws has a material whose diffuse
    // alpha, the alpha that lighting gives, exceeds `alpha`.
    bool MaterialsMoreOpaqueThan(float alpha) const;

    // Turns the view by yaw and pitch (degrees); pitch stays within ±90.
    void RotateCamera(float deltaYaw, float deltaPitch);
    // Moves the eye along the view axis; the distance stays within 0.2..100.
    void ZoomCamera(float deltaDistance);
    // Multiplies the view transform onto the current modelview matrix.
    void ApplyCamera() const;

    const Scene& GetScene() const { return scene; }
    std::int32_t ViewportWidth() const { return viewportWidth; }
    std::int32_t ViewportHeight() const { return viewportHeight; }

    Scene scene;
    RendererOptions options;
    Light light;
    bool multisample = false;  // GL multisampling on, for a multisampled format
    std::string sceneFile;     // the last scene that loaded

    std::int32_t viewportWidth = 1;
    std::int32_t viewportHeight = 1;
    float aspect = 1.0f;

    // The camera frustum's extents at the near plane, in world units.
    float frustumNear = 0.1f;
    float frustumFar = 100.0f;
    float frustumBottom = -0.05f;
    float frustumTop = 0.05f;
    float frustumLeft = -0.05f;
    float frustumRight = 0.05f;

    // The orbiting camera: degrees about X and Y, distance of the eye from
    // the origin, and the shift in the view plane.
    float pitch = 0.0f;
    float yaw = 0.0f;
    float distance = 10.0f;
    float panX = 0.0f;
    float panY = 0.0f;

    // The projected shadow: the index of "ShadowPlaneNS" (NoSceneObject when
    // the scene has none), its plane, the projection onto it and whether the
    // plane is known.
    std::uint32_t shadowPlaneIndex = NoSceneObject;
    Plane planeEquation{};
    Matrix4 shadowMatrix{};
    bool planeValid = false;

    ShadowVolumeSet shadowVolumes;
    // Per scene object, whether it casts a shadow from a mesh that is not
    // closed; filled by FindOpenCasters at every scene load.
    std::vector<bool> openCasters;
    // The box around every point of the scene; the volumes' counting and
    // the dimming of shadow mapping are bounded by it, the latter also by
    // the casters' outlines.
    Box sceneBox;
    CasterOutlines casterOutlines;
    // Off only in tests: the volumes are counted over the whole window, and
    // the error view counts every volume depth-fail, the picture that
    // bounding them must not change.
    bool boundVolumeCounting = true;
    // The pieces of the volumes the last bounded counting drew, each with
    // its scissor rectangle, kept so that frames allocate nothing.
    std::vector<VolumePiece> volumePieces;
    // The volumes the exact count of the error view counts depth-fail.
    std::vector<VolumePiece> enclosingPieces;

    // The triangles the full light can brighten, selected anew for each
    // frame that dims shadowed surfaces; off only in tests, which compare
    // the picture with the one of whole objects.
    LitTriangles litTriangles;
    bool selectLitTriangles = true;
    // Off only in tests: shadow mapping dims shadowed surfaces, and the
    // error view tints what the projected shadow covers, over the whole
    // window, the picture that bounding them must not change.
    bool boundShadowedPixels = true;
    // Off only in tests: the variance map is rendered and blurred over all
    // of its texels, the picture that bounding it by the casters must keep.
    bool boundVarianceMap = true;

    // Times the frames from one RenderFrame to the next for the main bar.
    FrameRate frameRate;

    // The depth texture of shadow mapping, bound for the whole run, and the
    // side its image has now; where the driver clamps it to its white
    // border, coordinates beyond the map read as lit.
    std::uint32_t shadowMapTexture = 0;
    std::int32_t shadowMapTextureSize = 0;
    bool shadowMapClampsToBorder = false;
    // A framebuffer whose depth buffer is that texture, for the depth pass;
    // 0 where the driver has none.
    std::uint32_t shadowMapFramebuffer = 0;
    // The frame waits for the map's depth pass before drawing on (see
    // PrepareShadowMapStorage).
    bool waitForDepthPass = false;
    // The largest texture and viewport side the driver takes, and the
    // largest map the bar offers now.
    std::int32_t shadowMapDriverLimit = 0;
    std::int32_t offeredMapSize = 0;
    // The fragment programs of PCF 4 × 4 and of the contact-hardening
    // filter; 0 before OpenGL 2.0.
    std::uint32_t pcfProgram = 0;
    std::uint32_t pcssProgram = 0;
    VarianceShadowMap varianceMap;
    // Compares the frame's shadow with the exact one while options.errorView.
    ErrorView errorView;
    // The pixels outside which the frame's pass shadowed nothing, where the
    // pass bounds its shadow for the error view; the view forgets them.
    std::optional<PixelRect> shownShadowPixels;
    // Whether the frame's pass marked the surfaces the light can reach for
    // the error view itself; the view forgets it.
    bool receiversMarked = false;

    // The light's camera of the last depth pass, and whether it was fitted
    // to the casters (its corners are known only then).
    LightCamera lightCamera;
    bool lightCameraFitted = false;
    // The fit of the last frames, kept while the light stands still.
    LightCameraFit lightCameraFit;
    // A point light's cube map, where the driver offers one.
    ShadowCube shadowCube;
    // The program that shows the map's depth linearised in the preview; 0
    // before OpenGL 2.0, where the preview shows the stored depth.
    std::uint32_t previewProgram = 0;

    // The map side the pass renders: the chosen one within what is offered.
    std::int32_t MapSizeInUse() const;
    // Whether the driver can run a filter; only those are offered.
    bool FilterOffered(MapFiltering filtering) const;
    // Draws the casters flattened onto the shadow plane, in the current
    // colour and state, with the depth offset of the projected method.
    void DrawFlattenedCasters();
    // True when the projected pass marks the pixels its shadow covers for
    // the error view itself.
    bool ProjectedShadowMarksItself() const;
    // Counts, for every pixel, the volumes of the light as it is now around
    // the visible surface point into the stencil bits of `writeMask`, as
    // depth-fail counting with the far plane at infinity counts them; the
    // caller sets the depth test, depth clamping and the colour mask.
    // Returns the pixels outside which every count is 0.
    PixelRect CountExactShadow(std::uint32_t writeMask);
    // True when the pass renders the point light's cube map.
    bool CubeMapInUse() const;
    // The casters' outlines and the receivers' box the light's camera is
    // fitted to.
    FitTargets ShadowFitTargets() const;

private:
    // Marks the casters whose volume geometry was rejected as not closed.
    void FindOpenCasters();
    void PrepareShadowMapTexture();
    void PrepareShadowMapStorage();
    // Offers the map sizes the driver and the window allow now.
    void OfferMapSizes();
    // Compiles the filters' fragment programs where OpenGL 2.0 exists.
    void PrepareFilterPrograms();
    // The light's camera, fitted or as the options set it, loaded for the
    // depth pass.
    void LoadLightCamera();
    // The cube map's texture, framebuffers and programs where the driver
    // can render and compare a depth cube map; offers the row accordingly.
    void PrepareShadowCube();
    // The casters' depth in the six faces of `size` texels.
    void RenderCubeDepthMaps(std::int32_t size);
    // Draws the scene with the cube map's comparison, filtered as chosen,
    // or with its stored depth as grey.
    void DrawCubeComparisons(bool showDepth) const;
    // The full-light pass blended over the dimmed one by each fragment's
    // filtered lit share; the comparison is set up and the texture
    // coordinates generated.
    void DrawFilteredLight(const Matrix4& lightProjection, std::int32_t mapSize);
    // Sets up the chosen filter so that the next drawing's fragments carry
    // their lit share in the alpha; true while it left a program in use.
    bool UseLitShare(const Matrix4& lightProjection, std::int32_t mapSize);
    // Marks the pixels the map lights for the error view.
    void MarkMappedLight(const Matrix4& lightProjection, std::int32_t mapSize);
};
}
