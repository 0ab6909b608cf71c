#include "ImGuiModalWindow.h"

#include "ImGuiModalWindowInput.h"
#include "PlatformTesting.h"
#include "X11Display.h"
#include "ui/Font.h"
#include "ui/ImGuiGL1Renderer.h"
#include "ui/Input.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <utility>
#include <vector>

namespace Platform
{
struct ImGuiModalWindow::State {
    ImGuiContext* imgui = nullptr;
    Display* display = nullptr;
    Window window = None;
    Colormap colormap = None;
    GLXContext context = nullptr;
    Atom deleteWindow = None;
    std::string title;
    int width = 0;
    int height = 0;
    bool closeRequested = false;
    std::chrono::steady_clock::time_point lastFrame;
};

namespace
{
// Idle redraw interval while no input arrives, in milliseconds.
constexpr int idleFrameMs = 50;

PlatformTesting::ModalFrameObserver& FrameObserver()
{
    static PlatformTesting::ModalFrameObserver observer;
    return observer;
}

// Hands the frame just drawn into the back buffer to the test observer.
void ShowFrameToObserver(const ImGuiModalWindow::State& state)
{
    const size_t rowBytes = static_cast<size_t>(state.width) * 3;
    std::vector<unsigned char> rows(rowBytes * state.height);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, state.width, state.height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glPopClientAttrib();
    std::vector<unsigned char> topFirst(rows.size());
    for (int y = 0; y < state.height; ++y)
        std::copy_n(&rows[(state.height - 1 - y) * rowBytes], rowBytes, &topFirst[y * rowBytes]);
    FrameObserver()(state.title, state.width, state.height, topFirst);
}

// Makes the window's ImGui context, and its GL context once there is one,
// current for a scope, and brings back whatever the program had current.
class ContextScope
{
public:
    explicit ContextScope(const ImGuiModalWindow::State* state, bool withGl = true)
        : previousImGui(ImGui::GetCurrentContext())
    {
        ImGui::SetCurrentContext(state->imgui);
        if (!withGl || state->context == nullptr)
            return;
        display = state->display;
        previousDisplay = glXGetCurrentDisplay();
        previousContext = glXGetCurrentContext();
        previousDraw = glXGetCurrentDrawable();
        previousRead = glXGetCurrentReadDrawable();
        glXMakeContextCurrent(display, state->window, state->window, state->context);
    }

    ~ContextScope()
    {
        if (display != nullptr) {
            if (previousContext != nullptr)
                glXMakeContextCurrent(previousDisplay, previousDraw, previousRead, previousContext);
            else
                glXMakeContextCurrent(display, None, None, nullptr);
        }
        ImGui::SetCurrentContext(previousImGui);
    }

    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    ImGuiContext* previousImGui;
    Display* display = nullptr;
    Display* previousDisplay = nullptr;
    GLXContext previousContext = nullptr;
    GLXDrawable previousDraw = None;
    GLXDrawable previousRead = None;
};

// A double-buffered true-colour config that can draw into windows.
GLXFBConfig ChooseConfig(Display* display)
{
    const int attributes[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
                              GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
                              GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                              GLX_DOUBLEBUFFER, True, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    if (configs == nullptr)
        return nullptr;
    GLXFBConfig config = count > 0 ? configs[0] : nullptr;
    XFree(configs);
    return config;
}

void SetUtf8Property(Display* display, Window window, const char* name, const std::string& value)
{
    XChangeProperty(display, window, XInternAtom(display, name, False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(value.data()),
                    static_cast<int>(value.size()));
}

void SetAtomProperty(Display* display, Window window, const char* name, const char* value)
{
    const Atom atom = XInternAtom(display, value, False);
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&atom), 1);
}

// The owning process and its machine, by which window managers and tests
// tell the windows of several programs apart.
void SetProcessId(Display* display, Window window)
{
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        XTextProperty machine;
        char* name = host;
        if (XStringListToTextProperty(&name, 1, &machine)) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
    }
}

// Like a modal dialog on Windows: a title bar whose only button closes,
// and no minimising, maximising or resizing through the window manager.
void OfferOnlyClosing(Display* display, Window window)
{
    enum { functionsGiven = 1, decorationsGiven = 2 };
    enum { functionMove = 4, functionClose = 32 };
    enum { decorationBorder = 2, decorationTitle = 8, decorationMenu = 16 };
    const long hints[5] = {functionsGiven | decorationsGiven, functionMove | functionClose,
                           decorationBorder | decorationTitle | decorationMenu, 0, 0};
    const Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints), 5);
}

// Title, fixed size, dialog type with only a close button, the close
// protocol, and the owner when there is one, so that window managers keep
// the box above it.
void SetWindowManagerHints(Display* display, ImGuiModalWindow::State& state,
                           const std::string& title, int x, int y, Window transientFor)
{
    SetUtf8Property(display, state.window, "_NET_WM_NAME", title);
    SetUtf8Property(display, state.window, "WM_NAME", title);
    SetAtomProperty(display, state.window, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG");
    OfferOnlyClosing(display, state.window);
    SetProcessId(display, state.window);

    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PPosition | PMinSize | PMaxSize;
    hints->x = x;
    hints->y = y;
    hints->min_width = hints->max_width = state.width;
    hints->min_height = hints->max_height = state.height;
    XSetWMNormalHints(display, state.window, hints);
    XFree(hints);

    state.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, state.window, &state.deleteWindow, 1);

    if (transientFor != None) {
        XSetTransientForHint(display, state.window, transientFor);
        SetAtomProperty(display, state.window, "_NET_WM_STATE", "_NET_WM_STATE_MODAL");
    }
}

// Gives the freshly mapped window the keyboard. A window manager may still
// hold it unviewable for a moment; the refusal is then harmless, so its
// error is trapped and dropped.
void TakeFocus(Display* display, Window window)
{
    X11ErrorTrap trap(display);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
}

Bool IsForWindow(Display*, XEvent* event, XPointer window)
{
    return event->xany.window == *reinterpret_cast<Window*>(window) ? True : False;
}

// Takes this window's queued events until one presses or releases a key or
// a button; true when it stopped there and more may be waiting.
bool TakeEvents(ImGuiModalWindow::State& state)
{
    XEvent event;
    while (XCheckIfEvent(state.display, &event, IsForWindow, reinterpret_cast<XPointer>(&state.window))) {
        switch (event.type) {
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == state.deleteWindow)
                state.closeRequested = true;
            return true;
        case ConfigureNotify:
            state.width = event.xconfigure.width;
            state.height = event.xconfigure.height;
            break;
        case MapNotify:
            TakeFocus(state.display, state.window);
            break;
        case UnmapNotify:
            // WORKAROUND(openbox): it offers minimising on every window whatever the Motif hints say; a modal window nobody sees would block the program, so it comes back at once.
            XMapRaised(state.display, state.window);
            break;
        default: {
            ContextScope scope(&state, false);
            if (FeedXEvent(ImGui::GetIO(), event))
                return true;
        }
        }
    }
    return false;
}

// Sleeps until the X connection has data or the idle interval has passed.
void WaitForInput(Display* display)
{
    XFlush(display);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, idleFrameMs);
}

// One frame: the caller's content inside a borderless window covering the
// client area, drawn and shown. Returns what the content returned.
bool DrawFrame(ImGuiModalWindow::State& state, const std::function<bool()>& frame)
{
    ContextScope scope(&state);
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(state.width), static_cast<float>(state.height));
    const auto now = std::chrono::steady_clock::now();
    io.DeltaTime = std::max(std::chrono::duration<float>(now - state.lastFrame).count(), 1e-4f);
    state.lastFrame = now;

    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0.0f, 0.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_WindowBorderSize, 0.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
    ImGui::Begin("##ModalWindow", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoBringToFrontOnFocus);
    ImGui::PopStyleVar(3);
    const bool keepRunning = frame();
    ImGui::End();
    ImGui::Render();

    const ImVec4 background = ImGui::GetStyle().Colors[ImGuiCol_WindowBg];
    glViewport(0, 0, state.width, state.height);
    glClearColor(background.x, background.y, background.z, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    KorvanaUi::RenderDrawData(ImGui::GetDrawData());
    if (FrameObserver())
        ShowFrameToObserver(state);
    glXSwapBuffers(state.display, state.window);
    return keepRunning;
}
}

ImGuiModalWindow::ImGuiModalWindow(float fontPixelSize) : state(new State)
{
    ImGuiContext* previous = ImGui::GetCurrentContext();
    state->imgui = ImGui::CreateContext();
    ImGui::SetCurrentContext(state->imgui);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    KorvanaUi::MapVirtualKeys(io);
    KorvanaUi::LoadDefaultFont(io, fontPixelSize);
    io.Fonts->Build();
    ImGui::SetCurrentContext(previous);
}

ImGuiModalWindow::~ImGuiModalWindow()
{
    if (state->context != nullptr) {
        {
            ContextScope scope(state.get());
            KorvanaUi::DestroyFontTexture();
        }
        glXDestroyContext(state->display, state->context);
    }
    if (state->window != None)
        XDestroyWindow(state->display, state->window);
    if (state->colormap != None)
        XFreeColormap(state->display, state->colormap);
    if (state->display != nullptr)
        XFlush(state->display);

    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(state->imgui);
    ImGui::DestroyContext(state->imgui);
    ImGui::SetCurrentContext(previous == state->imgui ? nullptr : previous);
}

ImVec2 ImGuiModalWindow::MeasureText(const char* text, float wrapWidth) const
{
    ContextScope scope(state.get(), false);
    ImFont* font = ImGui::GetIO().Fonts->Fonts[0];
    return font->CalcTextSizeA(font->FontSize, FLT_MAX, wrapWidth, text);
}

float ImGuiModalWindow::FontSize() const
{
    ContextScope scope(state.get(), false);
    return ImGui::GetIO().Fonts->Fonts[0]->FontSize;
}

ImGuiStyle& ImGuiModalWindow::Style()
{
    ContextScope scope(state.get(), false);
    return ImGui::GetStyle();
}

bool ImGuiModalWindow::Create(Display* display, const std::string& title, int width, int height,
                              Window transientFor)
{
    GLXFBConfig config = ChooseConfig(display);
    XVisualInfo* visual = config != nullptr ? glXGetVisualFromFBConfig(display, config) : nullptr;
    if (visual == nullptr)
        return false;

    State& s = *state;
    s.display = display;
    s.title = title;
    s.width = width;
    s.height = height;
    const Window root = RootWindow(display, visual->screen);
    s.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = s.colormap;
    attributes.border_pixel = 0;
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | EnterWindowMask | LeaveWindowMask | ExposureMask |
                            StructureNotifyMask | FocusChangeMask;
    const ImVec2 screen = ScreenSize(display);
    const int x = std::max(0, (static_cast<int>(screen.x) - width) / 2);
    const int y = std::max(0, (static_cast<int>(screen.y) - height) / 2);
    X11ErrorTrap trap(display);
    s.window = XCreateWindow(display, root, x, y, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), 0, visual->depth, InputOutput,
                             visual->visual, CWColormap | CWBorderPixel | CWEventMask, &attributes);
    XFree(visual);
    SetWindowManagerHints(display, s, title, x, y, transientFor);

    s.context = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
    if (trap.Failed()) {
        trap.Record("The X server refused the modal window");
        if (s.context != nullptr)
            glXDestroyContext(display, s.context);
        s.context = nullptr;
        XDestroyWindow(display, s.window);
        s.window = None;
        return false;
    }
    if (s.context == nullptr)
        return false;
    ContextScope scope(state.get());
    return KorvanaUi::CreateFontTexture();
}

void ImGuiModalWindow::Run(const std::function<bool()>& frame)
{
    State& s = *state;
    XMapRaised(s.display, s.window);
    s.lastFrame = std::chrono::steady_clock::now();
    for (;;) {
        const bool morePending = TakeEvents(s);
        if (!DrawFrame(s, frame))
            break;
        if (!morePending)
            WaitForInput(s.display);
    }
    XUnmapWindow(s.display, s.window);
    XFlush(s.display);
}

bool ImGuiModalWindow::CloseRequested() const
{
    return state->closeRequested;
}

Window ImGuiModalWindow::XWindow() const
{
    return state->window;
}

ImVec2 ImGuiModalWindow::ScreenSize(Display* display)
{
    const int screen = DefaultScreen(display);
    return ImVec2(static_cast<float>(DisplayWidth(display, screen)),
                  static_cast<float>(DisplayHeight(display, screen)));
}
}

namespace PlatformTesting
{
void SetModalFrameObserver(ModalFrameObserver observer)
{
    Platform::FrameObserver() = std::move(observer);
}
}
