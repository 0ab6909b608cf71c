// Modal dialogs built from the executable's templates, shown in a modal ImGui
// window of the layer's own, with the program's dialog procedure called as
// on Windows: WM_INITDIALOG first, then commands until EndDialog.

#include "DialogState.h"
#include "ImGuiModalWindow.h"
#include "MessageBoxWindow.h"
#include "PlatformTesting.h"
#include "ResourceTable.h"
#include "WindowObjects.h"
#include "X11Display.h"

#include <cmath>
#include <utility>

namespace
{
PlatformTesting::DialogDriver& Driver()
{
    static PlatformTesting::DialogDriver driver;
    return driver;
}

// Windows' dialog base units: the font's average character width and its
// height; a dialog unit is a quarter of the one and an eighth of the other.
struct BaseUnits {
    float x;
    float y;
};

BaseUnits MeasureBaseUnits(const Platform::ImGuiModalWindow& window)
{
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return BaseUnits{std::round(window.MeasureText(alphabet).x / 52.0f), std::round(window.FontSize() + 2.0f)};
}

HWND BuildDialog(const Platform::DialogTemplate& dialogTemplate, DLGPROC dialogProc, BaseUnits units)
{
    HWND dialog = Platform::NewWindow();
    dialog->className = "#32770";
    dialog->windowProc = Platform::DialogWindowProc;
    dialog->style = dialogTemplate.style;
    dialog->text = dialogTemplate.caption;
    dialog->width = static_cast<int>(std::lround(dialogTemplate.cx * units.x / 4.0f));
    dialog->height = static_cast<int>(std::lround(dialogTemplate.cy * units.y / 8.0f));
    dialog->dialog = std::make_unique<Platform::DialogState>();
    dialog->dialog->dialogProc = dialogProc;
    dialog->dialog->dialogTemplate = &dialogTemplate;
    for (const Platform::DialogItemTemplate& item : dialogTemplate.items) {
        HWND control = Platform::NewWindow();
        control->parent = dialog;
        control->className = item.className;
        control->windowProc = Platform::ControlWindowProc;
        control->style = item.style | WS_CHILD | WS_VISIBLE;
        control->text = item.text;
        control->controlId = item.id;
        control->x = item.x;
        control->y = item.y;
        control->width = item.cx;
        control->height = item.cy;
        control->control = std::make_unique<Platform::ControlState>();
        control->control->kind = item.className;
        control->control->style = item.style;
        dialog->children.push_back(control);
    }
    return dialog;
}

bool BelongsTo(HWND dialog, HWND window)
{
    return window && (window == dialog || window->parent == dialog);
}

// Messages posted to the dialog or its controls, in order.
void DispatchPosted(HWND dialog)
{
    MSG msg;
    while (!dialog->dialog->ended &&
           Platform::TakePostedMessage(&msg, [dialog](const MSG& m) { return BelongsTo(dialog, m.hwnd); }))
        DispatchMessageA(&msg);
}

// One turn of the modal loop; false once the dialog has ended.
bool RunFrame(HWND dialog, Platform::ImGuiModalWindow& window, BaseUnits units, bool& closeHandled)
{
    Platform::DialogState& state = *dialog->dialog;
    if (window.CloseRequested() && !closeHandled) {
        closeHandled = true;
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    }
    DispatchPosted(dialog);
    if (!state.ended && Driver())
        Driver()(dialog);
    DispatchPosted(dialog);
    if (state.ended)
        return false;
    Platform::DrawDialogControls(dialog, units.x, units.y);
    return !state.ended;
}

// The dialog window itself belongs to the modal window, which destroys it.
void TearDown(HWND dialog)
{
    SendMessageA(dialog, WM_DESTROY, 0, 0);
    dialog->xwindow = 0;
    Platform::DestroyNativeWindow(dialog);
    Platform::DiscardMessages(dialog);
    for (HWND control : dialog->children)
        Platform::DiscardMessages(control);
    Platform::FreeWindow(dialog);
}
}

namespace Platform
{
LRESULT CALLBACK DialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogState& state = *dialog->dialog;
    const INT_PTR handled = state.dialogProc(dialog, message, wParam, lParam);
    if (message == WM_INITDIALOG || handled)
        return handled;
    if (message == WM_CLOSE && !state.ended)
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return 0;
}
}

namespace PlatformTesting
{
void SetDialogDriver(DialogDriver driver)
{
    Driver() = std::move(driver);
}
}

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND parent, DLGPROC dialogProc,
                        LPARAM initParam)
{
    if (!IS_INTRESOURCE(templateName) || !dialogProc)
        return -1;
    const Platform::DialogTemplate* dialogTemplate =
        Platform::FindDialogTemplate(static_cast<int>(reinterpret_cast<uintptr_t>(templateName)));
    Display* display = Platform::GetDisplay();
    if (!dialogTemplate || !display)
        return -1;

    Platform::ImGuiModalWindow window;
    Platform::SetLightStyle(window.Style());
    const BaseUnits units = MeasureBaseUnits(window);
    HWND dialog = BuildDialog(*dialogTemplate, dialogProc, units);
    const ::Window owner = Platform::LiveWindow(parent) ? parent->xwindow : None;
    if (!window.Create(display, dialogTemplate->caption, dialog->width, dialog->height, owner)) {
        Platform::FreeWindow(dialog);
        return -1;
    }
    dialog->xwindow = window.XWindow();

    HWND firstControl = dialog->children.empty() ? nullptr : dialog->children.front();
    SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstControl), initParam);
    bool closeHandled = false;
    if (!dialog->dialog->ended)
        window.Run([&] { return RunFrame(dialog, window, units, closeHandled); });
    const INT_PTR result = dialog->dialog->result;
    TearDown(dialog);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    if (!Platform::LiveWindow(dialog) || !dialog->dialog)
        return FALSE;
    dialog->dialog->ended = true;
    dialog->dialog->result = result;
    return TRUE;
}
