// Display switches made by the test process itself on Xorg's dummy server:
// the guard's life, a switch the server refuses, and the GL window failing
// to open after the switch.

#include "XorgScreen.h"
#include "ProgramProcess.h"

#include "SystemsManager.h"
#include "platform/PlatformTesting.h"
#include "platform/Win32Api.h"

#include <signal.h>
#include <unistd.h>

using namespace FullScreenTests;

namespace
{
class DisplaySwitch : public XorgScreen
{
protected:
    // The platform layer opens its display once, from DISPLAY.
    void SetUp() override
    {
        XorgScreen::SetUp();
        if (name)
            setenv("DISPLAY", name, 1);
    }

    // The 800 x 600 mode at 85 Hz as EnumDisplaySettingsA numbers it.
    DEVMODEA ProgramMode()
    {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i)
            if (mode.dmPelsWidth == 800 && mode.dmPelsHeight == 600 && mode.dmDisplayFrequency == 85)
                return mode;
        ADD_FAILURE() << "no 800 x 600 mode at 85 Hz";
        return mode;
    }

    bool Guarded() const { return !ChildrenOf(getpid()).empty() && CatchesSignal(getpid(), SIGTERM); }
    bool Unguarded() const { return ChildrenOf(getpid()).empty() && !CatchesSignal(getpid(), SIGTERM); }
};

// Screen changes the probe heard of since the last call.
int ScreenChanges(ScreenProbe& probe)
{
    int eventBase, errorBase;
    XRRQueryExtension(probe.display(), &eventBase, &errorBase);
    XSync(probe.display(), False);
    int changes = 0;
    XEvent event;
    while (XCheckTypedEvent(probe.display(), eventBase + RRScreenChangeNotify, &event))
        ++changes;
    return changes;
}
}

// The guardian and the handlers exist from the switch to the restore only.
TEST_F(DisplaySwitch, GuardLastsWhileTheModeIsSwitched)
{
    DEVMODEA mode = ProgramMode();
    EXPECT_TRUE(Unguarded());
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(ShowsProgramMode());
    EXPECT_TRUE(Guarded());
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(ChildrenOf(getpid()).size(), 1u) << "a second switch keeps the one guardian";
    ASSERT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(ShowsDesktop());
    EXPECT_TRUE(Unguarded());
}

// With the output placed right of the screen's origin, a screen of the new
// mode's size cannot hold it: the server refuses, the switch reports it and
// leaves the screen as it was.
TEST_F(DisplaySwitch, RefusedScreenSizeFailsAndKeepsTheDesktop)
{
    ScreenState offset = desktop;
    offset.mode = probe->ModeNamed("800x600_60");
    offset.width = 800;
    offset.height = 600;
    offset.x = 480;
    ASSERT_TRUE(probe->Set(offset));
    ASSERT_EQ(probe->Now(), offset);

    DEVMODEA mode = ProgramMode();
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(probe->Now(), offset) << probe->Now().ToString();
    EXPECT_TRUE(Unguarded());
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL) << "nothing left to restore";
    EXPECT_EQ(probe->Now(), offset);
}

// Full screen is switched on before the GL window opens; when its class
// cannot be registered or the window cannot be made, the desktop gets its
// mode back before Show returns.
TEST_F(DisplaySwitch, FailedShowRestoresTheDesktop)
{
    XRRSelectInput(probe->display(), DefaultRootWindow(probe->display()), RRScreenChangeNotifyMask);
    for (const bool classTaken : {true, false}) {
        SCOPED_TRACE(classTaken ? "class taken" : "window fails");
        TestSupport::TempDir dir;
        TestSupport::WriteFile(dir / "Korvana.cfg", FullScreenConfig());
        PlatformTesting::ForgetWindowClasses();
        if (classTaken) {
            WNDCLASSA taken{};
            taken.lpfnWndProc = DefWindowProcA;
            taken.lpszClassName = "GLWindow";
            ASSERT_NE(RegisterClassA(&taken), 0);
        }
        PlatformTesting::SetDialogDriver([classTaken](HWND dialog) {
            if (!classTaken) {
                // A sample count no format has, as an edited file would give.
                const LRESULT index =
                    SendDlgItemMessageA(dialog, 1009, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("64"));
                SendDlgItemMessageA(dialog, 1009, CB_SETITEMDATA, static_cast<WPARAM>(index), 64);
                SendDlgItemMessageA(dialog, 1009, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
                CheckDlgButton(dialog, 1001, BST_CHECKED);
            }
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        TestSupport::MessageBoxRecorder boxes;
        ScreenChanges(*probe);
        {
            KorvanaFramework::SystemsManager manager(nullptr, dir.path + "/");
            manager.Run();
        }
        PlatformTesting::SetDialogDriver(nullptr);
        EXPECT_GE(ScreenChanges(*probe), 2) << "switched and back";
        EXPECT_TRUE(ShowsDesktop()) << probe->Now().ToString();
        EXPECT_TRUE(Unguarded());
        MSG stale;  // the failed window's quit message
        while (PeekMessageA(&stale, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}
