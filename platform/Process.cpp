#include "PlatformTesting.h"
#include "Win32Api.h"

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
// Per thread, as on Windows.
thread_local DWORD lastError = ERROR_SUCCESS;

std::string& ModuleFileNameOverride()
{
    static std::string path;
    return path;
}

bool& ModuleFileNameUnreadable()
{
    static bool unreadable = false;
    return unreadable;
}

// The address of this object is the executable's module handle: it is
// unique, non-null and the same for every caller.
const char executableModule = 0;

// The executable's path from /proc/self/exe; the buffer grows until the link
// fits, so any path length is read whole. Empty when the link cannot be read.
std::string ExecutablePath()
{
    if (ModuleFileNameUnreadable())
        return std::string();
    if (!ModuleFileNameOverride().empty())
        return ModuleFileNameOverride();
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return std::string();
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}
}

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    if (moduleName != nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(const_cast<char*>(&executableModule));
}

// A path of length L in a buffer of size n: L < n copies it whole and returns
// L; otherwise n - 1 characters and the terminator are copied, the result is
// n and the last error ERROR_INSUFFICIENT_BUFFER. A size of 0 writes nothing.
DWORD GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size)
{
    const std::string path = ExecutablePath();
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

DWORD GetLastError()
{
    return lastError;
}

void SetLastError(DWORD errorCode)
{
    lastError = errorCode;
}

namespace PlatformTesting
{
void SetModuleFileName(const std::string& path)
{
    ModuleFileNameOverride() = path;
    ModuleFileNameUnreadable() = false;
}

void MakeModuleFileNameUnreadable()
{
    ModuleFileNameUnreadable() = true;
}
}
