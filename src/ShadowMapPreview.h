// The shadow map's preview in the window's lower-right corner: the flat map
// as a square, the cube map as its six faces in a cross, each showing the
// depth linearised between the light's near and far planes where OpenGL 2.0
// gives a fragment program for it, else the stored depth.
#pragma once

#include <cstdint>

namespace KorvanaFramework
{
class Renderer;

// The program that linearises the flat map's depth; 0 with the cause logged.
std::uint32_t BuildPreviewProgram();
// The preview's depth, written before the scene passes, which then leave
// the pixels it will cover.
void ReserveMapPreview(Renderer& renderer);
// The preview over the finished scene; the camera's projection is loaded
// again afterwards.
void DrawMapPreview(Renderer& renderer);
}
