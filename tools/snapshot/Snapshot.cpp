// korvana-snapshot: one frame of the program rendered in a window of the
// current X display and written as PNG, with the shadow method, the light
// and any bar option set from the command line; or the frame times of that
// configuration, or of the standard table.
#include "FrameBenchmark.h"
#include "SnapshotOptions.h"
#include "SnapshotPicture.h"
#include "SnapshotWindow.h"

#include "Renderer.h"

#include <log4cxx/helpers/properties.h>
#include <log4cxx/helpers/transcoder.h>
#include <log4cxx/propertyconfigurator.h>

#include <clocale>
#include <iostream>

namespace
{
// The program's records go to standard error laid out as its console shows
// them, so that a scene the reader refuses says which file, line and why.
void LogToStandardError()
{
    log4cxx::helpers::Properties properties;
    const auto set = [&properties](const char* key, const char* value) {
        properties.setProperty(log4cxx::helpers::Transcoder::decode(key),
                               log4cxx::helpers::Transcoder::decode(value));
    };
    set("log4j.rootLogger", "INFO, stderr");
    set("log4j.appender.stderr", "org.apache.log4j.ConsoleAppender");
    set("log4j.appender.stderr.Target", "System.err");
    set("log4j.appender.stderr.Encoding", "UTF-8");
    set("log4j.appender.stderr.layout", "org.apache.log4j.PatternLayout");
    set("log4j.appender.stderr.layout.ConversionPattern", "%d{yyyy-MM-dd HH:mm:ss,SSS} %-5p [%F|%M|%L] %m%n");
    log4cxx::PropertyConfigurator::configure(properties);
}

int Fail(const std::string& message)
{
    std::cerr << "korvana-snapshot: " << message << "\n";
    return 1;
}
}

int main(int argc, char** argv)
{
    // As in the program: UTF-8 characters, so the records keep their letters.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    LogToStandardError();
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
    if (!Snapshot::WritePng(Snapshot::RenderPicture(renderer, window), request.output))
        return Fail("cannot write " + request.output);
    std::cout << request.output << "\n";
    return 0;
}
