#define KORVANA_UNIT "src/Korvana"

#include "Korvana.h"

#include "Log.h"
#include "SystemsManager.h"

#include <log4cxx/file.h>
#include <log4cxx/helpers/exception.h>
#include <log4cxx/propertyconfigurator.h>

#include <string>

using namespace KorvanaFramework;

// Finds the executable's folder, configures logging from log.cfg there and
// runs the systems manager. Only the instance handle is used.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char modulePath[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    if (length == MAX_PATH && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        MessageBoxA(nullptr, "Ścieżka do katalogu aplikacji jest za długa!", "Błąd!", MB_OKCANCEL);
        return 0;
    }
    // Without its own path the program finds neither log.cfg nor its scene,
    // and would write Korvana.cfg into whatever folder it was started from.
    if (length == 0) {
        MessageBoxA(nullptr, "Nie można ustalić ścieżki do katalogu aplikacji!", "Błąd!", MB_ICONERROR);
        return 0;
    }
    const std::string path = modulePath;
    const std::string::size_type slash = path.rfind('/');
    const std::string applicationDirectory =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string logConfigPath = applicationDirectory + "log.cfg";

    try {
        log4cxx::PropertyConfigurator::configure(log4cxx::File(logConfigPath));
        LOG_INFO("Start...");
        LOG_INFO("Plik konfiguracji loggera: " << logConfigPath);
        SystemsManager systemsManager(instance, applicationDirectory);
        systemsManager.Run();
        LOG_INFO("Koniec...");
    } catch (log4cxx::helpers::Exception&) {
        MessageBoxA(nullptr, logConfigPath.c_str(), "szPath", MB_OK);
        return 1;
    }
    return 0;
}
