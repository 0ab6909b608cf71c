// tweakdemo: a window with tweak bars of every kind of row over a simple
// coloured scene.
//
//   tweakdemo                          runs until the window is closed
//   tweakdemo --screenshot out.png [--frames N]
//                                      writes frame N (default 30) as PNG and ends
// The window-API header first: it defines APIENTRY as the GL headers expect.
#include "tweakbar/TweakBar.h"

#include "DemoBars.h"
#include "DemoWindow.h"

#include <GL/gl.h>
#include <stb/stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
struct Options {
    std::string screenshot;
    int frames = 30;
};

bool ReadOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--screenshot") == 0 && hasValue)
            options.screenshot = argv[++i];
        else if (std::strcmp(argv[i], "--frames") == 0 && hasValue)
            options.frames = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.frames > 0;
}

// Stripes of colour behind the bars, so that their transparency shows.
void DrawScene(const DemoValues& values)
{
    glClearColor(values.background[0], values.background[1], values.background[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 8; ++i) {
        const float x = -1.0f + i * 0.25f;
        glColor3f(values.tint[0] * (i % 2), values.tint[1], values.tint[2] * ((i + 1) % 2));
        glVertex2f(x, -1.0f);
        glVertex2f(x + 0.25f, -1.0f);
        glVertex2f(x + 0.125f, 1.0f);
    }
    glEnd();
}

// Writes the back buffer as a PNG, top row first.
bool WriteScreenshot(const std::string& path, int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
}
}

int main(int argc, char** argv)
{
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: tweakdemo [--screenshot out.png [--frames N]]\n");
        return 2;
    }
    DemoWindow window;
    DemoValues values;
    if (TwInit(TW_OPENGL, nullptr) == 0)
        return 1;
    if (!window.Open(1024, 700, "tweakdemo")) {
        std::fprintf(stderr, "tweakdemo: no X display with GLX\n");
        return 1;
    }
    if (!BuildDemoBars(values))
        return 1;
    bool written = options.screenshot.empty();
    while (window.Pump()) {
        glViewport(0, 0, window.width, window.height);
        DrawScene(values);
        TwDraw();
        ++values.frames;
        if (!options.screenshot.empty() && values.frames == options.frames) {
            written = WriteScreenshot(options.screenshot, window.width, window.height);
            break;
        }
        window.Swap();
    }
    TwWindowSize(0, 0);
    TwTerminate();
    return written ? 0 : 1;
}
