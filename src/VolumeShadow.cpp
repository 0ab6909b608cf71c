// Shadow method 2, stencil shadow volumes. Until the stencil counting is
// written, the frame shows the lit scene.
#include "Renderer.h"

namespace KorvanaFramework
{
void Renderer::RenderShadowVolumes()
{
    RenderNoShadow();
}
}
