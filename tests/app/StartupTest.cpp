#include "Korvana.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using TestSupport::FileExists;
using TestSupport::MessageBoxRecorder;
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

namespace
{
const char* tooLong = "Ścieżka do katalogu aplikacji jest za długa!";

// A logging configuration that writes "LEVEL|unit|line|message" records to
// the given file, flushed at once so a test can read it at any moment.
std::string LogConfig(const std::string& logFile)
{
    return "log4j.rootLogger=INFO, file\n"
           "log4j.appender.file=org.apache.log4j.FileAppender\n"
           "log4j.appender.file.File=" + logFile + "\n"
           "log4j.appender.file.ImmediateFlush=true\n"
           "log4j.appender.file.layout=org.apache.log4j.PatternLayout\n"
           "log4j.appender.file.layout.ConversionPattern=%p|%F|%L|%m%n\n";
}

// A folder whose path, with "/korvana" after it, is exactly `length` long.
std::string DeepFolder(const TempDir& base, size_t length)
{
    std::string path = base.path;
    const size_t target = length - std::string("/korvana").size();
    while (path.size() < target) {
        const size_t part = std::min<size_t>(100, target - path.size() - 1);
        path += "/" + std::string(part, 'd');
        mkdir(path.c_str(), 0755);
    }
    return path;
}

int RunWinMain()
{
    char commandLine[] = "";
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
}

// Runs a program with no X display in the plain C locale; returns its exit
// code and what it wrote.
int RunWithoutDisplay(const std::string& program, const std::string& folder, std::string& out, std::string& err)
{
    const std::string command = "cd '" + folder + "' && env -u DISPLAY LC_ALL=C '" + program + "' >'" + folder +
                                "/out.txt' 2>'" + folder + "/err.txt'";
    const int status = std::system(command.c_str());
    out = ReadFile(folder + "/out.txt");
    err = ReadFile(folder + "/err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Startup : public ::testing::Test
{
protected:
    // Without a display the dialog cannot open, so a run ends after the
    // configuration and display steps.
    void SetUp() override
    {
        unsetenv("DISPLAY");
        PlatformTesting::ForgetWindowClasses();  // each run registers its class anew
    }
    void TearDown() override { PlatformTesting::SetModuleFileName(""); }
};
}

// The executable's path must fit 260 characters with its terminator.
TEST_F(Startup, PathLengthCheck)
{
    TempDir base;
    {
        const std::string folder = DeepFolder(base, 260);
        PlatformTesting::SetModuleFileName(folder + "/korvana");
        MessageBoxRecorder recorder;
        EXPECT_EQ(RunWinMain(), 0);
        ASSERT_EQ(recorder.boxes.size(), 1u);
        EXPECT_EQ(recorder.boxes[0].text, tooLong);
        EXPECT_EQ(recorder.boxes[0].caption, "Błąd!");
        EXPECT_EQ(recorder.boxes[0].type, MB_OKCANCEL);
        EXPECT_FALSE(FileExists(folder + "/Korvana.cfg")) << "nothing is written";
    }
    {
        const std::string folder = DeepFolder(base, 259);
        WriteFile(folder + "/log.cfg", LogConfig(folder + "/Korvana.log"));
        PlatformTesting::SetModuleFileName(folder + "/korvana");
        MessageBoxRecorder recorder;
        EXPECT_EQ(RunWinMain(), 0);
        for (const auto& box : recorder.boxes)
            EXPECT_NE(box.text, tooLong);
        EXPECT_TRUE(FileExists(folder + "/Korvana.cfg")) << "a 259-character path runs normally";
    }
}

// When the system cannot say where the executable is, the program ends at
// once with a message instead of reading a path it was never given, and
// writes nothing into the folder it was started from.
TEST_F(Startup, UnreadableModulePathEndsAtOnce)
{
    TempDir dir;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    WriteFile(dir / "log.cfg", LogConfig(dir / "Korvana.log"));
    PlatformTesting::MakeModuleFileNameUnreadable();
    MessageBoxRecorder recorder;
    const int result = RunWinMain();
    ASSERT_EQ(chdir(previous), 0);

    EXPECT_EQ(result, 0);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Nie można ustalić ścieżki do katalogu aplikacji!");
    EXPECT_EQ(recorder.boxes[0].caption, "Błąd!");
    EXPECT_EQ(recorder.boxes[0].type, MB_ICONERROR);
    EXPECT_FALSE(FileExists(dir / "Korvana.cfg"));
    EXPECT_FALSE(FileExists(dir / "Korvana.log"));
}

// The lifecycle records come in order around the configuration: read after
// the manager is constructed, written after "Koniec..." is logged.
TEST_F(Startup, LifecycleRecordsAroundConfiguration)
{
    TempDir dir;
    const std::string logFile = dir / "Korvana.log";
    WriteFile(dir / "log.cfg", LogConfig(logFile));
    // A folder in the file's place makes both the read and the write fail,
    // and each message box shows when that step happens.
    ASSERT_EQ(mkdir((dir / "Korvana.cfg").c_str(), 0755), 0);
    PlatformTesting::SetModuleFileName(dir / "korvana");

    std::vector<std::string> logAtBox;
    MessageBoxRecorder recorder;
    recorder.onBox = [&](const MessageBoxRecorder::Box&) { logAtBox.push_back(ReadFile(logFile)); };
    EXPECT_EQ(RunWinMain(), 0);

    // Read error, the GL window that cannot open without a display, write error.
    ASSERT_EQ(recorder.boxes.size(), 3u);
    EXPECT_EQ(recorder.boxes[1].text, "Nie można utworzyć okna OpenGL!");
    EXPECT_NE(logAtBox[0].find("SystemsManager constructor..."), std::string::npos);
    EXPECT_EQ(logAtBox[0].find("Koniec..."), std::string::npos) << "read before the end";
    EXPECT_NE(logAtBox[2].find("Koniec..."), std::string::npos) << "written after the end is logged";

    const std::string log = ReadFile(logFile);
    const size_t start = log.find("INFO|src/Korvana|");
    const size_t logFileLine = log.find("|Plik konfiguracji loggera: " + dir / "log.cfg" + "\n");
    const size_t constructor = log.find("INFO|src/SystemsManager|");
    const size_t end = log.find("|Koniec...");
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(log.compare(log.find('|', start + 17), 10, "|Start...\n"), 0);
    ASSERT_NE(logFileLine, std::string::npos);
    ASSERT_NE(constructor, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(start, logFileLine);
    EXPECT_LT(logFileLine, constructor);
    EXPECT_LT(constructor, end);
}

// The real program, copied with its logging configuration into a folder of
// its own, on a first run without any display: messages go to standard
// error, the records to the console, and Korvana.cfg is left beside it.
TEST(Program, FirstRunWithoutDisplay)
{
    TempDir dir;
    ASSERT_EQ(std::system(("cp '" KORVANA_BINARY_DIR "/korvana' '" KORVANA_BINARY_DIR "/log.cfg' '" + dir.path +
                           "/'").c_str()), 0);
    std::string out, err;
    EXPECT_EQ(RunWithoutDisplay(dir / "korvana", dir.path, out, err), 0);

    const size_t start = out.find("Start...");
    const size_t logFile = out.find("Plik konfiguracji loggera: " + dir / "log.cfg");
    const size_t constructor = out.find("SystemsManager constructor...");
    const size_t end = out.find("Koniec...");
    ASSERT_NE(start, std::string::npos) << out;
    ASSERT_NE(logFile, std::string::npos) << out;
    ASSERT_NE(constructor, std::string::npos) << out;
    ASSERT_NE(end, std::string::npos) << out;
    EXPECT_LT(start, logFile);
    EXPECT_LT(logFile, constructor);
    EXPECT_LT(constructor, end);
    EXPECT_NE(err.find("Błąd: Błąd odczytu pliku konfiguracyjnego:\n" + dir / "Korvana.cfg"), std::string::npos)
        << err;
    EXPECT_TRUE(FileExists(dir / "Korvana.cfg"));
    EXPECT_NE(ReadFile(dir / "Korvana.log").find("Koniec..."), std::string::npos);
    // Polish letters reach the console and the log file unchanged.
    EXPECT_NE(out.find("Nie można utworzyć okna OpenGL!"), std::string::npos) << out;
    EXPECT_NE(ReadFile(dir / "Korvana.log").find("Nie można utworzyć okna OpenGL!"), std::string::npos);
}

// The same program from a folder whose path is too long ends at once.
TEST(Program, TooLongPathEndsAtOnce)
{
    TempDir base;
    const std::string folder = DeepFolder(base, 260);
    ASSERT_EQ(std::system(("cp '" KORVANA_BINARY_DIR "/korvana' '" KORVANA_BINARY_DIR "/log.cfg' '" + folder +
                           "/'").c_str()), 0);
    std::string out, err;
    EXPECT_EQ(RunWithoutDisplay(folder + "/korvana", folder, out, err), 0);
    EXPECT_NE(err.find(std::string("Błąd!: ") + tooLong), std::string::npos) << err;
    EXPECT_FALSE(FileExists(folder + "/Korvana.cfg"));
    EXPECT_FALSE(FileExists(folder + "/Korvana.log"));
}
