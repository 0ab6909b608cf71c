// Files for the reader tests, written into a private folder per test.
#pragma once

#include <string>

namespace SceneTests
{
// A fresh folder below the system's temporary folder, removed with its
// contents when the object ends.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes `contents` byte for byte to `name` inside the folder and
    // returns the file's path.
    std::string Write(const std::string& name, const std::string& contents) const;
    const std::string& Path() const { return path; }

private:
    std::string path;
};

// The text a reader logs for an error found on a line of a file.
std::string ReaderError(const std::string& path, unsigned line, const std::string& message);
}
