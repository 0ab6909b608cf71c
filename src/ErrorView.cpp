#define KORVANA_UNIT "src/ErrorView"

#include "ErrorView.h"

#include "Log.h"
#include "Renderer.h"

#include <GL/glew.h>

#include <algorithm>

namespace KorvanaFramework
{
namespace
{
// The other stencil bits: the exact count of volumes around each visible
// point (modulo 64, which only a pile of 64 volumes would fool) and the
// mark of the surfaces the light can reach.
constexpr GLuint CountBits = 0x3F;
constexpr GLuint AllBits = 0xFF;
constexpr GLint NeededStencilBits = 8;

// A quad over the whole window, through identity matrices.
void DrawWindowQuad()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(1.0f, -1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

GLuint CountedSamples(GLuint query)
{
    GLuint samples = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
    return samples;
}

// The window quad in `color` where the stencil passes `function` against
// `value`, counted, within `pixels`.
void DrawCounted(GLuint query, GLenum function, GLuint value, const float* color, const PixelRect& pixels)
{
    glScissor(pixels.x, pixels.y, pixels.width, pixels.height);
    glStencilFunc(function, static_cast<GLint>(value), AllBits);
    glColor4fv(color);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    DrawWindowQuad();
    glEndQuery(GL_SAMPLES_PASSED);
}

// Every pixel as the shown method's light.
void MarkAllLit()
{
    glClearStencil(static_cast<GLint>(ShownLightBit));
    glStencilMask(AllBits);
    glClear(GL_STENCIL_BUFFER_BIT);
    glClearStencil(0);
}
}

const float ErrorColors::FalseShadow[4] = {1.0f, 0.0f, 1.0f, 0.7f};
const float ErrorColors::FalseLight[4] = {0.0f, 1.0f, 0.0f, 0.7f};

void BeginMarkingShownLight()
{
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, static_cast<GLint>(ShownLightBit), AllBits);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glStencilMask(ShownLightBit);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
}

void BeginMarkingShownShadow()
{
    glStencilMask(ShownLightBit);
    glClearStencil(static_cast<GLint>(ShownLightBit));
    glClear(GL_STENCIL_BUFFER_BIT);
    glClearStencil(0);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, AllBits);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glStencilMask(ShownLightBit);
}

void BeginMarkingReceivers(bool reached)
{
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, reached ? static_cast<GLint>(ReceiverBit) : 0, AllBits);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glStencilMask(ReceiverBit);
}

bool ErrorView::Prepare()
{
    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    const bool clamp = GLEW_VERSION_3_2 || GLEW_ARB_depth_clamp || GLEW_NV_depth_clamp;
    const bool wrap = GLEW_VERSION_1_4 || GLEW_EXT_stencil_wrap;
    if (stencilBits < NeededStencilBits || !clamp || !wrap || !GLEW_VERSION_1_5) {
        LOG_INFO("Porównanie z dokładnym cieniem nie jest oferowane: bitów szablonu " << stencilBits
                 << ", obcinanie głębokości " << clamp << ", zawijanie szablonu " << wrap << ", zapytania "
                 << (GLEW_VERSION_1_5 != 0) << ".");
        return false;
    }
    glGenQueries(3, queries);
    return true;
}

// The surfaces the light can reach, marked and counted, or where the pass
// marked them, counted over the window.
void ErrorView::MarkReceivers(Renderer& renderer) const
{
    glBeginQuery(GL_SAMPLES_PASSED, queries[0]);
    if (renderer.receiversMarked) {
        glDisable(GL_DEPTH_TEST);
        glStencilFunc(GL_EQUAL, static_cast<GLint>(ReceiverBit), ReceiverBit);
        glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
        DrawWindowQuad();
    } else {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_EQUAL);
        BeginMarkingReceivers(true);
        renderer.DrawScene(false, false, false, renderer.SelectLitTriangles());
    }
    glEndQuery(GL_SAMPLES_PASSED);
    renderer.receiversMarked = false;
}

// Mode 2 lit what its counts left at 0: those become all ones, the others
// (a count that wrapped below 0 too) zero, and then all but the top bit are
// cleared. Mode 1 lights all but where its flattened casters fall: its
// pass marks them where it can, else the scene's depth is drawn anew (the
// clear needs depth writes on, or the shadow's nearer depth would hide the
// floor under it from the comparison) and the casters again without
// theirs. Mode 0 lights everything; mode 3 marks in its own pass, where its
// filter is set up, or in its dimmed pass.
void ErrorView::MarkShownLight(Renderer& renderer) const
{
    switch (renderer.options.rendererMode) {
    case RendererMode::Volumes:
        glDisable(GL_DEPTH_TEST);
        glStencilFunc(GL_EQUAL, 0, AllBits);
        glStencilOp(GL_ZERO, GL_KEEP, GL_INVERT);
        glStencilMask(AllBits);
        DrawWindowQuad();
        glStencilMask(~ShownLightBit & AllBits);
        glClear(GL_STENCIL_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        break;
    case RendererMode::Projected:
        if (renderer.planeValid && renderer.ProjectedShadowMarksItself())
            break;
        MarkAllLit();
        glDepthMask(GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
        glDepthFunc(GL_LESS);
        renderer.DrawScene(false, false, false);
        glDepthMask(GL_FALSE);
        if (renderer.planeValid) {
            BeginMarkingShownLight();
            glStencilFunc(GL_ALWAYS, 0, AllBits);
            renderer.DrawFlattenedCasters();
        }
        break;
    case RendererMode::Mapping:
        break;
    default:
        MarkAllLit();
        break;
    }
}

// The surfaces the light can reach are marked and counted. The exact count
// runs over the shown method's depth buffer, whatever its far plane, with
// depth clamping: volume faces beyond the far plane are kept at the
// greatest depth instead of being clipped, behind every surface, just as
// an infinite far plane keeps them. Then a pixel disagrees where the method
// lit it and the count is not 0 (above 0xC0: lit, a receiver, some count),
// or where the method shadowed it and the count is 0 (0x40: a receiver
// only). Each tint is drawn only where its pixels can be: the first where
// the count can differ from 0, the second where the pass shadowed.
float ErrorView::Check(Renderer& renderer)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_SCISSOR_TEST);
    glEnable(GL_STENCIL_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    MarkShownLight(renderer);

    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    MarkReceivers(renderer);
    glEnable(GL_DEPTH_TEST);

    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_CLAMP);
    const PixelRect counted = renderer.CountExactShadow(CountBits);
    glDisable(GL_DEPTH_CLAMP);

    glDisable(GL_DEPTH_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_SCISSOR_TEST);
    const PixelRect window{0, 0, renderer.ViewportWidth(), renderer.ViewportHeight()};
    DrawCounted(queries[1], GL_LESS, ShownLightBit | ReceiverBit, ErrorColors::FalseLight, counted);
    DrawCounted(queries[2], GL_EQUAL, ReceiverBit, ErrorColors::FalseShadow,
                renderer.shownShadowPixels.value_or(window));
    renderer.shownShadowPixels.reset();
    glPopAttrib();

    const GLuint receivers = CountedSamples(queries[0]);
    const GLuint wrong = CountedSamples(queries[1]) + CountedSamples(queries[2]);
    if (receivers == 0)
        return 100.0f;
    return 100.0f * static_cast<float>(receivers - std::min(wrong, receivers)) / static_cast<float>(receivers);
}
}
