// Draws Dear ImGui's output with fixed-function OpenGL 1.x, so that the
// message boxes, the dialog and the tweak bars work on any GL driver and can
// be drawn over the program's own 3D frame.
#pragma once

#include <imgui.h>

namespace KorvanaUi
{
// Uploads the current ImGui context's font atlas into a texture of the
// current GL context and hands the texture to the atlas. Also tells the
// ImGui context which renderer draws it. False when no texture was made.
bool CreateFontTexture();

// Deletes the texture made by CreateFontTexture (in the current GL context)
// and clears the atlas' reference to it.
void DestroyFontTexture();

// Draws one frame's ImGui output into the current GL context's viewport of
// data->DisplaySize. Every GL state it changes is restored before it returns.
void RenderDrawData(ImDrawData* data);
}
