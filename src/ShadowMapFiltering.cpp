// Soft shadow-map edges: instead of the alpha test's lit-or-not, the full
// light is blended over the dimmed pass by the share of comparisons around
// each fragment that find it lit. Fully lit and fully shadowed fragments
// keep exactly the colours of the unfiltered pass.
#include "ErrorView.h"
#include "PenumbraFilter.h"
#include "Renderer.h"
#include "ShaderPrograms.h"

#include <GL/glew.h>

#include <limits>

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

// The largest alpha below 1: materials more opaque than it are opaque.
constexpr float BelowOpaque = 1.0f - std::numeric_limits<float>::epsilon() / 2.0f;

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

// The sixteen comparisons in the fragment program.
void UsePcfProgram(GLuint program, GLsizei mapSize)
{
    FilterComparisons(GL_NEAREST);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "map"), 0);
    glUniform1f(glGetUniformLocation(program, "texel"), 1.0f / static_cast<float>(mapSize));
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

// The programs of PCF 4 × 4 and of the contact-hardening filter exist only
// from OpenGL 2.0 on.
void Renderer::PrepareFilterPrograms()
{
    if (!GLEW_VERSION_2_0)
        return;
    pcfProgram = BuildFragmentProgram("PCF mapy cieni", "#version 110\n", PcfSource);
    pcssProgram = BuildPenumbraProgram();
    varianceMap.Prepare(shadowMapTexture);
}

bool Renderer::FilterOffered(MapFiltering filtering) const
{
    switch (filtering) {
    case MapFiltering::Pcss:
        return pcssProgram != 0;
    case MapFiltering::Vsm:
        return varianceMap.Available();
    default:
        return true;
    }
}

// The fragment programs scale the fragment's colour and alpha by the lit
// share; without one the texture's comparison, filtered as chosen, scales
// the alpha through GL_MODULATE. True while a program is in use.
bool Renderer::UseLitShare(const Matrix4& lightProjection, std::int32_t mapSize)
{
    const MapFiltering filtering = options.filtering;
    if (filtering == MapFiltering::Pcf && pcfProgram != 0) {
        UsePcfProgram(pcfProgram, mapSize);
        return true;
    }
    if (filtering == MapFiltering::Pcss && pcssProgram != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_NONE);
        FilterComparisons(GL_NEAREST);
        UsePenumbraProgram(pcssProgram, lightProjection, options.lightSize);
        return true;
    }
    if (filtering == MapFiltering::Vsm && varianceMap.Available()) {
        varianceMap.UseReceiverProgram(lightProjection, options.bleedingReduction);
        return true;
    }
    FilterComparisons(filtering == MapFiltering::None ? GL_NEAREST : GL_LINEAR);
    return false;
}

// The cube map filters in its own program. PCF takes the fragment program
// where OpenGL 2.0 gave one, else the passes over the window's alpha, else
// (a window without alpha) the linear filter.
// Blending ends here: the frustum outline and the preview draw without it.
// Where every material is opaque, a triangle the full light cannot brighten
// is left out: the dimmed pass gave it that light's colour already, which
// blending would only round. Below full opacity the blend keeps a share of
// the colour beneath, so such a triangle would still change.
void Renderer::DrawFilteredLight(const Matrix4& lightProjection, std::int32_t mapSize)
{
    if (CubeMapInUse()) {
        BlendByLitShare();
        DrawCubeComparisons(false);
    } else if (options.filtering == MapFiltering::Pcf && pcfProgram == 0 && HasDestinationAlpha()) {
        DrawPcfInPasses(*this, mapSize);
    } else {
        const bool program = UseLitShare(lightProjection, mapSize);
        BlendByLitShare();
        DrawScene(true, true, false, MaterialsMoreOpaqueThan(BelowOpaque) ? SelectLitTriangles() : nullptr);
        if (program)
            glUseProgram(0);
    }
    glDisable(GL_BLEND);
}

// The same lit share as the pass drew, of the unlit white scene, so that
// the alpha is the share itself; the alpha test keeps the fragments with at
// least half of the light. The map shown as a texture shadows nothing.
void Renderer::MarkMappedLight(const Matrix4& lightProjection, std::int32_t mapSize)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    BeginMarkingShownLight();
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthFunc(GL_EQUAL);
    glDepthMask(GL_FALSE);
    if (options.drawAsTexture) {
        glDisable(GL_ALPHA_TEST);
        DrawScene(false, false, false);
        glPopAttrib();
        return;
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.5f);
    if (CubeMapInUse()) {
        DrawCubeComparisons(false);
    } else {
        const bool program = UseLitShare(lightProjection, mapSize);
        DrawScene(false, false, false);
        if (program)
            glUseProgram(0);
    }
    glPopAttrib();
}
}
