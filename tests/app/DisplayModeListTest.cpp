#include "DisplayModeList.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using KorvanaFramework::DisplayMode;
using KorvanaFramework::DisplayModeList;
using TestSupport::Mode;

namespace
{
// Puts a fake mode list in place of the display for one test.
class FakeDisplayTest : public ::testing::Test
{
protected:
    void SetUp() override { PlatformTesting::SetFakeDisplay(&display); }
    void TearDown() override { PlatformTesting::SetFakeDisplay(nullptr); }

    std::vector<std::string> Texts(DisplayModeList& list)
    {
        std::vector<std::string> texts;
        list.ResetCursor();
        for (std::string text = list.NextText(); !text.empty(); text = list.NextText())
            texts.push_back(text);
        return texts;
    }

    std::string Best(const DisplayModeList& list, uint32_t w, uint32_t h, uint32_t bits, uint32_t hz)
    {
        return DisplayModeList::ToString(list.FindBest(w, h, bits, hz));
    }

    PlatformTesting::FakeDisplay display;
};

// A display like most desktops: two depths, three widths, several rates.
class TypicalDisplay : public FakeDisplayTest
{
protected:
    void SetUp() override
    {
        FakeDisplayTest::SetUp();
        display.modes = {Mode(1280, 1024, 32, 60), Mode(800, 600, 32, 85), Mode(640, 480, 8, 60),
                         Mode(1024, 768, 32, 85),  Mode(800, 600, 16, 60), Mode(800, 600, 32, 60),
                         Mode(1024, 768, 32, 60),  Mode(800, 480, 32, 60), Mode(1280, 960, 32, 75)};
    }
};
}

// Palette modes are left out; the rest is sorted by depth, width, height and
// rate; the cursor walks the list once and can start again.
TEST_F(TypicalDisplay, FiltersSortsAndWalks)
{
    DisplayModeList list;
    EXPECT_EQ(list.Count(), 8u);
    const std::vector<std::string> expected = {
        "800 x 600 x 16bpp @ 60Hz",   "800 x 480 x 32bpp @ 60Hz",   "800 x 600 x 32bpp @ 60Hz",
        "800 x 600 x 32bpp @ 85Hz",   "1024 x 768 x 32bpp @ 60Hz",  "1024 x 768 x 32bpp @ 85Hz",
        "1280 x 960 x 32bpp @ 75Hz",  "1280 x 1024 x 32bpp @ 60Hz"};
    EXPECT_EQ(Texts(list), expected);
    EXPECT_EQ(list.NextText(), "") << "the cursor stays past the end";
    list.ResetCursor();
    EXPECT_EQ(list.NextText(), expected[0]);
    EXPECT_EQ(list.ModeAt(3).modeIndex, 1u) << "the mode keeps its enumeration number";
    EXPECT_EQ(list.ModeAt(7).modeIndex, 0u);
}

// Each key picks the exact value, else the largest below, else the smallest.
TEST_F(TypicalDisplay, FindBestNarrowsKeyByKey)
{
    DisplayModeList list;
    EXPECT_EQ(Best(list, 1024, 768, 32, 85), "1024 x 768 x 32bpp @ 85Hz");
    EXPECT_EQ(Best(list, 1024, 768, 24, 85), "800 x 600 x 16bpp @ 60Hz") << "lower depth";
    EXPECT_EQ(Best(list, 1024, 768, 8, 85), "800 x 600 x 16bpp @ 60Hz") << "all depths above";
    EXPECT_EQ(Best(list, 1000, 700, 32, 60), "800 x 600 x 32bpp @ 60Hz") << "largest below";
    EXPECT_EQ(Best(list, 640, 400, 32, 60), "800 x 480 x 32bpp @ 60Hz") << "smallest when all above";
    EXPECT_EQ(Best(list, 800, 600, 32, 75), "800 x 600 x 32bpp @ 60Hz");
    EXPECT_EQ(Best(list, 800, 600, 32, 100), "800 x 600 x 32bpp @ 85Hz");
    EXPECT_EQ(Best(list, 800, 600, 32, 50), "800 x 600 x 32bpp @ 60Hz");
    EXPECT_EQ(Best(list, 1280, 1000, 32, 85), "1280 x 960 x 32bpp @ 75Hz") << "height below in its width";
    EXPECT_EQ(Best(list, 4000, 4000, 64, 240), "1280 x 1024 x 32bpp @ 60Hz");
}

// Modes equal in all four keys both stay, in enumeration order, and the
// first of them is the one found.
TEST_F(FakeDisplayTest, EqualModesStayInEnumerationOrder)
{
    display.modes = {Mode(1024, 768, 32, 60), Mode(800, 600, 32, 60), Mode(1024, 768, 32, 60),
                     Mode(1024, 768, 32, 60)};
    DisplayModeList list;
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.ModeAt(1).modeIndex, 0u);
    EXPECT_EQ(list.ModeAt(2).modeIndex, 2u);
    EXPECT_EQ(list.ModeAt(3).modeIndex, 3u);
    EXPECT_EQ(list.FindBest(1024, 768, 32, 60).modeIndex, 0u);
    EXPECT_EQ(Texts(list)[1], Texts(list)[2]);
}

// Every mode asked for exactly is found exactly.
TEST_F(TypicalDisplay, ExactRequestsReturnThatMode)
{
    DisplayModeList list;
    for (uint32_t i = 0; i < list.Count(); ++i) {
        const DisplayMode mode = list.ModeAt(i);
        const DisplayMode found = list.FindBest(mode.width, mode.height, mode.bitsPerPixel, mode.frequency);
        EXPECT_EQ(found.modeIndex, mode.modeIndex) << DisplayModeList::ToString(mode);
    }
}

TEST_F(FakeDisplayTest, OnlyPaletteModesGiveAnEmptyList)
{
    display.modes = {Mode(640, 480, 8, 60), Mode(320, 200, 4, 70)};
    DisplayModeList list;
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.NextText(), "");
}

// On a real X server with many modes (Xorg's dummy driver, started by the
// test script): the modes come from XRandR, and a switch is seen as the
// current mode until the desktop mode is restored.
TEST(RealDisplay, EnumeratesAndSwitchesModes)
{
    const char* xorg = std::getenv("KORVANA_XORG_DISPLAY");
    if (!xorg)
        GTEST_SKIP() << "no Xorg dummy server";
    setenv("DISPLAY", xorg, 1);

    DEVMODEA desktop = {};
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &desktop));
    EXPECT_EQ(desktop.dmBitsPerPel, 32u) << "a depth-24 screen has 32-bit pixels";

    DisplayModeList list;
    ASSERT_GT(list.Count(), 5u);
    const DisplayMode best = list.FindBest(800, 600, 32, 85);
    EXPECT_EQ(DisplayModeList::ToString(best), "800 x 600 x 32bpp @ 85Hz");

    DEVMODEA wanted = {};
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, best.modeIndex, &wanted));
    ASSERT_EQ(ChangeDisplaySettingsA(&wanted, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    DEVMODEA now = {};
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now));
    EXPECT_EQ(now.dmPelsWidth, 800u);
    EXPECT_EQ(now.dmPelsHeight, 600u);
    EXPECT_EQ(now.dmDisplayFrequency, 85u);

    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now));
    EXPECT_EQ(now.dmPelsWidth, desktop.dmPelsWidth);
    EXPECT_EQ(now.dmPelsHeight, desktop.dmPelsHeight);

    DEVMODEA impossible = wanted;
    impossible.dmPelsWidth = 12345;
    EXPECT_EQ(ChangeDisplaySettingsA(&impossible, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
}
