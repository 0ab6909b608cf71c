// The subset of the Windows API that Korvana calls, over X11, GLX and XRandR.
//
// Names, types, constants and behaviour follow Windows so that the program's
// own code reads as a Windows program. Only what the program calls is here.
//
// Index of sections:
//   [TYPES]      base types, handles and macros
//   [PROCESS]    module path, last error
//   [MSGBOX]     message boxes
//   [DISPLAY]    display modes and full-screen switching
//   [WINDOWS]    window classes, windows, messages, dialogs, resources
//   [GDI/WGL]    device contexts, pixel formats, GL contexts
#pragma once

#include <cstddef>
#include <cstdint>

//-----------------------------------------------------------------------------
// [TYPES]
//-----------------------------------------------------------------------------

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef float FLOAT;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* LPVOID;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY

// Opaque handles: each is a distinct pointer type, as with STRICT on Windows.
#define KORVANA_DECLARE_HANDLE(name) \
    struct name##__;                 \
    typedef struct name##__* name
KORVANA_DECLARE_HANDLE(HWND);
KORVANA_DECLARE_HANDLE(HINSTANCE);
KORVANA_DECLARE_HANDLE(HDC);
KORVANA_DECLARE_HANDLE(HGLRC);
KORVANA_DECLARE_HANDLE(HICON);
KORVANA_DECLARE_HANDLE(HCURSOR);
KORVANA_DECLARE_HANDLE(HBRUSH);
KORVANA_DECLARE_HANDLE(HMENU);
KORVANA_DECLARE_HANDLE(HPALETTE);
#undef KORVANA_DECLARE_HANDLE
typedef HINSTANCE HMODULE;

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(((uintptr_t)(a)) & 0xffff)) | ((DWORD)((WORD)(((uintptr_t)(b)) & 0xffff))) << 16))
#define MAKEINTRESOURCEA(i) ((LPSTR)((uintptr_t)((WORD)(i))))
#define IS_INTRESOURCE(r) ((((uintptr_t)(r)) >> 16) == 0)

#define MAX_PATH 260

//-----------------------------------------------------------------------------
// [PROCESS]
//-----------------------------------------------------------------------------

#define ERROR_SUCCESS 0
#define ERROR_INSUFFICIENT_BUFFER 122

// The handle of the executable itself; its resources are compiled into it.
HMODULE GetModuleHandleA(LPCSTR moduleName);

// Full path of the executable. A path that does not fit is truncated to
// size - 1 characters plus the terminator; the result is then size and the
// last error ERROR_INSUFFICIENT_BUFFER, as on Windows.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

DWORD GetLastError();
void SetLastError(DWORD errorCode);

//-----------------------------------------------------------------------------
// [MSGBOX]
//-----------------------------------------------------------------------------

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONERROR 0x00000010u
#define MB_ICONHAND MB_ICONERROR
#define MB_ICONSTOP MB_ICONERROR

#define IDOK 1
#define IDCANCEL 2

// A modal box with the text, the caption, the buttons of MB_OK or
// MB_OKCANCEL and the error icon for MB_ICONERROR. Returns IDOK or IDCANCEL.
// Without a display the box is written to standard error and answers IDOK.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

//-----------------------------------------------------------------------------
// [DISPLAY]
//-----------------------------------------------------------------------------

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

#define DM_BITSPERPEL 0x00040000u
#define DM_PELSWIDTH 0x00080000u
#define DM_PELSHEIGHT 0x00100000u
#define DM_DISPLAYFLAGS 0x00200000u
#define DM_DISPLAYFREQUENCY 0x00400000u

#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define ENUM_REGISTRY_SETTINGS ((DWORD)-2)

#define CDS_FULLSCREEN 0x00000004u

#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_RESTART 1
#define DISP_CHANGE_FAILED (-1)
#define DISP_CHANGE_BADMODE (-2)

typedef struct _devicemodeA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    BYTE dmFormName[CCHFORMNAME];
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
} DEVMODEA, *LPDEVMODEA;

// The modes of the primary output, numbered from 0; FALSE past the last one
// or without a display. ENUM_CURRENT_SETTINGS answers the mode in use.
BOOL EnumDisplaySettingsA(LPCSTR deviceName, DWORD modeNum, DEVMODEA* devMode);

// Switches the primary output to the mode (CDS_FULLSCREEN: for this run
// only); (nullptr, 0) restores the mode the desktop had before.
LONG ChangeDisplaySettingsA(DEVMODEA* devMode, DWORD flags);

//-----------------------------------------------------------------------------
// [WINDOWS]
//-----------------------------------------------------------------------------

#define SW_SHOWDEFAULT 10

// [KEYS] virtual-key codes of the keys the program and its bars react to
// (letters and digits are their upper-case ASCII codes), and the wheel step.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define WHEEL_DELTA 120
// [/KEYS]

//-----------------------------------------------------------------------------
// [GDI/WGL]
//-----------------------------------------------------------------------------
