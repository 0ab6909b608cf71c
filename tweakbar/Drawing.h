// The bars as Dear ImGui windows: the library's own ImGui context, one
// frame per TwDraw, and the GL objects of the current GL context.
#pragma once

#include "Model.h"

namespace TweakBar
{
// Makes the library's ImGui context current while it lives, then restores
// the context that was current before (the platform layer's dialogs and
// message boxes keep contexts of their own).
class ContextScope
{
public:
    explicit ContextScope(ImGuiContext* context);
    ~ContextScope();
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ImGuiContext* previous;
};

// ImGui name of the window listing the global help and the bars' help.
extern const char* const helpWindowName;

// Makes the library's ImGui context with its font; no GL is needed.
void CreateContext(Library& library);
// Destroys it, with the GL objects when their GL context is current.
void DestroyContext(Library& library);
// Lets go of the GL objects, deleting them when their GL context is current.
void ReleaseGLObjects(Library& library);

// True when a GL context is current on this thread.
bool GLContextCurrent();

// One frame: queued input, the visible bars with their edits and buttons,
// and the drawing itself when a GL context is current.
void DrawFrame(Library& library);
}
