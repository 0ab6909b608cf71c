#include "ImGuiGL1Renderer.h"

#include <GL/gl.h>

#include <cstdint>

namespace KorvanaUi
{
namespace
{
GLuint TextureName(ImTextureID id)
{
    return static_cast<GLuint>(reinterpret_cast<intptr_t>(id));
}

// The state ImGui's triangles need: alpha blending, scissoring, one 2D
// texture modulated by the vertex colours, and nothing of the 3D pipeline
// (depth, stencil, lighting, culling, fog) that the program may have left on.
void SetUpState(const ImDrawData* data, int framebufferWidth, int framebufferHeight)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_FOG);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);

    glViewport(0, 0, framebufferWidth, framebufferHeight);
    const float left = data->DisplayPos.x;
    const float right = data->DisplayPos.x + data->DisplaySize.x;
    const float top = data->DisplayPos.y;
    const float bottom = data->DisplayPos.y + data->DisplaySize.y;
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void PushMatrices()
{
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

// Pops in the order pushed; the matrix mode itself comes back with the
// transform attributes afterwards.
void PopMatrices()
{
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

// One draw command: its clip rectangle (in display coordinates) becomes a
// scissor box in framebuffer pixels, counted from the bottom as GL does.
void DrawCommand(const ImDrawList* list, const ImDrawCmd& cmd, const ImDrawData* data,
                 int framebufferHeight)
{
    const ImVec2 scale = data->FramebufferScale;
    const float minX = (cmd.ClipRect.x - data->DisplayPos.x) * scale.x;
    const float minY = (cmd.ClipRect.y - data->DisplayPos.y) * scale.y;
    const float maxX = (cmd.ClipRect.z - data->DisplayPos.x) * scale.x;
    const float maxY = (cmd.ClipRect.w - data->DisplayPos.y) * scale.y;
    if (maxX <= minX || maxY <= minY)
        return;
    glScissor(static_cast<GLint>(minX), static_cast<GLint>(framebufferHeight - maxY),
              static_cast<GLsizei>(maxX - minX), static_cast<GLsizei>(maxY - minY));

    const ImDrawVert* vertices = list->VtxBuffer.Data + cmd.VtxOffset;
    glVertexPointer(2, GL_FLOAT, sizeof(ImDrawVert), &vertices->pos);
    glTexCoordPointer(2, GL_FLOAT, sizeof(ImDrawVert), &vertices->uv);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(ImDrawVert), &vertices->col);
    glBindTexture(GL_TEXTURE_2D, TextureName(cmd.TextureId));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(cmd.ElemCount),
                   sizeof(ImDrawIdx) == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
                   list->IdxBuffer.Data + cmd.IdxOffset);
}
}

bool CreateFontTexture()
{
    ImGuiIO& io = ImGui::GetIO();
    io.BackendRendererName = "korvana_gl1";
    io.BackendFlags |= ImGuiBackendFlags_RendererHasVtxOffset;

    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);

    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glPopClientAttrib();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));

    if (texture == 0 || !glIsTexture(texture))
        return false;
    io.Fonts->SetTexID(reinterpret_cast<ImTextureID>(static_cast<intptr_t>(texture)));
    return true;
}

void DestroyFontTexture()
{
    ImGuiIO& io = ImGui::GetIO();
    const GLuint texture = TextureName(io.Fonts->TexID);
    if (texture != 0)
        glDeleteTextures(1, &texture);
    io.Fonts->SetTexID(nullptr);
}

void RenderDrawData(ImDrawData* data)
{
    const int framebufferWidth = static_cast<int>(data->DisplaySize.x * data->FramebufferScale.x);
    const int framebufferHeight = static_cast<int>(data->DisplaySize.y * data->FramebufferScale.y);
    if (framebufferWidth <= 0 || framebufferHeight <= 0)
        return;

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_SCISSOR_BIT | GL_TEXTURE_BIT |
                 GL_TRANSFORM_BIT | GL_VIEWPORT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    PushMatrices();
    SetUpState(data, framebufferWidth, framebufferHeight);

    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        for (const ImDrawCmd& cmd : list->CmdBuffer) {
            if (cmd.UserCallback == ImDrawCallback_ResetRenderState)
                SetUpState(data, framebufferWidth, framebufferHeight);
            else if (cmd.UserCallback != nullptr)
                cmd.UserCallback(list, &cmd);
            else
                DrawCommand(list, cmd, data, framebufferHeight);
        }
    }

    PopMatrices();
    glPopClientAttrib();
    glPopAttrib();
}
}
