#include "MainConfig.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <sys/resource.h>

using KorvanaFramework::MainConfig;
using TestSupport::MessageBoxRecorder;
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

namespace
{
const char* readFailure = "Błąd odczytu pliku konfiguracyjnego:\n";
const char* readFailureEnd = "\nZostaną zostosowane ustawienia domyślne.";

int GetInt(MainConfig& config, const char* path, int defaultValue)
{
    return config.GetValue(path, defaultValue);
}

bool GetBool(MainConfig& config, const char* path, bool defaultValue)
{
    return config.GetValue(path, defaultValue);
}

// The names in a folder.
std::set<std::string> FolderContents(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Files may grow only to `limit` bytes while alive, as on a nearly full
// disk: a write past it fails (the signal it would raise is ignored).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit reduced = saved;
        reduced.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &reduced);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

// Reads the file back into a plain configuration, as a later run would.
std::unique_ptr<libconfig::Config> Reread(const std::string& path)
{
    auto config = std::make_unique<libconfig::Config>();
    config->readFile(path.c_str());
    return config;
}
}

// The first run finds no file: the user is told, the defaults are used and
// created, and the file exists afterwards in the order the settings were read.
TEST(MainConfig, FirstRunWithoutFileUsesAndWritesDefaults)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    MessageBoxRecorder recorder;
    {
        MainConfig config(path);
        ASSERT_EQ(recorder.boxes.size(), 1u);
        EXPECT_EQ(recorder.boxes[0].text, readFailure + path + readFailureEnd);
        EXPECT_EQ(recorder.boxes[0].caption, "Błąd");
        EXPECT_EQ(recorder.boxes[0].type, MB_ICONERROR);
        EXPECT_FALSE(TestSupport::FileExists(path)) << "nothing is written before the end";

        EXPECT_FALSE(GetBool(config, "Renderer.VSync", false));
        EXPECT_FALSE(GetBool(config, "Renderer.FSAA", false));
        EXPECT_EQ(GetInt(config, "Renderer.FSAALevel", 2), 2);
        EXPECT_FALSE(GetBool(config, "Window.FullScreen", false));
        EXPECT_EQ(GetInt(config, "Window.Screen.Width", 800), 800);
        EXPECT_EQ(GetInt(config, "Window.Screen.Height", 600), 600);
        EXPECT_EQ(GetInt(config, "Window.Screen.Color", 32), 32);
        EXPECT_EQ(GetInt(config, "Window.Screen.RefreshRate", 85), 85);
    }
    EXPECT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(ReadFile(path),
              "Renderer : \n{\n  VSync = false;\n  FSAA = false;\n  FSAALevel = 2;\n};\n"
              "Window : \n{\n  FullScreen = false;\n  Screen : \n  {\n    Width = 800;\n"
              "    Height = 600;\n    Color = 32;\n    RefreshRate = 85;\n  };\n};\n");

    // The second run reads what the first wrote, without a message.
    MainConfig again(path);
    EXPECT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(GetInt(again, "Window.Screen.RefreshRate", 0), 85);
}

// Stored values win over defaults, and settings the program does not know
// survive the rewrite.
TEST(MainConfig, StoredValuesAreReturnedAndKept)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    WriteFile(path, "Window : { Screen : { Width = 1024; Height = 0; }; FullScreen = true; };\n"
                    "Renderer : { FSAALevel = -4; };\nOther = \"kept\";\n");
    MessageBoxRecorder recorder;
    {
        MainConfig config(path);
        EXPECT_EQ(GetInt(config, "Window.Screen.Width", 800), 1024);
        EXPECT_EQ(GetInt(config, "Window.Screen.Height", 600), 0) << "no range check";
        EXPECT_TRUE(GetBool(config, "Window.FullScreen", false));
        EXPECT_EQ(GetInt(config, "Renderer.FSAALevel", 2), -4);
    }
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_FALSE(TestSupport::FileExists(path + ".bak")) << "a usable file needs no copy";
    const auto written = Reread(path);
    EXPECT_EQ(static_cast<int>(written->lookup("Window.Screen.Width")), 1024);
    EXPECT_STREQ(static_cast<const char*>(written->lookup("Other")), "kept");
}

// A scalar where a group belongs is replaced by a group in the same parent.
TEST(MainConfig, ScalarInPlaceOfGroupBecomesGroup)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    WriteFile(path, "Window = 7;\nRenderer : { FSAA = true; };\n");
    MessageBoxRecorder recorder;
    {
        MainConfig config(path);
        EXPECT_EQ(GetInt(config, "Window.Screen.Width", 800), 800);
        ASSERT_TRUE(config.exists("Window.Screen.Width"));
        EXPECT_TRUE(config.lookup("Window").isGroup());
        EXPECT_EQ(config.lookup("Window").getLength(), 1);

        // A scalar in the middle of the path, below an existing group.
        int zero = 0;
        config.SetValue("Renderer.FSAA.Deep", zero);
        EXPECT_TRUE(config.lookup("Renderer.FSAA").isGroup());
        EXPECT_EQ(static_cast<int>(config.lookup("Renderer.FSAA.Deep")), 0);
    }
    const auto written = Reread(path);
    EXPECT_EQ(static_cast<int>(written->lookup("Window.Screen.Width")), 800);
}

// A leaf of the wrong type (string, float, group, 64-bit) is replaced by one
// of the right type holding the default; writing does the same.
TEST(MainConfig, WronglyTypedLeafIsReplaced)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    WriteFile(path, "Window : { Screen : { Width = \"wide\"; Height = 600.5; Color = { a = 1; };"
                    " RefreshRate = 5000000000L; }; FullScreen = 1; };\nFlag = 3;\n");
    MessageBoxRecorder recorder;
    {
        MainConfig config(path);
        EXPECT_EQ(GetInt(config, "Window.Screen.Width", 800), 800);
        EXPECT_EQ(GetInt(config, "Window.Screen.Height", 600), 600);
        EXPECT_EQ(GetInt(config, "Window.Screen.Color", 32), 32);
        EXPECT_EQ(GetInt(config, "Window.Screen.RefreshRate", 85), 85);
        EXPECT_FALSE(GetBool(config, "Window.FullScreen", false));
        EXPECT_TRUE(GetBool(config, "Flag", true)) << "a top-level leaf is replaced in the root";
        EXPECT_EQ(config.lookup("Window.Screen").getLength(), 4) << "replaced, not added beside";
    }
    const auto written = Reread(path);
    EXPECT_EQ(written->lookup("Window.Screen.Width").getType(), libconfig::Setting::TypeInt);
    EXPECT_EQ(static_cast<int>(written->lookup("Window.Screen.Width")), 800);
    EXPECT_EQ(written->lookup("Flag").getType(), libconfig::Setting::TypeBoolean);
}

// SetValue assigns in place, creates what is missing, and replaces a leaf of
// the other type.
TEST(MainConfig, SetValueAssignsCreatesAndReplaces)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    WriteFile(path, "Window : { FullScreen = 5; Screen : { Width = 640; }; };\n");
    MessageBoxRecorder recorder;
    {
        MainConfig config(path);
        bool on = true;
        config.SetValue("Window.FullScreen", on);
        int width = 1280;
        config.SetValue("Window.Screen.Width", width);
        int level = 8;
        config.SetValue("Renderer.FSAALevel", level);
        bool vsync = true;
        config.SetValue("VSync", vsync);
    }
    const auto written = Reread(path);
    EXPECT_EQ(written->lookup("Window.FullScreen").getType(), libconfig::Setting::TypeBoolean);
    EXPECT_TRUE(static_cast<bool>(written->lookup("Window.FullScreen")));
    EXPECT_EQ(static_cast<int>(written->lookup("Window.Screen.Width")), 1280);
    EXPECT_EQ(static_cast<int>(written->lookup("Renderer.FSAALevel")), 8);
    EXPECT_TRUE(static_cast<bool>(written->lookup("VSync")));
}

// Files that are not settings at all are read failures: the message, the
// defaults, and a file rewritten with what the run used, the old one kept as
// Korvana.cfg.bak in case it held the user's edits.
TEST(MainConfig, HostileFilesAreReadFailures)
{
    const std::vector<std::pair<const char*, std::string>> files = {
        {"bad syntax", "Window : { Screen = ; \n"},
        {"unterminated string", "Window = \"abc\n"},
        {"duplicate setting", "a = 1;\na = 2;\n"},
        {"binary with NUL", std::string("Window\0\x01\x02\xff = 3;", 14)},
        {"binary bytes", "\x7f\x45\x4c\x46\x02\x01\x01\x00"},
        {"include", "Window : { Screen : { Width = 1024; }; };\n  @include \"/etc/passwd\"\n"},
        {"deep nesting", std::string(20000, '(')},
        {"oversized", std::string(2 << 20, ' ') + "Window : { Screen : { Width = 1024; }; };"},
    };
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string path = dir / "Korvana.cfg";
        WriteFile(path, content);
        MessageBoxRecorder recorder;
        {
            MainConfig config(path);
            ASSERT_EQ(recorder.boxes.size(), 1u);
            EXPECT_EQ(recorder.boxes[0].text, readFailure + path + readFailureEnd);
            EXPECT_EQ(GetInt(config, "Window.Screen.Width", 800), 800) << "nothing of a bad file is used";
            EXPECT_EQ(config.getRoot().getLength(), 1);
        }
        EXPECT_EQ(static_cast<int>(Reread(path)->lookup("Window.Screen.Width")), 800);
        EXPECT_EQ(ReadFile(path + ".bak"), content) << "the unusable file is kept beside";
    }
}

// Random damage to a valid file never ends the process, and whatever was
// read, typed access repairs the tree so that it holds what it returned.
TEST(MainConfig, DamagedFilesNeverEndTheRun)
{
    const std::string valid = "Renderer : { VSync = false; FSAA = true; FSAALevel = 4; };\n"
                              "Window : { FullScreen = false; Screen : { Width = 1024; Height = 768;"
                              " Color = 32; RefreshRate = 85; }; };\n# comment\n// other\n/* block */\n";
    const std::string alphabet = "{}[]();:=,\"'@\\/*#\n\t .-+0123456789eExXLtrufalsTRUEFALSE_aZ";
    std::mt19937 random(12345);
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    MessageBoxRecorder recorder;
    for (int round = 0; round < 400; ++round) {
        std::string content = valid;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % content.size();
            switch (random() % 3) {
            case 0: content[at] = alphabet[random() % alphabet.size()]; break;
            case 1: content.insert(at, 1, static_cast<char>(random() % 256)); break;
            default: content.erase(at, 1 + random() % 6); break;
            }
            if (content.empty())
                content = "x";
        }
        WriteFile(path, content);
        MainConfig config(path);
        const int width = GetInt(config, "Window.Screen.Width", 800);
        EXPECT_EQ(GetInt(config, "Window.Screen.Width", 0), width) << "the first read repairs the tree";
        int level = 2;
        config.SetValue("Renderer.FSAALevel", level);
        EXPECT_EQ(GetInt(config, "Renderer.FSAALevel", 0), 2);
    }
}

// A folder in place of the file can be neither read nor written: both
// messages, and the run goes on.
TEST(MainConfig, DirectoryInPlaceOfFile)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    MessageBoxRecorder recorder;
    {
        MainConfig config(path);
        EXPECT_EQ(GetInt(config, "Window.Screen.Width", 800), 800);
    }
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[0].text, readFailure + path + readFailureEnd);
    EXPECT_EQ(recorder.boxes[1].text, "Błąd zapisu pliku konfiguracyjnego:\n" + path);
    EXPECT_EQ(recorder.boxes[1].caption, "Błąd");
    EXPECT_EQ(recorder.boxes[1].type, MB_ICONERROR);
}

// The file is replaced in one step: a reader of the old file sees it whole,
// its permissions stay, no temporary file is left, and through a link the
// file it names is written.
TEST(MainConfig, WriteReplacesTheFileInOneStep)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    const std::string old = "Window : { Screen : { Width = 1024; }; };\n";
    WriteFile(path, old);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    MessageBoxRecorder recorder;
    std::ifstream oldReader(path, std::ios::binary);
    {
        MainConfig config(path);
        int width = 1280;
        config.SetValue("Window.Screen.Width", width);
    }
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(oldReader), std::istreambuf_iterator<char>()), old);
    EXPECT_EQ(static_cast<int>(Reread(path)->lookup("Window.Screen.Width")), 1280);
    EXPECT_EQ(FolderContents(dir.path), std::set<std::string>{"Korvana.cfg"});
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    TempDir elsewhere;
    WriteFile(elsewhere / "mine.cfg", old);
    ASSERT_EQ(unlink(path.c_str()), 0);
    ASSERT_EQ(symlink((elsewhere / "mine.cfg").c_str(), path.c_str()), 0);
    {
        MainConfig config(path);
        int width = 640;
        config.SetValue("Window.Screen.Width", width);
    }
    EXPECT_EQ(static_cast<int>(Reread(elsewhere / "mine.cfg")->lookup("Window.Screen.Width")), 640);
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link stays a link";
    EXPECT_EQ(FolderContents(elsewhere.path), std::set<std::string>{"mine.cfg"});
    EXPECT_TRUE(recorder.boxes.empty());
}

// A write that fails part way, as on a full disk, leaves the old file as it
// was and tells the user.
TEST(MainConfig, FailedWriteLeavesTheOldFile)
{
    TempDir dir;
    const std::string path = dir / "Korvana.cfg";
    const std::string old = "Window : { Screen : { Width = 1024; }; };\n# my notes\n";
    WriteFile(path, old);
    MessageBoxRecorder recorder;
    {
        auto config = std::make_unique<MainConfig>(path);
        EXPECT_EQ(GetInt(*config, "Renderer.FSAALevel", 2), 2);
        const FileSizeLimit nearlyFull(16);
        config.reset();
    }
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Błąd zapisu pliku konfiguracyjnego:\n" + path);
    EXPECT_EQ(recorder.boxes[0].caption, "Błąd");
    EXPECT_EQ(recorder.boxes[0].type, MB_ICONERROR);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FolderContents(dir.path), std::set<std::string>{"Korvana.cfg"});
}
