// The snapshot tool run as a user runs it, on scenes the reader refuses.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace
{
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

// Runs the tool with the arguments in the plain C locale; its exit code.
int RunSnapshot(const TempDir& dir, const std::string& arguments, std::string& err)
{
    const std::string command = "cd '" + dir.path + "' && LC_ALL=C '" KORVANA_BINARY_DIR "/korvana-snapshot' " +
                                arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    err = ReadFile(dir / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The reader's record names the file, the line and the reason, on standard
// error as the program's console shows it, before the tool gives up.
TEST(SnapshotTool, RefusedSceneSaysWhereAndWhy)
{
    TempDir dir;
    std::string err;
    if (RunSnapshot(dir, "--probe", err) != 0)
        GTEST_SKIP() << "no GL window on this display";
    struct Case {
        const char* content;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"v 0 0 0\nv 1 0 0\nf 1 2 9\n", 3, "Indeks w definicji powierzchni jest spoza zakresu"},
        {"v 0 0 0\n", 2, "Żadne powierzchnie (trójkąty) nie zostały określone w pliku"},
    };
    for (const Case& scene : cases) {
        SCOPED_TRACE(scene.content);
        WriteFile(dir / "bad.obj", scene.content);
        EXPECT_EQ(RunSnapshot(dir, "--size 64x64 -o x.png --scene bad.obj", err), 1);
        const size_t record = err.find(" ERROR [src/WavefrontFile|");
        const size_t reason = err.find("] Błąd odczytu pliku: bad.obj\n --> (Linia: " + std::to_string(scene.line) +
                                       ") " + scene.reason + "\n");
        const size_t end = err.find("korvana-snapshot: the scene bad.obj could not be read");
        ASSERT_NE(record, std::string::npos) << err;
        EXPECT_NE(reason, std::string::npos) << err;
        EXPECT_LT(record, end) << err;
        EXPECT_EQ(err.find("appender"), std::string::npos) << err;
    }
}
}
