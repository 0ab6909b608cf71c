// Dialog controls as Windows keeps them: push buttons, auto check boxes,
// group boxes, static texts and drop-down lists, with the messages and
// calls the program sends them.

#include "DialogState.h"
#include "WindowObjects.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace
{
bool IsCheckBox(const Platform::ControlState& control)
{
    return control.kind == "BUTTON" && (control.style & 0x0F) == BS_AUTOCHECKBOX;
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    const std::size_t length = std::strlen(prefix);
    if (text.size() < length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// The first entry after `start` whose text begins with the prefix, going
// round to the top of the list; -1 searches the whole list from the top.
LRESULT SelectString(Platform::ControlState& control, WPARAM start, const char* prefix)
{
    const int count = static_cast<int>(control.entries.size());
    const int first = static_cast<int>(static_cast<INT_PTR>(start));
    for (int step = 1; step <= count; ++step) {
        const int index = ((first < 0 ? -1 : first) + step) % count;
        if (StartsWithNoCase(control.entries[static_cast<std::size_t>(index)].text, prefix)) {
            control.selection = index;
            return index;
        }
    }
    return CB_ERR;
}

bool ValidIndex(const Platform::ControlState& control, WPARAM index)
{
    return index < control.entries.size();
}

LRESULT ComboMessage(Platform::ControlState& control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CB_ADDSTRING:
        control.entries.push_back({lParam ? reinterpret_cast<const char*>(lParam) : "", 0});
        return static_cast<LRESULT>(control.entries.size() - 1);
    case CB_GETCOUNT:
        return static_cast<LRESULT>(control.entries.size());
    case CB_GETCURSEL:
        return control.selection;
    case CB_SETCURSEL:
        control.selection = ValidIndex(control, wParam) ? static_cast<int>(wParam) : CB_ERR;
        return control.selection;
    case CB_SELECTSTRING:
        return lParam ? SelectString(control, wParam, reinterpret_cast<const char*>(lParam)) : CB_ERR;
    case CB_GETITEMDATA:
        return ValidIndex(control, wParam) ? control.entries[wParam].data : CB_ERR;
    case CB_SETITEMDATA:
        if (!ValidIndex(control, wParam))
            return CB_ERR;
        control.entries[wParam].data = lParam;
        return TRUE;
    case CB_GETLBTEXT:
        if (!ValidIndex(control, wParam) || !lParam)
            return CB_ERR;
        std::strcpy(reinterpret_cast<char*>(lParam), control.entries[wParam].text.c_str());
        return static_cast<LRESULT>(control.entries[wParam].text.size());
    case CB_RESETCONTENT:
        control.entries.clear();
        control.selection = CB_ERR;
        return TRUE;
    default:
        return 0;
    }
}

// A click as the user makes it: an auto check box turns over first, then
// the dialog hears of it. Disabled controls take no clicks.
void Click(HWND control)
{
    if (control->style & WS_DISABLED)
        return;
    if (IsCheckBox(*control->control))
        control->control->check = control->control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    SendMessageA(control->parent, WM_COMMAND, MAKEWPARAM(control->controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}
}

namespace Platform
{
LRESULT CALLBACK ControlWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    ControlState& state = *control->control;
    switch (message) {
    case BM_GETCHECK:
        return state.check;
    case BM_SETCHECK:
        state.check = static_cast<UINT>(wParam);
        return 0;
    case BM_CLICK:
        Click(control);
        return 0;
    default:
        break;
    }
    if (state.kind == "COMBOBOX" && message >= CB_ADDSTRING && message <= CB_SETITEMDATA)
        return ComboMessage(state, message, wParam, lParam);
    return DefWindowProcA(control, message, wParam, lParam);
}
}

HWND GetDlgItem(HWND dialog, int id)
{
    if (!Platform::LiveWindow(dialog))
        return nullptr;
    for (HWND child : dialog->children)
        if (child->controlId == id)
            return child;
    return nullptr;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<BOOL>(SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)))
                   : FALSE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0)) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

// Returns whether the window was disabled before, as Windows does.
BOOL EnableWindow(HWND window, BOOL enable)
{
    if (!Platform::LiveWindow(window))
        return FALSE;
    const BOOL wasDisabled = (window->style & WS_DISABLED) != 0;
    if (enable)
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
    else
        window->style |= WS_DISABLED;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window)
{
    return Platform::LiveWindow(window) && !(window->style & WS_DISABLED);
}
