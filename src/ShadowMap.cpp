// Shadow method 3, a depth map rendered from the light. Until the map pass
// is written, the frame shows the lit scene.
#include "Renderer.h"

namespace KorvanaFramework
{
void Renderer::RenderShadowMap()
{
    RenderNoShadow();
}
}
