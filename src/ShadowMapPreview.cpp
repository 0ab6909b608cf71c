#include "ShadowMapPreview.h"

#include "Renderer.h"
#include "ShaderPrograms.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
namespace
{
// Depth stored by a perspective runs as 1/z; turned back into the distance
// along the light's axis it shows near as black and far as white, so that
// the casters stand out as shapes. A box's depth is linear already.
const char* const PreviewSource = R"(
uniform sampler2D map;
uniform float near;
uniform float far;
uniform bool perspective;
void main()
{
    float d = texture2D(map, gl_TexCoord[0].st).r;
    float z = perspective ? 2.0 * far * near / (far + near - (2.0 * d - 1.0) * (far - near)) : near + d * (far - near);
    gl_FragColor = vec4(vec3(clamp((z - near) / (far - near), 0.0, 1.0)), 1.0);
}
)";

// The cross of the cube's faces, four cells wide and three high: the middle
// row turns right from −X through −Z and +X to +Z, +Y above −Z and −Y below
// it, each face as seen from the light, its axis with the directions to
// its right and up.
struct CrossCell
{
    int column, row;
    Vec3 axis, right, up;
};
constexpr CrossCell Cross[6] = {
    {0, 1, {-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {1, 1, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
    {2, 1, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}},   {3, 1, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
    {1, 2, {0, 1, 0}, {1, 0, 0}, {0, 0, 1}},   {1, 0, {0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
};

// The corner (sx, sy) of a cell, each -1 or 1, as a direction from the light.
void CellCorner(const CrossCell& cell, float sx, float sy)
{
    glTexCoord3f(cell.axis[0] + sx * cell.right[0] + sy * cell.up[0],
                 cell.axis[1] + sx * cell.right[1] + sy * cell.up[1],
                 cell.axis[2] + sx * cell.right[2] + sy * cell.up[2]);
}

// The square in the window's lower-right corner, its side mapViewSize times
// the smaller window side, with texture coordinates across the whole map;
// for the cube map the cross of its faces, as wide as the square.
void DrawPreviewShape(Renderer& renderer, bool cube)
{
    float sx = 2.0f, sy = 2.0f;
    if (renderer.viewportHeight < renderer.viewportWidth)
        sx = 2.0f / renderer.aspect;
    else
        sy = 2.0f * renderer.aspect;
    sx *= renderer.options.mapViewSize;
    sy *= renderer.options.mapViewSize;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    if (cube) {
        const float w = sx / 4.0f, h = sy / 4.0f;
        for (const CrossCell& cell : Cross) {
            const float x = 1.0f - sx + w * static_cast<float>(cell.column);
            const float y = -1.0f + h * static_cast<float>(cell.row);
            CellCorner(cell, -1.0f, -1.0f);
            glVertex2f(x, y);
            CellCorner(cell, 1.0f, -1.0f);
            glVertex2f(x + w, y);
            CellCorner(cell, 1.0f, 1.0f);
            glVertex2f(x + w, y + h);
            CellCorner(cell, -1.0f, 1.0f);
            glVertex2f(x, y + h);
        }
    } else {
        glTexCoord4f(0.0f, 0.0f, 0.0f, 1.0f);
        glVertex2f(1.0f - sx, -1.0f);
        glTexCoord4f(1.0f, 0.0f, 0.0f, 1.0f);
        glVertex2f(1.0f, -1.0f);
        glTexCoord4f(1.0f, 1.0f, 0.0f, 1.0f);
        glVertex2f(1.0f, sy - 1.0f);
        glTexCoord4f(0.0f, 1.0f, 0.0f, 1.0f);
        glVertex2f(1.0f - sx, sy - 1.0f);
    }
    glEnd();
    glPopMatrix();
    renderer.UpdateProjection();
}

// The program for the map in use with the light's near and far planes,
// or 0 where the stored depth is shown.
GLuint UsePreviewProgram(const Renderer& renderer, bool cube)
{
    const GLuint program = cube ? renderer.shadowCube.previewProgram : renderer.previewProgram;
    if (program == 0)
        return 0;
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "map"), 0);
    const float near = cube ? renderer.shadowCube.near : renderer.lightCamera.near;
    const float far = cube ? renderer.shadowCube.far : renderer.lightCamera.far;
    glUniform1f(glGetUniformLocation(program, "near"), near);
    glUniform1f(glGetUniformLocation(program, "far"), far);
    glUniform1i(glGetUniformLocation(program, "perspective"), renderer.lightCamera.orthographic ? 0 : 1);
    return program;
}
}

std::uint32_t BuildPreviewProgram()
{
    return BuildFragmentProgram("podgladu mapy cieni", "#version 110\n", PreviewSource);
}

// The scene passes reject at the depth test the fragments the preview will
// cover, unless nearer than it, and the preview, drawn last at the same
// depth, shows exactly where it would show over the finished scene.
void ReserveMapPreview(Renderer& renderer)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    DrawPreviewShape(renderer, renderer.CubeMapInUse());
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void DrawMapPreview(Renderer& renderer)
{
    const bool cube = renderer.CubeMapInUse();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_NONE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glDisable(GL_LIGHTING);
    const GLuint program = UsePreviewProgram(renderer, cube);
    DrawPreviewShape(renderer, cube);
    if (program != 0)
        glUseProgram(0);
}
}
