// Small fixtures shared by the test programs: a temporary folder, whole-file
// reading and writing, display mode records, and a recorder of message boxes.
#pragma once

#include "platform/PlatformTesting.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace TestSupport
{
// A fresh folder below /tmp, removed with everything in it at the end.
class TempDir
{
public:
    TempDir()
    {
        char name[] = "/tmp/korvana-test-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The path of a file in the folder.
    std::string operator/(const std::string& name) const { return path + "/" + name; }

    std::string path;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

inline bool FileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A display mode record as EnumDisplaySettingsA fills it, for fake displays.
inline DEVMODEA Mode(DWORD width, DWORD height, DWORD bits, DWORD frequency)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bits;
    mode.dmDisplayFrequency = frequency;
    return mode;
}

// Records every message box while alive and answers it with `answer`.
class MessageBoxRecorder
{
public:
    struct Box {
        std::string text;
        std::string caption;
        UINT type;
    };

    explicit MessageBoxRecorder(int answer = IDOK)
    {
        PlatformTesting::SetMessageBoxResponder(
            [this, answer](HWND, const std::string& text, const std::string& caption, UINT type) {
                boxes.push_back({text, caption, type});
                if (onBox)
                    onBox(boxes.back());
                return answer;
            });
    }
    ~MessageBoxRecorder() { PlatformTesting::SetMessageBoxResponder(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<Box> boxes;
    std::function<void(const Box&)> onBox;  // runs while the box would be shown
};
}
