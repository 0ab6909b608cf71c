// The setup dialog driven by posted messages: what it shows and preselects,
// how its check boxes act, and what OK and Cancel leave in Korvana.cfg.

#include "DriverFlags.h"
#include "ProgramRun.h"

#include "GLWindow.h"

#include "platform/X11Display.h"

#include <GL/gl.h>

#include <utility>
#include <vector>

namespace
{
using AppTests::ProgramRun;
using AppTests::SelectedText;

const char* storedSettings = R"(Renderer : { VSync = false; FSAA = false; FSAALevel = 3; };
Window : { FullScreen = false; Screen : { Width = 1000; Height = 700; Color = 32; RefreshRate = 75; }; };
)";

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id));
}

class SetupDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!Platform::GetDisplay())
            GTEST_SKIP() << "no X display";
    }
};

TEST_F(SetupDialog, ShowsTheDriverAndPreselectsTheClosestModeAndAnOfferedLevel)
{
    ProgramRun run(storedSettings);
    run.driver = [](HWND dialog) {
        char vendor[256] = {};
        SendMessageA(GetDlgItem(dialog, 1011), WM_GETTEXT, sizeof vendor, reinterpret_cast<LPARAM>(vendor));
        EXPECT_STRNE(vendor, "VENDOR");
        EXPECT_STRNE(vendor, "");
        // 1000 x 700 @ 75 Hz: width 800 is the largest below, then 60 Hz.
        EXPECT_EQ(SelectedText(dialog, 1006), "800 x 600 x 32bpp @ 60Hz");
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1006, CB_GETCOUNT, 0, 0), 5);
        EXPECT_TRUE(Enabled(dialog, 1001));
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1001), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_FALSE(Enabled(dialog, 1009));
        EXPECT_FALSE(Enabled(dialog, 1014));
        EXPECT_EQ(SelectedText(dialog, 1009), "4");  // 3 is not offered
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    run.Run();
    EXPECT_EQ(run.paints, 0);
}

TEST_F(SetupDialog, FsaaBoxEnablesAndDisablesTheLevelListAndItsLabel)
{
    ProgramRun run(storedSettings);
    int step = 0;
    run.driver = [&step](HWND dialog) {
        switch (step++) {
        case 0:
            PostMessageA(GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
            break;
        case 1:
            EXPECT_TRUE(Enabled(dialog, 1009));
            EXPECT_TRUE(Enabled(dialog, 1014));
            PostMessageA(GetDlgItem(dialog, 1001), BM_CLICK, 0, 0);
            break;
        default:
            EXPECT_FALSE(Enabled(dialog, 1009));
            EXPECT_FALSE(Enabled(dialog, 1014));
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
    };
    run.Run();
    EXPECT_EQ(step, 3);
}

TEST_F(SetupDialog, OkStoresTheModeAndTheLevelEvenWithFsaaOff)
{
    ProgramRun run(storedSettings);
    run.driver = [](HWND dialog) {
        SendDlgItemMessageA(dialog, 1006, CB_SETCURSEL, 3, 0);  // 800 x 600 @ 85
        PostMessageA(GetDlgItem(dialog, 1002), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(dialog, 1002), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    };
    run.Run();
    const std::string written = run.WrittenConfig();
    EXPECT_NE(written.find("Width = 800;"), std::string::npos) << written;
    EXPECT_NE(written.find("Height = 600;"), std::string::npos);
    EXPECT_NE(written.find("RefreshRate = 85;"), std::string::npos);
    EXPECT_NE(written.find("FSAA = false;"), std::string::npos);
    EXPECT_NE(written.find("FSAALevel = 4;"), std::string::npos);
    EXPECT_NE(written.find("FullScreen = false;"), std::string::npos);
    EXPECT_GT(run.paints, 0);  // OK opened the window
}

TEST_F(SetupDialog, CancelWritesNoChoiceAndOpensNoWindow)
{
    ProgramRun run(storedSettings);
    run.driver = [](HWND dialog) {
        SendDlgItemMessageA(dialog, 1006, CB_SETCURSEL, 0, 0);
        PostMessageA(GetDlgItem(dialog, 1002), BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    };
    run.Run();
    const std::string written = run.WrittenConfig();
    EXPECT_NE(written.find("Width = 1000;"), std::string::npos) << written;
    EXPECT_NE(written.find("RefreshRate = 75;"), std::string::npos);
    EXPECT_NE(written.find("FSAALevel = 3;"), std::string::npos);
    EXPECT_NE(written.find("FullScreen = false;"), std::string::npos);
    EXPECT_EQ(run.paints + run.otherMessages, 0);
}

TEST_F(SetupDialog, FirstRunCancelledStillWritesTheDefaultsItRead)
{
    ProgramRun run("");
    run.driver = [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
    run.Run();
    ASSERT_EQ(run.boxes.boxes.size(), 1u);  // the configuration could not be read
    const std::string written = run.WrittenConfig();
    EXPECT_NE(written.find("Width = 800;"), std::string::npos) << written;
    EXPECT_NE(written.find("FSAALevel = 2;"), std::string::npos);
    EXPECT_NE(written.find("VSync = false;"), std::string::npos);
}

// The vertical-sync box starts as the configuration says, OK stores its
// state, and the window's swap interval follows it.
TEST_F(SetupDialog, VSyncBoxIsStoredAndSetsTheSwapInterval)
{
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored on, switched off" : "stored off, switched on");
        std::string config = storedSettings;
        if (stored)
            config.replace(config.find("VSync = false"), 13, "VSync = true");
        ProgramRun run(config);
        run.driver = [stored](HWND dialog) {
            EXPECT_TRUE(Enabled(dialog, 1003)) << "the swap-control extension is there";
            EXPECT_EQ(IsDlgButtonChecked(dialog, 1003), static_cast<UINT>(stored ? BST_CHECKED : BST_UNCHECKED));
            PostMessageA(GetDlgItem(dialog, 1003), BM_CLICK, 0, 0);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        };
        std::vector<std::pair<int, BOOL>> intervals;
        PlatformTesting::SetSwapIntervalObserver(
            [&intervals](int interval, BOOL result) { intervals.emplace_back(interval, result); });
        run.Run();
        PlatformTesting::SetSwapIntervalObserver(nullptr);
        EXPECT_GT(run.paints, 0);
        EXPECT_EQ(intervals, (std::vector<std::pair<int, BOOL>>{{stored ? 0 : 1, TRUE}}));
        const std::string written = run.WrittenConfig();
        EXPECT_NE(written.find(stored ? "VSync = false;" : "VSync = true;"), std::string::npos) << written;
    }
}

// Without the multisample extension the anti-aliasing box stays disabled
// and empty whatever the configuration held, and OK stores it off with the
// level of the empty list.
TEST_F(SetupDialog, WithoutMultisamplingFsaaIsOffAndTheLevelIsMinusOne)
{
    std::string config = storedSettings;
    config.replace(config.find("FSAA = false"), 12, "FSAA = true");
    ProgramRun run(config);
    const AppTests::WithoutExtensions driver(AppTests::DriverExtensions::Multisample);
    run.driver = [](HWND dialog) {
        EXPECT_FALSE(Enabled(dialog, 1001));
        EXPECT_EQ(IsDlgButtonChecked(dialog, 1001), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_FALSE(Enabled(dialog, 1009));
        EXPECT_FALSE(Enabled(dialog, 1014));
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1009, CB_GETCOUNT, 0, 0), 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    GLint samples = -1;
    run.watcher = [&samples](KorvanaFramework::GLWindow&, const MSG& msg) {
        if (msg.message == WM_PAINT)
            glGetIntegerv(0x80A9 /* GL_SAMPLES */, &samples);
    };
    run.Run();
    EXPECT_EQ(samples, 0);
    const std::string written = run.WrittenConfig();
    EXPECT_NE(written.find("FSAA = false;"), std::string::npos) << written;
    EXPECT_NE(written.find("FSAALevel = -1;"), std::string::npos) << written;
}
}
