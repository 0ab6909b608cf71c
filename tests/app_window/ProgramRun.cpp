#include "ProgramRun.h"

#include "GLWindow.h"
#include "SystemsManager.h"


namespace AppTests
{
ProgramRun::ProgramRun(const std::string& config)
{
    display.modes = {Mode(1024, 768, 32, 60), Mode(800, 600, 32, 85), Mode(640, 480, 32, 60),
                     Mode(800, 600, 32, 60), Mode(1024, 768, 16, 60)};
    display.current = Mode(1280, 1024, 32, 60);
    if (!config.empty())
        TestSupport::WriteFile(dir / "Korvana.cfg", config);
    PlatformTesting::SetFakeDisplay(&display);
    PlatformTesting::ForgetWindowClasses();
}

ProgramRun::~ProgramRun()
{
    PlatformTesting::SetFakeDisplay(nullptr);
    PlatformTesting::SetDialogDriver(nullptr);
    PlatformTesting::SetMessageHook(nullptr);
}

void ProgramRun::Run()
{
    // A window that failed to open posts a quit message no loop reads; a
    // real process ends with it, a test process must not hand it on.
    MSG stale;
    while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE) && stale.message != WM_PAINT) {
    }
    PlatformTesting::SetDialogDriver(driver);
    PlatformTesting::SetMessageHook([this](const MSG& msg) {
        auto* object = reinterpret_cast<KorvanaFramework::GLWindowEssentials*>(
            GetWindowLongA(msg.hwnd, GWL_USERDATA));
        auto* window = static_cast<KorvanaFramework::GLWindow*>(object);
        if (!window)
            return;
        if (msg.message == WM_PAINT)
            ++paints;
        else
            ++otherMessages;
        if (watcher)
            watcher(*window, msg);
        if (msg.message == WM_PAINT && paints == closeAfterPaints)
            PostMessageA(msg.hwnd, WM_CLOSE, 0, 0);
    });
    {
        KorvanaFramework::SystemsManager manager(nullptr, dir.path + "/");
        manager.Run();
    }
    PlatformTesting::SetMessageHook(nullptr);
}

std::string ProgramRun::WrittenConfig() const
{
    return TestSupport::ReadFile(dir / "Korvana.cfg");
}

std::string SelectedText(HWND dialog, int id)
{
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return "";
    char text[128] = {};
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}
}
