// One run of the program's shell in a test: a folder with a Korvana.cfg, a
// display with a known mode list, the setup dialog driven by the test and
// the GL window's message loop watched by it.
#pragma once

#include <gtest/gtest.h>

#include "platform/PlatformTesting.h"
#include "scene/LogCapture.h"
#include "support/TestSupport.h"

#include <functional>
#include <string>

namespace KorvanaFramework
{
class GLWindow;
}

namespace AppTests
{
using TestSupport::Mode;

class ProgramRun
{
public:
    // `config` is the text of Korvana.cfg, or empty for a first run.
    explicit ProgramRun(const std::string& config);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Runs the shell from the configuration read to the end of the window's
    // loop and the configuration written.
    void Run();

    // The configuration file after the run.
    std::string WrittenConfig() const;

    // The setup dialog's driver and the GL window's watcher; the window is
    // closed after `closeAfterPaints` paints unless the watcher closes it.
    PlatformTesting::DialogDriver driver;
    std::function<void(KorvanaFramework::GLWindow&, const MSG&)> watcher;
    int closeAfterPaints = 3;

    int paints = 0;
    int otherMessages = 0;
    PlatformTesting::FakeDisplay display;
    TestSupport::MessageBoxRecorder boxes;
    SceneTests::LogCapture log;

private:
    TestSupport::TempDir dir;
};

// The text of a combo box's selected entry.
std::string SelectedText(HWND dialog, int id);
}
