// The top-level owner of the application shell: configuration, display
// modes, the setup dialog and the GL window. Run is the whole life of the
// program after logging is configured.
#pragma once

#include "platform/Win32Api.h"

#include <string>

namespace KorvanaFramework
{
class MainConfig;
class SetupWindow;
class GLWindow;
class DisplayModeList;

class SystemsManager
{
public:
    SystemsManager(HINSTANCE instance, const std::string& applicationDirectory);
    ~SystemsManager();
    SystemsManager(const SystemsManager&) = delete;
    SystemsManager& operator=(const SystemsManager&) = delete;

    void Run();

    MainConfig* GetConfig() const { return config; }
    DisplayModeList* GetDisplayModes() const { return displayModes; }
    std::string GetApplicationDirectory() const { return applicationDirectory; }
    HINSTANCE GetInstance() const { return instance; }

private:
    MainConfig* config;
    SetupWindow* setupWindow;
    GLWindow* glWindow;
    DisplayModeList* displayModes;
    std::string applicationDirectory;  // always ends in '/', or is empty
    HINSTANCE instance;
};
}
