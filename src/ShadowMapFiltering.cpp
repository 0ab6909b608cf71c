// Soft shadow-map edges: instead of the alpha test's lit-or-not, the full
// light is blended over the dimmed pass by the share of comparisons around
// each fragment that find it lit. Fully lit and fully shadowed fragments
// keep exactly the colours of the unfiltered pass.
#include "Renderer.h"
#include "ShaderPrograms.h"

#include <GL/glew.h>

namespace KorvanaFramework
{
namespace
{
// PCF compares PcfSide × PcfSide texels, at these offsets from the
// fragment's own position in texels: -1.5, -0.5, 0.5, 1.5.
constexpr int PcfSide = 4;
constexpr float PcfSamples = PcfSide * PcfSide;

float PcfOffset(int i)
{
    return static_cast<float>(i) - (PcfSide - 1) / 2.0f;
}

// The vertices keep the fixed-function lighting, texture generation and
// texture matrix; only the comparison is done here, sixteen times.
const char* const PcfSource = R"(
uniform sampler2DShadow map;
uniform float texel;
void main()
{
    vec4 coord = gl_TexCoord[0];
    float lit = 0.0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            vec2 offset = (vec2(float(x), float(y)) - 1.5) * texel * coord.q;
            lit += shadow2DProj(map, coord + vec4(offset, 0.0, 0.0)).r;
        }
    }
    gl_FragColor = gl_Color * (lit / 16.0);
}
)";

// The comparison's filter for both minifying and magnifying.
void FilterComparisons(GLint filter)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

// The fragment's colour and alpha both come scaled by its lit share f, so
// the result is full × f + dimmed × (1 − f); unlit fragments are dropped.
void BlendByLitShare()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
}

bool HasDestinationAlpha()
{
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    return bits > 0;
}

// The sixteen comparisons in the fragment program, in one pass.
void DrawPcfInProgram(const Renderer& renderer, GLuint program, GLsizei mapSize)
{
    FilterComparisons(GL_NEAREST);
    BlendByLitShare();
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "map"), 0);
    glUniform1f(glGetUniformLocation(program, "texel"), 1.0f / static_cast<float>(mapSize));
    renderer.DrawScene(true, true, false);
    glUseProgram(0);
}

// Without a fragment program: sixteen passes, each with the texture matrix
// shifted by one offset, add a sixteenth per lit comparison into the
// window's alpha, which then blends the full light over the dimmed pass.
// A sixteenth is 16 of 255 in eight bits, so sixteen lit comparisons give
// exactly 1.
void DrawPcfInPasses(const Renderer& renderer, GLsizei mapSize)
{
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthMask(GL_FALSE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f / PcfSamples);
    FilterComparisons(GL_NEAREST);
    Matrix4 lightMatrix{};
    glGetFloatv(GL_TEXTURE_MATRIX, lightMatrix.data());
    glMatrixMode(GL_TEXTURE);
    for (int y = 0; y < PcfSide; ++y) {
        for (int x = 0; x < PcfSide; ++x) {
            glLoadIdentity();
            glTranslatef(PcfOffset(x) / static_cast<float>(mapSize), PcfOffset(y) / static_cast<float>(mapSize),
                         0.0f);
            glMultMatrixf(lightMatrix.data());
            renderer.DrawScene(false, false, false);
        }
    }
    glLoadMatrixf(lightMatrix.data());
    glMatrixMode(GL_MODELVIEW);

    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glBlendFunc(GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA);
    renderer.DrawScene(true, true, false);
    glDepthMask(GL_TRUE);
    glEnable(GL_TEXTURE_2D);
}
}

void Renderer::PreparePcfProgram()
{
    if (GLEW_VERSION_2_0)
        pcfProgram = BuildFragmentProgram("PCF mapy cieni", "#version 110\n", PcfSource);
}

// The cube map filters in its own program. PCF takes the fragment program
// where OpenGL 2.0 gave one, else the passes over the window's alpha, else
// (a window without alpha) the linear filter.
// Blending ends here: the frustum outline and the preview draw without it.
// Every triangle is drawn: blending by the lit share rounds, so a triangle
// the full light cannot brighten may still change by a level.
void Renderer::DrawFilteredLight(std::int32_t mapSize)
{
    const bool pcf = options.filtering == MapFiltering::Pcf;
    if (CubeMapInUse()) {
        BlendByLitShare();
        DrawCubeComparisons(false);
    } else if (pcf && pcfProgram != 0 && GLEW_VERSION_2_0) {
        DrawPcfInProgram(*this, pcfProgram, mapSize);
    } else if (pcf && HasDestinationAlpha()) {
        DrawPcfInPasses(*this, mapSize);
    } else {
        FilterComparisons(GL_LINEAR);
        BlendByLitShare();
        DrawScene(true, true, false);
    }
    glDisable(GL_BLEND);
}
}
