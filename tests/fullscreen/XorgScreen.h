// Fixture of the tests on Xorg's dummy server (bare, or under openbox in the
// desktop run): the screen as it was, put back after a test that left it
// switched so that later tests start from the desktop's mode.
#pragma once

// Before X's headers, whose None and Bool macros clash with its names.
#include <gtest/gtest.h>

#include "ScreenProbe.h"

#include <cstdlib>
#include <memory>

namespace FullScreenTests
{
// Every test's full screen: 800 x 600 at 85 Hz, which the server offers.
inline const char* FullScreenConfig()
{
    return R"(Renderer : { VSync = false; FSAA = false; FSAALevel = 2; };
Window : { FullScreen = true; Screen : { Width = 800; Height = 600; Color = 32; RefreshRate = 85; }; };
)";
}

class XorgScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        name = std::getenv("KORVANA_XORG_DISPLAY");
        if (!name)
            GTEST_SKIP() << "no Xorg dummy server";
        probe = std::make_unique<ScreenProbe>(name);
        ASSERT_NE(probe->display(), nullptr);
        desktop = probe->Now();
        ASSERT_NE(desktop.width, 800u) << "the desktop's mode must differ from the program's";
    }

    void TearDown() override
    {
        if (probe && probe->display() && !(probe->Now() == desktop))
            probe->Set(desktop);
    }

    bool ShowsProgramMode() const
    {
        const ScreenState now = probe->Now();
        return now.width == 800 && now.height == 600;
    }

    bool ShowsDesktop() const { return probe->Now() == desktop; }

    const char* name = nullptr;
    std::unique_ptr<ScreenProbe> probe;
    ScreenState desktop;
};
}
