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
constexpr GLuint ReceiverBit = 0x40;
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

// The window quad where the stencil equals `value` under `mask`, counted;
// each pixel drawn has its shown-shadow bit flipped.
void DrawCounted(GLuint query, GLuint value, GLuint mask)
{
    glStencilFunc(GL_EQUAL, static_cast<GLint>(value), mask);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glStencilMask(ShownShadowBit);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    DrawWindowQuad();
    glEndQuery(GL_SAMPLES_PASSED);
}
}

const float ErrorColors::FalseShadow[4] = {1.0f, 0.0f, 1.0f, 0.7f};
const float ErrorColors::FalseLight[4] = {0.0f, 1.0f, 0.0f, 0.7f};

void BeginMarkingShownShadow()
{
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, static_cast<GLint>(ShownShadowBit), AllBits);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glStencilMask(ShownShadowBit);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
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

// Mode 2's own counts say what it shadowed (any count but 0, also one that
// wrapped below 0; the counts are cleared once the bit is set); mode 1 shadows where its
// flattened casters fall, which is drawn again without their depth so that
// the depth buffer holds the scene's surfaces; modes 0 and 3 start from a
// clear stencil (mode 3 marks in its own pass, where its filter is set up).
void ErrorView::MarkShownShadow(Renderer& renderer) const
{
    switch (renderer.options.rendererMode) {
    case RendererMode::Volumes:
        glDisable(GL_DEPTH_TEST);
        glStencilFunc(GL_NOTEQUAL, static_cast<GLint>(ShownShadowBit), ~ShownShadowBit & AllBits);
        glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
        glStencilMask(ShownShadowBit);
        DrawWindowQuad();
        glStencilMask(~ShownShadowBit & AllBits);
        glClear(GL_STENCIL_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        break;
    case RendererMode::Projected:
        glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glDepthMask(GL_TRUE);
        glDepthFunc(GL_LESS);
        renderer.DrawScene(false, false, false);
        glDepthMask(GL_FALSE);
        if (renderer.planeValid) {
            BeginMarkingShownShadow();
            renderer.DrawFlattenedCasters();
        }
        break;
    case RendererMode::Mapping:
        break;
    default:
        glClear(GL_STENCIL_BUFFER_BIT);
        break;
    }
}

// The exact count goes through depth clamping: volume faces beyond the far
// plane are kept at the greatest depth instead of being clipped, behind
// every surface, just as an infinite far plane keeps them, so the depth
// buffer of the shown method serves whatever far plane it had. Then the
// stencil's shown-shadow bit is flipped where the exact count is not zero:
// it then marks disagreement.
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
    MarkShownShadow(renderer);

    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_CLAMP);
    renderer.shadowVolumes.Update(0.0f, true);
    CountVolumesInStencil(renderer.shadowVolumes, true, CountBits);
    glDisable(GL_DEPTH_CLAMP);

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDepthFunc(GL_EQUAL);
    glStencilFunc(GL_ALWAYS, static_cast<GLint>(ReceiverBit), AllBits);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glStencilMask(ReceiverBit);
    glBeginQuery(GL_SAMPLES_PASSED, queries[0]);
    renderer.DrawScene(false, false, false, renderer.SelectLitTriangles());
    glEndQuery(GL_SAMPLES_PASSED);

    glDisable(GL_DEPTH_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, CountBits);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
    glStencilMask(ShownShadowBit);
    DrawWindowQuad();

    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4fv(ErrorColors::FalseShadow);
    DrawCounted(queries[1], ShownShadowBit | ReceiverBit, AllBits);
    glColor4fv(ErrorColors::FalseLight);
    DrawCounted(queries[2], ShownShadowBit | ReceiverBit, ShownShadowBit | ReceiverBit);
    glPopAttrib();

    const GLuint receivers = CountedSamples(queries[0]);
    const GLuint wrong = CountedSamples(queries[1]) + CountedSamples(queries[2]);
    if (receivers == 0)
        return 100.0f;
    return 100.0f * static_cast<float>(receivers - std::min(wrong, receivers)) / static_cast<float>(receivers);
}
}
