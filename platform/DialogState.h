// The layer's side of a modal dialog: the procedure it calls and its end.
// Internal to platform/.
#pragma once

#include "Win32Api.h"

namespace Platform
{
struct DialogTemplate;

struct DialogState {
    DLGPROC dialogProc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    bool ended = false;
    INT_PTR result = 0;
};

// Procedures of the dialog window and of its controls.
LRESULT CALLBACK DialogWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ControlWindowProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the dialog's controls into the current ImGui window, dialog units
// scaled by the base units; clicks become the controls' notifications.
void DrawDialogControls(HWND dialog, float baseUnitX, float baseUnitY);
}
