// The point light's cube map: six depth passes, one per face, into the
// faces of a depth cube map, and the fragment program that compares each
// surface with the face its direction from the light falls in. A face
// stores the depth of its own perspective of 90 degrees, so the program
// turns the surface's distance along that face's axis into the same depth.
#define KORVANA_UNIT "src/ShadowCubeMap"

#include "Log.h"
#include "PenumbraFilter.h"
#include "Renderer.h"
#include "ShaderPrograms.h"
#include "ShadowMapFramebuffers.h"
#include "TweakBars.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <string>

namespace KorvanaFramework
{
namespace
{
// Comparisons per side of each filter, by MapFiltering: one, 2 × 2 at
// half-texel offsets, 4 × 4 at -1.5 to 1.5 texels.
constexpr int ComparisonSides[3] = {1, 2, 4};

// What the cube's programs share. The fixed-function vertices bring each
// fragment's world position in the first texture coordinates. Comparison
// and stored depth both pick their face by the largest coordinate of the
// direction from the light, as the cube map's lookup does.
const char* const CubeFunctionsSource = R"(
uniform samplerCube map;
uniform vec3 light;
uniform float near;
uniform float far;
// The window depth a face stores for a point at distance z along its axis.
float FaceDepth(float z)
{
    return 0.5 + 0.5 * (far + near - 2.0 * far * near / z) / (far - near);
}
// The distance along its face's axis that a stored window depth stands for.
float FaceDistance(float depth)
{
    return 2.0 * far * near / (far + near - (2.0 * depth - 1.0) * (far - near));
}
// The distance of q along the axis of the face that direction d falls in.
float AxisDistance(vec3 q, vec3 d)
{
    vec3 a = abs(d);
    return a.x >= a.y && a.x >= a.z ? abs(q.x) : (a.y >= a.z ? abs(q.y) : abs(q.z));
}
// Two directions across the face that v falls in; returns v's distance
// along that face's axis.
float FaceAcross(vec3 v, out vec3 u, out vec3 w)
{
    vec3 a = abs(v);
    u = vec3(1.0, 0.0, 0.0);
    w = vec3(0.0, 0.0, 1.0);
    if (a.x >= a.y && a.x >= a.z) {
        u = vec3(0.0, 1.0, 0.0);
        return a.x;
    }
    if (a.y >= a.z)
        return a.y;
    w = vec3(0.0, 1.0, 0.0);
    return a.z;
}
)";

// The offsets of the filter run across the face of the fragment's own
// direction and may reach into a neighbouring face.
const char* const CubeSource = R"(
uniform float texel;
void main()
{
    vec3 v = gl_TexCoord[0].xyz / gl_TexCoord[0].w - light;
#ifdef SHOW_DEPTH
    gl_FragColor = vec4(textureCube(map, v).r);
#else
    vec3 u, w;
    float spacing = texel * FaceAcross(v, u, w);
    float lit = 0.0;
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            vec2 o = (vec2(float(x), float(y)) - 0.5 * float(SIDE - 1)) * spacing;
            vec3 d = v + u * o.x + w * o.y;
            lit += step(FaceDepth(AxisDistance(v, d)), textureCube(map, d).r);
        }
    }
    gl_FragColor = gl_Color * (lit / float(SIDE * SIDE));
#endif
}
)";

// Contact-hardening soft shadows in the cube, as in the flat map: the
// widths are world distances across the fragment's face at its distance,
// where a flat map's share s of its side is 2 s times that distance. Each
// sample is compared with the receiver's plane where the sample's ray
// meets it, so that a wide filter does not shadow a surface slanted to the
// light; that point is kept between half and twice the fragment's distance
// where the plane runs almost along the ray.
const char* const CubePenumbraSource = R"(
uniform float lightSize;
vec3 v;
vec3 n;
float PlaneDepth(vec3 d)
{
    float along = dot(n, d);
    float t = along != 0.0 ? clamp(dot(n, v) / along, 0.5, 2.0) : 1.0;
    return min(FaceDepth(AxisDistance(d * t, d)), 1.0);
}
void main()
{
    v = gl_TexCoord[0].xyz / gl_TexCoord[0].w - light;
    n = cross(dFdx(v), dFdy(v));
    vec3 u, w;
    float receiver = FaceAcross(v, u, w);
    float search = clamp(lightSize * (receiver - near) / near, 0.0, receiver);
    float blockers = 0.0;
    float sum = 0.0;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            vec2 o = GridPoint(x, y, 3.0) * search;
            vec3 d = v + u * o.x + w * o.y;
            float z = textureCube(map, d).r;
            if (z < PlaneDepth(d)) {
                blockers += 1.0;
                // The caster's distance along its own face's axis, carried
                // along its ray to the axis of the fragment's face.
                sum += FaceDistance(z) * AxisDistance(d, v) / AxisDistance(d, d);
            }
        }
    }
    float blocker = sum / max(blockers, 1.0);
    float width = clamp(lightSize * (receiver - blocker) / blocker, 0.0, receiver);
    int samples = blockers == 0.0 || blockers == 9.0 ? 0 : 16;
    float lit = blockers == 0.0 ? 16.0 : 0.0;
    for (int i = 0; i < samples; ++i) {
        vec2 o = GridPoint(i - i / 4 * 4, i / 4, 4.0) * width;
        vec3 d = v + u * o.x + w * o.y;
        lit += step(PlaneDepth(d), textureCube(map, d).r);
    }
    gl_FragColor = gl_Color * (lit / 16.0);
}
)";

// The faces' depth linearised from near (black) to far (white) for the
// preview, the preview's texture coordinates being directions.
const char* const CubePreviewSource = R"(
void main()
{
    float z = FaceDistance(textureCube(map, gl_TexCoord[0].xyz).r);
    gl_FragColor = vec4(vec3(clamp((z - near) / (far - near), 0.0, 1.0)), 1.0);
}
)";

bool DriverHasCubeMaps()
{
    // Depth cube maps came with OpenGL 3.0 and EXT_gpu_shader4; the
    // comparison needs the fragment programs of OpenGL 2.0.
    return (GLEW_VERSION_1_3 || GLEW_ARB_texture_cube_map) && GLEW_VERSION_2_0 &&
           (GLEW_VERSION_3_0 || GLEW_EXT_gpu_shader4) && Framebuffers().Available();
}

// Each face's image, allocated again only when the side changes.
void FitCubeStorage(ShadowCube& cube, GLsizei size)
{
    if (cube.size == size)
        return;
    for (GLenum face = 0; face < 6; ++face)
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_INT, nullptr);
    cube.size = size;
}

// One framebuffer per face, its depth buffer the face; false where the
// driver finds one incomplete.
bool AttachFaces(ShadowCube& cube)
{
    const FramebufferCalls calls = Framebuffers();
    calls.genFramebuffers(6, cube.framebuffers.data());
    bool complete = true;
    for (GLenum face = 0; face < 6; ++face) {
        calls.bindFramebuffer(GL_FRAMEBUFFER, cube.framebuffers[face]);
        calls.framebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face,
                                   cube.texture, 0);
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
        complete = complete && calls.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    calls.bindFramebuffer(GL_FRAMEBUFFER, 0);
    return complete;
}

// A program of the cube: the version line, `head`, the shared functions,
// then `main`.
GLuint BuildCubeProgram(const std::string& name, const std::string& head, const char* main)
{
    const std::string prelude = "#version 110\n" + head + CubeFunctionsSource;
    return BuildFragmentProgram(name, prelude.c_str(), main);
}

// False where a program the cube needs does not build; the soft filter's
// is not needed: without it that filter compares once per face.
bool BuildPrograms(ShadowCube& cube)
{
    for (int filter = 0; filter < 3; ++filter)
        cube.comparePrograms[filter] = BuildCubeProgram(
            "mapy szesciennej", "#define SIDE " + std::to_string(ComparisonSides[filter]) + "\n", CubeSource);
    cube.penumbraProgram = BuildCubeProgram("PCSS mapy szesciennej", GridPointSource, CubePenumbraSource);
    cube.depthProgram = BuildCubeProgram("glebokosci mapy szesciennej", "#define SHOW_DEPTH\n", CubeSource);
    cube.previewProgram = BuildCubeProgram("podgladu mapy szesciennej", "", CubePreviewSource);
    for (const GLuint program : cube.comparePrograms)
        if (program == 0)
            return false;
    return cube.depthProgram != 0 && cube.previewProgram != 0;
}

// Gives back what a failed preparation made; the cube stays not ready.
void Release(ShadowCube& cube)
{
    const FramebufferCalls calls = Framebuffers();
    calls.deleteFramebuffers(6, cube.framebuffers.data());
    for (const GLuint program : cube.comparePrograms)
        glDeleteProgram(program);
    glDeleteProgram(cube.penumbraProgram);
    glDeleteProgram(cube.depthProgram);
    glDeleteProgram(cube.previewProgram);
    const GLuint texture = cube.texture;
    glDeleteTextures(1, &texture);
    cube = ShadowCube{};
}

void SetUniforms(GLuint program, const ShadowCube& cube)
{
    glUniform1i(glGetUniformLocation(program, "map"), 0);
    glUniform3f(glGetUniformLocation(program, "light"), cube.light[0], cube.light[1], cube.light[2]);
    glUniform1f(glGetUniformLocation(program, "near"), cube.near);
    glUniform1f(glGetUniformLocation(program, "far"), cube.far);
    glUniform1f(glGetUniformLocation(program, "texel"), 2.0f / static_cast<float>(cube.size));
}
}

const std::array<CubeFace, 6>& CubeFaces()
{
    static const std::array<CubeFace, 6> faces{{
        {{1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},
        {{-1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},
        {{0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
        {{0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, -1.0f}},
        {{0.0f, 0.0f, 1.0f}, {0.0f, -1.0f, 0.0f}},
        {{0.0f, 0.0f, -1.0f}, {0.0f, -1.0f, 0.0f}},
    }};
    return faces;
}

bool Renderer::CubeMapInUse() const
{
    return options.cubeMap && light.lightType == LightType::Point && light.position[3] != 0.0f && shadowCube.Ready();
}

// The cube map stays bound to the cube target of the first texture unit
// for the whole run, beside the flat map on its 2D target; only the
// programs read it, so the target is never enabled.
void Renderer::PrepareShadowCube()
{
    if (!DriverHasCubeMaps()) {
        OfferCubeMap(options, false, light.lightType);
        return;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    shadowCube.texture = texture;
    glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_COMPARE_MODE, GL_NONE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
    FitCubeStorage(shadowCube, SmallestMapSize);
    const bool attached = AttachFaces(shadowCube);
    if (!attached)
        LOG_ERROR("Bufor głębokości mapy sześciennej jest niekompletny; mapa sześcienna nie jest oferowana.");
    if (!attached || !BuildPrograms(shadowCube)) {
        Release(shadowCube);
        OfferCubeMap(options, false, light.lightType);
        return;
    }
    OfferCubeMap(options, true, light.lightType);
}

// Six passes of the casters from the light, each through a square frustum
// of 90 degrees into its face, between the fitted distances or the bar's
// planes.
void Renderer::RenderCubeDepthMaps(std::int32_t size)
{
    const Vec4& p = light.position;
    shadowCube.light = {p[0] / p[3], p[1] / p[3], p[2] / p[3]};
    const Vec3& at = shadowCube.light;
    const bool fitted =
        options.fitFrustum && FitCubeRange(shadowCube.light, ShadowFitTargets(), shadowCube.near, shadowCube.far);
    if (!fitted) {
        shadowCube.near = options.near;
        shadowCube.far = options.far;
    }
    FitCubeStorage(shadowCube, size);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, shadowCube.near, shadowCube.far);
    glViewport(0, 0, size, size);
    glDisable(GL_LIGHTING);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(options.mappedPolygonOffset, 0.0f);
    const FramebufferCalls calls = Framebuffers();
    glMatrixMode(GL_MODELVIEW);
    for (std::size_t face = 0; face < 6; ++face) {
        const CubeFace& f = CubeFaces()[face];
        calls.bindFramebuffer(GL_FRAMEBUFFER, shadowCube.framebuffers[face]);
        glClear(GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        gluLookAt(at[0], at[1], at[2], at[0] + f.forward[0], at[1] + f.forward[1], at[2] + f.forward[2], f.up[0],
                  f.up[1], f.up[2]);
        DrawScene(false, false, true);
    }
    if (waitForDepthPass)
        glFinish();
    calls.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
}

// The world coordinates reach the program through an identity texture
// matrix.
void Renderer::DrawCubeComparisons(bool showDepth) const
{
    const auto filter = static_cast<std::size_t>(options.filtering);
    const bool penumbra = options.filtering == MapFiltering::Pcss && shadowCube.penumbraProgram != 0;
    const GLuint program = showDepth  ? shadowCube.depthProgram
                           : penumbra ? shadowCube.penumbraProgram
                                      : shadowCube.comparePrograms[filter < 3 ? filter : 0];
    glUseProgram(program);
    SetUniforms(program, shadowCube);
    if (penumbra)
        glUniform1f(glGetUniformLocation(program, "lightSize"), options.lightSize);
    DrawScene(true, true, false);
    glUseProgram(0);
}
}
