// The one picture korvana-snapshot writes: a frame as the program's window
// shows it after it has been running for a moment.
#pragma once

#include "SnapshotWindow.h"

namespace KorvanaFramework
{
class Renderer;
}

namespace Snapshot
{
// Renders and presents frames until the bars have laid themselves out and
// the main bar's frame meter has closed its first period, so that its rows
// show the time of frames really drawn instead of zero; the last frame is
// read back before it is presented.
Image RenderPicture(KorvanaFramework::Renderer& renderer, SnapshotWindow& window);
}
