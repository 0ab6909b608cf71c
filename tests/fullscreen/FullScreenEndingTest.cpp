// The program in full screen at 800 x 600, as a process of its own, ended in
// each way a process ends: the desktop's mode is back, before the end for
// the signals a process can catch, and the exit status is the signal's.

#include "XorgScreen.h"
#include "ProgramProcess.h"

#include <signal.h>
#include <sys/wait.h>

#include <cstring>

using namespace FullScreenTests;

namespace
{
const char* windowedConfig = R"(Renderer : { VSync = false; FSAA = false; FSAALevel = 2; };
Window : { FullScreen = false; Screen : { Width = 800; Height = 600; Color = 32; RefreshRate = 85; }; };
)";

const double startSeconds = 60;  // a loaded machine starts the program slowly

bool EndedBy(int status, int signal)
{
    return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

class EndingSignal : public XorgScreen, public ::testing::WithParamInterface<int>
{
};
}

TEST_P(EndingSignal, DesktopModeIsBackAndTheStatusIsTheSignals)
{
    const int signal = GetParam();
    ProgramProcess program(FullScreenConfig(), name);
    ASSERT_TRUE(program.WaitReady(startSeconds));
    ASSERT_TRUE(ShowsProgramMode()) << probe->Now().ToString();

    const int status = program.EndBy(signal);
    EXPECT_TRUE(EndedBy(status, signal)) << "wait status " << status;
    if (signal == SIGKILL)
        EXPECT_TRUE(Eventually([this] { return ShowsDesktop(); }, 10))
            << "the guardian restores " << desktop.ToString() << "; now " << probe->Now().ToString();
    else
        EXPECT_TRUE(ShowsDesktop()) << "restored before the end: " << probe->Now().ToString();
}

INSTANTIATE_TEST_SUITE_P(, EndingSignal,
                         ::testing::Values(SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE,
                                           SIGKILL),
                         [](const ::testing::TestParamInfo<int>& info) { return std::string(sigabbrev_np(info.param)); });

// A real fault, on the thread that draws, ends the same way.
TEST_F(XorgScreen, DesktopModeIsBackAfterACrash)
{
    ProgramProcess program(FullScreenConfig(), name);
    ASSERT_TRUE(program.WaitReady(startSeconds));
    ASSERT_TRUE(ShowsProgramMode());
    program.Send("crash");
    const int status = program.WaitEnd(30);
    EXPECT_TRUE(EndedBy(status, SIGSEGV)) << "wait status " << status;
    EXPECT_TRUE(ShowsDesktop()) << probe->Now().ToString();
}

// While full screen lasts the program has a guardian and catches the ending
// signals; closed normally, it ends well with the desktop's mode back.
// Windowed, nothing of this runs.
TEST_F(XorgScreen, OnlyFullScreenIsGuarded)
{
    const int terminalSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};
    {
        ProgramProcess program(FullScreenConfig(), name);
        ASSERT_TRUE(program.WaitReady(startSeconds));
        EXPECT_EQ(ChildrenOf(program.Pid()).size(), 1u) << "one guardian";
        for (int signal : terminalSignals)
            EXPECT_TRUE(CatchesSignal(program.Pid(), signal)) << sigabbrev_np(signal);
        program.Send("close");
        const int status = program.WaitEnd(30);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
        EXPECT_TRUE(ShowsDesktop()) << probe->Now().ToString();
    }
    {
        ProgramProcess program(windowedConfig, name);
        ASSERT_TRUE(program.WaitReady(startSeconds));
        EXPECT_TRUE(ShowsDesktop());
        EXPECT_TRUE(ChildrenOf(program.Pid()).empty());
        for (int signal : terminalSignals)
            EXPECT_FALSE(CatchesSignal(program.Pid(), signal)) << sigabbrev_np(signal);
        EXPECT_TRUE(EndedBy(program.EndBy(SIGTERM), SIGTERM));
    }
}
