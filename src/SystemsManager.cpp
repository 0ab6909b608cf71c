#define KORVANA_UNIT "src/SystemsManager"

#include "SystemsManager.h"

#include "DisplayModeList.h"
#include "GLWindow.h"
#include "Log.h"
#include "MainConfig.h"
#include "SetupWindow.h"

namespace KorvanaFramework
{
SystemsManager::SystemsManager(HINSTANCE instance, const std::string& applicationDirectory)
    : config(nullptr)
    , setupWindow(nullptr)
    , glWindow(nullptr)
    , displayModes(nullptr)
    , applicationDirectory(applicationDirectory)
    , instance(instance)
{
    LOG_INFO("SystemsManager constructor...");
}

// The configuration goes first, so Korvana.cfg is written before anything
// else is torn down.
SystemsManager::~SystemsManager()
{
    delete config;
    delete displayModes;
    delete setupWindow;
    delete glWindow;
}

void SystemsManager::Run()
{
    config = new MainConfig(applicationDirectory + "Korvana.cfg");
    displayModes = new DisplayModeList();
    setupWindow = new SetupWindow(this);
    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(SetupWindow::dialogResource), nullptr,
                        StaticWndProc, reinterpret_cast<LPARAM>(setupWindow)) == 0)
        return;
    glWindow = new GLWindow(this);
    glWindow->Show("Korvana");
}
}
