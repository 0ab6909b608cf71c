#include "SnapshotPicture.h"

#include "Renderer.h"

namespace Snapshot
{
namespace
{
// The bars lay themselves out over the first frames.
constexpr int LayoutFrames = 3;
}

// The meter fills its figures in at the start of the frame that closes its
// period, so that frame is the first one to show them.
Image RenderPicture(KorvanaFramework::Renderer& renderer, SnapshotWindow& window)
{
    for (int frame = 1;; ++frame) {
        renderer.RenderFrame();
        if (frame >= LayoutFrames && renderer.options.frameMilliseconds > 0.0f)
            return window.ReadBack();
        window.Present();
    }
}
}
