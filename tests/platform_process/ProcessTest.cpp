#include "platform/PlatformTesting.h"
#include "platform/Win32Api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace
{
constexpr DWORD notTouched = 0xDEAD;

// A 260-character buffer inside a larger one, so that a write past the
// size handed over shows in the guard bytes.
struct GuardedBuffer {
    char bytes[MAX_PATH + 16];
    GuardedBuffer() { std::memset(bytes, '#', sizeof bytes); }
    bool GuardIntact(DWORD from) const
    {
        for (size_t i = from; i < sizeof bytes; ++i)
            if (bytes[i] != '#')
                return false;
        return true;
    }
};

class ModuleFileName : public testing::Test
{
protected:
    void TearDown() override { PlatformTesting::SetModuleFileName(""); }

    static std::string PathOfLength(size_t length)
    {
        return "/" + std::string(length - 1, 'k');
    }
};

TEST_F(ModuleFileName, ReportsTheExecutable)
{
    char buffer[4096];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), std::filesystem::canonical("/proc/self/exe").string());
    EXPECT_EQ(length, std::strlen(buffer));
}

TEST_F(ModuleFileName, PathShorterThanTheBufferIsCopiedWhole)
{
    const std::string path = PathOfLength(MAX_PATH - 1);
    PlatformTesting::SetModuleFileName(path);
    GuardedBuffer buffer;
    SetLastError(notTouched);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.bytes, MAX_PATH), DWORD(MAX_PATH - 1));
    EXPECT_EQ(std::string(buffer.bytes), path);
    EXPECT_EQ(GetLastError(), notTouched);
    EXPECT_TRUE(buffer.GuardIntact(MAX_PATH));
}

// The start-up check relies on exactly this: result == size and
// ERROR_INSUFFICIENT_BUFFER, for a path as long as the buffer and longer.
TEST_F(ModuleFileName, PathThatDoesNotFitIsTruncatedAsOnWindows)
{
    for (size_t length : {size_t(MAX_PATH), size_t(MAX_PATH + 1), size_t(1000)}) {
        SCOPED_TRACE(length);
        const std::string path = PathOfLength(length);
        PlatformTesting::SetModuleFileName(path);
        GuardedBuffer buffer;
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.bytes, MAX_PATH), DWORD(MAX_PATH));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(std::string(buffer.bytes), path.substr(0, MAX_PATH - 1));
        EXPECT_TRUE(buffer.GuardIntact(MAX_PATH));
    }
}

TEST_F(ModuleFileName, ZeroSizeWritesNothing)
{
    GuardedBuffer buffer;
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.bytes, 0), DWORD(0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_TRUE(buffer.GuardIntact(0));
}

TEST_F(ModuleFileName, EmptyOverrideRestoresTheRealPath)
{
    PlatformTesting::SetModuleFileName("/elsewhere/korvana");
    PlatformTesting::SetModuleFileName("");
    char buffer[4096];
    GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), std::filesystem::canonical("/proc/self/exe").string());
}

TEST(ModuleHandle, ExecutableHasOneStableHandleAndNoOtherModuleExists)
{
    const HMODULE self = GetModuleHandleA(nullptr);
    EXPECT_NE(self, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), self);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}
}
