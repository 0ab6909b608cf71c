#define KORVANA_UNIT "src/SystemsManager"

#include "SystemsManager.h"

#include "DisplayModeList.h"
#include "Log.h"
#include "MainConfig.h"

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
}

void SystemsManager::Run()
{
    config = new MainConfig(applicationDirectory + "Korvana.cfg");
    displayModes = new DisplayModeList();
}
}
