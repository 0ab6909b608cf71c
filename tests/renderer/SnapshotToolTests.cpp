// The snapshot tool run as a user runs it, on scenes the reader refuses, and
// the picture it writes.
#include "RendererTestSupport.h"
#include "SnapshotPicture.h"
#include "support/TestSupport.h"
#include "tweakbar/TweakBarTesting.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace
{
using RendererTests::DefaultScenePath;
using RendererTests::RendererGLTest;
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

// The pixels of a row's value where the last frame drew it.
std::vector<std::uint8_t> ValuePixels(const Snapshot::Image& image, const std::string& row)
{
    const auto box = TweakBarTesting::ValueRectangle(row);
    std::vector<std::uint8_t> pixels;
    if (!box)
        return pixels;
    for (int y = int((*box)[1]); y < int((*box)[3]); ++y)
        for (int x = int((*box)[0]); x < int((*box)[2]); ++x)
            pixels.insert(pixels.end(), image.At(x, y), image.At(x, y) + 3);
    return pixels;
}

// The picture shows the frame time and rate of the frames drawn before it,
// not the zero of a meter that has not yet closed a period: its value pixels
// differ from those of the same frame with the figures at zero.
TEST_F(RendererGLTest, SnapshotPictureShowsRealFrameFigures)
{
    Start(DefaultScenePath());
    const Snapshot::Image picture = Snapshot::RenderPicture(*renderer, *window);
    Save(picture, "snapshot-picture");
    const std::vector<std::string> rows{"main/frameTime", "main/framesPerSecond"};
    std::vector<std::vector<std::uint8_t>> shown;
    for (const std::string& row : rows) {
        EXPECT_NE(TweakBarTesting::ValueText(row), "0.00") << row;
        shown.push_back(ValuePixels(picture, row));
        EXPECT_FALSE(shown.back().empty()) << row;
    }
    renderer->frameRate = KorvanaFramework::FrameRate();
    renderer->options.frameMilliseconds = renderer->options.framesPerSecond = 0.0f;
    const Snapshot::Image zero = Frame();
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_NE(ValuePixels(zero, rows[i]), shown[i]) << rows[i];
}
}
