// korvana-snapshot: one frame of the program rendered in a window of the
// current X display and written as PNG, with the shadow method, the light
// and any bar option set from the command line; or the frame times of that
// configuration, or of the standard table.
#include "FrameBenchmark.h"
#include "SnapshotOptions.h"
#include "SnapshotWindow.h"

#include "Renderer.h"

#include <iostream>

namespace
{
// The bars lay themselves out over the first frames; the last one is kept.
constexpr int FramesBeforeReadBack = 3;

int Fail(const std::string& message)
{
    std::cerr << "korvana-snapshot: " << message << "\n";
    return 1;
}
}

int main(int argc, char** argv)
{
    Snapshot::Request request;
    std::string error;
    if (!Snapshot::ParseArguments(std::vector<std::string>(argv + 1, argv + argc), request, error))
        return Fail(error + "\n" + Snapshot::Usage());
    if (request.help) {
        std::cout << Snapshot::Usage();
        return 0;
    }

    Snapshot::SnapshotWindow window(request.width, request.height);
    if (!window.Ready())
        return request.probe ? 1 : Fail(window.Error());
    if (request.probe)
        return 0;

    KorvanaFramework::Renderer renderer;
    const std::string scene =
        request.scene.empty() ? Snapshot::ExecutableDirectory() + "Scene/test.obj" : request.scene;
    if (!renderer.LoadScene(scene))
        return Fail("the scene " + scene + " could not be read");
    renderer.InitGL();
    renderer.Resize(request.width, request.height);
    for (const Snapshot::Setting& setting : request.settings) {
        if (!Snapshot::ApplySetting(setting, error))
            return Fail(error);
    }
    if (request.moveCamera) {
        renderer.yaw = request.yaw;
        renderer.pitch = request.pitch;
        renderer.distance = request.distance;
        renderer.panX = request.panX;
        renderer.panY = request.panY;
    }

    if (request.frameTable) {
        if (!Snapshot::RunFrameTable(renderer, window, request.frames, request.rounds, std::cout, error))
            return Fail(error);
        return 0;
    }
    if (request.frames > 0) {
        const auto times = Snapshot::TimeFrames(renderer, window, request.frames);
        std::cout << request.frames << " frames at " << request.width << "x" << request.height << ": "
                  << Snapshot::FormatStatistics(Snapshot::Summarise(times)) << "\n";
    }
    for (int frame = 0; frame < FramesBeforeReadBack; ++frame)
        renderer.RenderFrame();
    if (!Snapshot::WritePng(window.ReadBack(), request.output))
        return Fail("cannot write " + request.output);
    std::cout << request.output << "\n";
    return 0;
}
