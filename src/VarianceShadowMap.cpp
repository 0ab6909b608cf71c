#define KORVANA_UNIT "src/VarianceShadowMap"

#include "VarianceShadowMap.h"

#include "LightDepth.h"
#include "Log.h"
#include "Renderer.h"
#include "ShaderPrograms.h"

#include <GL/glew.h>

#include <algorithm>
#include <string>

namespace KorvanaFramework
{
namespace
{
// The smallest variance a receiver assumes, in squared shares of the light's
// depth range: the two channels' rounding would otherwise make lit
// surfaces flicker into shadow. Sixteen bits round far more than 32.
constexpr float FloatMinimumVariance = 2e-6f;
constexpr float FixedMinimumVariance = 2e-5f;

// Marks a blur whose program did not build, so that it is tried once.
constexpr GLuint FailedProgram = ~0u;

// The widest blur the programs are built for, in texels.
constexpr int MaximumBlur = 31;

// The bleeding cut of 1 would divide by zero; this is as sharp as it gets.
constexpr float SharpestCut = 0.999f;

// The unit the moments are read from; unit 0 keeps the depth map.
constexpr GLenum MomentsUnit = GL_TEXTURE1;

// The casters' distance from the light as a share of the projection's range,
// and its square.
const char* const MomentsSource = R"(
uniform vec2 range;
void main()
{
    float d = (LightDistance(gl_FragCoord.z) - range.x) / (range.y - range.x);
    gl_FragColor = vec4(d, d * d, 0.0, 1.0);
}
)";

// One direction of the box blur: `taps` reads `step` apart, centred, each
// at a texel's centre.
// TAPS is defined in front: a loop of known length the compiler unrolls.
const char* const BlurSource = R"(
uniform sampler2D moments;
uniform vec2 step;
void main()
{
    vec2 sum = vec2(0.0);
    for (int i = 0; i < TAPS; ++i)
        sum += texture2D(moments, gl_TexCoord[0].xy + float(i - (TAPS - 1) / 2) * step).xy;
    gl_FragColor = vec4(sum / float(TAPS), 0.0, 1.0);
}
)";

// Lit where nearer than the mean, else Chebyshev's upper bound on the lit
// share, with the lowest `bleeding` of it cut away and the rest stretched.
const char* const ReceiverSource = R"(
uniform sampler2D moments;
uniform vec2 range;
uniform float bleeding;
uniform float minimumVariance;
void main()
{
    vec3 p = gl_TexCoord[0].xyz / gl_TexCoord[0].q;
    float d = (LightDistance(p.z) - range.x) / (range.y - range.x);
    vec2 m = texture2D(moments, p.xy).xy;
    float lit = 1.0;
    if (d > m.x) {
        float variance = max(m.y - m.x * m.x, minimumVariance);
        float t = d - m.x;
        lit = clamp((variance / (variance + t * t) - bleeding) / (1.0 - bleeding), 0.0, 1.0);
    }
    gl_FragColor = gl_Color * lit;
}
)";

void SetRange(GLuint program, const Matrix4& lightProjection)
{
    const LightRange range = RangeOf(lightProjection);
    glUniform2f(glGetUniformLocation(program, "range"), range.near, range.far);
    SetLightDepth(program, lightProjection);
}

// The bound texture's filter, the receivers' linear one or the blur's.
void FilterMoments(GLint filter)
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

// `r` grown by `x` texels to the left and right and `y` up and down,
// within a map `side` texels a side; an empty one stays empty.
PixelRect Grown(const PixelRect& r, int x, int y, int side)
{
    if (!HasPixels(r))
        return {};
    const int left = std::max(r.x - x, 0), bottom = std::max(r.y - y, 0);
    const int right = std::min(r.x + r.width + x, side), top = std::min(r.y + r.height + y, side);
    return {left, bottom, right - left, top - bottom};
}

// Limits drawing to `r`.
void Scissor(const PixelRect& r)
{
    glScissor(r.x, r.y, r.width, r.height);
}

// A quad over the whole target with texture coordinates 0..1 across it.
void DrawTargetQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
}
}

// Rendering to two-channel textures needs framebuffer objects and red-green
// formats (OpenGL 3.0 or their extensions), the float formats also float
// textures; each candidate must give a complete framebuffer. 16-bit fixed
// point comes first: it holds shares of the depth range as finely as the
// depth map itself, and its blur costs llvmpipe a fifth less than 32-bit
// floats.
void VarianceShadowMap::Prepare(std::uint32_t depthTexture)
{
    const bool core = GLEW_VERSION_3_0 != 0;
    if (!GLEW_VERSION_2_0 || !(core || GLEW_ARB_framebuffer_object) || !(core || GLEW_ARB_texture_rg)) {
        LOG_INFO("Sterownik nie renderuje do tekstur dwukanałowych; mapy wariancyjne nie są oferowane.");
        return;
    }
    const bool floats = core || GLEW_ARB_texture_float;
    glGenTextures(2, moments);
    glGenFramebuffers(2, framebuffers);
    const bool found = TryFormat(GL_RG16, depthTexture) || (floats && TryFormat(GL_RG32F, depthTexture)) ||
                       (floats && TryFormat(GL_RG16F, depthTexture));
    if (found) {
        momentsProgram = BuildFragmentProgram("momentow mapy wariancyjnej", LightDistanceSource, MomentsSource);
        receiverProgram = BuildFragmentProgram("mapy wariancyjnej", LightDistanceSource, ReceiverSource);
    } else {
        LOG_ERROR("Żaden dwukanałowy format tekstury nie daje kompletnego bufora; mapy wariancyjne nie są "
                  "oferowane.");
    }
    ready = found && momentsProgram != 0 && receiverProgram != 0;
    if (!ready) {
        glDeleteFramebuffers(2, framebuffers);
        glDeleteTextures(2, moments);
    }
}

// Both textures in `candidate` at the smallest map size; the first target
// shares the depth map's texture as its depth buffer.
bool VarianceShadowMap::TryFormat(std::int32_t candidate, std::uint32_t depthTexture)
{
    format = candidate;
    size = 0;
    glActiveTexture(MomentsUnit);
    const GLfloat far[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    for (const GLuint texture : moments) {
        glBindTexture(GL_TEXTURE_2D, texture);
        FilterMoments(GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
        glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, far);
    }
    FitSize(SmallestMapSize);
    glActiveTexture(GL_TEXTURE0);
    bool complete = true;
    for (int i = 0; i < 2; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[i]);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, moments[i], 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, i == 0 ? depthTexture : 0, 0);
        complete = complete && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    while (glGetError() != GL_NO_ERROR) {
        complete = false;
    }
    minimumVariance = candidate == GL_RG32F ? FloatMinimumVariance : FixedMinimumVariance;
    return complete;
}

// The images are allocated again only when the map's side changes.
void VarianceShadowMap::FitSize(std::int32_t side)
{
    if (side == size)
        return;
    glActiveTexture(MomentsUnit);
    for (const GLuint texture : moments) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, format, side, side, 0, GL_RG, GL_FLOAT, nullptr);
    }
    glActiveTexture(GL_TEXTURE0);
    size = side;
}

// Cleared to the far end, so that where nothing lies everything is lit.
// The blur mixes a caster's edge with what lies beside it, and mixed with
// the far end the bound would let nearly all light through there. So the
// map first takes the farthest surface on each ray, then the casters in
// front by the usual depth test: what lies beside a caster is the surface
// behind it, and an object that casts no shadow still darkens nothing,
// since no surface on its ray lies beyond the farthest one.
// Away from the casters the first layer lights what lies on it or in front
// of it, as the far end does, so it is drawn only as far as the blur of the
// texels around the casters reads it (and a texel more, which a receiver
// reading between texels takes), sparing most of the map's texels the
// pass and the blur. An even blur width takes the odd one above it.
// Without the depth offset: the variance, not an offset, keeps lit
// surfaces from shadowing themselves.
void VarianceShadowMap::Render(const Renderer& renderer, const Matrix4& lightProjection, std::int32_t side,
                               std::int32_t blur, const PixelRect& casters)
{
    FitSize(side);
    const int taps = blur > 1 ? std::min(blur, MaximumBlur) | 1 : 1;
    const int reach = taps / 2;
    const PixelRect blurred = Grown(casters, reach + 1, reach + 1, side);
    const PixelRect drawn = Grown(blurred, reach, reach, side);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[0]);
    glViewport(0, 0, side, side);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1.0f, 1.0f, 0.0f, 1.0f);
    glClearDepth(0.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glUseProgram(momentsProgram);
    SetRange(momentsProgram, lightProjection);
    if (HasPixels(drawn)) {
        glEnable(GL_SCISSOR_TEST);
        Scissor(drawn);
        glDepthFunc(GL_GREATER);
        renderer.DrawScene(false, false, false);
        glDisable(GL_SCISSOR_TEST);
    }
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthFunc(GL_LEQUAL);
    renderer.DrawScene(false, false, true);
    if (taps > 1 && HasPixels(blurred))
        Blur(side, taps, blurred);
    glUseProgram(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// Across into the second texture, then up and down back into the first,
// reading single texels, which costs the rasteriser far less than the
// linear filter the receivers read with. The first pass covers the rows
// that the second reads around `blurred`, the second `blurred` itself.
void VarianceShadowMap::Blur(std::int32_t side, std::int32_t taps, const PixelRect& blurred)
{
    GLuint& blurProgram = blurPrograms[static_cast<std::size_t>(taps / 2)];
    if (blurProgram == 0) {
        const std::string prelude = "#version 110\n#define TAPS " + std::to_string(taps) + "\n";
        blurProgram = BuildFragmentProgram("rozmycia mapy wariancyjnej", prelude.c_str(), BlurSource);
        if (blurProgram == 0)
            blurProgram = FailedProgram;
    }
    if (blurProgram == FailedProgram)
        return;
    glPushAttrib(GL_ENABLE_BIT | GL_SCISSOR_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW, GL_TEXTURE}) {
        glMatrixMode(matrix);
        glPushMatrix();
        glLoadIdentity();
    }
    glUseProgram(blurProgram);
    glUniform1i(glGetUniformLocation(blurProgram, "moments"), 1);
    const float texel = 1.0f / static_cast<float>(side);
    const PixelRect passes[2] = {Grown(blurred, 0, taps / 2, side), blurred};
    glActiveTexture(MomentsUnit);
    for (int pass = 0; pass < 2; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[1 - pass]);
        glBindTexture(GL_TEXTURE_2D, moments[pass]);
        FilterMoments(GL_NEAREST);
        glUniform2f(glGetUniformLocation(blurProgram, "step"), pass == 0 ? texel : 0.0f, pass == 0 ? 0.0f : texel);
        Scissor(passes[pass]);
        DrawTargetQuad();
        FilterMoments(GL_LINEAR);
    }
    glActiveTexture(GL_TEXTURE0);
    for (const GLenum matrix : {GL_TEXTURE, GL_MODELVIEW, GL_PROJECTION}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void VarianceShadowMap::UseReceiverProgram(const Matrix4& lightProjection, float bleedingReduction) const
{
    glActiveTexture(MomentsUnit);
    glBindTexture(GL_TEXTURE_2D, moments[0]);
    glActiveTexture(GL_TEXTURE0);
    glUseProgram(receiverProgram);
    glUniform1i(glGetUniformLocation(receiverProgram, "moments"), 1);
    glUniform1f(glGetUniformLocation(receiverProgram, "bleeding"), std::clamp(bleedingReduction, 0.0f, SharpestCut));
    glUniform1f(glGetUniformLocation(receiverProgram, "minimumVariance"), minimumVariance);
    SetRange(receiverProgram, lightProjection);
}
}
