// On-screen parameter bars drawn over an OpenGL image.
//
// A bar is a small window of rows: each row shows a variable of the program
// (bound to its memory or reached through a getter and a setter), a button or
// a separator; rows can be gathered into collapsible groups. Bars and rows are
// tuned by definition strings such as "main label='Okno glowne' size='350 130'"
// handed to TwDefine or to the Add functions.
//
// Functions that report success return non-zero on success and 0 on failure;
// TwGetLastError then describes the failure. Everything runs on the thread of
// the window's message loop.
#pragma once

#include "platform/Win32Api.h"

#include <cstddef>

#define TW_CALL

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CTwBar TwBar;

// Value types. Types made by TwDefineEnum and TwDefineStruct get numbers of
// their own above the built-in ones.
typedef enum ETwType {
    TW_TYPE_UNDEF = 0,
    TW_TYPE_BOOLCPP,  // bool
    TW_TYPE_INT32,    // 32-bit signed integer
    TW_TYPE_FLOAT,    // float
    TW_TYPE_COLOR3F,  // float[3], red, green, blue in 0..1
    TW_TYPE_COLOR4F,  // float[4], red, green, blue, alpha in 0..1
    TW_TYPE_LIMIT = 0x7fffffff  // widens the type to every number made for new types
} TwType;

typedef enum ETwGraphAPI {
    TW_OPENGL = 1
} TwGraphAPI;

// One value of an enumeration and the text the bar shows for it.
typedef struct CTwEnumVal {
    int Value;
    const char* Label;
} TwEnumVal;

// One member of a structure: its name, type, byte offset and definition.
typedef struct CTwStructMember {
    const char* Name;
    TwType Type;
    size_t Offset;
    const char* DefString;
} TwStructMember;

typedef void(TW_CALL* TwSetVarCallback)(const void* value, void* clientData);
typedef void(TW_CALL* TwGetVarCallback)(void* value, void* clientData);
typedef void(TW_CALL* TwButtonCallback)(void* clientData);
typedef void(TW_CALL* TwSummaryCallback)(char* summaryString, size_t summaryMaxLength,
                                         const void* value, void* clientData);

// Starts the library for OpenGL drawing; device must be null. No GL context
// is needed until the first TwDraw.
int TW_CALL TwInit(TwGraphAPI graphAPI, void* device);
// Deletes every bar and type and stops the library.
int TW_CALL TwTerminate(void);
// The size of the window's client area; bars are kept inside it. (0, 0)
// releases the library's GL objects (the next TwDraw makes them again).
int TW_CALL TwWindowSize(int width, int height);
// Draws every visible bar into the current GL context and runs the edits
// and button presses that the input since the previous TwDraw made.
int TW_CALL TwDraw(void);

TwBar* TW_CALL TwNewBar(const char* barName);
int TW_CALL TwDeleteBar(TwBar* bar);

// "bar params", "bar/variable params", "bar/group params" or
// "GLOBAL params"; several definitions may be given on separate lines.
int TW_CALL TwDefine(const char* def);

TwType TW_CALL TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int nbValues);
TwType TW_CALL TwDefineStruct(const char* name, const TwStructMember* structMembers,
                              unsigned int nbMembers, size_t structSize,
                              TwSummaryCallback summaryCallback, void* summaryClientData);

int TW_CALL TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* def);
int TW_CALL TwAddVarCB(TwBar* bar, const char* name, TwType type, TwSetVarCallback setCallback,
                       TwGetVarCallback getCallback, void* clientData, const char* def);
int TW_CALL TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback,
                        void* clientData, const char* def);
int TW_CALL TwAddSeparator(TwBar* bar, const char* name, const char* def);

// Hands a window message to the bars. Returns non-zero when a bar took it
// (the pointer is over a bar, a drag began on a bar, a field is being
// edited); the window then ignores the message.
int TW_CALL TwEventWin(void* wnd, unsigned int msg, WPARAM wParam, LPARAM lParam);

// The description of the latest failure, or null when no call failed since
// the previous TwGetLastError.
const char* TW_CALL TwGetLastError(void);

#ifdef __cplusplus
}
#endif
