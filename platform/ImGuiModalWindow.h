// A modal top-level X window drawn with Dear ImGui: its own GLX context and
// its own ImGui context, so that message boxes and dialogs can be shown while
// the program has a GL or ImGui context of its own, which stay current for it.
// Internal to platform/.
#pragma once

#include <X11/Xlib.h>
#include <imgui.h>

#include <functional>
#include <memory>
#include <string>

namespace Platform
{
class ImGuiModalWindow
{
public:
    static constexpr float defaultFontPixelSize = 15.0f;

    // Makes the ImGui context with the user-interface font; no X resources
    // yet, so that the content can be measured before the window is sized.
    explicit ImGuiModalWindow(float fontPixelSize = defaultFontPixelSize);
    ~ImGuiModalWindow();
    ImGuiModalWindow(const ImGuiModalWindow&) = delete;
    ImGuiModalWindow& operator=(const ImGuiModalWindow&) = delete;

    // Size of the text in the window's font; a wrapWidth above 0 wraps lines
    // longer than it, as ImGui::PushTextWrapPos would.
    ImVec2 MeasureText(const char* text, float wrapWidth = 0.0f) const;
    float FontSize() const;

    // The style of the window's own ImGui context, to adjust before Run.
    ImGuiStyle& Style();

    // Creates the unmapped window with a client area of width x height,
    // centred on the screen, titled (UTF-8), transient for transientFor when
    // it is not None, with a GL context of its own. False when GLX has no
    // double-buffered RGB config or no context for it.
    bool Create(Display* display, const std::string& title, int width, int height,
                Window transientFor = None);

    // Shows the window and draws it until frame returns false. Each frame the
    // window's X input is fed to ImGui and frame is called inside a borderless
    // ImGui window covering the client area. Only this window's events are
    // taken from the display's queue; those of other windows stay queued.
    void Run(const std::function<bool()>& frame);

    // True once the window manager's close button was pressed.
    bool CloseRequested() const;

    Window XWindow() const;

    // Size of the display's default screen in pixels.
    static ImVec2 ScreenSize(Display* display);

    // The window's resources, defined and used only by its own unit.
    struct State;

private:
    std::unique_ptr<State> state;
};
}
