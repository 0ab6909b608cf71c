// The start-up dialog: shows the driver's strings and lets the user choose
// the display mode, full screen, anti-aliasing and vertical synchronisation.
// It also initialises GLEW for the whole run with a temporary context.
#pragma once

#include "GLWindow.h"

namespace KorvanaFramework
{
class SetupWindow final : public GLWindowEssentials
{
public:
    explicit SetupWindow(SystemsManager* manager);

    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Control ids of the dialog template.
    enum Control : int {
        FsaaCheck = 1001,
        FullScreenCheck = 1002,
        VSyncCheck = 1003,
        ModeList = 1006,
        LevelList = 1009,
        VendorText = 1011,
        VersionText = 1012,
        RendererText = 1013,
        LevelLabel = 1014,
    };
    static const int dialogResource = 101;

private:
    int InitDialog(HWND window, UINT message, LPARAM lParam);
    bool CreateTemporaryContext();
    void ShowDriverStrings();
    void FillModeList();
    void FillLevelList();
    void OnCommand(int controlId, HWND control);
    void StoreChoices();
};
}
