// The point light's cube map: six depth passes, one per face, into the
// faces of a depth cube map, and the fragment program that compares each
// surface with the face its direction from the light falls in. A face
// stores the depth of its own perspective of 90 degrees, so the program
// turns the surface's distance along that face's axis into the same depth.
#define KORVANA_UNIT "src/ShadowCubeMap"

#include "Log.h"
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

// The fixed-function vertices bring each fragment's world position in the
// first texture coordinates. Comparison and stored depth both pick their
// face by the largest coordinate of the direction from the light, as the
// cube map's lookup does; the offsets of the filter run across the face
// of the fragment's own direction and may reach into a neighbouring face.
const char* const CubeSource = R"(
uniform samplerCube map;
uniform vec3 light;
uniform float near;
uniform float far;
uniform float texel;
float FaceDepth(vec3 v, vec3 d)
{
    vec3 a = abs(d);
    float z = a.x >= a.y && a.x >= a.z ? abs(v.x) : (a.y >= a.z ? abs(v.y) : abs(v.z));
    return 0.5 + 0.5 * (far + near - 2.0 * far * near / z) / (far - near);
}
void main()
{
    vec3 v = gl_TexCoord[0].xyz / gl_TexCoord[0].w - light;
#ifdef SHOW_DEPTH
    gl_FragColor = vec4(textureCube(map, v).r);
#else
    vec3 a = abs(v);
    vec3 u = vec3(1.0, 0.0, 0.0);
    vec3 w = vec3(0.0, 0.0, 1.0);
    float m = a.z;
    if (a.x >= a.y && a.x >= a.z) {
        u = vec3(0.0, 1.0, 0.0);
        m = a.x;
    } else if (a.y >= a.z) {
        m = a.y;
    } else {
        w = vec3(0.0, 1.0, 0.0);
    }
    float spacing = texel * m;
    float lit = 0.0;
    for (int y = 0; y < SIDE; ++y) {
        for (int x = 0; x < SIDE; ++x) {
            vec2 o = (vec2(float(x), float(y)) - 0.5 * float(SIDE - 1)) * spacing;
            vec3 d = v + u * o.x + w * o.y;
            lit += step(FaceDepth(v, d), textureCube(map, d).r);
        }
    }
    gl_FragColor = gl_Color * (lit / float(SIDE * SIDE));
#endif
}
)";

// The faces' depth linearised from near (black) to far (white) for the
// preview, the preview's texture coordinates being directions.
const char* const CubePreviewSource = R"(
uniform samplerCube map;
uniform float near;
uniform float far;
void main()
{
    float d = textureCube(map, gl_TexCoord[0].xyz).r;
    float z = 2.0 * far * near / (far + near - (2.0 * d - 1.0) * (far - near));
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

bool BuildPrograms(ShadowCube& cube)
{
    for (int filter = 0; filter < 3; ++filter) {
        const std::string prelude = "#version 110\n#define SIDE " + std::to_string(ComparisonSides[filter]) + "\n";
        cube.comparePrograms[filter] = BuildFragmentProgram("mapy szesciennej", prelude.c_str(), CubeSource);
    }
    cube.depthProgram = BuildFragmentProgram("glebokosci mapy szesciennej", "#version 110\n#define SHOW_DEPTH\n",
                                             CubeSource);
    cube.previewProgram = BuildFragmentProgram("podgladu mapy szesciennej", "#version 110\n", CubePreviewSource);
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
    const GLuint program = showDepth ? shadowCube.depthProgram : shadowCube.comparePrograms[filter < 3 ? filter : 0];
    glUseProgram(program);
    SetUniforms(program, shadowCube);
    DrawScene(true, true, false);
    glUseProgram(0);
}
}
